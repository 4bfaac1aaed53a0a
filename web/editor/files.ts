// The user's files, as a page can reach them: a skin folder read through
// the File System Access API (which also lets Save write back), through a
// dropped folder's entries or a folder chooser elsewhere; an archive's
// bytes; a save written into a folder or handed over as a download.
import type { SeenFile, SkinFile } from '../engine/engine';

// What a skin folder can hold that the editor reads: its settings and its
// pictures, below it or one folder down (icon/). Other files are not
// read, and a folder larger than the budget is refused before it is.
const kSkinFile = /\.(ini|bmp|png|jpe?g)$/i;
const kMaxDepth = 2;
export const kFolderBudget = 512 * 1024 * 1024;
export const kMaxFiles = 4096;

/** A folder the editor does not read, and the limit it met: its size, or the number of its picture files. */
export class FolderTooLarge extends Error {
  constructor(path: string, readonly limit: 'size' | 'files') {
    super(path);
  }
}

interface Gathered {
  files: { path: string; file: File }[];
  size: number;
}

function take(into: Gathered, path: string, file: File): void {
  if (!kSkinFile.test(path)) return;
  into.size += file.size;
  if (into.size > kFolderBudget) throw new FolderTooLarge(path, 'size');
  if (into.files.length >= kMaxFiles) throw new FolderTooLarge(path, 'files');
  into.files.push({ path, file });
}

/** A file of a skin folder as read: its bytes, and its size and time of change as the browser saw them. */
export type ReadFile = SkinFile & { size: number; modified: number };

async function load(gathered: Gathered): Promise<ReadFile[]> {
  const out: ReadFile[] = [];
  for (const f of gathered.files) {
    out.push({ path: f.path, bytes: new Uint8Array(await f.file.arrayBuffer()), size: f.file.size, modified: f.file.lastModified });
  }
  return out;
}

/** What the core compares to tell a file another program changed: name, size, time. */
export function seenOf(files: ReadFile[]): SeenFile[] {
  return files.map((f) => ({ name: f.path, size: f.size, modified: f.modified }));
}

/** The files of `paths` in a folder as they are now (a missing one left out). */
export async function stampFolder(handle: FileSystemDirectoryHandle, paths: string[]): Promise<SeenFile[]> {
  const out: SeenFile[] = [];
  for (const path of paths) {
    try {
      const parts = path.split('/');
      let dir = handle;
      for (const part of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(part);
      const file = await (await dir.getFileHandle(parts[parts.length - 1])).getFile();
      out.push({ name: path, size: file.size, modified: file.lastModified });
    } catch {
      // not there (any more)
    }
  }
  return out;
}

// A folder's entries as either of the browser's ways gives them: a folder
// with its entries, or a file.
type Item = { name: string; children?: () => Promise<Item[]>; file?: () => Promise<File> };

async function readTree(root: Item[]): Promise<ReadFile[]> {
  const gathered: Gathered = { files: [], size: 0 };
  const walk = async (items: Item[], prefix: string, depth: number): Promise<void> => {
    for (const item of items) {
      if (item.children) {
        if (depth < kMaxDepth) await walk(await item.children(), `${prefix}${item.name}/`, depth + 1);
      } else if (item.file && kSkinFile.test(item.name)) {
        take(gathered, prefix + item.name, await item.file());
      }
    }
  };
  await walk(root, '', 1);
  return load(gathered);
}

async function handleItems(dir: FileSystemDirectoryHandle): Promise<Item[]> {
  const out: Item[] = [];
  for await (const entry of (dir as unknown as { values(): AsyncIterable<FileSystemHandle> }).values()) {
    out.push(entry.kind === 'directory'
      ? { name: entry.name, children: () => handleItems(entry as FileSystemDirectoryHandle) }
      : { name: entry.name, file: () => (entry as FileSystemFileHandle).getFile() });
  }
  return out;
}

function entries(dir: FileSystemDirectoryEntry): Promise<FileSystemEntry[]> {
  const reader = dir.createReader();
  const all: FileSystemEntry[] = [];
  return new Promise((resolve, reject) => {
    const more = () =>
      reader.readEntries((batch) => {
        if (batch.length === 0) resolve(all);
        else {
          all.push(...batch);
          more();
        }
      }, reject);
    more();
  });
}

async function entryItems(dir: FileSystemDirectoryEntry): Promise<Item[]> {
  return (await entries(dir)).map((entry) => entry.isDirectory
    ? { name: entry.name, children: () => entryItems(entry as FileSystemDirectoryEntry) }
    : { name: entry.name, file: () => new Promise<File>((resolve, reject) => (entry as FileSystemFileEntry).file(resolve, reject)) });
}

/** The files of a folder reached through the File System Access API. */
export async function readFolderHandle(handle: FileSystemDirectoryHandle): Promise<ReadFile[]> {
  return readTree(await handleItems(handle));
}

/** The files of a dropped folder, where the browser gives its entries only. */
export async function readFolderEntry(root: FileSystemDirectoryEntry): Promise<ReadFile[]> {
  return readTree(await entryItems(root));
}

/** The files a folder chooser (an input with webkitdirectory) gave: the folder's name and its files. */
export async function readChosenFolder(list: FileList): Promise<{ name: string; files: ReadFile[] }> {
  const gathered: Gathered = { files: [], size: 0 };
  let name = '';
  for (const file of Array.from(list)) {
    const parts = file.webkitRelativePath.split('/');
    name ||= parts[0];
    const below = parts.slice(1);
    if (below.length === 0 || below.length > kMaxDepth) continue;
    take(gathered, below.join('/'), file);
  }
  return { name, files: await load(gathered) };
}

/**
 * Writes a saved skin's files into a folder: every file is written aside first (the browser's
 * own swap files), and only when all are written does any replace its old one; a failure
 * before that leaves every old file as it was.
 */
export async function writeFolder(handle: FileSystemDirectoryHandle, files: SkinFile[]): Promise<void> {
  const open: FileSystemWritableFileStream[] = [];
  try {
    for (const f of files) {
      const parts = f.path.split('/');
      let dir = handle;
      for (const part of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(part, { create: true });
      const file = await dir.getFileHandle(parts[parts.length - 1], { create: true });
      const stream = await file.createWritable({ keepExistingData: false });
      open.push(stream);
      await stream.write(f.bytes as Uint8Array<ArrayBuffer>);
    }
  } catch (e) {
    await Promise.allSettled(open.map((s) => s.abort()));
    throw e;
  }
  for (const s of open) await s.close();
}

/** The bytes of one file of a folder (a path below it with "/"). */
export async function readFile(handle: FileSystemDirectoryHandle, path: string): Promise<Uint8Array> {
  const parts = path.split('/');
  let dir = handle;
  for (const part of parts.slice(0, -1)) dir = await dir.getDirectoryHandle(part);
  return new Uint8Array(await (await (await dir.getFileHandle(parts[parts.length - 1])).getFile()).arrayBuffer());
}

/** Whether the page may still read a folder it was given, without asking (a watch never asks). */
export async function mayRead(handle: FileSystemDirectoryHandle): Promise<boolean> {
  const h = handle as unknown as { queryPermission?(d: object): Promise<PermissionState> };
  return !h.queryPermission || (await h.queryPermission({ mode: 'read' })) === 'granted';
}

/** Whether the page may write into a folder it was given, asking the user where it must. */
export async function mayWrite(handle: FileSystemHandle): Promise<boolean> {
  const h = handle as unknown as {
    queryPermission?(d: object): Promise<PermissionState>;
    requestPermission?(d: object): Promise<PermissionState>;
  };
  if (!h.queryPermission || !h.requestPermission) return false;
  if ((await h.queryPermission({ mode: 'readwrite' })) === 'granted') return true;
  try {
    return (await h.requestPermission({ mode: 'readwrite' })) === 'granted';
  } catch {
    return false;
  }
}

/** Hands bytes to the browser as a download named `name`. */
export function download(name: string, bytes: Uint8Array, type: string): void {
  const url = URL.createObjectURL(new Blob([bytes as Uint8Array<ArrayBuffer>], { type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  a.style.display = 'none';
  document.body.append(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 60_000);
}

export const hasFolderAccess = typeof (globalThis as { showDirectoryPicker?: unknown }).showDirectoryPicker === 'function';

/** A folder chosen by the user: a skin's (written to), or one to read pictures or another skin from. */
export function pickFolder(id = 'skin', mode: 'read' | 'readwrite' = 'readwrite'): Promise<FileSystemDirectoryHandle> {
  return (globalThis as unknown as { showDirectoryPicker(o: object): Promise<FileSystemDirectoryHandle> })
    .showDirectoryPicker({ mode, id });
}

/** One file the user chooses (of `accept`); null when none is chosen. */
export async function chooseFile(accept: string): Promise<File | null> {
  const input = Object.assign(document.createElement('input'), { type: 'file', hidden: true, accept });
  return (await chosenFrom(input))?.[0] ?? null;
}

/**
 * A folder chosen only to be read (pictures, another skin): through the File System Access API
 * where there is one (remembered by `id`), else a folder chooser; null when none is chosen. Its
 * files are read by `read`, which throws FolderTooLarge as the others do.
 */
export async function chooseFolderToRead(id: string): Promise<{ name: string; read: () => Promise<ReadFile[]> } | null> {
  if (hasFolderAccess) {
    let handle: FileSystemDirectoryHandle;
    try {
      handle = await pickFolder(id, 'read');
    } catch {
      return null;
    }
    return { name: handle.name, read: () => readFolderHandle(handle) };
  }
  const input = Object.assign(document.createElement('input'), { type: 'file', hidden: true, webkitdirectory: true });
  const list = await chosenFrom(input);
  if (!list || list.length === 0) return null;
  return { name: list[0].webkitRelativePath.split('/')[0], read: async () => (await readChosenFolder(list)).files };
}

// What a hidden file input gave once clicked: null when the chooser was cancelled.
async function chosenFrom(input: HTMLInputElement): Promise<FileList | null> {
  document.body.append(input);
  const list = await new Promise<FileList | null>((resolve) => {
    input.addEventListener('change', () => resolve(input.files), { once: true });
    input.addEventListener('cancel', () => resolve(null), { once: true });
    input.click();
  });
  input.remove();
  return list;
}
