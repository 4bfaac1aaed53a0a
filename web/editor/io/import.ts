// A picture replaced from a file the user gives (its button clicked, or the
// file dropped on the button or on the picture in the preview): a picture of
// another size asks first how to fit it, each way drawn as the console will
// show it, all at one zoom.
import type { Fit, ImportPreviews } from '../../engine/engine';
import { refresh } from '../changes';
import { app, command, engine, status, t } from '../context';
import { reportMessages } from '../dialogs/messages';
import { ask, el, messageBody } from '../ui';
import { readChosenFolder } from './open';
import { cancellable } from './renew';

const pictureInput = el('input', { type: 'file', hidden: true, accept: '.bmp,.png,.jpg,.jpeg,.BMP,.PNG,.JPG,.JPEG,image/bmp,image/png,image/jpeg' });
pictureInput.addEventListener('change', () => {
  const file = pictureInput.files?.[0];
  const name = pictureInput.dataset.picture;
  if (file && name) void command(() => importInto(name, file));
});

/** The hidden chooser of picture files, which the page keeps in its tree. */
export function pictureChooser(): HTMLInputElement {
  return pictureInput;
}

export function choosePicture(name: string): void {
  pictureInput.value = '';
  pictureInput.dataset.picture = name;
  pictureInput.click();
}

export async function importInto(picture: string, file: File): Promise<void> {
  const bytes = new Uint8Array(await file.arrayBuffer());
  await cancellable(await engine.printable(file.name), () => importBytes(picture, file, bytes));
}

async function importBytes(picture: string, file: File, bytes: Uint8Array): Promise<void> {
  // The file decoded once: its sizes and the three ways of the question.
  const previews = await engine.importPreviews(picture, file.name, bytes.slice());
  let fit: Fit | null = 'keep';
  if (previews && (previews.sizes.width !== previews.sizes.expectedWidth || previews.sizes.height !== previews.sizes.expectedHeight)) {
    const image = app.panel.images.find((i) => i.name === picture);
    const name = await engine.printable(file.name);
    const s = previews.sizes;
    fit = await askFit(t('LANG_FIT_ASK$', name, s.width, s.height, image ? t(image.key) : picture, s.expectedWidth, s.expectedHeight), previews);
    if (!fit) {
      await engine.endPreview();
      return;
    }
  }
  const result = await engine.importPicture(picture, file.name, bytes.slice(), fit);
  if (result.imported) status(t('LANG_STATUS_IMPORTED_ONE$', picture, file.name));
  void reportMessages(result.messages, await engine.printable(file.name));
  await refresh(result.imported);
}

/** The question of a picture (or pictures) of another size, each way drawn as the console will show it, all at one zoom. */
async function askFit(question: string, previews: ImportPreviews): Promise<Fit | null> {
  const fits: [Fit, string, string][] = [['cover', 'LANG_FIT_COVER$', 'LANG_FIT_COVER_TIP$'], ['stretch', 'LANG_FIT_STRETCH$', 'LANG_FIT_STRETCH_TIP$'], ['keep', 'LANG_FIT_KEEP$', 'LANG_FIT_KEEP_TIP$']];
  const { expectedWidth, expectedHeight } = previews.sizes;
  const scale = Math.max(1, Math.floor(160 / Math.max(expectedWidth, expectedHeight, 1)));
  const figures = el('div', { class: 'fit-previews' });
  for (const [fit, key, tip] of fits) {
    const shown = previews[fit];
    const c = el('canvas', { width: shown.width * scale, height: shown.height * scale, role: 'img', 'aria-label': t(key) });
    const bitmap = await createImageBitmap(new ImageData(shown.data as Uint8ClampedArray<ArrayBuffer>, shown.width, shown.height));
    const ctx = c.getContext('2d')!;
    ctx.imageSmoothingEnabled = false;
    ctx.drawImage(bitmap, 0, 0, shown.width * scale, shown.height * scale);
    figures.append(el('figure', { title: t(tip) }, c, el('figcaption', {}, t(key))));
  }
  const body = el('div', {}, el('p', {}, question), figures);
  return ask<Fit | null>(t('LANG_FIT_TITLE$'), body, [
    ...fits.map(([fit, key, tip], i) => ({ label: t(key), value: fit as Fit | null, default: i === 0, title: t(tip) })),
    { label: t('LANG_CANCEL$'), value: null },
  ], null);
}

/**
 * Import pictures from folder: every picture the folder's files name (the 53, those without a
 * button too), one question for those of another size, one step of Undo, the desktop's report.
 */
export async function importFolder(): Promise<void> {
  const chosen = await readChosenFolder('pictures');
  if (!chosen) return;
  const { name, files: list } = chosen;
  await cancellable(await engine.printable(name), async () => {
    const question = await engine.importFolderSizes(name, list);
    if (!question) {
      status(t('LANG_STATUS_NOT_SAVED$'));
      return;
    }
    let fit: Fit = 'keep';
    if (question.count > 0 && question.first) {
      const first = list.find((f) => f.path === question.first!.file);
      const previews = first ? await engine.importPreviews(question.first.name, first.path, first.bytes.slice()) : null;
      await engine.endPreview();
      const answer = previews ? await askFit(question.text, previews) : 'keep';
      if (!answer) return;
      fit = answer;
    }
    const result = await engine.importFolder(name, list, fit);
    if (result.status) status(result.status);
    await refresh(result.imported.length > 0);
    if (result.report) {
      const body = messageBody(result.report.lines, (n) => t('LANG_MESSAGES_MORE$', n));
      void ask(result.report.title, body, [{ label: t('LANG_OK$'), value: true, default: true }], true);
    }
  });
}

