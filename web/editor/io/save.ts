// Saving: back into the folder the skin came from where the browser lets the
// page write there; otherwise the archive handed over as a download, which
// the page cannot know reached the disk (the journal keeps the changes until
// the user says so). Screenshots are downloads too.
import { refresh, setSkinName } from '../changes';
import { app, engine, status, t, update } from '../context';
import { reportFailure, reportMessages } from '../dialogs/messages';
import * as files from '../files';
import * as store from '../storage';
import { ask } from '../ui';
import { commitTyping } from '../views/panel-fields';
import { downloaded, writeJournal } from './journal';
import { archiveSeen, folderFiles, loadRecent, setArchiveSeen, setFolderFiles } from './open';
import { seenNow, watchFolder } from './watch';

/** Save: back into the folder the skin came from where the browser lets us, otherwise a download. */
export async function save(): Promise<boolean> {
  await commitTyping();
  const handle = app.folderHandle;
  if (handle && app.doc.origin.kind === 'folder' && (await files.mayWrite(handle))) return saveInto(handle, true);
  if (app.archiveHandle && app.doc.origin.kind === 'archive') return saveBackIntoArchive(app.archiveHandle);
  return saveArchive();
}

// What every save writes, as the desktop counts it: uisettings.ini and the catalogue's 53 pictures.
const kSkinFiles = 54;

// Back into the archive the system handed the installed app, through its
// handle, as the desktop saves back into a .zip: only while the archive
// holds nothing but the skin (the core's saveTarget) and no other program
// changed it since the page read it. Otherwise a folder is asked for where
// the browser has folders, and elsewhere the archive is downloaded.
async function saveBackIntoArchive(handle: FileSystemFileHandle): Promise<boolean> {
  const now = await handle.getFile().catch(() => null);
  const unchanged = now !== null && now.size === archiveSeen.size && now.lastModified === archiveSeen.modified;
  if (!app.doc.origin.saveTarget || !unchanged) {
    const shown = await engine.printable(handle.name);
    status(unchanged ? t('LANG_STATUS_ARCHIVE_HOLDS_MORE$', shown) : t('LANG_RELOAD_ASK_ARCHIVE$', shown));
    if (!files.hasFolderAccess) return saveArchive();
    let folder: FileSystemDirectoryHandle;
    try {
      folder = await files.pickFolder();
    } catch {
      return false; // the user closed the chooser
    }
    return saveInto(folder, false);
  }
  if (!(await files.mayWrite(handle))) return saveArchive();
  const result = await engine.saveArchive(app.skinName || 'skin', { inPlace: true });
  if (!result.saved || !result.bytes) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    void reportMessages(result.messages, t('LANG_ERROR$'));
    return false;
  }
  try {
    // The browser writes aside and puts the file in place at close: a failure leaves the old archive.
    const stream = await handle.createWritable({ keepExistingData: false });
    try {
      await stream.write(result.bytes as Uint8Array<ArrayBuffer>);
    } catch (e) {
      await stream.abort().catch(() => {});
      throw e;
    }
    await stream.close();
  } catch (e) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    const shown = await engine.printable(handle.name);
    void reportFailure(shown, `${shown}: ${(e as Error).message}`, 'not-saved');
    return false;
  }
  await engine.markSaved(result.where, 'archive');
  setArchiveSeen(await handle.getFile());
  downloaded(null);
  status(t('LANG_STATUS_SAVED$', kSkinFiles, await engine.printable(handle.name)));
  await refresh(false);
  await writeJournal();
  return true;
}

// Before a save over the folder the skin came from: files another program
// changed since they were read are named, and the user says whether to
// overwrite them (the core decides which; the page gives what it sees).
async function overwriteAllowed(handle: FileSystemDirectoryHandle, paths: string[]): Promise<boolean> {
  const question = await engine.changedBeforeSave(app.doc.origin.path, await files.stampFolder(handle, paths));
  if (!question.ask) return true;
  const names = await Promise.all(question.files.map((f) => engine.printable(f)));
  const answer = await ask(t('LANG_FILE_SAVE$'), t('LANG_ASK_OVERWRITE$', names.join(', ')), [
    { label: t('LANG_OVERWRITE$').replace('&', ''), value: true },
    { label: t('LANG_CANCEL$'), value: false, default: true },
  ], false);
  return answer;
}

async function saveInto(handle: FileSystemDirectoryHandle, inPlace: boolean): Promise<boolean> {
  if (inPlace && !(await overwriteAllowed(handle, folderFiles))) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    return false;
  }
  const result = await engine.saveFiles({ inPlace });
  if (!result.saved) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    void reportMessages(result.messages, t('LANG_ERROR$'));
    return false;
  }
  try {
    await files.writeFolder(handle, result.files);
  } catch (e) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    const shown = await engine.printable(handle.name);
    void reportFailure(shown, `${shown}: ${(e as Error).message}`, 'not-saved');
    return false;
  }
  await engine.markSaved(result.where, 'folder', { becomeOrigin: !inPlace });
  setFolderFiles(result.files.map((f) => f.path));
  await engine.rememberSeen((await engine.state()).origin.path, await files.stampFolder(handle, folderFiles));
  await seenNow(handle);
  watchFolder(handle);
  update({ folderHandle: handle, archiveHandle: null });
  await setSkinName(handle.name);
  // Written where the page saw it written: no download waits to be confirmed.
  downloaded(null);
  void store.rememberRecent(handle.name, handle).then(loadRecent, () => {});
  status(t('LANG_STATUS_SAVED$', result.files.length, app.skinLabel));
  await refresh(false);
  await writeJournal();
  return true;
}

export async function saveArchive(): Promise<boolean> {
  const name = app.skinName || 'skin';
  const result = await engine.saveArchive(name);
  if (!result.saved || !result.bytes) {
    status(t('LANG_STATUS_NOT_SAVED$'));
    void reportMessages(result.messages, t('LANG_ERROR$'));
    return false;
  }
  // Named as the folder inside it: nothing in the name that could climb out or run backwards.
  const fileName = `${await engine.archiveFolderName(name)}.zip`;
  // The page cannot know that a download reached the disk (the user may
  // cancel the browser's Save As, or the browser may block it): the journal
  // keeps these changes, marked as downloaded, until a save the page sees
  // written or the user's Discard at the next start.
  downloaded(fileName);
  files.download(fileName, result.bytes, 'application/zip');
  await engine.markSaved(result.where, 'archive', { becomeOrigin: true });
  update({ folderHandle: null, archiveHandle: null });
  status(t('LANG_STATUS_DOWNLOADED$', await engine.printable(fileName)));
  await refresh(false);
  await writeJournal();
  return true;
}

export async function saveToFolder(): Promise<void> {
  await commitTyping();
  let handle: FileSystemDirectoryHandle;
  try {
    handle = await files.pickFolder();
  } catch {
    return;
  }
  await saveInto(handle, false);
}
