// Screenshots: the two screens of the file browser (or, as the desktop's
// extra, of the screen shown) as a PNG, a 24-bit BMP or a JPEG of the type
// chosen, as the desktop writes them, downloaded; or as a picture on the
// clipboard.
import type { ScreenshotFormat } from '../../engine/engine';
import { app, engine, status, t } from '../context';
import * as files from '../files';
import { ask, el } from '../ui';

// The types a screenshot is written as, as the desktop's chooser lists them.
const kTypes: { format: ScreenshotFormat; label: string; ext: string; mime: string }[] = [
  { format: 'png', label: 'Portable Network Graphic (*.png)', ext: 'png', mime: 'image/png' },
  { format: 'bmp', label: 'Bitmap (*.bmp)', ext: 'bmp', mime: 'image/bmp' },
  { format: 'jpeg', label: 'JPEG (*.jpg)', ext: 'jpg', mime: 'image/jpeg' },
];
let lastType = 0;

/** The screen a screenshot shows: the file browser's, or (`shown`) the screen shown. */
const screenOf = (shown: boolean) => (shown ? app.screen : 0);

export async function saveScreenshot(shown: boolean): Promise<void> {
  const select = el('select', { 'aria-label': t('LANG_REQFILE_SAVE$') },
    ...kTypes.map((k, i) => el('option', { value: String(i), selected: i === lastType }, k.label)));
  const chosen = await ask<number | null>(t('LANG_REQFILE_SAVE$'), el('p', {}, select), [
    { label: t('LANG_FILE_SAVE$'), value: 0, default: true },
    { label: t('LANG_CANCEL$'), value: null },
  ], null);
  if (chosen === null) return;
  lastType = Number(select.value);
  const type = kTypes[lastType];
  const screen = screenOf(shown);
  const bytes = await engine.screenshot(screen, type.format);
  if (!bytes) return status(t('LANG_FILE_NOTSAVE$'));
  const base = await engine.archiveFolderName(app.skinName || 'skin');
  const name = `${shown ? `${base}-${screen + 1}` : base}.${type.ext}`;
  files.download(name, bytes, type.mime);
  status(t('LANG_STATUS_SCREENSHOT_SAVED$', name));
}

export async function copyScreenshot(shown: boolean): Promise<void> {
  const bytes = await engine.screenshot(screenOf(shown), 'png');
  const clipboard = navigator.clipboard as Clipboard | undefined;
  if (!bytes || !clipboard?.write || typeof ClipboardItem === 'undefined') return status(t('LANG_FILE_NOTSAVE$'));
  try {
    await clipboard.write([new ClipboardItem({ 'image/png': new Blob([bytes as Uint8Array<ArrayBuffer>], { type: 'image/png' }) })]);
    status(t('LANG_STATUS_SCREENSHOT_COPIED$'));
  } catch (e) {
    status(`${t('LANG_FILE_NOTSAVE$')} (${(e as Error).message})`);
  }
}
