// The journal of unsaved changes, kept in the browser's storage where it
// survives the page: written a second after the last edit, and never later
// than five seconds after the first edit it does not hold yet; never what an
// open dialog previews. The next start offers what a page left behind.
import { refresh, setSkinName } from '../changes';
import { app, engine, probe, status, t } from '../context';
import { reportFailure } from '../dialogs/messages';
import * as store from '../storage';
import { ask } from '../ui';
import { commitTyping, pendingTyping } from '../views/panel-fields';

const kJournalDelay = 1000;
const kJournalLatest = 5000;

/** This page's number among the pages and journals, and when it started (seconds since 1970). */
const page = { keeper: 0, started: 0 };
let lastEdit = 0;
let journalTimer: ReturnType<typeof setTimeout> | null = null;
/** When the first edit that the journal does not hold yet was made (0: none). */
let journalOwed = 0;
/** Whether the last journal write failed: the next one that works says so. */
let journalFailing = false;
/**
 * A save handed to the browser as a download ("Sunset.zip"), which the page cannot know reached
 * the disk: the journal stays until a save the page sees written, or the user's Discard.
 */
let downloadedAs: string | null = null;

export async function startJournal(): Promise<void> {
  page.started = Math.floor(Date.now() / 1000);
  page.keeper = await store.claimKeeper().catch(() => 1 + Math.floor(Math.random() * 0x7ffffffe));
}

/** An edit was made: the journal follows. */
export function edited(): void {
  lastEdit = Date.now();
  const now = lastEdit;
  if (!journalOwed) journalOwed = now;
  if (journalTimer) clearTimeout(journalTimer);
  const wait = Math.max(0, Math.min(kJournalDelay, journalOwed + kJournalLatest - now));
  journalTimer = setTimeout(() => void writeJournal(), wait);
}

/** A download of the skin was handed to the browser (or, with null, a save the page saw written). */
export function downloaded(name: string | null): void {
  downloadedAs = name;
}

// A write counts only once the browser has committed it: when it refuses
// (no room left, the site's data cleared), the status line says the changes
// are not protected, and says it again when they are.
export async function writeJournal(): Promise<void> {
  if (journalTimer) clearTimeout(journalTimer);
  journalTimer = null;
  journalOwed = 0;
  try {
    await commitTyping();
    const s = await engine.state();
    const { keeper, started } = page;
    if (!s.modified && !downloadedAs) {
      await store.deleteJournal(keeper);
    } else {
      const j = await engine.journal(new Date(lastEdit || Date.now()), keeper, started);
      if (!j) throw new Error(t('LANG_FILE_NOTSAVE$'));
      await store.writeJournal({
        keeper, started, name: app.skinName, manifest: j.manifest, archive: j.archive, lastEdit: lastEdit || Date.now(),
        ...(downloadedAs && !s.modified ? { downloaded: downloadedAs } : {}),
      });
    }
    probe.journals++;
    if (journalFailing) {
      journalFailing = false;
      status(t('LANG_STATUS_JOURNAL_AGAIN$'));
    }
  } catch (e) {
    probe.journalFailures++;
    journalFailing = true;
    status(t('LANG_STATUS_JOURNAL_FAILED$', t('LANG_WEB_STORAGE$')));
    console.warn('journal not written:', e);
  }
}

/** Whether a journal write is owed (an edit not yet written, a box not yet taken). */
export function journalOwing(): boolean {
  return journalTimer !== null || journalOwed !== 0 || pendingTyping();
}

// The journals that pages left behind, newest first: each one that no page
// holds is offered once. A record that cannot be restored (damaged, or
// written by something else) never stops the page: it is said, and set
// aside unread, as the desktop moves such a journal out of the way.
export async function offerRestore(): Promise<void> {
  const all = (await store.listJournals()).filter((j) => j?.keeper !== page.keeper);
  const whole = all.filter(store.isWholeJournal).sort((a, b) => b.lastEdit - a.lastEdit);
  for (const damaged of all.filter((j) => !store.isWholeJournal(j))) {
    const key = (damaged as { keeper?: IDBValidKey } | null)?.keeper;
    if (key === undefined || (typeof key === 'number' && !(await store.claimLock(key)))) continue;
    await setAside(damaged, key, String((damaged as { name?: unknown }).name ?? ''));
  }
  for (const journal of whole) {
    const release = await store.claimLock(journal.keeper);
    if (!release) continue; // its page lives, or another page offers it now
    try {
      const info = await engine.readJournal(journal.manifest);
      if (!info) {
        await setAside(journal, journal.keeper, journal.name);
        continue;
      }
      const name = journal.name ? await engine.printable(journal.name) : t('LANG_SKIN_NEW$');
      const when = new Date(Date.UTC(info.time[0], info.time[1] - 1, info.time[2], info.time[3], info.time[4], info.time[5]));
      const shownWhen = when.toLocaleString(document.documentElement.lang);
      const question = journal.downloaded
        ? t('LANG_RESTORE_ASK_DOWNLOADED$', name, shownWhen, await engine.printable(journal.downloaded))
        : t('LANG_RESTORE_ASK$', name, shownWhen);
      const answer = await ask(t('LANG_RESTORE_TITLE$'), question, [
        { label: t('LANG_RESTORE$'), value: 'restore', default: true },
        { label: t('LANG_DISCARD$'), value: 'discard' },
      ], 'later');
      if (answer === 'restore') {
        if (await engine.restore({ manifest: journal.manifest, archive: journal.archive })) {
          await setSkinName(journal.name);
          lastEdit = journal.lastEdit;
          await refresh(false);
          await writeJournal();
          await store.deleteJournal(journal.keeper);
        } else {
          await setAside(journal, journal.keeper, journal.name);
        }
      } else if (answer === 'discard') {
        await store.deleteJournal(journal.keeper);
      }
    } finally {
      release();
    }
    return;
  }
}

async function setAside(record: unknown, key: IDBValidKey, name: string): Promise<void> {
  const shown = name ? await engine.printable(name) : t('LANG_SKIN_NEW$');
  try {
    await store.setAside(record, key);
  } catch (e) {
    console.warn('journal not set aside:', e);
  }
  probe.setAside++;
  await reportFailure(shown, t('LANG_RESTORE_FAILED$', shown, t('LANG_WEB_STORAGE_ASIDE$')));
}
