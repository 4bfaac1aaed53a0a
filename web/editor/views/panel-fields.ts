// The panel's typed fields: the element records' numbers and check boxes,
// and the information texts. What is typed is a step as it goes (the steps
// of one box merge), as on the desktop, so that a save, the journal and
// leaving the page take what the boxes show; commitTyping takes what a box
// still holds that it could not take yet (a number out of range).
import { change, refresh } from '../changes';
import { app, engine, fieldValue, status, t, update } from '../context';
import { el } from '../ui';
import { highlightDrawer, setHighlight } from './preview';

export const elementRows = new Map<string, HTMLElement>();
const numberInputs = new Map<string, HTMLInputElement>();
// Keyed by section and flag: the [file name] row has two boxes, show and titleshow.
const flagBoxes = new Map<string, HTMLInputElement>();
const textInputs = new Map<string, HTMLInputElement>();

/** Input boxes whose shown value a save, the journal and leaving the page take first. */
const pendingCommits = new Map<HTMLInputElement, { commit: () => unknown; differs: () => boolean }>();

/** What every box shows, made the skin's: a value typed and not yet taken (a number out of range, a text mid-way). */
export async function commitTyping(): Promise<void> {
  for (const [input, { commit }] of pendingCommits) if (input.isConnected) await commit();
}

/** Whether a box shows what the skin does not hold yet. */
export function pendingTyping(): boolean {
  for (const [input, { differs }] of pendingCommits) if (input.isConnected && differs()) return true;
  return false;
}

const kColumns = [['x', 'LANG_PANEL_COLUMN_X$'], ['y', 'LANG_PANEL_COLUMN_Y$'], ['w', 'LANG_PANEL_COLUMN_W$']] as const;

export function buildElements(): HTMLElement {
  elementRows.clear();
  numberInputs.clear();
  flagBoxes.clear();
  for (const input of [...pendingCommits.keys()]) if (input.type === 'number') pendingCommits.delete(input);
  const table = el('table', { class: 'elements' });
  table.append(el('thead', {}, el('tr', {}, el('th', {}), ...kColumns.map(([, key]) => el('th', { scope: 'col' }, t(key))))));
  const body = el('tbody');
  for (const e of app.panel.elements) {
    const caption = e.key ? t(e.key) : e.caption;
    let label: HTMLElement;
    if (e.flag) {
      const flag = e.flag;
      const box = el('input', { type: 'checkbox', 'aria-label': caption, title: t('LANG_PANEL_TIP_FIELD$', `${e.section} ${flag}`) });
      box.addEventListener('change', () => void change(engine.setFlag(e.section, flag, box.checked)));
      flagBoxes.set(`${e.section}|${flag}`, box);
      label = el('label', {}, box, caption);
    } else {
      label = el('span', { class: 'plain' }, caption);
    }
    const cells = kColumns.map(([col, heading]) => (e[col] ? el('td', {}, numberBox(e.section, col, caption, t(heading))) : el('td')));
    const tr = el('tr', { 'data-section': e.section }, el('th', { scope: 'row' }, label), ...cells);
    tr.addEventListener('pointerenter', () => void highlightDrawer({ kind: 'element', section: e.section }));
    tr.addEventListener('pointerleave', () => setHighlight(null));
    elementRows.set(e.section + '#' + e.row, tr);
    if (!elementRows.has(e.section)) elementRows.set(e.section, tr);
    body.append(tr);
  }
  table.append(body);
  return table;
}

function numberBox(section: string, col: 'x' | 'y' | 'w', caption: string, heading: string): HTMLInputElement {
  const [min, max] = app.panel.ranges[col];
  const input = el('input', { type: 'number', min: String(min), max: String(max), 'aria-label': `${caption} ${heading}`, title: t('LANG_PANEL_TIP_FIELD$', `${section} ${col}`) });
  // A number is a step as it is typed; one out of range waits for the box
  // to be left, or for a save, and is then taken clamped.
  const commit = (clamp: boolean) => {
    if (input.value.trim() === '') return;
    const typed = Math.trunc(Number(input.value));
    if (!Number.isFinite(typed)) return;
    const v = Math.max(min, Math.min(max, typed));
    if (v !== typed && !clamp) return;
    if (clamp && String(v) !== input.value) input.value = String(v);
    if (fieldValue(section, col) !== v) void change(engine.setNumber(section, col, v));
  };
  input.addEventListener('input', () => commit(false));
  input.addEventListener('change', () => commit(true));
  input.addEventListener('focus', () => update({ selectedElement: section }));
  pendingCommits.set(input, { commit: () => commit(true), differs: () => input.value !== String(fieldValue(section, col)) });
  numberInputs.set(`${section}|${col}`, input);
  return input;
}

export const kInfo = [['Title', 'LANG_INFO_TITLE$'], ['Author', 'LANG_INFO_AUTHOR$'], ['eMail', 'LANG_INFO_EMAIL$'], ['Url', 'LANG_INFO_URL$'], ['LastUpdate', 'LANG_INFO_UPDATE$']];

export function buildInformation(): HTMLElement {
  textInputs.clear();
  for (const input of [...pendingCommits.keys()]) if (input.type === 'text') pendingCommits.delete(input);
  const info = el('div', { class: 'info' });
  for (const [key, label] of kInfo) {
    const readOnly = app.readOnlyInfo.includes(key);
    const input = el('input', { type: 'text', spellcheck: false, readOnly });
    if (!readOnly) typedText(input, key);
    textInputs.set(key, input);
    info.append(el('label', {}, el('span', {}, t(label)), input));
  }
  info.append(el('p', { class: 'help' }, t('LANG_INFO_LATIN1$')));
  return info;
}

// What the settings file cannot hold is refused as it is typed: the box goes
// back to the last text it could keep, and says why.
function typedText(input: HTMLInputElement, key: string): void {
  let accepted = input.value;
  const commit = async () => {
    const typed = input.value;
    if (typed === (fieldValue('[SkinInfo]', key) ?? '')) return;
    const result = await engine.setText('[SkinInfo]', key, typed);
    if (result === 'refused') {
      if (input.value === typed) input.value = accepted;
      input.setAttribute('aria-invalid', 'true');
      status(t('LANG_INFO_LATIN1$'));
      return;
    }
    accepted = typed;
    input.removeAttribute('aria-invalid');
    await refresh(result === 'changed');
  };
  input.addEventListener('input', (ev) => {
    if (!(ev as InputEvent).isComposing) void commit();
  });
  input.addEventListener('compositionend', () => void commit());
  input.addEventListener('focus', () => {
    accepted = input.value;
  });
  pendingCommits.set(input, { commit, differs: () => input.value !== (fieldValue('[SkinInfo]', key) ?? '') });
}

/** The boxes show the skin's values; a box being typed in keeps what is typed. */
export function showFieldValues(): void {
  for (const [id, input] of numberInputs) {
    const [section, key] = id.split('|');
    const v = fieldValue(section, key);
    if (typeof v === 'number' && document.activeElement !== input) input.value = String(v);
  }
  for (const [id, box] of flagBoxes) {
    const [section, flag] = id.split('|');
    box.checked = fieldValue(section, flag) === 1;
  }
  for (const [key, input] of textInputs) {
    const v = fieldValue('[SkinInfo]', key);
    if (typeof v === 'string' && document.activeElement !== input) {
      input.value = v;
      input.removeAttribute('aria-invalid');
    }
  }
}

/** The control of a field ("[start bar]" "y", "[SkinInfo]" "Title") or of a record's row, for the focus. */
export function fieldControl(section: string, key?: string): HTMLElement | undefined {
  if (section === '[SkinInfo]' && key) return textInputs.get(key);
  return (key ? numberInputs.get(`${section}|${key}`) ?? flagBoxes.get(`${section}|${key}`) : undefined) ?? elementRows.get(section);
}
