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
  /** The archive a save handed to the browser as a download, which the page cannot know reached the disk. */
  downloaded?: string;
}

/** Whether a record read back is a journal the page can offer: a damaged one is set aside instead. */
export function isWholeJournal(j: unknown): j is StoredJournal {
  const r = j as Partial<StoredJournal> | null;
  return !!r && typeof r.keeper === 'number' && typeof r.manifest === 'string' && r.archive instanceof Uint8Array &&
    typeof r.name === 'string' && typeof r.lastEdit === 'number' && typeof r.started === 'number';
}

export interface RecentSkin {
  name: string;
  handle: FileSystemDirectoryHandle;
  opened: number;
}

const kDatabase = 'skin-editor';
const kJournals = 'journals';
const kRecent = 'recent';
// Journals that could not be restored: kept, never deleted unread.
const kSetAside = 'not-restored';
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
    const now = new Promise<IDBDatabase>((resolve, reject) => {
      const r = indexedDB.open(kDatabase, 2);
      r.onupgradeneeded = () => {
        const names = r.result.objectStoreNames;
        if (!names.contains(kJournals)) r.result.createObjectStore(kJournals, { keyPath: 'keeper' });
        if (!names.contains(kRecent)) r.result.createObjectStore(kRecent, { keyPath: 'name' });
        if (!names.contains(kSetAside)) r.result.createObjectStore(kSetAside, { autoIncrement: true });
      };
      r.onsuccess = () => {
        const db = r.result;
        // The site's data cleared while the page is open, or a newer page
        // that needs the storage: the next use opens it anew.
        const forget = () => {
          if (opening === now) opening = null;
        };
        db.onclose = forget;
        db.onversionchange = () => {
          db.close();
          forget();
        };
        resolve(db);
      };
      r.onerror = () => reject(r.error);
      r.onblocked = () => reject(new Error('the storage is held by an older page'));
    });
    opening = now;
    now.catch(() => {
      if (opening === now) opening = null;
    });
  }
  return opening;
}

/**
 * Runs `work` in one transaction over `names` and resolves to its result only once the browser
 * has committed it: a write refused for want of room (the quota) or by a storage that went away
 * rejects. A connection closed under the page (its data cleared) is opened anew, once.
 */
async function transact<T>(names: string[], mode: IDBTransactionMode, work: (t: IDBTransaction) => Promise<T> | T): Promise<T> {
  for (let attempt = 0; ; ++attempt) {
    let tx: IDBTransaction;
    try {
      tx = (await database()).transaction(names, mode);
    } catch (e) {
      opening = null;
      if (attempt === 0) continue;
      throw e;
    }
    const done = new Promise<void>((resolve, reject) => {
      tx.oncomplete = () => resolve();
      tx.onabort = () => reject(tx.error ?? new Error('the browser did not keep the data'));
      tx.onerror = () => reject(tx.error ?? new Error('the browser did not keep the data'));
    });
    done.catch(() => {});
    let result: T;
    try {
      result = await work(tx);
    } catch (e) {
      try {
        tx.abort();
      } catch {
        // already over
      }
      await done.catch(() => {});
      throw e;
    }
    await done;
    return result;
  }
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

/** Every record of the journals' store, whole or not (isWholeJournal tells). */
export async function listJournals(): Promise<StoredJournal[]> {
  return transact([kJournals], 'readonly', (t) => request(t.objectStore(kJournals).getAll() as IDBRequest<StoredJournal[]>));
}

/** Keeps a journal; resolves once the browser has committed it, rejects when it did not. */
export async function writeJournal(journal: StoredJournal): Promise<void> {
  await transact([kJournals], 'readwrite', (t) => request(t.objectStore(kJournals).put(journal)));
}

export async function deleteJournal(keeper: number): Promise<void> {
  await transact([kJournals], 'readwrite', (t) => request(t.objectStore(kJournals).delete(keeper)));
}

/** Moves a journal that cannot be restored out of the way, kept as it was: the page starts without it. */
export async function setAside(record: unknown, keeper: IDBValidKey): Promise<void> {
  await transact([kJournals, kSetAside], 'readwrite', async (t) => {
    await Promise.all([
      request(t.objectStore(kSetAside).add({ record, setAside: Date.now() })),
      request(t.objectStore(kJournals).delete(keeper)),
    ]);
  });
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
