// What the page keeps in the browser's own storage (IndexedDB): the journal
// of each page's unsaved changes, and the skin folders the browser lets us
// reopen. Each open page holds a lock named after its journal for as long as
// it lives; a journal whose lock nobody holds was left by a page that
// closed or crashed, and only such a journal is offered or deleted, so a
// second page never touches another's.
export interface StoredJournal {
  keeper: number;
  started: number;
  name: string;
  manifest: string;
  archive: Uint8Array;
  lastEdit: number;
}

export interface RecentSkin {
  name: string;
  handle: FileSystemDirectoryHandle;
  opened: number;
}

const kDatabase = 'skin-editor';
const kJournals = 'journals';
const kRecent = 'recent';
const kRecentCount = 8;

function request<T>(r: IDBRequest<T>): Promise<T> {
  return new Promise((resolve, reject) => {
    r.onsuccess = () => resolve(r.result);
    r.onerror = () => reject(r.error);
  });
}

let opening: Promise<IDBDatabase> | null = null;

function database(): Promise<IDBDatabase> {
  if (!opening) {
    opening = new Promise((resolve, reject) => {
      const r = indexedDB.open(kDatabase, 1);
      r.onupgradeneeded = () => {
        r.result.createObjectStore(kJournals, { keyPath: 'keeper' });
        r.result.createObjectStore(kRecent, { keyPath: 'name' });
      };
      r.onsuccess = () => resolve(r.result);
      r.onerror = () => reject(r.error);
      r.onblocked = () => reject(new Error('the storage is held by an older page'));
    });
  }
  return opening;
}

async function store(name: string, mode: IDBTransactionMode): Promise<IDBObjectStore> {
  return (await database()).transaction(name, mode).objectStore(name);
}

export function lockName(keeper: number): string {
  return `skin-editor-journal-${keeper}`;
}

/**
 * Takes a journal's lock if nobody holds it: resolves to its release, or null when a page holds
 * it (the journal's own page lives, or another page is offering it now).
 */
export function claimLock(keeper: number): Promise<(() => void) | null> {
  return new Promise((resolve) => {
    navigator.locks.request(lockName(keeper), { ifAvailable: true }, (lock) => {
      if (!lock) {
        resolve(null);
        return undefined;
      }
      return new Promise<void>((release) => resolve(() => release()));
    });
  });
}

/** This page's number: unique among the pages open now and the journals kept; its lock held while the page lives. */
export async function claimKeeper(): Promise<number> {
  const taken = new Set((await listJournals()).map((j) => j.keeper));
  for (;;) {
    const keeper = 1 + Math.floor(Math.random() * 0x7ffffffe);
    if (!taken.has(keeper) && (await claimLock(keeper))) return keeper;
  }
}

export async function listJournals(): Promise<StoredJournal[]> {
  return request((await store(kJournals, 'readonly')).getAll() as IDBRequest<StoredJournal[]>);
}

export async function writeJournal(journal: StoredJournal): Promise<void> {
  await request((await store(kJournals, 'readwrite')).put(journal));
}

export async function deleteJournal(keeper: number): Promise<void> {
  await request((await store(kJournals, 'readwrite')).delete(keeper));
}

export async function listRecent(): Promise<RecentSkin[]> {
  try {
    const all = await request((await store(kRecent, 'readonly')).getAll() as IDBRequest<RecentSkin[]>);
    return all.sort((a, b) => b.opened - a.opened);
  } catch {
    return [];
  }
}

export async function rememberRecent(name: string, handle: FileSystemDirectoryHandle): Promise<void> {
  const s = await store(kRecent, 'readwrite');
  await request(s.put({ name, handle, opened: Date.now() }));
  const all = (await request(s.getAll() as IDBRequest<RecentSkin[]>)).sort((a, b) => b.opened - a.opened);
  for (const old of all.slice(kRecentCount)) await request(s.delete(old.name));
}

export async function forgetRecent(name: string): Promise<void> {
  await request((await store(kRecent, 'readwrite')).delete(name));
}
