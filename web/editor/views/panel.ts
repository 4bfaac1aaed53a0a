// The editing panel, laid out as the desktop's: four tabs (colours,
// pictures, elements, information), each control named as the desktop names
// it, enabled on the screen that shows what it edits.
import type { Drawer, Rgb } from '../../engine/engine';
import { app, colourField, command, engine, hex, on, screenName, t, update } from '../context';
import { commandStatesFor, commandText, run } from '../commands';
import { contextMenu, el, fill, onLongPress } from '../ui';
import { buildElements, buildInformation, elementRows, showFieldValues } from './panel-fields';
import { highlightDrawer, setHighlight, setScreen } from './preview';

const colourButtons = new Map<string, HTMLButtonElement>();
const imageButtons = new Map<string, HTMLButtonElement>();
let panelPages: HTMLElement[] = [];
let tabButtons: HTMLButtonElement[] = [];

export const kTabs = { colours: 0, images: 1, elements: 2, information: 3 } as const;

/** The panel in the language in force. */
export function buildPanel(): HTMLElement {
  colourButtons.clear();
  imageButtons.clear();
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
  panelPages = [buildColours(), buildImages(), buildElements(), buildInformation()].map((content, i) =>
    el('div', { role: 'tabpanel', id: `page-${i}`, 'aria-labelledby': `tab-${i}`, class: 'page' }, content));
  showTab(app.tab);
  enableForScreen();
  showValues();
  return el('section', { class: 'panel' }, tablist, ...panelPages);
}

// A caption that may wrap where a name's words meet ("gameInfo|Text|Color"), not inside a word.
function breakable(text: string): (string | HTMLElement)[] {
  const parts = text.split(/(?<=[a-z])(?=[A-Z])/);
  return parts.flatMap((p, i) => (i ? [el('wbr'), p] : [p]));
}

function unhover(): void {
  setHighlight(null);
}

function buildColours(): HTMLElement {
  const colours = el('div', { class: 'grid colours' });
  for (const c of app.panel.colours) {
    const b = el('button', {
      type: 'button', class: 'control', 'data-field': c.name, style: `grid-row:${c.row + 1};grid-column:${c.column + 1}`,
      onclick: () => void run('editColour', { colour: c.name }),
    }, el('span', { class: 'swatch' }), el('span', { class: 'caption' }, ...breakable(t(c.key))));
    b.setAttribute('aria-label', t(c.key));
    b.addEventListener('copy', (e) => {
      e.preventDefault();
      void run('copyColour', { colour: c.name });
    });
    b.addEventListener('paste', (e) => {
      e.preventDefault();
      void run('pasteColour', { colour: c.name, text: e.clipboardData?.getData('text/plain') ?? '' });
    });
    b.addEventListener('contextmenu', (e) => {
      e.preventDefault();
      void colourMenu(c.name, b, e.clientX, e.clientY);
    });
    onLongPress(b, (x, y) => void colourMenu(c.name, b, x, y));
    b.addEventListener('pointerenter', () => void highlightDrawer({ kind: 'colour', section: colourField(c.name)?.section ?? '', key: c.name }));
    b.addEventListener('pointerleave', unhover);
    colourButtons.set(c.name, b);
    colours.append(b);
  }
  return colours;
}

// A colour button's own menu (right button, a long press, or the menu key): copy and paste its colour.
async function colourMenu(name: string, button: HTMLElement, x: number, y: number): Promise<void> {
  const states = await commandStatesFor({ colour: name });
  contextMenu(x, y, ['copyColour', 'pasteColour'].map((id) => ({
    label: commandText(id), disabled: !states[id]?.enabled, run: () => void run(id, { colour: name }),
  })), button);
}

function buildImages(): HTMLElement {
  const images = el('div', { class: 'grid images' });
  for (const c of app.panel.images) {
    const b = el('button', {
      type: 'button', class: 'control', 'data-picture': c.name, style: `grid-row:${c.row + 1};grid-column:${c.column + 1}`,
      onclick: () => void run('importPicture', { picture: c.name }),
    }, el('canvas', { width: 32, height: 24, class: 'thumb', 'aria-hidden': 'true' }), el('span', { class: 'caption' }, ...breakable(t(c.key))));
    b.setAttribute('aria-label', t(c.key));
    b.addEventListener('pointerenter', () => void highlightDrawer({ kind: 'picture', name: c.name }));
    b.addEventListener('pointerleave', unhover);
    imageButtons.set(c.name, b);
    images.append(b);
  }
  return images;
}

export function showTab(i: number): void {
  update({ tab: i }, 'tab');
  tabButtons.forEach((b, j) => {
    b.setAttribute('aria-selected', String(i === j));
    b.tabIndex = i === j ? 0 : -1;
  });
  panelPages.forEach((p, j) => (p.hidden = i !== j));
  if (i === kTabs.images) void showThumbnails();
}

function showValues(): void {
  for (const [key, button] of colourButtons) {
    const f = colourField(key);
    if (!f) continue;
    const rgb = f.value as Rgb;
    (button.querySelector('.swatch') as HTMLElement).style.background = hex(rgb);
    button.dataset.colour = hex(rgb);
    // The colour's value for a screen reader, written as the core writes it.
    void engine.colourTexts(rgb).then((c) => button.setAttribute('aria-description', `${c.hex} ${c.code}`));
  }
  showFieldValues();
}

/** Each control enabled on the screen that shows what it edits; the tooltip of one greyed says which. */
function enableForScreen(): void {
  const mark = (control: HTMLButtonElement, screen: number, tip: string) => {
    const here = screen === app.screen;
    control.disabled = !here;
    control.title = here ? tip : `${tip}\n${fill(app.texts['LANG_PANEL_TIP_SCREEN$'] ?? '', [screenName(screen)])}`;
  };
  for (const c of app.panel.colours) {
    const b = colourButtons.get(c.name);
    if (b) mark(b, c.screen, `${t(c.key)}\n${t('LANG_PANEL_TIP_COLOR$', c.name)}`);
  }
  for (const c of app.panel.images) {
    const b = imageButtons.get(c.name);
    if (b) mark(b, c.screen, `${t(c.key)}\n${t('LANG_PANEL_TIP_IMAGE$', c.name + '.bmp')}`);
  }
  for (const e of app.panel.elements) {
    const row = elementRows.get(e.section + '#' + e.row);
    if (!row) continue;
    row.classList.toggle('elsewhere', e.screen !== app.screen);
    for (const input of row.querySelectorAll('input')) (input as HTMLInputElement).disabled = e.screen !== app.screen;
  }
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

/** What a press on the preview selected, shown in the panel. */
export function revealDrawer(drawer: Drawer): void {
  for (const b of colourButtons.values()) b.classList.remove('selected');
  if (drawer.kind === 'element') {
    showTab(kTabs.elements);
    const row = [...elementRows.entries()].find(([k]) => k.startsWith(drawer.section + '#'))?.[1];
    row?.scrollIntoView({ block: 'nearest' });
    for (const r of elementRows.values()) r.classList.toggle('selected', r === row);
  } else if (drawer.kind === 'colour') {
    showTab(kTabs.colours);
    const b = colourButtons.get(drawer.key);
    b?.scrollIntoView({ block: 'nearest' });
    b?.classList.add('selected');
  } else {
    showTab(kTabs.images);
    imageButtons.get(drawer.name)?.scrollIntoView({ block: 'nearest' });
  }
}

/** A colour field's or a picture's control shown in the panel, on its screen, with the focus. */
export async function revealControl(what: { kind: 'colour' | 'picture'; name: string } | null): Promise<void> {
  if (!what) return;
  const table = what.kind === 'colour' ? app.panel.colours : app.panel.images;
  const row = table.find((c) => c.name === what.name);
  if (row && row.screen !== app.screen) await setScreen(row.screen);
  showTab(what.kind === 'colour' ? kTabs.colours : kTabs.images);
  const b = controlOf(what.kind, what.name);
  b?.scrollIntoView({ block: 'nearest' });
  b?.focus();
}

/** The control of a colour field or a picture ("formFrameColor", "icon/nds"), for the focus. */
export function controlOf(kind: 'colour' | 'picture', name: string): HTMLButtonElement | undefined {
  return kind === 'colour' ? colourButtons.get(name) : imageButtons.get(name);
}

on('values', showValues);
on('screen', enableForScreen);
on('sides', () => {
  if (app.tab === kTabs.images) void showThumbnails();
});
