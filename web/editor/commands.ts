// The editor's commands on the page, as the core's catalogue lists them:
// each command's text, keys, place in the menus, greying and check mark
// come from the engine; the page registers one handler per id and adds
// nothing else. A handler for an id the catalogue lacks is refused at once.
import type { CatalogueCommand, CommandCatalogue, CommandState, MenuEntry as CatalogueEntry, PageFacts } from '../engine/engine';
import { app, command, engine, on, t } from './context';
import { MenuBar, type MenuEntry, type MenuItem } from './ui';

/** What a command is about, where it is about something: a colour field, a picture, a file, a problem. */
export interface CommandTarget {
  colour?: string;
  picture?: string;
  file?: File;
  index?: number;
  /** A recent skin's position in the list. */
  recent?: number;
  /** Text pasted with the command (a colour button's paste). */
  text?: string;
}

export type Handler = (target: CommandTarget) => unknown;

let catalogue: CommandCatalogue = { commands: [], menus: [] };
const byId = new Map<string, CatalogueCommand>();
const handlers = new Map<string, Handler>();
/** The page's own facts for the greying and check marks (docks shown, compare, filter...). */
let facts: () => PageFacts = () => ({});
/** The recent skins' labels, for the File menu's list. */
let recentLabels: () => string[] = () => [];

export async function loadCatalogue(pageFacts: () => PageFacts, recent: () => string[]): Promise<void> {
  catalogue = await engine.catalogue();
  byId.clear();
  for (const c of catalogue.commands) byId.set(c.id, c);
  facts = pageFacts;
  recentLabels = recent;
}

/** The handler of command `id`, which the catalogue must list. */
export function handle(id: string, f: Handler): void {
  if (!byId.has(id)) throw new Error(`the command catalogue has no command "${id}"`);
  if (handlers.has(id)) throw new Error(`the command "${id}" has a handler already`);
  handlers.set(id, f);
}

/** The ids of the catalogue that have no handler on the page (the test of the catalogue reads it). */
export function unhandled(): string[] {
  return catalogue.commands.map((c) => c.id).filter((id) => !handlers.has(id));
}

export function commandText(id: string): string {
  const c = byId.get(id);
  if (!c) return id;
  return c.textIsKey ? t(c.text) : c.text;
}

/** The first key chord of a command, as the menus show it ("Ctrl+S"), or ''. */
export function commandKeys(id: string): string {
  return byId.get(id)?.chords[0] ?? '';
}

async function states(extra: PageFacts = {}): Promise<Record<string, CommandState>> {
  return engine.commandStates({ ...facts(), ...extra });
}

/** Each command's greying and check mark, about a colour button (its paste) where given. */
export function commandStatesFor(extra: PageFacts): Promise<Record<string, CommandState>> {
  return states(extra);
}

// The commands' states as last asked, kept up to date as the state of the
// page changes: a command run from a key or a menu is judged without a
// round trip to the engine, so that what it opens (a file chooser) still
// counts as the user's doing for the browser.
let known: Record<string, CommandState> = {};
let asking = 0;
async function refreshStates(): Promise<void> {
  const mine = ++asking;
  const now = await states();
  if (mine === asking) known = now;
}
on(['title', 'view', 'screen', 'docks', 'language', 'layout'], () => void refreshStates());

/** Runs command `id` about `target`, after the commands before it, when it is enabled. */
export async function run(id: string, target: CommandTarget = {}): Promise<void> {
  const f = handlers.get(id);
  if (!f) return;
  // Only a colour button's paste depends on the button: asked for it.
  const state = target.colour && byId.get(id)?.enabled !== 'always' ? (await states({ colour: target.colour }))[id] : known[id];
  if (state && !state.enabled) return;
  await command(() => f(target));
}

// The entries of one menu of the catalogue, its submenus under their titles.
async function entries(items: CatalogueEntry[]): Promise<MenuEntry[]> {
  const now = await states();
  const out: MenuEntry[] = [];
  const walk = (list: CatalogueEntry[]) => {
    for (const m of list) {
      if (m.kind === 'separator') {
        if (out.length && out[out.length - 1] !== '-') out.push('-');
      } else if (m.kind === 'submenu') {
        out.push({ label: m.textIsKey ? t(m.text) : m.text, heading: true });
        walk(m.items);
      } else if (m.kind === 'recent') {
        out.push({ label: m.textIsKey ? t(m.text) : m.text, heading: true });
        recentLabels().forEach((label, i) => out.push({ label, run: () => void run('openSkin', { recent: i }) }));
      } else {
        out.push(entryOf(m.id, now[m.id]));
      }
    }
  };
  walk(items);
  // The letters of the entries, unique in the list as it is shown.
  const labelled = out.filter((e): e is MenuItem => e !== '-' && !e.heading);
  const letters = await engine.mnemonics(labelled.map((e) => e.label));
  labelled.forEach((e, i) => (e.mnemonic = letters[i]));
  return out;
}

function entryOf(id: string, state: CommandState | undefined): MenuItem {
  const c = byId.get(id)!;
  let label = commandText(id);
  // Undo and Redo name the step they take.
  if (id === 'undo' && app.doc.undoText) label = `${label} ${app.doc.undoText}`;
  if (id === 'redo' && app.doc.redoText) label = `${label} ${app.doc.redoText}`;
  return {
    label,
    keys: c.chords[0],
    disabled: state ? !state.enabled : false,
    checked: state?.checkable ? state.checked : undefined,
    radio: c.group !== '',
    run: () => void run(id),
  };
}

/** The menu bar, from the catalogue, in the language in force. */
export async function buildMenus(): Promise<HTMLElement> {
  const bar = new MenuBar();
  const titles = catalogue.menus.map((m) => (m.textIsKey ? t(m.text) : m.text));
  const letters = await engine.mnemonics(titles);
  catalogue.menus.forEach((m, i) => bar.add(titles[i], () => entries(m.items), letters[i]));
  return bar.element;
}

// A key event as the catalogue writes chords: "Ctrl+Shift+Z", "F8", "PageUp".
function chordsOf(e: KeyboardEvent): string[] {
  let key = e.key;
  if (key.length === 1) key = key.toUpperCase();
  if (key === ' ' || ['Control', 'Shift', 'Alt', 'Meta'].includes(key)) return [];
  const mods = `${e.ctrlKey || e.metaKey ? 'Ctrl+' : ''}${e.altKey ? 'Alt+' : ''}`;
  const withShift = `${mods}${e.shiftKey ? 'Shift+' : ''}${key}`;
  // Shift is part of a character like "+" itself on most keyboards.
  return e.shiftKey && !/^[A-Z]$/.test(key) && key.length === 1 ? [withShift, `${mods}${key}`] : [withShift];
}

function typing(target: EventTarget | null): boolean {
  const e = target as HTMLElement | null;
  return !!e && (e.tagName === 'INPUT' || e.tagName === 'TEXTAREA' || e.tagName === 'SELECT' || e.isContentEditable);
}

/** The catalogue's key chords run their commands (not while a dialog is open). */
export function wireKeys(): void {
  const owner = new Map<string, string>();
  const rebuild = () => {
    owner.clear();
    for (const c of catalogue.commands) for (const k of c.chords) owner.set(k, c.id);
  };
  document.addEventListener('keydown', (e) => {
    if (document.querySelector('dialog[open]') || e.defaultPrevented) return;
    if (owner.size === 0) rebuild();
    const id = chordsOf(e).map((k) => owner.get(k)).find((x) => x !== undefined);
    if (!id) return;
    // While typing, a box keeps its own keys: undo of the typing, the
    // arrows and pages; the editor's other chords still work.
    if (typing(e.target) && (!(e.ctrlKey || e.metaKey) || id === 'undo' || id === 'redo')) return;
    e.preventDefault();
    void run(id);
  });
}

/** Every command with its keys, for the sheet of keyboard shortcuts. */
export function shortcuts(): { text: string; keys: string[] }[] {
  return catalogue.commands.filter((c) => c.chords.length > 0).map((c) => ({ text: commandText(c.id), keys: c.chords }));
}
