// The messages of one operation in one box, the first lines shown and every
// line behind "... and N more".
import type { EngineMessage } from '../../engine/engine';
import { t } from '../context';
import { ask, messageBody } from '../ui';

/** Resolves when the box is closed; nothing is shown for no messages. */
export async function reportMessages(messages: EngineMessage[], title: string): Promise<void> {
  if (messages.length === 0) return;
  const lines = messages.map((m) => m.text);
  await ask(title, messageBody(lines, (n) => t('LANG_MESSAGES_MORE$', n)), [{ label: t('LANG_OK$'), value: true, default: true }], true);
}

/** One failure, as a message box of its own. */
export function reportFailure(subject: string, text: string, kind = 'cannot-read'): Promise<void> {
  return reportMessages([{ kind, subject, text }], t('LANG_ERROR$'));
}
