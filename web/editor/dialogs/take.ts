// Take from skin: colours, pictures, positions or information texts of
// another skin (a folder, an archive, or the skin compared with) into the
// open one. What the other skin has is listed group by group, each thing
// with a check box (the pictures with their thumbnails beside the current
// ones; those the other skin lacks or could not read listed and greyed);
// the preview shows the choice live (never journalled); OK takes it as one
// step of Undo named after the other skin, Cancel leaves all as it was.
import type { RgbaPicture, SkinFile, TakeGroupName, TakeItem, TakeListing } from '../../engine/engine';
import { change } from '../changes';
import { app, engine, hex, status, t } from '../context';
import * as files from '../files';
import { el } from '../ui';
import { readChosenFolder } from '../io/open';
import { draw } from '../views/preview';
import { reportMessages } from './messages';

/** The skin compared with, as it was read: what Take from skin can take from without asking again. */
let compared: { name: string; files?: SkinFile[]; bytes?: Uint8Array } | null = null;
export function rememberCompared(skin: typeof compared): void {
  compared = skin;
}

// A picture's thumbnail, drawn when the engine gives it (the dialog does not wait for all 53).
function thumb(coming: Promise<RgbaPicture | null>, label: string): HTMLCanvasElement {
  const c = el('canvas', { class: 'take-thumb', role: 'img', 'aria-label': label, width: 48, height: 36 });
  void coming.then(async (picture) => {
    if (!picture) return;
    const scale = Math.min(48 / picture.width, 36 / picture.height, 1);
    const b = await createImageBitmap(new ImageData(picture.data as Uint8ClampedArray<ArrayBuffer>, picture.width, picture.height));
    const ctx = c.getContext('2d')!;
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(b, 0, 0, picture.width * scale, picture.height * scale);
  });
  return c;
}

function valueCell(value: TakeItem['value']): HTMLElement {
  if (Array.isArray(value)) return el('span', { class: 'swatch', style: `background:${hex(value)}`, title: hex(value) });
  return el('span', {}, value ?? '');
}

async function chooseSource(): Promise<{ name: string; read: () => Promise<{ read: boolean; messages: { kind: string; subject: string; text: string }[] }> } | null> {
  return new Promise((resolve) => {
    const pick = async (how: 'folder' | 'zip' | 'compared') => {
      if (how === 'compared' && compared) {
        const c = compared;
        return resolve({ name: c.name, read: () => (c.files ? engine.takeFolder(c.name, c.files) : engine.takeArchive(c.name, c.bytes!.slice())) });
      }
      if (how === 'zip') {
        const file = await files.chooseFile('.zip,application/zip');
        if (!file) return resolve(null);
        const bytes = new Uint8Array(await file.arrayBuffer());
        return resolve({ name: file.name.replace(/\.zip$/i, ''), read: () => engine.takeArchive(file.name, bytes) });
      }
      const got = await readChosenFolder('take');
      resolve(got && { name: got.name, read: () => engine.takeFolder(got.name, got.files) });
    };
    const buttons = [
      el('button', { type: 'button', onclick: () => { dialog.close(); void pick('folder'); } }, t('LANG_FILE_OPEN_FOLDER$')),
      el('button', { type: 'button', onclick: () => { dialog.close(); void pick('zip'); } }, '*.zip'),
      compared ? el('button', { type: 'button', onclick: () => { dialog.close(); void pick('compared'); } }, `${t('LANG_TAKE_COMPARED$')}: ${compared.name}`) : null,
      el('button', { type: 'button', onclick: () => { dialog.close(); resolve(null); } }, t('LANG_CANCEL$')),
    ];
    const dialog = el('dialog', { 'aria-label': t('LANG_TAKE_TITLE$') },
      el('h2', {}, t('LANG_TAKE_TITLE$')), el('p', {}, t('LANG_TAKE_NO_SKIN$')), el('div', { class: 'buttons' }, ...buttons));
    dialog.addEventListener('cancel', () => resolve(null));
    dialog.addEventListener('close', () => dialog.remove());
    document.body.append(dialog);
    dialog.showModal();
    (buttons[0] as HTMLButtonElement).focus();
  });
}

export async function takeFromDialog(): Promise<void> {
  const source = await chooseSource();
  if (!source) return;
  const read = await source.read();
  const shownName = await engine.printable(source.name);
  if (!read.read) {
    void reportMessages(read.messages, t('LANG_ERROR$'));
    await engine.takeClose();
    return;
  }
  const listing = await engine.takeListing();
  if (!listing) return;
  const chosen = new Map<TakeGroupName, Set<string>>();
  let previewing: Promise<unknown> = Promise.resolve();
  const choice = () => Object.fromEntries([...chosen].filter(([, s]) => s.size).map(([g, s]) => [g, [...s]]));
  const preview = () => {
    const now = choice();
    previewing = previewing.then(async () => {
      await engine.takeFrom(now, { preview: true });
      await draw();
    });
  };
  const groups = listing.groups.map((g) => groupBlock(g, shownName, chosen, preview));
  const title = t('LANG_TAKE_TITLE$');
  const form = el('form', { method: 'dialog', class: 'take' },
    el('h2', {}, title),
    el('p', {}, `${t('LANG_TAKE_FROM$')} ${shownName}`),
    ...groups,
    el('div', { class: 'buttons' },
      el('button', { type: 'submit', value: 'ok', class: 'default' }, t('LANG_OK$')),
      el('button', { type: 'submit', value: 'cancel' }, t('LANG_CANCEL$'))));
  const dialog = el('dialog', { 'aria-label': title, class: 'live take-dialog' }, form);
  document.body.append(dialog);
  dialog.showModal();
  const answer = await new Promise<string>((resolve) => dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true }));
  dialog.remove();
  await previewing;
  await engine.endPreview();
  const picked = choice();
  if (answer === 'ok' && Object.keys(picked).length) {
    const made = await engine.takeFrom(picked);
    status(t('LANG_STATUS_TAKEN$', made.changed.fields.length, made.changed.pictures.length, shownName));
    await change(Promise.resolve());
    void reportMessages(made.overBudget ?? [], t('LANG_ERROR$'));
  } else {
    await draw();
  }
  await engine.takeClose();
}

// One group: a check box for all of it, then each thing with its own.
function groupBlock(g: TakeListing['groups'][number], shownName: string,
                          chosen: Map<TakeGroupName, Set<string>>, preview: () => void): HTMLElement {
  const picked = new Set<string>();
  chosen.set(g.group, picked);
  const boxes: { box: HTMLInputElement; name: string }[] = [];
  const all = el('input', { type: 'checkbox', 'aria-label': t(g.text) });
  const rows: HTMLElement[] = [];
  for (const item of g.items) {
    const missing = item.state === 'missing' || item.state === 'unreadable';
    const box = el('input', { type: 'checkbox', disabled: missing, 'aria-label': item.name });
    box.addEventListener('change', () => {
      if (box.checked) picked.add(item.name);
      else picked.delete(item.name);
      all.checked = boxes.every((b) => b.box.disabled || b.box.checked);
      preview();
    });
    if (!missing) boxes.push({ box, name: item.name });
    let theirs: HTMLElement;
    let now: HTMLElement;
    if (g.group === 'pictures') {
      theirs = missing ? el('span', { class: 'note' }, item.state === 'missing' ? t('LANG_TAKE_MISSING$', shownName) : t('LANG_TAKE_UNREADABLE$'))
        : thumb(engine.takePicture(item.name), `${item.name}: ${t('LANG_TAKE_COLUMN_THEIRS$', shownName)}`);
      now = thumb(engine.picture(item.name), `${item.name}: ${t('LANG_TAKE_COLUMN_NOW$')}`);
    } else if (g.group === 'positions') {
      theirs = el('span', {}, (item.fields ?? []).map((f) => `${f.key} ${f.value}`).join(', '));
      now = el('span', {}, (item.fields ?? []).map((f) => `${f.key} ${f.current}`).join(', '));
    } else {
      theirs = valueCell(item.value);
      now = valueCell(item.current);
    }
    rows.push(el('tr', { class: item.differs ? 'differs' : undefined },
      el('td', {}, el('label', {}, box, item.name)), el('td', {}, theirs), el('td', {}, now)));
  }
  all.addEventListener('change', () => {
    for (const b of boxes) {
      b.box.checked = all.checked;
      if (all.checked) picked.add(b.name);
      else picked.delete(b.name);
    }
    preview();
  });
  return el('details', { class: 'take-group', open: g.group !== 'pictures' },
    el('summary', {}, el('label', {}, all, t(g.text))),
    el('table', {},
      el('thead', {}, el('tr', {}, el('th', {}, t('LANG_TAKE_COLUMN_ITEM$')), el('th', {}, t('LANG_TAKE_COLUMN_THEIRS$', shownName)), el('th', {}, t('LANG_TAKE_COLUMN_NOW$')))),
      el('tbody', {}, ...rows)));
}
