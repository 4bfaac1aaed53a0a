// A picture replaced from a file the user gives (its button clicked, or the
// file dropped on the button or on the picture in the preview): a picture of
// another size asks first how to fit it, each way drawn as the console will
// show it, all at one zoom.
import type { Fit } from '../../engine/engine';
import { refresh } from '../changes';
import { app, command, engine, status, t } from '../context';
import { reportMessages } from '../dialogs/messages';
import { ask, el } from '../ui';
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
  const image = app.panel.images.find((i) => i.name === picture);
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
  const name = await engine.printable(fileName);
  const body = el('div', {}, el('p', {}, t('LANG_FIT_ASK$', name, sizes.width, sizes.height, caption, sizes.expectedWidth, sizes.expectedHeight)), previews);
  return ask<Fit | null>(t('LANG_FIT_TITLE$'), body, [
    ...fits.map(([fit, key, tip], i) => ({ label: t(key), value: fit as Fit | null, default: i === 0, title: t(tip) })),
    { label: t('LANG_CANCEL$'), value: null },
  ], null);
}
