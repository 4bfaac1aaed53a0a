// Compare with another skin: a folder or an archive read apart from the skin
// being edited, shown beside it (Space held over the preview swaps the two),
// as on the desktop; Stop comparing lets it go.
import { app, engine, status, t } from '../context';
import { reportMessages } from '../dialogs/messages';
import { rememberCompared } from '../dialogs/take';
import * as files from '../files';
import { el } from '../ui';
import { setCompare } from '../views/preview';

async function compared(name: string, result: { opened: boolean; messages: { kind: string; subject: string; text: string }[] }): Promise<boolean> {
  const label = await engine.printable(name);
  if (result.opened) {
    setCompare('other', label);
    status(t('LANG_STATUS_OPENED$', label));
  }
  void reportMessages(result.messages, result.opened ? label : t('LANG_ERROR$'));
  return result.opened;
}

export async function compareWithFolder(): Promise<void> {
  if (files.hasFolderAccess) {
    let handle: FileSystemDirectoryHandle;
    try {
      handle = await files.pickFolder('compare', 'read');
    } catch {
      return;
    }
    const list = await files.readFolderHandle(handle);
    if (await compared(handle.name, await engine.compareWithFolder(handle.name, list))) rememberCompared({ name: handle.name, files: list });
    return;
  }
  const input = el('input', { type: 'file', hidden: true, webkitdirectory: true });
  document.body.append(input);
  const list = await new Promise<FileList | null>((resolve) => {
    input.addEventListener('change', () => resolve(input.files), { once: true });
    input.addEventListener('cancel', () => resolve(null), { once: true });
    input.click();
  });
  input.remove();
  if (!list || list.length === 0) return;
  const read = await files.readChosenFolder(list);
  if (await compared(read.name, await engine.compareWithFolder(read.name, read.files))) rememberCompared({ name: read.name, files: read.files });
}

export async function compareWithArchive(): Promise<void> {
  const input = el('input', { type: 'file', hidden: true, accept: '.zip,application/zip' });
  document.body.append(input);
  const file = await new Promise<File | null>((resolve) => {
    input.addEventListener('change', () => resolve(input.files?.[0] ?? null), { once: true });
    input.addEventListener('cancel', () => resolve(null), { once: true });
    input.click();
  });
  input.remove();
  if (!file) return;
  const bytes = new Uint8Array(await file.arrayBuffer());
  const name = file.name.replace(/\.zip$/i, '');
  if (await compared(name, await engine.compareWithArchive(file.name, bytes.slice()))) rememberCompared({ name: file.name, bytes });
}

export async function stopCompare(): Promise<void> {
  if (app.compare === 'other') await engine.stopCompare();
  rememberCompared(null);
  setCompare('off');
}
