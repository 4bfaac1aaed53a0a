// The skin editor as a web page: the engine (in its worker) holds the skin
// and every rule; this page shows it and turns the user's hands into the
// engine's changes, as the desktop editor does. Nothing leaves the page:
// files are read from and written to the user's machine only.
import type {
  EngineMessage, EngineState, Field, Filter, Fit, PaletteEntry, PanelTables, Problem, Rgb, RgbaPicture, Trace, TraceSource,
} from '../engine/engine';
import { Cancelled, startEngine } from './client';
import * as files from './files';
import * as store from './storage';
import { ask, el, fill, MenuBar, messageBody, type MenuEntry, type Texts } from './ui';

const kScreens = 14;
const kMaxZoom = 8;
// The journal is written a second after the last edit, and never later
// than five seconds after the first edit it does not hold yet.
const kJournalDelay = 1000;
const kJournalLatest = 5000;
const kLanguageKey = 'skin-editor-language';
const kFilters: [Filter, string][] = [
  ['none', 'LANG_SIMULATE_NONE$'], ['console', 'LANG_SIMULATE_CONSOLE$'], ['protanopia', 'LANG_SIMULATE_PROTANOPIA$'],
  ['deuteranopia', 'LANG_SIMULATE_DEUTERANOPIA$'], ['tritanopia', 'LANG_SIMULATE_TRITANOPIA$'],
];
// The browser's languages that pick a language file at the first start.
const kBrowserLanguages: [RegExp, string][] = [
  [/^zh-(tw|hk|mo|hant)/i, 't_chinese.ini'], [/^zh/i, 's_chinese.ini'], [/^es/i, 'spanish.ini'], [/^fr/i, 'francais.ini'],
  [/^de/i, 'german.ini'], [/^pt/i, 'pbrasil.ini'], [/^it/i, 'italiano.ini'], [/^ja/i, 'japanese.ini'],
];

const engine = startEngine((busy) => {
  progress.hidden = !busy;
  cancelButton.hidden = !busy || !cancelling;
  document.body.toggleAttribute('aria-busy', busy);
});
// An engine call ended by Cancel rejects with Cancelled: what was waiting on it has nothing to do.
window.addEventListener('unhandledrejection', (e) => {
  if (e.reason instanceof Cancelled) e.preventDefault();
});

// After an operation that grew the engine's memory past this (a huge
// picture decoded, a huge archive opened), a fresh engine takes the document
// over, so that the memory the operation took comes back.
const kRenewAbove = 384 * 1024 * 1024;
let memoryRenewed = 0;
/** What may be cancelled now (an open, an import), else null. */
let cancelling: string | null = null;

// What the page knows of the skin and the view.
let texts: Texts = {};
let languages: { index: number; file: string | null; label: string }[] = [];
let languageFile: string | null = null;
let panel: PanelTables;
let state: EngineState;
let fields: Field[] = [];
let problems: Problem[] = [];
let screen = 0;
let zoom = 2;
let filter: Filter = 'none';
let comparing = false;
let swapped = false;
let docks = { overview: false, palette: false, problems: true };
let tab = 0;
/** The skin's name for downloads and messages: its folder's or archive's. */
let skinName = '';
/** The same name as the page shows it: control and direction characters escaped by the engine. */
let skinLabel = '';
/** A save handed to the browser as a download ("Sunset.zip"), which the page cannot know reached the disk: the journal stays until a save the page sees written, or the user's Discard. */
let downloadedAs: string | null = null;
/** Whether the last journal write failed: the next one that works says so. */
let journalFailing = false;
/** When the first edit that the journal does not hold yet was made (0: none). */
let journalOwed = 0;
/** The folder the skin came from, where the browser lets Save write back. */
let folderHandle: FileSystemDirectoryHandle | null = null;
let selectedElement: string | null = null;
let lastPicture: RgbaPicture | null = null;
let highlight: { bounds: { left: number; top: number; right: number; bottom: number; count: number }; mask?: Uint8Array; colour?: Rgb } | null = null;
let keeper = 0;
let started = 0;
let lastEdit = 0;
let journalTimer: ReturnType<typeof setTimeout> | null = null;
const t = (key: string, ...args: (string | number)[]) => fill(texts[key] ?? key, args);

/** Input boxes whose shown value a save, the journal and leaving the page take first. */
const pendingCommits = new Map<HTMLInputElement, { commit: () => unknown; differs: () => boolean }>();

/** What every box shows, made the skin's: a value typed and not yet taken (a number out of range, a text mid-way). */
async function commitTyping(): Promise<void> {
  for (const [input, { commit }] of pendingCommits) if (input.isConnected) await commit();
}

/** Whether a box shows what the skin does not hold yet. */
function pendingTyping(): boolean {
  for (const [input, { differs }] of pendingCommits) if (input.isConnected && differs()) return true;
  return false;
}

async function setSkinName(name: string): Promise<void> {
  skinName = name;
  skinLabel = name ? await engine.printable(name) : '';
}

// Counters the tests and the benchmark read: what was drawn, journalled, checked.
const probe = {
  ready: false, restoreAsked: undefined as boolean | undefined, draws: 0,
  // When (performance.now()) the first and the last drawing ended, a hover was shown, and how long the 14 screens took.
  firstDrawAt: 0, lastDrawAt: 0, lastHoverAt: 0, overviewMs: 0, journals: 0, journalFailures: 0, setAside: 0, renewals: 0, checks: 0, hovers: 0, thumbnails: 0, error: '',
  /** Nothing under way: no call of the engine outstanding and no drawing. */
  idle: () => engine.pending === 0 && !drawing && !hovering && commandsWaiting === 0 && !checkTimer && !sideTimer,
  /** The engine and the drawing at rest, whatever dialog is open. */
  quiet: () => engine.pending === 0 && !drawing && !hovering,
};
(window as unknown as { skinEditor: unknown }).skinEditor = probe;

// The page's parts, built once the texts are known (and again when the language changes).
const root = document.getElementById('editor')!;
const progress = el('progress', { class: 'busy', hidden: true });
const cancelButton = el('button', { type: 'button', class: 'cancel', hidden: true, onclick: () => void engine.cancel() });
let statusText: HTMLElement;
let countsText: HTMLElement;
let zoomText: HTMLElement;
let simulationText: HTMLElement;
let canvas: HTMLCanvasElement;
let overlay: HTMLCanvasElement;
let savedCanvas: HTMLCanvasElement;
let savedFigure: HTMLElement;
let viewport: HTMLElement;
let screenChooser: HTMLSelectElement;
let screenButtons: HTMLButtonElement[] = [];
let panelPages: HTMLElement[] = [];
let tabButtons: HTMLButtonElement[] = [];
let colourButtons = new Map<string, HTMLButtonElement>();
let imageButtons = new Map<string, HTMLButtonElement>();
let numberInputs = new Map<string, HTMLInputElement>();
let flagBoxes = new Map<string, HTMLInputElement>();
let textInputs = new Map<string, HTMLInputElement>();
let elementRows = new Map<string, HTMLElement>();
let overviewDock: HTMLElement;
let paletteDock: HTMLElement;
let problemsDock: HTMLElement;
let menubar: MenuBar;
const archiveInput = el('input', { type: 'file', accept: '.zip,application/zip', hidden: true });
const folderInput = el('input', { type: 'file', hidden: true, webkitdirectory: true });
const pictureInput = el('input', { type: 'file', hidden: true, accept: '.bmp,.png,.jpg,.jpeg,.BMP,.PNG,.JPG,.JPEG,image/bmp,image/png,image/jpeg' });

// The user's commands, one after another: a save asked for while a change
// is still being made waits for it, as on the desktop.
let commands: Promise<unknown> = Promise.resolve();
let commandsWaiting = 0;
function command(f: () => unknown): Promise<void> {
  ++commandsWaiting;
  const next = commands.then(async () => {
    try {
      await f();
    } catch (e) {
      if (!(e instanceof Cancelled)) status(String((e as Error).message ?? e));
    } finally {
      --commandsWaiting;
    }
    if (commandsWaiting === 0) await renewIfGrown();
  });
  commands = next;
  return next;
}

/**
 * Runs `work` (an open, an import) so that the user can cancel it: the document as it is now is
 * taken first, and Cancel brings it back in a fresh engine. `name` is what the status line says
 * was cancelled. False when it was.
 */
async function cancellable(name: string, work: () => Promise<void>): Promise<boolean> {
  try {
    await engine.mark();
    cancelling = name;
  } catch (e) {
    // Without the document taken, the work runs to its end.
    console.warn('no cancel for this:', e);
  }
  try {
    await work();
    return true;
  } catch (e) {
    if (!(e instanceof Cancelled)) throw e;
    status(t('LANG_STATUS_CANCELLED$', name));
    highlight = null;
    await refresh(false);
    return false;
  } finally {
    cancelling = null;
    cancelButton.hidden = true;
  }
}

async function renewIfGrown(): Promise<void> {
  if (engine.memory <= kRenewAbove || engine.memory <= 2 * memoryRenewed || document.querySelector('dialog[open]')) return;
  try {
    await engine.renew();
    await engine.state();
    memoryRenewed = engine.memory;
    probe.renewals++;
  } catch (e) {
    console.warn('the engine was not renewed:', e);
  }
}

function status(text: string): void {
  statusText.textContent = text;
}

function dpr(): number {
  return Math.max(1, window.devicePixelRatio || 1);
}

function fieldValue(section: string, key: string): Field['value'] | undefined {
  return fields.find((f) => f.section === section && f.key === key)?.value;
}

function colourField(key: string): Field | undefined {
  return fields.find((f) => f.kind === 'colour' && f.key === key);
}

function hex(rgb: Rgb): string {
  return '#' + rgb.map((v) => v.toString(16).padStart(2, '0')).join('');
}

/** The 15-bit code the settings file writes for a colour. */
function fileCode(rgb: Rgb): string {
  const v = (rgb[0] >> 3) | ((rgb[1] >> 3) << 5) | ((rgb[2] >> 3) << 10);
  return '0x' + v.toString(16).padStart(4, '0');
}

function rgbOfCode(code: string): Rgb {
  const v = parseInt(code, 16) & 0x7fff;
  return [(v & 31) * 8, ((v >> 5) & 31) * 8, ((v >> 10) & 31) * 8];
}

function sourceName(source: TraceSource): string {
  if (source.kind === 'colour') return t(`LANG_COLOR_${source.key}$`);
  const image = panel.images.find((i) => i.name === source.name);
  return image ? t(image.key) : source.name;
}

function elementName(section: string): string {
  const row = panel.elements.find((e) => e.section === section);
  return row ? (row.key ? t(row.key) : row.caption) : section;
}

// ---------------------------------------------------------------------------
// Drawing

let drawing = false;
let drawAgain = false;

async function draw(): Promise<void> {
  if (drawing) {
    drawAgain = true;
    return;
  }
  drawing = true;
  try {
    do {
      drawAgain = false;
      const showSaved = comparing && swapped;
      const picture = await engine.render(screen, { zoom, filter, saved: showSaved });
      paint(canvas, picture);
      lastPicture = showSaved ? null : picture;
      if (comparing) {
        paint(savedCanvas, await engine.render(screen, { zoom, filter, saved: !showSaved }));
      }
      paintHighlight();
      probe.draws++;
      probe.lastDrawAt = performance.now();
      probe.firstDrawAt ||= probe.lastDrawAt;
    } while (drawAgain);
  } finally {
    drawing = false;
  }
}

// A picture into a canvas, one pixel of the picture to one of the screen
// (`sized`), or left to the page's style to scale (the thumbnails).
function paint(target: HTMLCanvasElement, picture: RgbaPicture, sized = true): void {
  if (target.width !== picture.width || target.height !== picture.height) {
    target.width = picture.width;
    target.height = picture.height;
  }
  if (sized) {
    target.style.width = `${picture.width / dpr()}px`;
    target.style.height = `${picture.height / dpr()}px`;
  }
  target.getContext('2d')!.putImageData(new ImageData(picture.data as Uint8ClampedArray<ArrayBuffer>, picture.width, picture.height), 0, 0);
  if (target === canvas) {
    overlay.width = picture.width;
    overlay.height = picture.height;
    overlay.style.width = target.style.width;
    overlay.style.height = target.style.height;
  }
}

function paintHighlight(): void {
  const ctx = overlay.getContext('2d')!;
  ctx.clearRect(0, 0, overlay.width, overlay.height);
  if (!highlight) return;
  if (highlight.mask) {
    // The pixels themselves, tinted: a colour field's text stays readable.
    const image = ctx.createImageData(overlay.width, overlay.height);
    const m = highlight.mask;
    for (let i = 0; i < m.length && i * 4 < image.data.length; ++i) {
      if (m[i]) {
        image.data[i * 4] = 255;
        image.data[i * 4 + 1] = 0;
        image.data[i * 4 + 2] = 200;
        image.data[i * 4 + 3] = 110;
      }
    }
    ctx.putImageData(image, 0, 0);
  }
  const b = highlight.bounds;
  if (b.right >= b.left) {
    ctx.setLineDash([4, 3]);
    ctx.lineWidth = 1;
    ctx.strokeStyle = '#ff00c8';
    ctx.strokeRect(b.left * zoom + 0.5, b.top * zoom + 0.5, (b.right - b.left + 1) * zoom - 1, (b.bottom - b.top + 1) * zoom - 1);
  }
}

// The pixels of one 15-bit colour in the preview shown now (the palette's hover).
function highlightColour(rgb: Rgb | null): void {
  if (!rgb || !lastPicture) {
    highlight = null;
  } else {
    const d = lastPicture.data;
    const mask = new Uint8Array(d.length / 4);
    let count = 0, left = lastPicture.width, top = lastPicture.height, right = -1, bottom = -1;
    for (let i = 0; i < mask.length; ++i) {
      if (d[i * 4] === rgb[0] && d[i * 4 + 1] === rgb[1] && d[i * 4 + 2] === rgb[2]) {
        mask[i] = 255;
        ++count;
        const x = i % lastPicture.width, y = Math.floor(i / lastPicture.width);
        left = Math.min(left, x); right = Math.max(right, x); top = Math.min(top, y); bottom = Math.max(bottom, y);
      }
    }
    highlight = { mask, bounds: { count, left: left / zoom, top: top / zoom, right: right < 0 ? -1 : (right + 1) / zoom - 1, bottom: (bottom + 1) / zoom - 1 } };
  }
  paintHighlight();
}

// ---------------------------------------------------------------------------
// The skin changed, or may have: everything that shows it follows.

let checkTimer: ReturnType<typeof setTimeout> | null = null;
let sideTimer: ReturnType<typeof setTimeout> | null = null;

async function refresh(edited: boolean): Promise<void> {
  const drawn = draw();
  [state, fields] = await Promise.all([engine.state(), engine.fields()]);
  showValues();
  showTitle();
  await drawn;
  if (edited) {
    lastEdit = Date.now();
    scheduleJournal();
  }
  if (checkTimer) clearTimeout(checkTimer);
  checkTimer = setTimeout(() => void showProblems().finally(() => (checkTimer = null)), 60);
  if (sideTimer) clearTimeout(sideTimer);
  sideTimer = setTimeout(() => void refreshSides().finally(() => (sideTimer = null)), 150);
}

async function refreshSides(): Promise<void> {
  if (docks.overview) await drawOverview();
  if (docks.palette) await showPalette();
  if (tab === 1) await showThumbnails();
}

function showTitle(): void {
  const name = skinLabel || t('LANG_SKIN_NEW$');
  document.title = `${state.modified ? '* ' : ''}${name} - Skin Editor`;
  const shown = document.getElementById('skin-name');
  if (shown) shown.textContent = (state.modified ? '● ' : '') + name;
}

function showValues(): void {
  for (const [key, button] of colourButtons) {
    const f = colourField(key);
    if (!f) continue;
    const rgb = f.value as Rgb;
    (button.querySelector('.swatch') as HTMLElement).style.background = hex(rgb);
    button.dataset.colour = hex(rgb);
  }
  for (const [id, input] of numberInputs) {
    const [section, key] = id.split('|');
    const v = fieldValue(section, key);
    if (typeof v === 'number' && document.activeElement !== input) input.value = String(v);
  }
  for (const [section, box] of flagBoxes) {
    const row = panel.elements.find((e) => e.section === section && e.flag);
    const v = row ? fieldValue(section, row.flag!) : undefined;
    box.checked = v === 1;
  }
  for (const [key, input] of textInputs) {
    const v = fieldValue('[SkinInfo]', key);
    if (typeof v === 'string' && document.activeElement !== input) {
      input.value = v;
      input.removeAttribute('aria-invalid');
    }
  }
}

async function showProblems(): Promise<void> {
  problems = await engine.check();
  probe.checks++;
  const errors = problems.filter((p) => p.severity === 'error').length;
  countsText.textContent = t('LANG_STATUS_PROBLEMS$', errors, problems.length - errors);
  const list = problemsDock.querySelector('.problem-list')!;
  list.replaceChildren();
  if (problems.length === 0) list.append(el('li', { class: 'none' }, t('LANG_PROBLEMS_NONE$')));
  problems.forEach((p, i) => {
    const kind = p.severity === 'error' ? t('LANG_ERROR$') : t('LANG_PROBLEMS_WARNING$');
    list.append(el('li', {}, el('button', { type: 'button', class: `problem ${p.severity}`, onclick: () => void command(() => showProblem(i)) },
      el('span', { class: 'severity' }, kind), el('span', { class: 'code' }, p.code), el('span', { class: 'subject' }, p.subject),
      el('span', { class: 'text' }, p.shown))));
  });
}

async function showProblem(index: number): Promise<void> {
  const p = problems[index];
  if (!p) return;
  if (p.line) status(t('LANG_STATUS_PROBLEM_LINE$', p.line));
  const about = p.about;
  let target: HTMLElement | undefined;
  let page = 0;
  let onScreen: number | undefined;
  if (about.kind === 'field') {
    const colour = panel.colours.find((c) => c.name === about.key);
    if (colour) {
      target = colourButtons.get(about.key);
      onScreen = colour.screen;
    } else if (about.section === '[SkinInfo]') {
      target = textInputs.get(about.key);
      page = 3;
    } else {
      target = numberInputs.get(`${about.section}|${about.key}`) ?? elementRows.get(about.section);
      page = 2;
      onScreen = panel.elements.find((e) => e.section === about.section)?.screen;
    }
  } else if (about.kind === 'section') {
    target = elementRows.get(about.section);
    page = 2;
    onScreen = panel.elements.find((e) => e.section === about.section)?.screen;
  } else if (about.kind === 'picture') {
    target = imageButtons.get(about.name);
    page = 1;
    onScreen = panel.images.find((i) => i.name === about.name)?.screen;
  }
  if (p.screen !== undefined) onScreen = p.screen;
  if (onScreen !== undefined && onScreen !== screen) await setScreen(onScreen);
  showTab(page);
  if (target) {
    const focusable = target.matches('button, input') ? target : target.querySelector<HTMLElement>('input, button');
    (focusable ?? target).focus();
    target.scrollIntoView({ block: 'nearest' });
  }
}

// ---------------------------------------------------------------------------
// Screens, zoom, view

async function setScreen(s: number): Promise<void> {
  screen = (s + kScreens) % kScreens;
  screenChooser.value = String(screen);
  screenButtons.forEach((b, i) => b.setAttribute('aria-pressed', String(i === screen)));
  overviewDock.querySelectorAll('.thumbnail').forEach((b, i) => b.setAttribute('aria-current', String(i === screen)));
  highlight = null;
  enableForScreen();
  await draw();
}

function enableForScreen(): void {
  const mark = (control: HTMLElement, on: number, tip: string) => {
    const here = on === screen;
    (control as HTMLButtonElement).disabled = !here;
    control.title = here ? tip : `${tip}\n${fill(texts['LANG_PANEL_TIP_SCREEN$'] ?? '', [screenName(on)])}`;
  };
  for (const c of panel.colours) {
    const b = colourButtons.get(c.name);
    if (b) mark(b, c.screen, `${t(c.key)}\n${t('LANG_PANEL_TIP_COLOR$', c.name)}`);
  }
  for (const c of panel.images) {
    const b = imageButtons.get(c.name);
    if (b) mark(b, c.screen, `${t(c.key)}\n${t('LANG_PANEL_TIP_IMAGE$', c.name + '.bmp')}`);
  }
  for (const e of panel.elements) {
    const row = elementRows.get(e.section + '#' + e.row);
    if (!row) continue;
    row.classList.toggle('elsewhere', e.screen !== screen);
    for (const input of row.querySelectorAll('input')) {
      (input as HTMLInputElement).disabled = e.screen !== screen;
    }
  }
}

function setZoom(z: number, redraw = true): void {
  zoom = Math.max(1, Math.min(kMaxZoom, Math.round(z)));
  zoomText.textContent = t('LANG_STATUS_ZOOM$', Math.round((zoom * 100) / dpr()));
  highlight = null;
  if (redraw) void draw();
}

function fitZoom(): number {
  const d = dpr();
  const w = viewport.clientWidth - 8, h = viewport.clientHeight - 8;
  const across = comparing ? 2 : 1;
  return Math.max(1, Math.min(kMaxZoom, Math.floor(Math.min((w * d) / (266 * across), (h * d) / 490))));
}

function setFilter(f: Filter): void {
  filter = f;
  const name = kFilters.find(([k]) => k === f)![1];
  simulationText.textContent = f === 'none' ? '' : t('LANG_STATUS_SIMULATING$', t(name));
  void draw();
}

function setComparing(on: boolean): void {
  comparing = on;
  swapped = false;
  savedFigure.hidden = !on;
  void draw();
}

function showDock(which: keyof typeof docks, shown: boolean): void {
  docks[which] = shown;
  const dock = { overview: overviewDock, palette: paletteDock, problems: problemsDock }[which];
  dock.hidden = !shown;
  localStorage.setItem('skin-editor-docks', JSON.stringify(docks));
  if (shown) void refreshSides();
}

async function drawOverview(): Promise<void> {
  const began = performance.now();
  const canvases = overviewDock.querySelectorAll('canvas');
  const pictures = await Promise.all(Array.from({ length: kScreens }, (_, s) => engine.render(s, { zoom: 1, filter })));
  pictures.forEach((p, s) => paint(canvases[s], p, false));
  probe.overviewMs = performance.now() - began;
  probe.thumbnails++;
}

async function showThumbnails(): Promise<void> {
  for (const [name, button] of imageButtons) {
    const picture = await engine.picture(name);
    const thumb = button.querySelector('canvas')!;
    const ctx = thumb.getContext('2d')!;
    ctx.clearRect(0, 0, thumb.width, thumb.height);
    if (!picture) continue;
    const bitmap = await createImageBitmap(new ImageData(picture.data as Uint8ClampedArray<ArrayBuffer>, picture.width, picture.height));
    const scale = Math.min(thumb.width / picture.width, thumb.height / picture.height, 1);
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(bitmap, 0, 0, picture.width * scale, picture.height * scale);
  }
}

async function showPalette(): Promise<void> {
  const entries: PaletteEntry[] = await engine.palette();
  const list = paletteDock.querySelector('.swatches')!;
  list.replaceChildren();
  for (const entry of entries) {
    const rgb = rgbOfCode(entry.colour);
    const key = entry.colour === '0x03e0';
    const tip = t('LANG_PALETTE_TIP$', hex(rgb), entry.colour, entry.count) + (key ? `\n${t('LANG_PALETTE_KEY$')}` : '');
    const button = el('button', { type: 'button', class: 'palette-swatch', title: tip, 'aria-label': `${entry.colour} ${hex(rgb)}: ${t('LANG_PALETTE_PIXELS$', entry.count)}` },
      el('span', { class: 'swatch', style: `background:${hex(rgb)}` }),
      el('span', { class: 'code' }, entry.colour),
      el('span', { class: 'count' }, String(entry.count)));
    button.addEventListener('pointerenter', () => highlightColour(rgb));
    button.addEventListener('focus', () => highlightColour(rgb));
    button.addEventListener('pointerleave', () => highlightColour(null));
    button.addEventListener('blur', () => highlightColour(null));
    button.addEventListener('click', () => void command(() => replaceColourDialog(entry.colour)));
    list.append(el('li', {}, button));
  }
}

// ---------------------------------------------------------------------------
// Changes

async function change(made: Promise<unknown>): Promise<void> {
  try {
    await made;
  } catch (e) {
    status(String((e as Error).message));
  }
  await refresh(true);
}

async function undo(): Promise<void> {
  if (!state.undo) return;
  await engine.undo();
  await refresh(true);
}

async function redo(): Promise<void> {
  if (!state.redo) return;
  await engine.redo();
  await refresh(true);
}

function scheduleJournal(): void {
  const now = Date.now();
  if (!journalOwed) journalOwed = now;
  if (journalTimer) clearTimeout(journalTimer);
  const wait = Math.max(0, Math.min(kJournalDelay, journalOwed + kJournalLatest - now));
  journalTimer = setTimeout(() => void writeJournal(), wait);
}

// The unsaved changes, kept where they survive the page; never what an open
// dialog previews. A write counts only once the browser has committed it:
// when it refuses (no room left, the site's data cleared), the status line
// says the changes are not protected, and says it again when they are.
async function writeJournal(): Promise<void> {
  if (journalTimer) clearTimeout(journalTimer);
  journalTimer = null;
  journalOwed = 0;
  try {
    await commitTyping();
    const s = await engine.state();
    if (!s.modified && !downloadedAs) {
      await store.deleteJournal(keeper);
    } else {
      const j = await engine.journal(new Date(lastEdit || Date.now()), keeper, started);
      if (!j) throw new Error(t('LANG_FILE_NOTSAVE$'));
      await store.writeJournal({
        keeper, started, name: skinName, manifest: j.manifest, archive: j.archive, lastEdit: lastEdit || Date.now(),
        ...(downloadedAs && !s.modified ? { downloaded: downloadedAs } : {}),
      });
    }
    probe.journals++;
    if (journalFailing) {
      journalFailing = false;
      status(t('LANG_STATUS_JOURNAL_AGAIN$'));
    }
  } catch (e) {
    probe.journalFailures++;
    journalFailing = true;
    status(t('LANG_STATUS_JOURNAL_FAILED$', t('LANG_WEB_STORAGE$')));
    console.warn('journal not written:', e);
  }
}

// ---------------------------------------------------------------------------
// Open and save

async function confirmLeave(): Promise<boolean> {
  await commitTyping();
  state = await engine.state();
  if (!state.modified) return true;
  const name = skinLabel || t('LANG_SKIN_NEW$');
  const answer = await ask(t('LANG_FILE_SAVE$'), t('LANG_ASK_SAVE$', name), [
    { label: t('LANG_FILE_SAVE$'), value: 'save', default: true },
    { label: t('LANG_DISCARD$'), value: 'discard' },
    { label: t('LANG_CANCEL$'), value: 'cancel' },
  ], 'cancel');
  if (answer === 'cancel') return false;
  if (answer === 'save') return save();
  return true;
}

/** The messages of one operation in one box; resolves when it is closed. */
async function reportMessages(messages: EngineMessage[], title: string): Promise<void> {
  if (messages.length === 0) return;
  const lines = messages.map((m) => m.text);
  await ask(title, messageBody(lines, (n) => t('LANG_MESSAGES_MORE$', n)), [{ label: t('LANG_OK$'), value: true, default: true }], true);
}

async function opened(name: string, result: { opened: boolean; messages: EngineMessage[] }, handle: FileSystemDirectoryHandle | null): Promise<void> {
  if (result.opened) {
    await setSkinName(name);
    folderHandle = handle;
    downloadedAs = null;
    if (handle) void store.rememberRecent(name, handle).then(loadRecent, () => {});
    status(t('LANG_STATUS_OPENED$', skinLabel));
    highlight = null;
    selectedElement = null;
    await refresh(false);
    await writeJournal();
  }
  void reportMessages(result.messages, result.opened ? skinLabel : t('LANG_ERROR$'));
}

async function tooLarge(name: string, why: files.FolderTooLarge | null = null): Promise<void> {
  const shown = await engine.printable(name);
  const text = why?.limit === 'files'
    ? t('LANG_WEB_TOO_MANY_FILES$', shown, files.kMaxFiles)
    : t('LANG_WEB_TOO_LARGE$', shown, files.kFolderBudget / (1024 * 1024));
  void reportMessages([{ kind: 'too-large', subject: shown, text }], t('LANG_ERROR$'));
}

async function openArchiveFile(file: File): Promise<void> {
  if (!(await confirmLeave())) return;
  if (file.size > files.kFolderBudget) return tooLarge(file.name);
  let bytes: Uint8Array;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (e) {
    const shown = await engine.printable(file.name);
    void reportMessages([{ kind: 'cannot-read', subject: shown, text: t('LANG_WEB_READ_FAILED$', shown, String(e)) }], t('LANG_ERROR$'));
    return;
  }
  const name = file.name.replace(/\.zip$/i, '');
  await cancellable(await engine.printable(file.name), async () => opened(name, await engine.openArchive(file.name, bytes), null));
}

async function openFolderFiles(name: string, read: () => Promise<{ path: string; bytes: Uint8Array }[]>, handle: FileSystemDirectoryHandle | null): Promise<void> {
  let list;
  try {
    list = await read();
  } catch (e) {
    if (e instanceof files.FolderTooLarge) return tooLarge(name, e);
    const shown = await engine.printable(name);
    void reportMessages([{ kind: 'cannot-read', subject: shown, text: t('LANG_WEB_READ_FAILED$', shown, await engine.printable(String((e as Error).message ?? e))) }], t('LANG_ERROR$'));
    return;
  }
  await cancellable(await engine.printable(name), async () => opened(name, await engine.openFolder(name, list), handle));
}

async function openFolderHandle(handle: FileSystemDirectoryHandle): Promise<void> {
  if (!(await confirmLeave())) return;
  await openFolderFiles(handle.name, () => files.readFolderHandle(handle), handle);
}

async function openFolder(): Promise<void> {
  if (files.hasFolderAccess) {
    let handle: FileSystemDirectoryHandle;
    try {
      handle = await files.pickFolder();
    } catch {
      return; // the user closed the chooser
    }
    await openFolderHandle(handle);
  } else {
    folderInput.value = '';
    folderInput.click();
  }
}

folderInput.addEventListener('change', async () => {
  const list = folderInput.files;
  if (!list || list.length === 0) return;
  if (!(await confirmLeave())) return;
  const name = list[0].webkitRelativePath.split('/')[0] || 'skin';
  await openFolderFiles(name, async () => (await files.readChosenFolder(list)).files, null);
});

archiveInput.addEventListener('change', () => {
  const file = archiveInput.files?.[0];
  if (file) void command(() => openArchiveFile(file));
});

async function newSkin(): Promise<void> {
  if (!(await confirmLeave())) return;
  await engine.newSkin();
  await setSkinName('');
  folderHandle = null;
  downloadedAs = null;
  await refresh(false);
  await writeJournal();
}

/** Save: back into the folder the skin came from where the browser lets us, otherwise a download. */
async function save(): Promise<boolean> {
  await commitTyping();
  if (folderHandle && state.origin.kind === 'folder' && (await files.mayWrite(folderHandle))) {
    return saveInto(folderHandle, true);
  }
  return saveArchive();
}

async function saveInto(handle: FileSystemDirectoryHandle, inPlace: boolean): Promise<boolean> {
  const result = await engine.saveFiles({ inPlace });
  if (!result.saved) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    void reportMessages(result.messages, t('LANG_ERROR$'));
    return false;
  }
  try {
    await files.writeFolder(handle, result.files);
  } catch (e) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    const shown = await engine.printable(handle.name);
    void reportMessages([{ kind: 'not-saved', subject: shown, text: `${shown}: ${(e as Error).message}` }], t('LANG_ERROR$'));
    return false;
  }
  await engine.markSaved(result.where, 'folder', { becomeOrigin: !inPlace });
  folderHandle = handle;
  await setSkinName(handle.name);
  // Written where the page saw it written: no download waits to be confirmed.
  downloadedAs = null;
  void store.rememberRecent(handle.name, handle).then(loadRecent, () => {});
  status(t('LANG_STATUS_SAVED$', result.files.length, skinLabel));
  await refresh(false);
  await writeJournal();
  return true;
}

async function saveArchive(): Promise<boolean> {
  const name = skinName || 'skin';
  const result = await engine.saveArchive(name);
  if (!result.saved || !result.bytes) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    void reportMessages(result.messages, t('LANG_ERROR$'));
    return false;
  }
  // Named as the folder inside it: nothing in the name that could climb out or run backwards.
  const fileName = `${await engine.archiveFolderName(name)}.zip`;
  // The page cannot know that a download reached the disk (the user may
  // cancel the browser's Save As, or the browser may block it): the journal
  // keeps these changes, marked as downloaded, until a save the page sees
  // written or the user's Discard at the next start.
  downloadedAs = fileName;
  files.download(fileName, result.bytes, 'application/zip');
  await engine.markSaved(result.where, 'archive', { becomeOrigin: true });
  folderHandle = null;
  status(t('LANG_STATUS_DOWNLOADED$', await engine.printable(fileName)));
  await refresh(false);
  await writeJournal();
  return true;
}

async function saveToFolder(): Promise<void> {
  await commitTyping();
  let handle: FileSystemDirectoryHandle;
  try {
    handle = await files.pickFolder();
  } catch {
    return;
  }
  await saveInto(handle, false);
}

async function screenshot(): Promise<void> {
  const bytes = await engine.screenshot(screen, 'png');
  if (!bytes) return status(t('LANG_FILE_NOTSAVE$'));
  const name = `${await engine.archiveFolderName(skinName || 'skin')}-${screen + 1}.png`;
  files.download(name, bytes, 'image/png');
  status(t('LANG_STATUS_SCREENSHOT_SAVED$', name));
}

// ---------------------------------------------------------------------------
// Pictures

async function importInto(picture: string, file: File): Promise<void> {
  const bytes = new Uint8Array(await file.arrayBuffer());
  await cancellable(await engine.printable(file.name), () => importBytes(picture, file, bytes));
}

async function importBytes(picture: string, file: File, bytes: Uint8Array): Promise<void> {
  const sizes = await engine.importSizes(picture, file.name, bytes.slice());
  let fit: Fit | null = 'keep';
  if (sizes && (sizes.width !== sizes.expectedWidth || sizes.height !== sizes.expectedHeight)) {
    fit = await askFit(picture, file.name, bytes, sizes);
  }
  if (!fit) return;
  const result = await engine.importPicture(picture, file.name, bytes.slice(), fit);
  if (result.imported) status(t('LANG_STATUS_IMPORTED_ONE$', picture, file.name));
  void reportMessages(result.messages, await engine.printable(file.name));
  await refresh(result.imported);
}

// The question of a picture of another size, each choice drawn as the console will show it, all at one zoom.
async function askFit(picture: string, fileName: string, bytes: Uint8Array,
                      sizes: { width: number; height: number; expectedWidth: number; expectedHeight: number }): Promise<Fit | null> {
  const image = panel.images.find((i) => i.name === picture);
  const caption = image ? t(image.key) : picture;
  const fits: [Fit, string, string][] = [['cover', 'LANG_FIT_COVER$', 'LANG_FIT_COVER_TIP$'], ['stretch', 'LANG_FIT_STRETCH$', 'LANG_FIT_STRETCH_TIP$'], ['keep', 'LANG_FIT_KEEP$', 'LANG_FIT_KEEP_TIP$']];
  const box = 160;
  const scale = Math.max(1, Math.floor(box / Math.max(sizes.expectedWidth, sizes.expectedHeight)));
  const previews = el('div', { class: 'fit-previews' });
  for (const [fit, key, tip] of fits) {
    await engine.importPicture(picture, fileName, bytes.slice(), fit, { preview: true });
    const shown = await engine.picture(picture);
    const c = el('canvas', { width: sizes.expectedWidth * scale, height: sizes.expectedHeight * scale, role: 'img', 'aria-label': t(key) });
    if (shown) {
      const bitmap = await createImageBitmap(new ImageData(shown.data as Uint8ClampedArray<ArrayBuffer>, shown.width, shown.height));
      const ctx = c.getContext('2d')!;
      ctx.imageSmoothingEnabled = false;
      ctx.drawImage(bitmap, 0, 0, shown.width * scale, shown.height * scale);
    }
    previews.append(el('figure', { title: t(tip) }, c, el('figcaption', {}, t(key))));
  }
  await engine.endPreview();
  const body = el('div', {}, el('p', {}, t('LANG_FIT_ASK$', fileName, sizes.width, sizes.height, caption, sizes.expectedWidth, sizes.expectedHeight)), previews);
  return ask<Fit | null>(t('LANG_FIT_TITLE$'), body, [
    ...fits.map(([fit, key, tip], i) => ({ label: t(key), value: fit as Fit | null, default: i === 0, title: t(tip) })),
    { label: t('LANG_CANCEL$'), value: null },
  ], null);
}

function choosePicture(name: string): void {
  pictureInput.value = '';
  pictureInput.dataset.picture = name;
  pictureInput.click();
}

pictureInput.addEventListener('change', () => {
  const file = pictureInput.files?.[0];
  const name = pictureInput.dataset.picture;
  if (file && name) void command(() => importInto(name, file));
});

// ---------------------------------------------------------------------------
// Colour dialogs

let colourClipboard: Rgb | null = null;

// A modal dialog whose changes the preview shows live: resolves to the
// button that closed it ("ok", "cancel", or "" for Escape) once the last
// change it previewed is made and what it previewed is taken away.
async function previewDialog(dialog: HTMLDialogElement, first: HTMLInputElement, previewed: () => Promise<unknown>): Promise<string> {
  document.body.append(dialog);
  dialog.showModal();
  first.focus();
  first.select();
  const answer = await new Promise<string>((resolve) => dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true }));
  dialog.remove();
  await previewed();
  await engine.endPreview();
  return answer;
}

async function editColour(key: string): Promise<void> {
  const field = colourField(key);
  if (!field) return;
  const opener = colourButtons.get(key);
  const before = field.value as Rgb;
  let current: Rgb = [...before];
  const channel = (label: string, i: number) => el('label', {}, label,
    el('input', { type: 'number', min: '0', max: '31', value: String(before[i] >> 3), 'data-channel': String(i) }));
  const text = el('input', { type: 'text', value: hex(before), 'aria-label': t('LANG_COLORTEXT$').replace(/:$/, ''), title: t('LANG_COLORTEXT_TIP$'), spellcheck: false });
  const code = el('output', { title: t('LANG_COLORFILE_TIP$') }, fileCode(before));
  const picker = el('input', { type: 'color', value: hex(before), 'aria-label': t('LANG_COLORREQUESTER$') });
  const swatchOld = el('span', { class: 'swatch big', style: `background:${hex(before)}`, title: t('LANG_ACTUAL_COLOR$') });
  const swatchNew = el('span', { class: 'swatch big', style: `background:${hex(before)}`, title: t('LANG_NEW_COLOR$') });
  const channels = [channel(t('LANG_RED$'), 0), channel(t('LANG_GREEN$'), 1), channel(t('LANG_BLUE$'), 2)];
  const channelInputs = channels.map((c) => c.querySelector('input')!);
  let previewing = Promise.resolve();
  const show = (rgb: Rgb, from: 'text' | 'channels' | 'picker' | 'other') => {
    current = [rgb[0] & 0xf8, rgb[1] & 0xf8, rgb[2] & 0xf8];
    if (from !== 'text') text.value = hex(current);
    if (from !== 'channels') channelInputs.forEach((input, i) => (input.value = String(current[i] >> 3)));
    if (from !== 'picker') picker.value = hex(current);
    code.textContent = fileCode(current);
    swatchNew.style.background = hex(current);
    const rgbNow: Rgb = [...current];
    previewing = previewing.then(async () => {
      await engine.setColour(field.section, field.key, rgbNow, { preview: true });
      await draw();
    });
  };
  text.addEventListener('input', async () => {
    const parsed = await engine.parseColour(text.value);
    text.toggleAttribute('aria-invalid', !parsed);
    if (parsed) show(parsed, 'text');
  });
  channelInputs.forEach((input) => input.addEventListener('input', () => {
    const v = channelInputs.map((c) => Math.max(0, Math.min(31, Number(c.value) || 0)) * 8) as Rgb;
    show(v, 'channels');
  }));
  picker.addEventListener('input', () => {
    const v = picker.value;
    show([parseInt(v.slice(1, 3), 16), parseInt(v.slice(3, 5), 16), parseInt(v.slice(5, 7), 16)], 'picker');
  });
  const copy = el('button', { type: 'button', onclick: () => copyColour(current) }, t('LANG_COPY_COLOR$'));
  const paste = el('button', { type: 'button', onclick: async () => {
    const pasted = await readClipboardColour();
    if (pasted) show(pasted, 'other');
  } }, t('LANG_PASTE_COLOR$'));
  const title = t('LANG_COLORSETTING_OF$', t(`LANG_COLOR_${key}$`));
  const form = el('form', { method: 'dialog' },
    el('h2', {}, title),
    el('p', { class: 'help' }, t('LANG_INFO$').split(';')[0] + '.'),
    el('div', { class: 'colour-row' }, swatchOld, swatchNew, el('label', {}, t('LANG_COLORTEXT$'), text), code),
    el('div', { class: 'colour-row' }, ...channels),
    el('div', { class: 'colour-row' }, el('label', {}, t('LANG_COLORREQUESTER$'), picker), copy, paste),
    el('p', { class: 'help' }, t('LANG_COLORLEVELS$')),
    el('div', { class: 'buttons' },
      el('button', { type: 'submit', value: 'ok', class: 'default' }, t('LANG_OK$')),
      el('button', { type: 'submit', value: 'cancel', formnovalidate: true }, t('LANG_CANCEL$'))));
  const value = await previewDialog(el('dialog', { class: 'colour-dialog', 'aria-label': title }, form), text, () => previewing);
  if (value === 'ok' && fileCode(current) !== fileCode(before)) {
    await change(engine.setColour(field.section, field.key, current));
  } else {
    await draw();
  }
  opener?.focus();
}

function copyColour(rgb: Rgb): void {
  colourClipboard = rgb;
  void navigator.clipboard?.writeText(hex(rgb)).catch(() => {});
}

async function readClipboardColour(): Promise<Rgb | null> {
  try {
    const text = await navigator.clipboard.readText();
    const parsed = await engine.parseColour(text);
    if (parsed) return parsed;
  } catch {
    // no permission: the page's own clipboard
  }
  return colourClipboard;
}

async function replaceColourDialog(from: string): Promise<void> {
  const fromRgb = rgbOfCode(from);
  let to: Rgb = fromRgb;
  const text = el('input', { type: 'text', value: hex(fromRgb), 'aria-label': t('LANG_NEW_COLOR$'), title: t('LANG_COLORTEXT_TIP$'), spellcheck: false });
  const picker = el('input', { type: 'color', value: hex(fromRgb), 'aria-label': t('LANG_COLORREQUESTER$') });
  const value15 = (rgb: Rgb) => parseInt(fileCode(rgb), 16);
  let previewing = Promise.resolve();
  const show = (rgb: Rgb, fromPicker: boolean) => {
    to = [rgb[0] & 0xf8, rgb[1] & 0xf8, rgb[2] & 0xf8];
    if (fromPicker) text.value = hex(to);
    else picker.value = hex(to);
    const target = value15(to);
    previewing = previewing.then(async () => {
      await engine.replaceColour(value15(fromRgb), target, { preview: true });
      await draw();
    });
  };
  text.addEventListener('input', async () => {
    const parsed = await engine.parseColour(text.value);
    text.toggleAttribute('aria-invalid', !parsed);
    if (parsed) show(parsed, false);
  });
  picker.addEventListener('input', () => show([1, 3, 5].map((i) => parseInt(picker.value.slice(i, i + 2), 16)) as Rgb, true));
  const title = t('LANG_PALETTE_REPLACE$');
  const form = el('form', { method: 'dialog' }, el('h2', {}, title),
    el('div', { class: 'colour-row' }, el('span', { class: 'swatch big', style: `background:${hex(fromRgb)}`, title: t('LANG_ACTUAL_COLOR$') }),
      el('output', {}, from), el('label', {}, t('LANG_NEW_COLOR$'), text), el('label', {}, t('LANG_COLORREQUESTER$'), picker)),
    el('div', { class: 'buttons' }, el('button', { type: 'submit', value: 'ok', class: 'default' }, t('LANG_OK$')),
      el('button', { type: 'submit', value: 'cancel' }, t('LANG_CANCEL$'))));
  const answer = await previewDialog(el('dialog', { 'aria-label': title }, form), text, () => previewing);
  if (answer === 'ok' && value15(to) !== value15(fromRgb)) await change(engine.replaceColour(value15(fromRgb), value15(to)));
  else await draw();
}

async function recolourDialog(): Promise<void> {
  const shift = { hue: 0, saturation: 0, lightness: 0 };
  let scope: 'everything' | 'pictures' | 'fields' = 'everything';
  let previewing = Promise.resolve();
  let queued = false;
  const preview = () => {
    if (queued) return;
    queued = true;
    previewing = previewing.then(async () => {
      queued = false;
      await engine.recolour({ ...shift }, scope, { preview: true });
      await draw();
    });
  };
  const row = (key: string, name: keyof typeof shift, limit: number) => {
    const slider = el('input', { type: 'range', min: String(-limit), max: String(limit), value: '0', 'aria-label': t(key) });
    const box = el('input', { type: 'number', min: String(-limit), max: String(limit), value: '0', 'aria-label': t(key) });
    const set = (v: number, typed = false) => {
      shift[name] = Math.max(-limit, Math.min(limit, Math.trunc(v) || 0));
      slider.value = String(shift[name]);
      // What is being typed stays as typed ("-" on the way to "-60").
      if (!typed) box.value = String(shift[name]);
      preview();
    };
    slider.addEventListener('input', () => set(Number(slider.value)));
    box.addEventListener('input', () => set(Number(box.value), true));
    return { line: el('div', { class: 'recolour-row' }, el('span', {}, t(key)), slider, box), set };
  };
  const rows = [row('LANG_RECOLOR_HUE$', 'hue', 180), row('LANG_RECOLOR_SATURATION$', 'saturation', 100), row('LANG_RECOLOR_LIGHTNESS$', 'lightness', 100)];
  const scopes = el('fieldset', {}, el('legend', {}, t('LANG_RECOLOR_SCOPE$')),
    ...([['everything', 'LANG_RECOLOR_ALL$'], ['pictures', 'LANG_RECOLOR_PICTURES$'], ['fields', 'LANG_RECOLOR_FIELDS$']] as const).map(([v, key]) =>
      el('label', {}, el('input', { type: 'radio', name: 'scope', value: v, checked: v === 'everything', onchange: () => { scope = v; preview(); } }), t(key))));
  const title = t('LANG_RECOLOR_TITLE$');
  const form = el('form', { method: 'dialog' }, el('h2', {}, title), ...rows.map((r) => r.line), scopes,
    el('div', { class: 'buttons' },
      el('button', { type: 'button', onclick: () => rows.forEach((r) => r.set(0)) }, t('LANG_RECOLOR_RESET$')),
      el('button', { type: 'submit', value: 'ok', class: 'default' }, t('LANG_OK$')),
      el('button', { type: 'submit', value: 'cancel' }, t('LANG_CANCEL$'))));
  const answer = await previewDialog(el('dialog', { 'aria-label': title }, form), rows[0].line.querySelector('input')!, () => previewing);
  if (answer === 'ok' && (shift.hue || shift.saturation || shift.lightness)) await change(engine.recolour({ ...shift }, scope));
  else await draw();
}

// ---------------------------------------------------------------------------
// The preview under the pointer: what draws it, selecting, dragging, nudging

let hoverAt: { x: number; y: number } | null = null;
let hovering = false;
let drag: { section: string; x0: number; y0: number; px: number; py: number; gesture: string; moved: boolean } | null = null;
let gestures = 0;
let nudge: { gesture: string; timer: ReturnType<typeof setTimeout> } | null = null;

function canvasPoint(e: PointerEvent | MouseEvent): { x: number; y: number } {
  const r = canvas.getBoundingClientRect();
  return { x: Math.floor(((e.clientX - r.left) * canvas.width) / r.width), y: Math.floor(((e.clientY - r.top) * canvas.height) / r.height) };
}

async function hover(): Promise<void> {
  if (hovering) return;
  hovering = true;
  try {
    while (hoverAt) {
      const at = hoverAt;
      hoverAt = null;
      const trace = await engine.trace(screen, zoom, at.x, at.y);
      await showTrace(trace);
      probe.hovers++;
      probe.lastHoverAt = performance.now();
    }
  } finally {
    hovering = false;
  }
}

async function showTrace(trace: Trace | null): Promise<void> {
  if (!trace || (!trace.source && trace.elements.length === 0)) {
    if (trace) status(t('LANG_STATUS_PIXEL_NONE$'));
    highlight = null;
    paintHighlight();
    return;
  }
  const parts: string[] = [];
  if (trace.source) parts.push(sourceName(trace.source));
  for (const section of trace.elements) parts.push(elementName(section));
  status(`${parts.join(' · ')}  (${trace.x}, ${trace.y})`);
  await hoverDrawer(trace.source ?? { kind: 'element', section: trace.elements[0] });
}

function selectControl(trace: Trace): void {
  if (trace.elements.length) {
    selectedElement = trace.elements[0];
    showTab(2);
    const row = [...elementRows.entries()].find(([k]) => k.startsWith(selectedElement + '#'))?.[1];
    row?.scrollIntoView({ block: 'nearest' });
    row?.classList.add('selected');
    for (const r of elementRows.values()) if (r !== row) r.classList.remove('selected');
  } else if (trace.source?.kind === 'colour') {
    showTab(0);
    colourButtons.get(trace.source.key)?.scrollIntoView({ block: 'nearest' });
    colourButtons.get(trace.source.key)?.classList.add('selected');
  } else if (trace.source?.kind === 'picture') {
    showTab(1);
    imageButtons.get(trace.source.name)?.scrollIntoView({ block: 'nearest' });
  }
}

function elementPlace(section: string): { x: number; y: number } | null {
  const x = fieldValue(section, 'x'), y = fieldValue(section, 'y');
  return typeof x === 'number' && typeof y === 'number' ? { x, y } : null;
}

function wirePreview(): void {
  canvas.addEventListener('pointermove', (e) => {
    if (drag) {
      const p = canvasPoint(e);
      const dx = Math.round((p.x - drag.px) / zoom), dy = Math.round((p.y - drag.py) / zoom);
      if (dx || dy || drag.moved) {
        drag.moved = true;
        const d = drag;
        void change(engine.moveElement(d.section, d.x0 + dx, d.y0 + dy, d.gesture));
      }
      return;
    }
    hoverAt = canvasPoint(e);
    void hover();
  });
  canvas.addEventListener('pointerleave', () => {
    hoverAt = null;
    if (!drag) {
      highlight = null;
      paintHighlight();
    }
  });
  canvas.addEventListener('pointerdown', async (e) => {
    if (e.button !== 0) return;
    canvas.focus();
    const p = canvasPoint(e);
    const trace = await engine.trace(screen, zoom, p.x, p.y);
    if (!trace) return;
    selectControl(trace);
    const section = trace.elements[0];
    const place = section ? elementPlace(section) : null;
    if (section && place) {
      canvas.setPointerCapture(e.pointerId);
      drag = { section, x0: place.x, y0: place.y, px: p.x, py: p.y, gesture: `drag-${++gestures}`, moved: false };
    }
  });
  const endDrag = () => {
    drag = null;
  };
  canvas.addEventListener('pointerup', endDrag);
  canvas.addEventListener('pointercancel', endDrag);
  canvas.addEventListener('keydown', (e) => {
    const moves: Record<string, [number, number]> = { ArrowLeft: [-1, 0], ArrowRight: [1, 0], ArrowUp: [0, -1], ArrowDown: [0, 1] };
    const m = moves[e.key];
    if (!m || !selectedElement || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();
    const place = elementPlace(selectedElement);
    if (!place) return;
    const step = e.shiftKey ? 8 : 1;
    // A run of nudges is one step of Undo: it ends when the keys rest.
    if (!nudge) nudge = { gesture: `nudge-${++gestures}`, timer: 0 as unknown as ReturnType<typeof setTimeout> };
    clearTimeout(nudge.timer);
    nudge.timer = setTimeout(() => (nudge = null), 1000);
    void change(engine.moveElement(selectedElement, place.x + m[0] * step, place.y + m[1] * step, nudge.gesture));
  });
}

// ---------------------------------------------------------------------------
// Drop: a skin folder or archive on the page, a picture on its button or on the preview

function wireDrop(): void {
  let depth = 0;
  const hint = (shown: boolean) => {
    const zone = document.getElementById('drop-hint');
    if (zone) zone.hidden = !shown;
  };
  document.addEventListener('dragenter', (e) => {
    if (!e.dataTransfer?.types.includes('Files')) return;
    ++depth;
    hint(true);
  });
  document.addEventListener('dragleave', () => {
    if (--depth <= 0) {
      depth = 0;
      hint(false);
    }
  });
  document.addEventListener('dragover', (e) => {
    if (e.dataTransfer?.types.includes('Files')) e.preventDefault();
  });
  document.addEventListener('drop', (e) => {
    depth = 0;
    hint(false);
    const data = e.dataTransfer;
    if (!data) return;
    e.preventDefault();
    const item = data.items[0];
    const file = data.files[0] ?? null;
    // Asked for while the drop lasts: the browser forgets them after.
    const handle = (item as unknown as { getAsFileSystemHandle?(): Promise<FileSystemHandle | null> })?.getAsFileSystemHandle?.() ?? null;
    const entry = item?.webkitGetAsEntry?.() ?? null;
    const onButton = (e.target as HTMLElement).closest?.('[data-picture]') as HTMLElement | null;
    const point = e.target === canvas ? canvasPoint(e) : null;
    void command(async () => {
      const h = handle ? await handle.catch(() => null) : null;
      if (h?.kind === 'directory') return openFolderHandle(h as FileSystemDirectoryHandle);
      if (entry?.isDirectory) {
        if (!(await confirmLeave())) return;
        return openFolderFiles(entry.name, () => files.readFolderEntry(entry as FileSystemDirectoryEntry), null);
      }
      if (!file) return;
      if (/\.zip$/i.test(file.name)) return openArchiveFile(file);
      if (onButton && !(onButton as HTMLButtonElement).disabled) return importInto(onButton.dataset.picture!, file);
      if (point) {
        const trace = await engine.trace(screen, zoom, point.x, point.y);
        if (trace?.source?.kind === 'picture') return importInto(trace.source.name, file);
        status(t('LANG_STATUS_DROP_NO_PICTURE$'));
      }
    });
  });
}

// ---------------------------------------------------------------------------
// Commands, menus and keys

function screenName(s: number): string {
  return t(`LANG_SCREEN_${String(s).padStart(2, '0')}$`);
}

// The language files, fetched once: once the page is loaded, it needs no network.
const languageFiles = new Map<string, Promise<Uint8Array>>();
function languageBytes(file: string): Promise<Uint8Array> {
  let bytes = languageFiles.get(file);
  if (!bytes) {
    bytes = fetch(new URL(`language/${file}`, document.baseURI)).then(async (response) => {
      if (!response.ok) throw new Error(`${response.status}`);
      return new Uint8Array(await response.arrayBuffer());
    });
    bytes.catch(() => languageFiles.delete(file));
    languageFiles.set(file, bytes);
  }
  return bytes;
}

async function chooseLanguage(file: string | null, starting = false): Promise<void> {
  let bytes: Uint8Array | null = null;
  if (file) {
    try {
      bytes = (await languageBytes(file)).slice();
    } catch {
      status(t('LANG_STATUS_LANGUAGE_MISSING$', file, 'language/'));
      return;
    }
  }
  await engine.setLanguage(bytes);
  texts = await engine.texts();
  languageFile = file;
  localStorage.setItem(kLanguageKey, file ?? '');
  if (starting) return;
  build();
  await refresh(false);
  await refreshSides();
}

function showTab(i: number): void {
  tab = i;
  tabButtons.forEach((b, j) => {
    b.setAttribute('aria-selected', String(i === j));
    b.tabIndex = i === j ? 0 : -1;
  });
  panelPages.forEach((p, j) => (p.hidden = i !== j));
  if (i === 1) void showThumbnails();
}

function buildMenus(): HTMLElement {
  menubar = new MenuBar(t('LANG_FILE$'));
  const folderAccess = files.hasFolderAccess;
  menubar.add(t('LANG_FILE$'), () => {
    const entries: MenuEntry[] = [
      { label: t('LANG_FILE_NEW$'), run: () => void command(() => newSkin()) },
      '-',
      { label: t('LANG_FILE_OPEN$'), heading: true },
      { label: t('LANG_FILE_OPEN_FOLDER$'), run: () => void command(() => openFolder()), keys: 'Ctrl+O' },
      { label: '*.zip', run: () => { archiveInput.value = ''; archiveInput.click(); } },
    ];
    entries.push({ label: t('LANG_FILE_OPEN_RECENT$'), heading: true });
    for (const r of recent) {
      entries.push({ label: r.label, run: () => void command(() => openRecent(r)) });
    }
    entries.push('-',
      { label: t('LANG_FILE_SAVE$'), run: () => void command(() => save()), keys: 'Ctrl+S' },
      { label: t('LANG_FILE_SAVE_FOLDER$'), run: () => void command(() => saveToFolder()), disabled: !folderAccess, keys: 'Ctrl+Shift+S' },
      { label: t('LANG_FILE_SAVE_ARCHIVE$'), run: () => void command(() => saveArchive()) },
      '-',
      { label: t('LANG_FILE_SCREENSHOT$'), heading: true },
      { label: t('LANG_FILE_SCREENSHOT2D$'), run: () => void command(() => screenshot()) });
    return entries;
  });
  menubar.add(t('LANG_EDIT$'), () => [
    { label: state.undoText ? `${t('LANG_EDIT_UNDO$')} ${state.undoText}` : t('LANG_EDIT_UNDO$'), run: () => void command(() => undo()), disabled: !state.undo, keys: 'Ctrl+Z' },
    { label: state.redoText ? `${t('LANG_EDIT_REDO$')} ${state.redoText}` : t('LANG_EDIT_REDO$'), run: () => void command(() => redo()), disabled: !state.redo, keys: 'Ctrl+Shift+Z' },
  ]);
  menubar.add(t('LANG_VIEW$'), () => [
    { label: t('LANG_VIEW_ZOOM_IN$'), run: () => setZoom(zoom + 1), keys: 'Ctrl+=' },
    { label: t('LANG_VIEW_ZOOM_OUT$'), run: () => setZoom(zoom - 1), keys: 'Ctrl+-' },
    { label: t('LANG_VIEW_ZOOM_RESET$'), run: () => setZoom(Math.round(dpr())), keys: 'Ctrl+0' },
    { label: t('LANG_VIEW_ZOOM_FIT$'), run: () => setZoom(fitZoom()) },
    '-',
    { label: t('LANG_VIEW_SIMULATE$'), heading: true },
    ...kFilters.map(([f, key]) => ({ label: t(key), checked: filter === f, radio: true, run: () => setFilter(f) })),
    '-',
    { label: t('LANG_VIEW_COMPARE_SAVED$'), checked: comparing, run: () => setComparing(!comparing), title: t('LANG_COMPARE_TIP$') },
    '-',
    { label: t('LANG_VIEW_OVERVIEW$'), checked: docks.overview, run: () => showDock('overview', !docks.overview), keys: 'F10' },
    { label: t('LANG_VIEW_PROBLEMS$'), checked: docks.problems, run: () => showDock('problems', !docks.problems), keys: 'F8' },
    { label: t('LANG_VIEW_PALETTE$'), checked: docks.palette, run: () => showDock('palette', !docks.palette), keys: 'F9' },
  ]);
  menubar.add(t('LANG_SKIN$'), () => [{ label: t('LANG_SKIN_RECOLOR$'), run: () => void command(() => recolourDialog()) }]);
  menubar.add(texts['LANG_LANGUAGE$'] ?? 'Language', () =>
    languages.map((l) => ({ label: l.label, checked: languageFile === l.file, radio: true, run: () => void command(() => chooseLanguage(l.file)) })));
  menubar.add(t('LANG_SCREEN$'), () => [
    ...Array.from({ length: kScreens }, (_, s) => ({ label: screenName(s), checked: s === screen, radio: true, run: () => void command(() => setScreen(s)) })),
    '-',
    { label: t('LANG_SCREEN_PREV$'), run: () => void command(() => setScreen(screen - 1)), keys: 'PageUp' },
    { label: t('LANG_SCREEN_NEXT$'), run: () => void command(() => setScreen(screen + 1)), keys: 'PageDown' },
  ]);
  return menubar.element;
}

let recent: (store.RecentSkin & { label: string })[] = [];

/** The recent skins, each with its name as the page shows it. */
async function loadRecent(): Promise<void> {
  recent = await Promise.all((await store.listRecent()).map(async (r) => ({ ...r, label: await engine.printable(r.name) })));
}

async function openRecent(r: store.RecentSkin): Promise<void> {
  // Asked once more for the folder (a browser forgets what it granted when
  // the page closes); refused, the reading says why.
  await files.mayWrite(r.handle);
  await openFolderHandle(r.handle);
}

function buildPanel(): HTMLElement {
  colourButtons = new Map();
  imageButtons = new Map();
  numberInputs = new Map();
  pendingCommits.clear();
  flagBoxes = new Map();
  textInputs = new Map();
  elementRows = new Map();
  const names = ['LANG_PANEL_COLORS$', 'LANG_PANEL_IMAGES$', 'LANG_PANEL_ELEMETS$', 'LANG_PANEL_INFORMATIONS$'];
  const tablist = el('div', { role: 'tablist', class: 'tabs' });
  tabButtons = names.map((key, i) => {
    const b = el('button', { type: 'button', role: 'tab', id: `tab-${i}`, 'aria-controls': `page-${i}`, onclick: () => showTab(i) }, t(key));
    b.addEventListener('keydown', (e) => {
      if (e.key === 'ArrowRight' || e.key === 'ArrowLeft') {
        const j = (i + (e.key === 'ArrowRight' ? 1 : 3)) % 4;
        showTab(j);
        tabButtons[j].focus();
      }
    });
    tablist.append(b);
    return b;
  });
  // Colours
  const colours = el('div', { class: 'grid colours' });
  for (const c of panel.colours) {
    const b = el('button', { type: 'button', class: 'control', 'data-field': c.name, style: `grid-row:${c.row + 1};grid-column:${c.column + 1}`, onclick: () => void command(() => editColour(c.name)) },
      el('span', { class: 'swatch' }), el('span', { class: 'caption' }, t(c.key)));
    b.setAttribute('aria-label', t(c.key));
    b.addEventListener('copy', (e) => {
      const rgb = colourField(c.name)?.value as Rgb | undefined;
      if (!rgb) return;
      e.preventDefault();
      e.clipboardData?.setData('text/plain', hex(rgb));
      colourClipboard = rgb;
    });
    b.addEventListener('paste', async (e) => {
      e.preventDefault();
      const text = e.clipboardData?.getData('text/plain') ?? '';
      const parsed = (text && (await engine.parseColour(text))) || colourClipboard;
      const f = colourField(c.name);
      if (parsed && f) await change(engine.setColour(f.section, f.key, parsed));
    });
    b.addEventListener('pointerenter', () => void hoverDrawer({ kind: 'colour', section: colourField(c.name)?.section ?? '', key: c.name }));
    b.addEventListener('pointerleave', () => { highlight = null; paintHighlight(); });
    colourButtons.set(c.name, b);
    colours.append(b);
  }
  // Images
  const images = el('div', { class: 'grid images' });
  for (const c of panel.images) {
    const b = el('button', { type: 'button', class: 'control', 'data-picture': c.name, style: `grid-row:${c.row + 1};grid-column:${c.column + 1}`, onclick: () => choosePicture(c.name) },
      el('canvas', { width: 32, height: 24, class: 'thumb', 'aria-hidden': 'true' }), el('span', { class: 'caption' }, t(c.key)));
    b.setAttribute('aria-label', t(c.key));
    b.addEventListener('pointerenter', () => void hoverDrawer({ kind: 'picture', name: c.name }));
    b.addEventListener('pointerleave', () => { highlight = null; paintHighlight(); });
    imageButtons.set(c.name, b);
    images.append(b);
  }
  // Elements
  const elements = el('table', { class: 'elements' });
  const columns = [['x', 'LANG_PANEL_COLUMN_X$'], ['y', 'LANG_PANEL_COLUMN_Y$'], ['w', 'LANG_PANEL_COLUMN_W$']] as const;
  elements.append(el('thead', {}, el('tr', {}, el('th', {}), ...columns.map(([, key]) => el('th', { scope: 'col' }, t(key))))));
  const body = el('tbody');
  for (const e of panel.elements) {
    const caption = e.key ? t(e.key) : e.caption;
    let label: HTMLElement;
    if (e.flag) {
      const box = el('input', { type: 'checkbox', 'aria-label': caption, title: t('LANG_PANEL_TIP_FIELD$', `${e.section} ${e.flag}`) });
      box.addEventListener('change', () => void change(engine.setFlag(e.section, e.flag!, box.checked)));
      flagBoxes.set(e.section, box);
      label = el('label', {}, box, caption);
    } else {
      label = el('span', { class: 'plain' }, caption);
    }
    const cells = columns.map(([col, heading]) => {
      const has = e[col];
      if (!has) return el('td');
      const [min, max] = panel.ranges[col];
      const input = el('input', { type: 'number', min: String(min), max: String(max), 'aria-label': `${caption} ${t(heading)}`, title: t('LANG_PANEL_TIP_FIELD$', `${e.section} ${col}`) });
      // A number is a step as it is typed (the steps of one box merge), as
      // on the desktop; one out of range waits for the box to be left, or
      // for a save, and is then taken clamped.
      const commit = (clamp: boolean) => {
        if (input.value.trim() === '') return;
        const typed = Math.trunc(Number(input.value));
        if (!Number.isFinite(typed)) return;
        const v = Math.max(min, Math.min(max, typed));
        if (v !== typed && !clamp) return;
        if (clamp && String(v) !== input.value) input.value = String(v);
        if (fieldValue(e.section, col) !== v) void change(engine.setNumber(e.section, col, v));
      };
      input.addEventListener('input', () => commit(false));
      input.addEventListener('change', () => commit(true));
      pendingCommits.set(input, { commit: () => commit(true), differs: () => input.value !== String(fieldValue(e.section, col)) });
      input.addEventListener('focus', () => { selectedElement = e.section; });
      numberInputs.set(`${e.section}|${col}`, input);
      return el('td', {}, input);
    });
    const tr = el('tr', { 'data-section': e.section }, el('th', { scope: 'row' }, label), ...cells);
    tr.addEventListener('pointerenter', () => void hoverDrawer({ kind: 'element', section: e.section }));
    tr.addEventListener('pointerleave', () => { highlight = null; paintHighlight(); });
    elementRows.set(e.section + '#' + e.row, tr);
    if (!elementRows.has(e.section)) elementRows.set(e.section, tr);
    body.append(tr);
  }
  elements.append(body);
  // Information
  const info = el('div', { class: 'info' });
  const infoKeys = [['Title', 'LANG_INFO_TITLE$'], ['Author', 'LANG_INFO_AUTHOR$'], ['eMail', 'LANG_INFO_EMAIL$'], ['Url', 'LANG_INFO_URL$'], ['LastUpdate', 'LANG_INFO_UPDATE$']];
  for (const [key, label] of infoKeys) {
    // LastUpdate is the moment of saving: nobody types it.
    const input = el('input', { type: 'text', spellcheck: false, readOnly: key === 'LastUpdate' });
    // The typing is a step as it goes (the typing in one box merges), so a
    // save, the journal and leaving the page take what the box shows. What
    // the settings file cannot hold is refused as it is typed: the box goes
    // back to the last text it could keep, and says why.
    let accepted = input.value;
    const commit = async () => {
      const typed = input.value;
      if (typed === (fieldValue('[SkinInfo]', key) ?? '')) return;
      const result = await engine.setText('[SkinInfo]', key, typed);
      if (result === 'refused') {
        if (input.value === typed) input.value = accepted;
        input.setAttribute('aria-invalid', 'true');
        status(t('LANG_INFO_LATIN1$'));
        return;
      }
      accepted = typed;
      input.removeAttribute('aria-invalid');
      await refresh(result === 'changed');
    };
    if (key !== 'LastUpdate') {
      input.addEventListener('input', (ev) => {
        if (!(ev as InputEvent).isComposing) void commit();
      });
      input.addEventListener('compositionend', () => void commit());
      input.addEventListener('focus', () => { accepted = input.value; });
      pendingCommits.set(input, { commit, differs: () => input.value !== (fieldValue('[SkinInfo]', key) ?? '') });
    }
    textInputs.set(key, input);
    info.append(el('label', {}, el('span', {}, t(label)), input));
  }
  info.append(el('p', { class: 'help' }, t('LANG_INFO_LATIN1$')));
  panelPages = [colours, images, elements, info].map((content, i) =>
    el('div', { role: 'tabpanel', id: `page-${i}`, 'aria-labelledby': `tab-${i}`, class: 'page' }, content));
  return el('section', { class: 'panel' }, tablist, ...panelPages);
}

// What a colour field, a picture or an element draws, highlighted on the
// preview: a colour by its pixels, anything by its bounds.
async function hoverDrawer(drawer: TraceSource | { kind: 'element'; section: string }): Promise<void> {
  const mask = await engine.mask(screen, zoom, drawer);
  highlight = mask ? { bounds: mask.bounds, mask: drawer.kind === 'colour' ? mask.data : undefined } : null;
  paintHighlight();
}

function buildDocks(): HTMLElement {
  overviewDock = el('section', { class: 'dock overview', 'aria-label': t('LANG_VIEW_OVERVIEW$'), hidden: !docks.overview },
    el('h2', {}, t('LANG_VIEW_OVERVIEW$')),
    el('div', { class: 'thumbnails' }, ...Array.from({ length: kScreens }, (_, s) =>
      el('button', { type: 'button', class: 'thumbnail', 'aria-label': screenName(s), title: screenName(s), 'aria-current': String(s === screen), onclick: () => void setScreen(s) },
        el('canvas', { width: 266, height: 490 }), el('span', {}, String(s + 1))))));
  paletteDock = el('section', { class: 'dock palette', 'aria-label': t('LANG_VIEW_PALETTE$'), hidden: !docks.palette },
    el('h2', {}, t('LANG_VIEW_PALETTE$')), el('ul', { class: 'swatches' }));
  problemsDock = el('section', { class: 'dock problems', 'aria-label': t('LANG_VIEW_PROBLEMS$'), hidden: !docks.problems },
    el('h2', {}, t('LANG_VIEW_PROBLEMS$')), el('ul', { class: 'problem-list' }));
  return el('div', { class: 'docks' }, overviewDock, paletteDock, problemsDock);
}

/** The whole page in the language in force. */
function build(): void {
  document.documentElement.lang = languageFile ? ({ 't_chinese.ini': 'zh-TW', 's_chinese.ini': 'zh-CN', 'spanish.ini': 'es', 'francais.ini': 'fr', 'german.ini': 'de', 'pbrasil.ini': 'pt-BR', 'italiano.ini': 'it', 'japanese.ini': 'ja' } as Record<string, string>)[languageFile] ?? 'en' : 'en';
  canvas = el('canvas', { class: 'preview', role: 'img', 'aria-label': 'Preview', tabindex: '0' });
  overlay = el('canvas', { class: 'overlay', 'aria-hidden': 'true' });
  savedCanvas = el('canvas', { class: 'preview', role: 'img', 'aria-label': t('LANG_COMPARE_SAVED$') });
  savedFigure = el('figure', { class: 'saved', hidden: !comparing, title: t('LANG_COMPARE_TIP$') }, savedCanvas, el('figcaption', {}, t('LANG_COMPARE_SAVED$')));
  viewport = el('div', { class: 'viewport' }, el('div', { class: 'stage' }, el('figure', { class: 'current' }, canvas, overlay), savedFigure));
  screenChooser = el('select', { 'aria-label': t('LANG_SCREEN$'), onchange: () => void setScreen(Number(screenChooser.value)) },
    ...Array.from({ length: kScreens }, (_, s) => el('option', { value: String(s) }, screenName(s))));
  screenChooser.value = String(screen);
  screenButtons = Array.from({ length: kScreens }, (_, s) =>
    el('button', { type: 'button', class: 'screen-button', title: screenName(s), 'aria-pressed': String(s === screen), onclick: () => void setScreen(s) }, String(s + 1)));
  statusText = el('span', { class: 'status', role: 'status' });
  countsText = el('span', { class: 'counts' });
  zoomText = el('span', { class: 'zoom' });
  simulationText = el('span', { class: 'simulation' });
  root.replaceChildren(
    el('header', {}, buildMenus(), el('span', { id: 'skin-name', class: 'skin-name' })),
    el('main', {},
      el('section', { class: 'preview-area' },
        el('div', { class: 'screens' }, el('button', { type: 'button', class: 'screen-button', 'aria-label': t('LANG_SCREEN_PREV$'), title: t('LANG_SCREEN_PREV$'), onclick: () => void setScreen(screen - 1) }, '‹'),
          screenChooser,
          el('button', { type: 'button', class: 'screen-button', 'aria-label': t('LANG_SCREEN_NEXT$'), title: t('LANG_SCREEN_NEXT$'), onclick: () => void setScreen(screen + 1) }, '›'),
          el('span', { class: 'screen-numbers' }, ...screenButtons)),
        viewport),
      buildPanel(),
      buildDocks()),
    el('footer', {}, progress, cancelButton, statusText, simulationText, countsText, zoomText),
    el('div', { id: 'drop-hint', hidden: true }, el('p', {}, t('LANG_WEB_DROP$'))),
    archiveInput, folderInput, pictureInput);
  progress.setAttribute('aria-label', t('LANG_WEB_WORKING$'));
  cancelButton.textContent = t('LANG_CANCEL$');
  wirePreview();
  showTab(tab);
  enableForScreen();
  zoomText.textContent = t('LANG_STATUS_ZOOM$', Math.round((zoom * 100) / dpr()));
  if (filter !== 'none') setFilter(filter);
}

function typing(target: EventTarget | null): boolean {
  const e = target as HTMLElement | null;
  return !!e && (e.tagName === 'INPUT' || e.tagName === 'TEXTAREA' || e.tagName === 'SELECT' || e.isContentEditable);
}

function wireKeys(): void {
  document.addEventListener('keydown', (e) => {
    if (document.querySelector('dialog[open]')) return;
    const ctrl = e.ctrlKey || e.metaKey;
    const key = e.key.toLowerCase();
    const run = (f: () => unknown) => {
      e.preventDefault();
      void command(f);
    };
    if (ctrl && key === 's') return run(() => (e.shiftKey ? saveToFolder() : save()));
    if (ctrl && key === 'o') return run(() => openFolder());
    if (ctrl && !typing(e.target) && ((key === 'z' && e.shiftKey) || key === 'y')) return run(() => redo());
    if (ctrl && !typing(e.target) && key === 'z') return run(() => undo());
    if (ctrl && (key === '=' || key === '+')) return run(() => setZoom(zoom + 1));
    if (ctrl && key === '-') return run(() => setZoom(zoom - 1));
    if (ctrl && key === '0') return run(() => setZoom(Math.round(dpr())));
    if (e.key === 'F8') return run(() => showDock('problems', !docks.problems));
    if (e.key === 'F9') return run(() => showDock('palette', !docks.palette));
    if (e.key === 'F10') return run(() => showDock('overview', !docks.overview));
    if (typing(e.target)) return;
    if (e.key === 'PageUp') return run(() => setScreen(screen - 1));
    if (e.key === 'PageDown') return run(() => setScreen(screen + 1));
  });
  // Space held over the preview while comparing swaps the two, and does
  // nothing else (no focused button is pressed, no menu opens).
  window.addEventListener('keydown', (e) => {
    if (e.key !== ' ' || !comparing || document.querySelector('dialog[open]')) return;
    if (e.target !== canvas && !canvas.matches(':hover')) return;
    e.preventDefault();
    e.stopPropagation();
    if (e.repeat || swapped) return;
    swapped = true;
    void draw();
  }, true);
  window.addEventListener('keyup', (e) => {
    if (e.key !== ' ' || !swapped) return;
    e.preventDefault();
    e.stopPropagation();
    swapped = false;
    void draw();
  }, true);
  // Leaving the page (a tab closed, the browser sent to the background):
  // the journal takes what is owed now, what the boxes show included.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'hidden' && (journalTimer || journalOwed || pendingTyping())) void writeJournal();
  });
  window.addEventListener('beforeunload', (e) => {
    if (state?.modified || pendingTyping()) {
      e.preventDefault();
      e.returnValue = '';
    }
  });
}

// ---------------------------------------------------------------------------
// Start

function firstLanguage(): string | null {
  const stored = localStorage.getItem(kLanguageKey);
  if (stored !== null) return stored === '' ? null : stored;
  for (const l of navigator.languages ?? [navigator.language]) {
    if (/^en/i.test(l)) return null;
    const found = kBrowserLanguages.find(([pattern]) => pattern.test(l));
    if (found) return found[1];
  }
  return null;
}

// The journals that pages left behind, newest first: each one that no page
// holds is offered once. A record that cannot be restored (damaged, or
// written by something else) never stops the page: it is said, and set
// aside unread, as the desktop moves such a journal out of the way.
async function offerRestore(): Promise<void> {
  const all = (await store.listJournals()).filter((j) => j?.keeper !== keeper);
  const whole = all.filter(store.isWholeJournal).sort((a, b) => b.lastEdit - a.lastEdit);
  for (const damaged of all.filter((j) => !store.isWholeJournal(j))) {
    const key = (damaged as { keeper?: IDBValidKey } | null)?.keeper;
    if (key === undefined || (typeof key === 'number' && !(await store.claimLock(key)))) continue;
    await setAside(damaged, key, String((damaged as { name?: unknown }).name ?? ''));
  }
  for (const journal of whole) {
    const release = await store.claimLock(journal.keeper);
    if (!release) continue; // its page lives, or another page offers it now
    try {
      const info = await engine.readJournal(journal.manifest);
      if (!info) {
        await setAside(journal, journal.keeper, journal.name);
        continue;
      }
      const name = journal.name ? await engine.printable(journal.name) : t('LANG_SKIN_NEW$');
      const when = new Date(Date.UTC(info.time[0], info.time[1] - 1, info.time[2], info.time[3], info.time[4], info.time[5]));
      const shownWhen = when.toLocaleString(document.documentElement.lang);
      const question = journal.downloaded
        ? t('LANG_RESTORE_ASK_DOWNLOADED$', name, shownWhen, await engine.printable(journal.downloaded))
        : t('LANG_RESTORE_ASK$', name, shownWhen);
      const answer = await ask(t('LANG_RESTORE_TITLE$'), question, [
        { label: t('LANG_RESTORE$'), value: 'restore', default: true },
        { label: t('LANG_DISCARD$'), value: 'discard' },
      ], 'later');
      if (answer === 'restore') {
        if (await engine.restore({ manifest: journal.manifest, archive: journal.archive })) {
          await setSkinName(journal.name);
          lastEdit = journal.lastEdit;
          await refresh(false);
          await writeJournal();
          await store.deleteJournal(journal.keeper);
        } else {
          await setAside(journal, journal.keeper, journal.name);
        }
      } else if (answer === 'discard') {
        await store.deleteJournal(journal.keeper);
      }
    } finally {
      release();
    }
    return;
  }
}

async function setAside(record: unknown, key: IDBValidKey, name: string): Promise<void> {
  const shown = name ? await engine.printable(name) : t('LANG_SKIN_NEW$');
  try {
    await store.setAside(record, key);
  } catch (e) {
    console.warn('journal not set aside:', e);
  }
  probe.setAside++;
  await reportMessages([{ kind: 'cannot-read', subject: shown, text: t('LANG_RESTORE_FAILED$', shown, t('LANG_WEB_STORAGE_ASIDE$')) }], t('LANG_ERROR$'));
}

async function start(): Promise<void> {
  try {
    docks = { ...docks, ...JSON.parse(localStorage.getItem('skin-editor-docks') ?? '{}') };
  } catch {
    // the defaults
  }
  try {
    [texts, languages, panel] = await Promise.all([engine.texts(), engine.languages(), engine.panel()]);
    (probe as Record<string, unknown>).engineAt = performance.now();
    state = await engine.state();
    started = Math.floor(Date.now() / 1000);
    wireKeys();
    wireDrop();
    const language = firstLanguage();
    if (language) await chooseLanguage(language, true);
    // The preview as large as whole pixels let it be in the window.
    build();
    setZoom(fitZoom(), false);
    await refresh(false);
    keeper = await store.claimKeeper().catch(() => 1 + Math.floor(Math.random() * 0x7ffffffe));
    probe.ready = true;
    await loadRecent();
    probe.restoreAsked = false;
    // Nothing a stored journal holds may keep the editor from starting.
    await offerRestore().catch((e) => console.warn('journals not offered:', e));
    probe.restoreAsked = true;
    // What the page may need later, fetched now: it then works without the network.
    for (const l of languages) if (l.file) void languageBytes(l.file).catch(() => {});
    void engine.prepareScreenshots().catch(() => {});
  } catch (e) {
    probe.error = String((e as Error).message ?? e);
    root.replaceChildren(el('p', { class: 'fatal', role: 'alert' }, fill(texts['LANG_WEB_START_FAILED$'] ?? 'The editor could not start: %1', [probe.error])));
  }
}

void start();
