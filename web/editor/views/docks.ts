// The docks beside the panel: every screen at once, the palette of the
// skin's colours, and the check's problems, each of which goes to the
// control that mends it.
import type { PaletteEntry, Rgb } from '../../engine/engine';
import { app, command, engine, hex, kScreens, on, probe, screenName, status, t, update } from '../context';
import { run } from '../commands';
import { el } from '../ui';
import { fieldControl, elementRows } from './panel-fields';
import { controlOf, kTabs, showTab } from './panel';
import { highlightColour, paint, setScreen } from './preview';

let overviewDock: HTMLElement;
/** All screens at whole size (else half, as the desktop's dock), remembered. */
let overviewWhole = !!localStorage.getItem('skin-editor-overview-whole');
let paletteDock: HTMLElement;
let problemsDock: HTMLElement;
let countsText: HTMLElement | null = null;

type Dock = keyof EditorDocks;
type EditorDocks = typeof app.docks;

export function buildDocks(counts: HTMLElement): HTMLElement {
  countsText = counts;
  const whole = el('input', { type: 'checkbox', checked: overviewWhole, onchange: () => {
    overviewWhole = whole.checked;
    localStorage.setItem('skin-editor-overview-whole', overviewWhole ? '1' : '');
    overviewDock.classList.toggle('whole', overviewWhole);
    void drawOverview();
  } });
  overviewDock = el('section', { class: `dock overview${overviewWhole ? ' whole' : ''}`, 'aria-label': t('LANG_VIEW_OVERVIEW$'), hidden: !app.docks.overview },
    el('h2', {}, t('LANG_VIEW_OVERVIEW$')),
    el('label', { class: 'whole-size' }, whole, t('LANG_OVERVIEW_WHOLE$')),
    el('div', { class: 'thumbnails' }, ...Array.from({ length: kScreens }, (_, s) =>
      el('button', { type: 'button', class: 'thumbnail', 'aria-label': screenName(s), title: screenName(s), 'aria-current': String(s === app.screen), onclick: () => void setScreen(s) },
        el('canvas', { width: 266, height: 490 }), el('span', {}, String(s + 1))))));
  paletteDock = el('section', { class: 'dock palette', 'aria-label': t('LANG_VIEW_PALETTE$'), hidden: !app.docks.palette },
    el('h2', {}, t('LANG_VIEW_PALETTE$')),
    el('ul', { class: 'swatches', role: 'listbox', 'aria-label': t('LANG_VIEW_PALETTE$') }),
    el('ul', { class: 'uses', 'aria-live': 'polite' }),
    el('button', { type: 'button', class: 'replace', disabled: true }, t('LANG_PALETTE_REPLACE$')));
  problemsDock = el('section', { class: 'dock problems', 'aria-label': t('LANG_VIEW_PROBLEMS$'), hidden: !app.docks.problems },
    el('h2', {}, t('LANG_VIEW_PROBLEMS$')), el('ul', { class: 'problem-list' }));
  showProblems();
  return el('div', { class: 'docks' }, overviewDock, paletteDock, problemsDock);
}

export function showDock(which: Dock, shown: boolean): void {
  update({ docks: { ...app.docks, [which]: shown } }, 'docks');
  ({ overview: overviewDock, palette: paletteDock, problems: problemsDock })[which].hidden = !shown;
  localStorage.setItem('skin-editor-docks', JSON.stringify(app.docks));
  if (shown) void refreshDocks();
}

async function refreshDocks(): Promise<void> {
  if (app.docks.overview) await drawOverview();
  if (app.docks.palette) await showPalette();
}

async function drawOverview(): Promise<void> {
  const began = performance.now();
  const canvases = overviewDock.querySelectorAll('canvas');
  const half = !overviewWhole;
  const pictures = await Promise.all(Array.from({ length: kScreens }, (_, s) =>
    engine.overview(s, { filter: app.filter, background: app.background, half })));
  pictures.forEach((p, s) => paint(canvases[s], p));
  probe.overviewMs = performance.now() - began;
  probe.thumbnails++;
}

function rgbOfCode(code: string): Rgb {
  const v = parseInt(code, 16) & 0x7fff;
  return [(v & 31) * 8, ((v >> 5) & 31) * 8, ((v >> 10) & 31) * 8];
}

let paletteEntries: PaletteEntry[] = [];
let chosenColour: string | null = null;

// The palette: one stop of the keyboard (the arrows move inside it), the key
// colour crossed out as the firmware leaves it out; the colour chosen lists
// where it is used, and Enter, a double click or Replace color... replaces it
// everywhere.
async function showPalette(): Promise<void> {
  paletteEntries = await engine.palette();
  const list = paletteDock.querySelector<HTMLElement>('.swatches')!;
  const uses = paletteDock.querySelector<HTMLElement>('.uses')!;
  const replace = paletteDock.querySelector<HTMLButtonElement>('.replace')!;
  list.replaceChildren();
  if (!paletteEntries.some((e) => e.colour === chosenColour)) chosenColour = null;
  const items: HTMLElement[] = [];
  const choose = (i: number, focus: boolean) => {
    const entry = paletteEntries[i];
    if (!entry) return;
    chosenColour = entry.colour;
    items.forEach((item, j) => {
      item.setAttribute('aria-selected', String(i === j));
      item.tabIndex = i === j ? 0 : -1;
    });
    if (focus) items[i].focus();
    showUses(entry, uses);
    replace.disabled = false;
  };
  for (const [i, entry] of paletteEntries.entries()) {
    const rgb = rgbOfCode(entry.colour);
    const key = entry.colour === '0x03e0';
    const tip = t('LANG_PALETTE_TIP$', hex(rgb), entry.colour, entry.count) + (key ? `\n${t('LANG_PALETTE_KEY$')}` : '');
    const item = el('li', { role: 'option', class: `palette-swatch${key ? ' key' : ''}`, title: tip, tabindex: '-1', 'aria-selected': 'false',
      'aria-label': `${entry.colour} ${hex(rgb)}: ${t('LANG_PALETTE_PIXELS$', entry.count)}${key ? `. ${t('LANG_PALETTE_KEY$')}` : ''}` },
      el('span', { class: 'swatch', style: `background:${hex(rgb)}` }),
      el('span', { class: 'code' }, entry.colour),
      el('span', { class: 'count' }, String(entry.count)));
    item.addEventListener('pointerenter', () => highlightColour(rgb));
    item.addEventListener('pointerleave', () => highlightColour(null));
    item.addEventListener('focus', () => highlightColour(rgb));
    item.addEventListener('blur', () => highlightColour(null));
    item.addEventListener('click', () => choose(i, true));
    item.addEventListener('dblclick', () => void run('replaceColour', { colour: entry.colour }));
    items.push(item);
    list.append(item);
  }
  list.onkeydown = (e) => {
    const at = items.findIndex((x) => x === document.activeElement);
    const columns = 2;
    const moves: Record<string, number> = { ArrowRight: 1, ArrowLeft: -1, ArrowDown: columns, ArrowUp: -columns, Home: -at, End: items.length - 1 - at };
    if (e.key in moves) {
      e.preventDefault();
      choose(Math.max(0, Math.min(items.length - 1, at + moves[e.key])), true);
    } else if (e.key === 'Enter' && at >= 0) {
      e.preventDefault();
      void run('replaceColour', { colour: paletteEntries[at].colour });
    }
  };
  replace.onclick = () => {
    if (chosenColour) void run('replaceColour', { colour: chosenColour });
  };
  const at = paletteEntries.findIndex((e) => e.colour === chosenColour);
  if (at >= 0) choose(at, false);
  else {
    if (items[0]) items[0].tabIndex = 0;
    uses.replaceChildren();
    replace.disabled = true;
  }
}

// Where the colour chosen is used: its colour fields, and its pictures with their pixels.
// Each use goes to its control.
function showUses(entry: PaletteEntry, uses: HTMLElement): void {
  const use = (text: string, target: { colour?: string; picture?: string }) =>
    el('li', {}, el('button', { type: 'button', class: 'use', onclick: () => void run('reveal', target) }, text));
  uses.replaceChildren(
    ...entry.fields.map((f) => use(f, { colour: f.split(' ').pop() })),
    ...Object.entries(entry.pictures).map(([name, count]) => use(`${name}: ${t('LANG_PALETTE_PIXELS$', count)}`, { picture: name })));
}

function showProblems(): void {
  if (!problemsDock) return;
  const problems = app.problems;
  const errors = problems.filter((p) => p.severity === 'error').length;
  if (countsText) countsText.textContent = t('LANG_STATUS_PROBLEMS$', errors, problems.length - errors);
  const list = problemsDock.querySelector('.problem-list')!;
  list.replaceChildren();
  if (problems.length === 0) list.append(el('li', { class: 'none' }, t('LANG_PROBLEMS_NONE$')));
  problems.forEach((p, i) => {
    const kind = p.severity === 'error' ? t('LANG_ERROR$') : t('LANG_PROBLEMS_WARNING$');
    list.append(el('li', {}, el('button', { type: 'button', class: `problem ${p.severity}`, onclick: () => void run('showProblem', { index: i }) },
      el('span', { class: 'severity' }, kind), el('span', { class: 'code' }, p.code), el('span', { class: 'subject' }, p.subject),
      el('span', { class: 'text' }, p.shown))));
  });
}

/** The screen that shows a problem and the control that mends it, the focus on it. */
export async function showProblem(index: number): Promise<void> {
  const p = app.problems[index];
  if (!p) return;
  if (p.line) status(t('LANG_STATUS_PROBLEM_LINE$', p.line));
  const about = p.about;
  let target: HTMLElement | undefined;
  let page: number = kTabs.colours;
  let onScreen: number | undefined;
  if (about.kind === 'field') {
    const colour = app.panel.colours.find((c) => c.name === about.key);
    if (colour) {
      target = controlOf('colour', about.key);
      onScreen = colour.screen;
    } else if (about.section === '[SkinInfo]') {
      target = fieldControl(about.section, about.key);
      page = kTabs.information;
    } else {
      target = fieldControl(about.section, about.key);
      page = kTabs.elements;
      onScreen = app.panel.elements.find((e) => e.section === about.section)?.screen;
    }
  } else if (about.kind === 'section') {
    target = elementRows.get(about.section);
    page = kTabs.elements;
    onScreen = app.panel.elements.find((e) => e.section === about.section)?.screen;
  } else if (about.kind === 'picture') {
    target = controlOf('picture', about.name);
    page = kTabs.images;
    onScreen = app.panel.images.find((i) => i.name === about.name)?.screen;
  }
  if (p.screen !== undefined) onScreen = p.screen;
  if (onScreen !== undefined && onScreen !== app.screen) await setScreen(onScreen);
  showTab(page);
  if (target) {
    const focusable = target.matches('button, input') ? target : target.querySelector<HTMLElement>('input, button');
    (focusable ?? target).focus();
    target.scrollIntoView({ block: 'nearest' });
  }
}

on('problems', showProblems);
on('sides', () => void refreshDocks());
on('screen', () => overviewDock?.querySelectorAll('.thumbnail').forEach((b, i) => b.setAttribute('aria-current', String(i === app.screen))));
