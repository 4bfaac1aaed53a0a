// The colour dialog, by the core's rules (the engine's colour dialog state):
// the colour in the console's 5-bit channels (a field typed past 31 shows
// 31), as text (#rrggbb, rrggbb or the file's 0xBBBB), from the system's
// colour chooser (kept as chosen until OK) or a pixel of the screen where
// the browser has an eyedropper. What it shows is previewed live (never a
// step, never journalled) until OK makes it one. One dialog for a colour
// field, a colour replaced everywhere and the preview's background.
import type { ColourDialogState, Rgb } from '../../engine/engine';
import { change } from '../changes';
import { colourField, engine, status, t } from '../context';
import { el } from '../ui';
import { draw, setBackground, setHighlight } from '../views/preview';

/** The colour last copied, for a paste where the browser gives no clipboard. */
let colourClipboard: Rgb | null = null;

/**
 * A modal dialog whose changes the preview shows live: resolves to the button that closed it
 * ("ok", "cancel", or "" for Escape) once the last change it previewed is made and what it
 * previewed is taken away. Its backdrop leaves the preview as it is, to be judged.
 */
export async function previewDialog(dialog: HTMLDialogElement, first: HTMLInputElement, previewed: () => Promise<unknown>): Promise<string> {
  dialog.classList.add('live');
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

/**
 * Asks for a colour, starting from `before`: each colour shown goes to `preview` (in order, one at a
 * time) while the dialog is open. Resolves to the colour OK takes, or null.
 */
export async function chooseColour(title: string, before: Rgb, preview: (rgb: Rgb, code: string) => Promise<unknown>): Promise<{ rgb: Rgb; code: string } | null> {
  // The highlight of the control that opened it would hide the colour being judged.
  setHighlight(null);
  let st: ColourDialogState = await engine.colourOpen(before);
  const channel = (label: string, i: number) => el('label', {}, label,
    el('input', { type: 'number', min: '0', max: '31', value: String([st.r5, st.g5, st.b5][i]), 'data-channel': String(i) }));
  const text = el('input', { type: 'text', value: st.hex, 'aria-label': t('LANG_COLORTEXT$').replace(/:$/, ''), title: t('LANG_COLORTEXT_TIP$'), spellcheck: false });
  const code = el('output', { title: t('LANG_COLORFILE_TIP$') }, st.code);
  const picker = el('input', { type: 'color', value: st.hex, 'aria-label': t('LANG_COLORREQUESTER$') });
  const swatchOld = el('span', { class: 'swatch big', style: `background:${st.inputHex}`, title: t('LANG_ACTUAL_COLOR$'), role: 'img', 'aria-label': `${t('LANG_ACTUAL_COLOR$')} ${st.inputHex}` });
  const swatchNew = el('span', { class: 'swatch big', style: `background:${st.hex}`, title: t('LANG_NEW_COLOR$'), role: 'img', 'aria-label': `${t('LANG_NEW_COLOR$')} ${st.hex}` });
  const channels = [channel(t('LANG_RED$'), 0), channel(t('LANG_GREEN$'), 1), channel(t('LANG_BLUE$'), 2)];
  const fields = channels.map((c) => c.querySelector('input')!);
  let previewing: Promise<unknown> = Promise.resolve();
  // The dialog follows the state the engine answered; `from` keeps what is being typed as typed.
  const show = (next: ColourDialogState, from: 'text' | 'fields' | 'picker' | 'other', field = -1) => {
    st = next;
    if (from !== 'text') text.value = st.hex;
    fields.forEach((f, i) => {
      if (i === field) {
        if (f.value !== st.fieldText) f.value = st.fieldText;
      } else if (from !== 'fields') f.value = String([st.r5, st.g5, st.b5][i]);
    });
    if (from !== 'picker') picker.value = st.hex.length === 7 ? st.hex : picker.value;
    code.textContent = st.code;
    swatchNew.style.background = st.hex;
    swatchNew.setAttribute('aria-label', `${t('LANG_NEW_COLOR$')} ${st.hex}`);
    if (!st.refreshed) return;
    const shown: Rgb = [...st.ok];
    const shownCode = st.code;
    previewing = previewing.then(() => preview(shown, shownCode));
  };
  text.addEventListener('input', async () => {
    const typed = text.value;
    const [valid, next] = await Promise.all([engine.parseColour(typed), engine.colourText(typed)]);
    text.toggleAttribute('aria-invalid', !valid);
    show(next, 'text');
  });
  fields.forEach((f, i) => f.addEventListener('input', async () => {
    show(await engine.colourField(i, [fields[0].value, fields[1].value, fields[2].value]), 'fields', i);
  }));
  picker.addEventListener('input', async () => {
    const v = picker.value;
    show(await engine.colourChooser([1, 3, 5].map((i) => parseInt(v.slice(i, i + 2), 16)) as Rgb), 'picker');
  });
  const copy = el('button', { type: 'button', onclick: () => void copyColourOf([...st.ok]) }, t('LANG_COPY_COLOR$'));
  const paste = el('button', { type: 'button', onclick: async () => {
    const pasted = await readClipboardColour();
    if (pasted) show(await engine.colourChooser(pasted), 'other');
  } }, t('LANG_PASTE_COLOR$'));
  const extras: HTMLElement[] = [copy, paste];
  // A pixel of the screen, where the browser lets a page pick one.
  const EyeDropper = (window as unknown as { EyeDropper?: new () => { open(): Promise<{ sRGBHex: string }> } }).EyeDropper;
  if (EyeDropper) {
    extras.push(el('button', { type: 'button', onclick: async () => {
      try {
        const { sRGBHex } = await new EyeDropper().open();
        show(await engine.colourEyedropper([1, 3, 5].map((i) => parseInt(sRGBHex.slice(i, i + 2), 16)) as Rgb), 'other');
      } catch {
        // the user pressed Escape
      }
    } }, t('LANG_EYEDROPPER$')));
  }
  const form = el('form', { method: 'dialog' },
    el('h2', {}, title),
    el('p', { class: 'help' }, t('LANG_COLORTEXT_TIP$')),
    el('div', { class: 'colour-row' }, swatchOld, swatchNew, el('label', {}, t('LANG_COLORTEXT$'), text), code),
    el('div', { class: 'colour-row' }, ...channels),
    el('div', { class: 'colour-row' }, el('label', {}, t('LANG_COLORREQUESTER$'), picker), ...extras),
    el('p', { class: 'help' }, t('LANG_COLORLEVELS$')),
    el('div', { class: 'buttons' },
      el('button', { type: 'submit', value: 'ok', class: 'default' }, t('LANG_OK$')),
      el('button', { type: 'submit', value: 'cancel', formnovalidate: true }, t('LANG_CANCEL$'))));
  const answer = await previewDialog(el('dialog', { class: 'colour-dialog', 'aria-label': title }, form), text, () => previewing);
  return answer === 'ok' ? { rgb: [...st.ok], code: st.code } : null;
}

/** A colour field edited: one step of Undo when OK changes it. */
export async function editColour(key: string, opener?: HTMLElement): Promise<void> {
  const field = colourField(key);
  if (!field) return;
  const before = field.value as Rgb;
  const chosen = await chooseColour(t('LANG_COLORSETTING_OF$', t(`LANG_COLOR_${key}$`)), before, async (rgb) => {
    await engine.setColour(field.section, field.key, rgb, { preview: true });
    await draw();
  });
  if (chosen) await change(engine.setColour(field.section, field.key, chosen.rgb));
  else await draw();
  opener?.focus();
}

/** A colour of the palette ("0x7fff") replaced everywhere: one step of Undo. */
export async function replaceColourDialog(from: string): Promise<void> {
  const fromRgb = (await engine.parseColour(from)) ?? [0, 0, 0];
  const source = parseInt(from, 16);
  const chosen = await chooseColour(t('LANG_PALETTE_REPLACE$'), fromRgb, async (_, code) => {
    await engine.replaceColour(source, parseInt(code, 16), { preview: true });
    await draw();
  });
  const target = chosen ? parseInt(chosen.code, 16) : source;
  if (target !== source) await change(engine.replaceColour(source, target));
  else await draw();
}

/** The preview's background: shown live, remembered once taken. */
export async function backgroundColourDialog(before: Rgb): Promise<void> {
  const chosen = await chooseColour(t('LANG_OPTIONS_BACKCOLOR$').replace(/\.\.\.$|…$/, ''), before, async (rgb) => setBackground(rgb));
  setBackground(chosen?.rgb ?? before);
}

/** Copies a colour as #rrggbb (to the system's clipboard too, unless the browser's copy event does); the text copied. */
export async function copyColourOf(rgb: Rgb, toSystem = true): Promise<string> {
  colourClipboard = rgb;
  const text = (await engine.colourTexts(rgb)).hex;
  if (toSystem) await navigator.clipboard?.writeText(text).catch(() => {});
  return text;
}

async function readClipboardColour(): Promise<Rgb | null> {
  try {
    const text = await navigator.clipboard.readText();
    const parsed = await engine.parseColour(text);
    if (parsed) return parsed;
    status(t('LANG_STATUS_NOT_A_COLOR$'));
    return null;
  } catch {
    // no permission: the page's own clipboard
  }
  return colourClipboard;
}

/** A colour pasted on a colour button: the text pasted, or the colour last copied here. */
export async function pasteColourInto(key: string, text: string | null): Promise<void> {
  // Text that is no colour is said, never taken for the colour copied before.
  const parsed = text === null ? await readClipboardColour() : text.trim() ? await engine.parseColour(text) : colourClipboard;
  const f = colourField(key);
  if (!parsed) status(t('LANG_STATUS_NOT_A_COLOR$'));
  else if (f) await change(engine.setColour(f.section, f.key, parsed));
}
