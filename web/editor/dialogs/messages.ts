// The messages of one operation in one box, the first lines shown and every
// line behind "... and N more".
import type { EngineMessage } from '../../engine/engine';
import { status, t } from '../context';
import { ask, messageBody } from '../ui';

// Notes that are no failure (what an import made of half-transparent
// pixels) pass in the status line, as on the desktop; only failures stop the
// user with a box.
const kNotes = new Set(['half-transparent']);

/** Resolves when the box is closed; nothing is shown for no messages. */
export async function reportMessages(messages: EngineMessage[], title: string): Promise<void> {
  const notes = messages.filter((m) => kNotes.has(m.kind));
  if (notes.length) status(notes.map((m) => m.text).join(' '));
  const failures = messages.filter((m) => !kNotes.has(m.kind));
  if (failures.length === 0) return;
  const lines = failures.map((m) => m.text);
  await ask(title, messageBody(lines, (n) => t('LANG_MESSAGES_MORE$', n)), [{ label: t('LANG_OK$'), value: true, default: true }], true);
}

/** One failure, as a message box of its own. */
export function reportFailure(subject: string, text: string, kind = 'cannot-read'): Promise<void> {
  return reportMessages([{ kind, subject, text }], t('LANG_ERROR$'));
}
