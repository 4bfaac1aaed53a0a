// A skin folder the page may write to is watched, as the desktop watches
// its skin: while the page is visible, the files' sizes and times are
// compared every two seconds with what the page last read or wrote. A file
// another program changed (a picture saved in a paint program) comes back
// by the core's rule: read into the skin at once when the user has no
// unsaved change to it, else held behind the reload bar (Reload, Keep mine).
import type { ReloadAnswer, SeenFile } from '../../engine/engine';
import { refresh } from '../changes';
import { run } from '../commands';
import { app, command, engine, status, t } from '../context';
import { reportMessages } from '../dialogs/messages';
import * as files from '../files';
import { el } from '../ui';
import { folderFiles } from './open';

const kEveryMs = 2000;
let seen = new Map<string, SeenFile>();
let timer: ReturnType<typeof setInterval> | null = null;
let looking = false;
let bar: HTMLElement | null = null;

/** What the page read or wrote of the folder: the stamps the next look compares with. */
export async function seenNow(handle: FileSystemDirectoryHandle): Promise<void> {
  seen = new Map((await files.stampFolder(handle, folderFiles)).map((f) => [f.name, f]));
}

/** Watches the skin's folder (or stops, without one), while the page is visible. */
export function watchFolder(handle: FileSystemDirectoryHandle | null): void {
  if (timer) clearInterval(timer);
  timer = null;
  showBar(null);
  if (!handle) return;
  timer = setInterval(() => {
    if (document.visibilityState === 'visible' && !looking && app.folderHandle === handle) void look(handle);
  }, kEveryMs);
}

async function look(handle: FileSystemDirectoryHandle): Promise<void> {
  looking = true;
  try {
    if (!(await files.mayRead(handle))) return;
    const now = await files.stampFolder(handle, folderFiles);
    const byName = new Map(now.map((f) => [f.name, f]));
    const changed = folderFiles.filter((name) => {
      const a = seen.get(name), b = byName.get(name);
      return !a !== !b || (a && b && (a.size !== b.size || a.modified !== b.modified));
    });
    if (changed.length === 0) return;
    const read = await Promise.all(changed.map(async (path) => ({ path, bytes: byName.has(path) ? await files.readFile(handle, path) : null })));
    for (const f of changed) {
      const b = byName.get(f);
      if (b) seen.set(f, b);
      else seen.delete(f);
    }
    await command(async () => answered(await engine.diskChanged(read)));
  } finally {
    looking = false;
  }
}

async function answered(answer: ReloadAnswer): Promise<void> {
  if (answer.status) status(answer.status);
  if (answer.taken.length) await refresh(true);
  showBar(answer.question);
  void reportMessages(answer.messages, t('LANG_ERROR$'));
}

/** The reload bar's answer (Reload: the disk's files; Keep mine: the user's, which Save then writes). */
export async function answerReload(take: boolean): Promise<void> {
  await answered(await engine.answerReload(take));
  if (!take) await refresh(false);
}

function showBar(question: string | null): void {
  bar?.remove();
  bar = null;
  if (!question) return;
  bar = el('div', { class: 'reload-bar', role: 'alert' },
    el('p', {}, question),
    el('button', { type: 'button', onclick: () => void run('reloadTake') }, t('LANG_RELOAD$').replace('&', '')),
    el('button', { type: 'button', onclick: () => void run('reloadKeep') }, t('LANG_RELOAD_KEEP$').replace('&', '')));
  document.querySelector('.preview-area')?.prepend(bar);
}
