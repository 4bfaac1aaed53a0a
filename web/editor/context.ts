// What every part of the editor page shares: the engine, the state of the
// skin and the view as the page knows it, the interface texts, the status
// line, and the queue of the user's commands. The state is a store: parts
// change it through `update` and follow it through `on`, so that no part
// reaches into another's elements.
import type { EngineState, Field, Filter, PanelTables, Problem, Rgb, TraceSource } from '../engine/engine';
import { Cancelled, startEngine } from './client';
import { fill, type Texts } from './ui';

export const kScreens = 14;

/** What the page shows, and why it changes. */
export interface EditorState {
  texts: Texts;
  languages: { index: number; file: string | null; label: string }[];
  languageFile: string | null;
  panel: PanelTables;
  /** The document as the engine last told it. */
  doc: EngineState;
  fields: Field[];
  problems: Problem[];
  screen: number;
  zoom: number;
  filter: Filter;
  /** What the preview shows beside the skin: nothing, the skin as saved, or another skin (compareLabel). */
  compare: 'off' | 'saved' | 'other';
  compareLabel: string;
  /** Space held over the preview while comparing: the other in the current one's place. */
  swapped: boolean;
  docks: { overview: boolean; palette: boolean; problems: boolean };
  tab: number;
  /** The skin's name for downloads and messages: its folder's or archive's. */
  skinName: string;
  /** The same name as the page shows it: control and direction characters escaped by the engine. */
  skinLabel: string;
  /** The folder the skin came from, where the browser lets Save write back. */
  folderHandle: FileSystemDirectoryHandle | null;
  /** The archive the system handed the installed app ("Open with"), where Save writes back when the browser lets it. */
  archiveHandle: FileSystemFileHandle | null;
  /** The element record the arrow keys move, chosen on the preview or in the panel. */
  selectedElement: string | null;
  /** Whole-number zoom (every skin pixel the same size), the preview's background, the panel before the preview: remembered. */
  wholeZoom: boolean;
  background: Rgb;
  swapView: boolean;
  /** The information fields nobody types (LastUpdate, the moment of saving), as the core says. */
  readOnlyInfo: string[];
}

/** The parts of the state that changed, for the views that show them. */
export type Topic = 'values' | 'title' | 'view' | 'screen' | 'problems' | 'sides' | 'language' | 'docks' | 'tab' | 'layout';

export const app: EditorState = {
  texts: {},
  languages: [],
  languageFile: null,
  panel: { colours: [], images: [], elements: [], ranges: { x: [0, 0], y: [0, 0], w: [0, 0] } },
  doc: {
    modified: false, previewing: false, origin: { kind: 'built-in', path: '', saveTarget: '' }, name: '',
    undo: null, redo: null, undoText: null, redoText: null,
  },
  fields: [],
  problems: [],
  screen: 0,
  zoom: 2,
  filter: 'none',
  compare: 'off',
  compareLabel: '',
  swapped: false,
  docks: { overview: false, palette: false, problems: true },
  tab: 0,
  skinName: '',
  skinLabel: '',
  folderHandle: null,
  archiveHandle: null,
  selectedElement: null,
  wholeZoom: false,
  background: [0, 0, 0],
  swapView: false,
  readOnlyInfo: [],
};

const listeners = new Map<Topic, Set<() => void>>();

/** Calls `f` whenever one of `topics` changes; returns the way to stop. */
export function on(topics: Topic | Topic[], f: () => void): () => void {
  for (const topic of [topics].flat()) {
    if (!listeners.has(topic)) listeners.set(topic, new Set());
    listeners.get(topic)!.add(f);
  }
  return () => {
    for (const topic of [topics].flat()) listeners.get(topic)?.delete(f);
  };
}

/** Changes the state and tells those who follow the topics. */
export function update(changes: Partial<EditorState>, ...topics: Topic[]): void {
  Object.assign(app, changes);
  const called = new Set<() => void>();
  for (const topic of topics) {
    for (const f of listeners.get(topic) ?? []) {
      if (called.has(f)) continue;
      called.add(f);
      f();
    }
  }
}

/** The counters the tests and the benchmark read (window.skinEditor, where the page is loaded for them). */
export const probe = {
  ready: false, restoreAsked: undefined as boolean | undefined, draws: 0,
  // When (performance.now()) the first and the last drawing ended, a hover was shown, and how long the 14 screens took.
  firstDrawAt: 0, lastDrawAt: 0, lastHoverAt: 0, overviewMs: 0, engineAt: 0,
  journals: 0, journalFailures: 0, setAside: 0, renewals: 0, checks: 0, hovers: 0, thumbnails: 0, error: '',
  /** The engine's WebAssembly memory after its last answer, in bytes. */
  engineMemory: (): number => engine.memory,
  /** The catalogue's commands without a handler on the page. */
  unhandled: (): string[] => [],
  /** Parts of the page at work (drawing, hovering, timers): each adds its own test. */
  busy: [] as (() => boolean)[],
  /** Nothing under way: no call of the engine outstanding, no drawing, no command, no timer. */
  idle: (): boolean => engine.pending === 0 && commandsWaiting === 0 && !probe.busy.some((b) => b()),
  /** The engine and the drawing at rest, whatever dialog is open. */
  quiet: (): boolean => engine.pending === 0 && !probe.busy.some((b) => b()),
};

let busyShown: (busy: boolean) => void = () => {};
/** Where the page shows that the engine is at work. */
export function showBusyWith(f: (busy: boolean) => void): void {
  busyShown = f;
}

let progressShown: (value: number) => void = () => {};
/** Where the page shows how far an open or a save has come (0 to 53 pictures). */
export function showProgressWith(f: (value: number) => void): void {
  progressShown = f;
}

export const engine = startEngine((busy) => busyShown(busy), (value) => progressShown(value));

/** A text of the interface in the language in force, %1, %2... filled in. */
export function t(key: string, ...args: (string | number)[]): string {
  return fill(app.texts[key] ?? key, args);
}

export function screenName(s: number): string {
  return t(`LANG_SCREEN_${String(s).padStart(2, '0')}$`);
}

let statusShown: (text: string) => void = () => {};
export function showStatusWith(f: (text: string) => void): void {
  statusShown = f;
}
export function status(text: string): void {
  statusShown(text);
}

export function dpr(): number {
  return Math.max(1, window.devicePixelRatio || 1);
}

/** The zoom the engine draws at: the view's zoom (in the page's pixels, 1 = 266 x 490) on this screen's pixels. */
export function renderZoom(): number {
  return app.zoom * dpr();
}

export function fieldValue(section: string, key: string): Field['value'] | undefined {
  return app.fields.find((f) => f.section === section && f.key === key)?.value;
}

export function colourField(key: string): Field | undefined {
  return app.fields.find((f) => f.kind === 'colour' && f.key === key);
}

export function hex(rgb: Rgb): string {
  return '#' + rgb.map((v) => v.toString(16).padStart(2, '0')).join('');
}

export function sourceName(source: TraceSource): string {
  if (source.kind === 'colour') return t(`LANG_COLOR_${source.key}$`);
  const image = app.panel.images.find((i) => i.name === source.name);
  return image ? t(image.key) : source.name;
}

export function elementName(section: string): string {
  const row = app.panel.elements.find((e) => e.section === section);
  return row ? (row.key ? t(row.key) : row.caption) : section;
}

// The user's commands, one after another: a save asked for while a change
// is still being made waits for it, as on the desktop.
let commands: Promise<unknown> = Promise.resolve();
let commandsWaiting = 0;
const afterCommands: (() => Promise<void>)[] = [];

/** Runs `f` after every command asked for before it; its failure is said in the status line. */
export function command(f: () => unknown): Promise<void> {
  ++commandsWaiting;
  const next = commands.then(async () => {
    try {
      await f();
    } catch (e) {
      if (!(e instanceof Cancelled)) status(String((e as Error).message ?? e));
    } finally {
      --commandsWaiting;
    }
    if (commandsWaiting === 0) for (const g of afterCommands) await g();
  });
  commands = next;
  return next;
}

/** Work for the moments when no command waits (the engine renewed, say). */
export function whenCommandsRest(f: () => Promise<void>): void {
  afterCommands.push(f);
}
