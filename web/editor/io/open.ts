// Opening a skin: a folder (through the File System Access API, which also
// lets Save write back, or a folder chooser), an archive, a skin dropped on
// the page, a recent folder; and New. Unsaved changes are asked about first.
import type { EngineMessage } from '../../engine/engine';
import { refresh, setSkinName } from '../changes';
import { app, command, engine, status, t, update } from '../context';
import { forgetStartHint } from '../dialogs/help';
import { reportFailure, reportMessages } from '../dialogs/messages';
import * as files from '../files';
import * as store from '../storage';
import { ask, el } from '../ui';
import { commitTyping } from '../views/panel-fields';
import { setHighlight } from '../views/preview';
import { downloaded, writeJournal } from './journal';
import { cancellable } from './renew';
import { save } from './save';
import { seenNow, watchFolder } from './watch';

export const archiveInput = el('input', { type: 'file', accept: '.zip,application/zip', hidden: true });
export const folderInput = el('input', { type: 'file', hidden: true, webkitdirectory: true });

export let recent: (store.RecentSkin & { label: string })[] = [];

/** The files of the folder the skin was read from, or last saved to (what a save over it compares). */
export let folderFiles: string[] = [];
export function setFolderFiles(paths: string[]): void {
  folderFiles = paths;
}

/** The recent skins, each with its name as the page shows it. */
export async function loadRecent(): Promise<void> {
  recent = await Promise.all((await store.listRecent()).map(async (r) => ({ ...r, label: await engine.printable(r.name) })));
}

/** Asks to save unsaved changes first: true to go on. */
export async function confirmLeave(): Promise<boolean> {
  await commitTyping();
  update({ doc: await engine.state() });
  if (!app.doc.modified) return true;
  const name = app.skinLabel || t('LANG_SKIN_NEW$');
  const answer = await ask(t('LANG_FILE_SAVE$'), t('LANG_ASK_SAVE$', name), [
    { label: t('LANG_FILE_SAVE$'), value: 'save', default: true },
    { label: t('LANG_DISCARD$'), value: 'discard' },
    { label: t('LANG_CANCEL$'), value: 'cancel' },
  ], 'cancel');
  if (answer === 'cancel') return false;
  if (answer === 'save') return save();
  return true;
}

async function opened(name: string, result: { opened: boolean; messages: EngineMessage[] }, handle: FileSystemDirectoryHandle | null,
  archive: FileSystemFileHandle | null = null): Promise<void> {
  if (result.opened) {
    forgetStartHint();
    await setSkinName(name);
    update({ folderHandle: handle, archiveHandle: archive, selectedElement: null });
    downloaded(null);
    if (handle) void store.rememberRecent(name, handle).then(loadRecent, () => {});
    status(t('LANG_STATUS_OPENED$', app.skinLabel));
    setHighlight(null);
    await refresh(false);
    await writeJournal();
  }
  void reportMessages(result.messages, result.opened ? app.skinLabel : t('LANG_ERROR$'));
}

async function tooLarge(name: string, why: files.FolderTooLarge | null = null): Promise<void> {
  const shown = await engine.printable(name);
  const text = why?.limit === 'files'
    ? t('LANG_WEB_TOO_MANY_FILES$', shown, files.kMaxFiles)
    : t('LANG_WEB_TOO_LARGE$', shown, files.kFolderBudget / (1024 * 1024));
  void reportFailure(shown, text, 'too-large');
}

/** `handle`: where the archive came from, kept so that Save can write back into it (see openArchiveHandle). */
export async function openArchiveFile(file: File, handle: FileSystemFileHandle | null = null): Promise<void> {
  if (!(await confirmLeave())) return;
  if (file.size > files.kFolderBudget) return tooLarge(file.name);
  let bytes: Uint8Array;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch (e) {
    const shown = await engine.printable(file.name);
    void reportFailure(shown, t('LANG_WEB_READ_FAILED$', shown, String(e)));
    return;
  }
  const name = file.name.replace(/\.zip$/i, '');
  await cancellable(await engine.printable(file.name), async () => {
    await opened(name, await engine.openArchive(file.name, bytes), null, handle);
    if (handle && app.archiveHandle === handle) setArchiveSeen(file);
  });
}

// An archive the system handed the installed app (a .zip opened with it
// from the file manager): opened as any archive, and its handle kept, so
// that Save writes back into it where the browser lets the page write.
// What the file was at opening (size, time) tells a save whether another
// program changed it since.

/** The archive's size and time of change when it was opened or last saved through its handle. */
export let archiveSeen = { size: -1, modified: -1 };
export function setArchiveSeen(file: File): void {
  archiveSeen = { size: file.size, modified: file.lastModified };
}

export async function openArchiveHandle(handle: FileSystemFileHandle): Promise<void> {
  let file: File;
  try {
    file = await handle.getFile();
  } catch (e) {
    const shown = await engine.printable(handle.name);
    void reportFailure(shown, t('LANG_WEB_READ_FAILED$', shown, String(e)));
    return;
  }
  await openArchiveFile(file, handle);
}

// A folder's files, or null when they could not be read (too many, too large, or the browser
// refused): then the user is told why.
async function filesOrSaid(name: string, read: () => Promise<files.ReadFile[]>): Promise<files.ReadFile[] | null> {
  try {
    return await read();
  } catch (e) {
    if (e instanceof files.FolderTooLarge) {
      await tooLarge(name, e);
      return null;
    }
    const shown = await engine.printable(name);
    void reportFailure(shown, t('LANG_WEB_READ_FAILED$', shown, await engine.printable(String((e as Error).message ?? e))));
    return null;
  }
}

/** A folder chosen to be read (pictures, another skin) and its files; null when none was chosen or it could not be read (said why). */
export async function readChosenFolder(id: string): Promise<{ name: string; files: files.ReadFile[] } | null> {
  const chosen = await files.chooseFolderToRead(id);
  const list = chosen && await filesOrSaid(chosen.name, chosen.read);
  return chosen && list ? { name: chosen.name, files: list } : null;
}

export async function openFolderFiles(name: string, read: () => Promise<files.ReadFile[]>, handle: FileSystemDirectoryHandle | null): Promise<void> {
  const list = await filesOrSaid(name, read);
  if (!list) return;
  await cancellable(await engine.printable(name), async () => {
    await opened(name, await engine.openFolder(name, list), handle);
    // What a save into the folder compares with, to tell a file another program changed since.
    if (handle) {
      await engine.rememberSeen(app.doc.origin.path, files.seenOf(list));
      setFolderFiles(list.map((f) => f.path));
      await seenNow(handle);
    }
    watchFolder(handle);
  });
}

export async function openFolderHandle(handle: FileSystemDirectoryHandle): Promise<void> {
  if (!(await confirmLeave())) return;
  await openFolderFiles(handle.name, () => files.readFolderHandle(handle), handle);
}

export async function openFolder(): Promise<void> {
  if (files.hasFolderAccess) {
    let handle: FileSystemDirectoryHandle;
    try {
      handle = await files.pickFolder();
    } catch {
      return; // the user closed the chooser
    }
    await openFolderHandle(handle);
  } else {
    folderInput.value = '';
    folderInput.click();
  }
}

export function chooseArchive(): void {
  archiveInput.value = '';
  archiveInput.click();
}

folderInput.addEventListener('change', () => {
  const list = folderInput.files;
  if (!list || list.length === 0) return;
  void command(async () => {
    if (!(await confirmLeave())) return;
    const name = list[0].webkitRelativePath.split('/')[0] || 'skin';
    await openFolderFiles(name, async () => (await files.readChosenFolder(list)).files, null);
  });
});

archiveInput.addEventListener('change', () => {
  const file = archiveInput.files?.[0];
  if (file) void command(() => openArchiveFile(file));
});

export async function openRecent(r: store.RecentSkin): Promise<void> {
  // Asked once more for the folder (a browser forgets what it granted when
  // the page closes); refused, the reading says why.
  await files.mayWrite(r.handle);
  await openFolderHandle(r.handle);
}

export async function newSkin(): Promise<void> {
  if (!(await confirmLeave())) return;
  await engine.newSkin();
  watchFolder(null);
  await setSkinName('');
  update({ folderHandle: null, archiveHandle: null });
  downloaded(null);
  await refresh(false);
  await writeJournal();
}
