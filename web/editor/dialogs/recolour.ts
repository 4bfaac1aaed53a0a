// Recolour: the whole skin (or its pictures, or its colour fields) shifted
// in hue, saturation and lightness, shown live while the dialog is open and
// one step of Undo once taken.
import { change } from '../changes';
import { engine, t } from '../context';
import { el } from '../ui';
import { draw } from '../views/preview';
import { previewDialog } from './colour';

export async function recolourDialog(): Promise<void> {
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
