// Help: the sheet of keyboard shortcuts, from the catalogue (the commands'
// texts and keys as both faces give them), and the note of the first start.
import { shortcuts } from '../commands';
import { t } from '../context';
import { ask, el } from '../ui';

export async function showShortcuts(): Promise<void> {
  const table = el('table', { class: 'shortcuts' },
    el('tbody', {}, ...shortcuts().map(({ text, keys }) =>
      el('tr', {}, el('th', { scope: 'row' }, text.replace(/\.\.\.$|…$/, '')), el('td', {}, ...keys.flatMap((k, i) => [i ? ', ' : '', el('kbd', {}, k)]))))));
  await ask(t('LANG_HELP_SHORTCUTS$'), table, [{ label: t('LANG_OK$'), value: true, default: true }], true);
}

const kStartedKey = 'skin-editor-started';

/** At the first start, how to begin: over the preview until a skin is opened or the note is closed. */
export function startHint(): HTMLElement | null {
  if (localStorage.getItem(kStartedKey)) return null;
  const note = el('div', { class: 'start-hint', role: 'note' },
    el('p', {}, t('LANG_WEB_START_HINT$')),
    el('button', { type: 'button', onclick: () => forgetStartHint() }, t('LANG_CLOSE$')));
  return note;
}

/** The first start is over: its note goes, and does not come again. */
export function forgetStartHint(): void {
  localStorage.setItem(kStartedKey, '1');
  document.querySelector('.start-hint')?.remove();
}
