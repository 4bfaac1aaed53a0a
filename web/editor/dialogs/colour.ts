// The colour dialogs: one colour field edited in the console's 5-bit
// channels, and one colour replaced everywhere from the palette. What they
// show is previewed live on the preview (never a step, never journalled)
// until OK makes it one step of Undo. Colours are copied as #rrggbb and
// pasted in any form the engine reads.
import type { Rgb } from '../../engine/engine';
import { change } from '../changes';
import { colourField, engine, hex, status, t } from '../context';
import { el } from '../ui';
import { draw } from '../views/preview';

/** The colour last copied, for a paste where the browser gives no clipboard. */
let colourClipboard: Rgb | null = null;

/** The 15-bit code the settings file writes for a colour. */
function fileCode(rgb: Rgb): string {
  const v = (rgb[0] >> 3) | ((rgb[1] >> 3) << 5) | ((rgb[2] >> 3) << 10);
  return '0x' + v.toString(16).padStart(4, '0');
}

function rgbOfCode(code: string): Rgb {
  const v = parseInt(code, 16) & 0x7fff;
  return [(v & 31) * 8, ((v >> 5) & 31) * 8, ((v >> 10) & 31) * 8];
}

/**
 * A modal dialog whose changes the preview shows live: resolves to the button that closed it
 * ("ok", "cancel", or "" for Escape) once the last change it previewed is made and what it
 * previewed is taken away.
 */
export async function previewDialog(dialog: HTMLDialogElement, first: HTMLInputElement, previewed: () => Promise<unknown>): Promise<string> {
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

export async function editColour(key: string, opener?: HTMLElement): Promise<void> {
  const field = colourField(key);
  if (!field) return;
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
  const copy = el('button', { type: 'button', onclick: () => copyColourOf(current) }, t('LANG_COPY_COLOR$'));
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

/** Copies a colour as #rrggbb (to the system's clipboard too, unless the browser's copy event does). */
export function copyColourOf(rgb: Rgb, toSystem = true): void {
  colourClipboard = rgb;
  if (toSystem) void navigator.clipboard?.writeText(hex(rgb)).catch(() => {});
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

/** A colour pasted on a colour button: the text pasted, or the colour last copied here. */
export async function pasteColourInto(key: string, text: string): Promise<void> {
  // Text that is no colour is said, never taken for the colour copied before.
  const parsed = text.trim() ? await engine.parseColour(text) : colourClipboard;
  const f = colourField(key);
  if (!parsed) status(t('LANG_STATUS_NOT_A_COLOR$'));
  else if (f) await change(engine.setColour(f.section, f.key, parsed));
}

export async function replaceColourDialog(from: string): Promise<void> {
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
