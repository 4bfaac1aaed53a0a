// Compare with another skin: a folder or an archive read apart from the skin
// being edited, shown beside it (Space held over the preview swaps the two),
// as on the desktop; Stop comparing lets it go.
import { app, engine, status, t } from '../context';
import { reportMessages } from '../dialogs/messages';
import { rememberCompared } from '../dialogs/take';
import * as files from '../files';
import { readChosenFolder } from './open';
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
  const got = await readChosenFolder('compare');
  if (got && await compared(got.name, await engine.compareWithFolder(got.name, got.files))) rememberCompared(got);
}

export async function compareWithArchive(): Promise<void> {
  const file = await files.chooseFile('.zip,application/zip');
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
