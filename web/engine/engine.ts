// The skin engine for a page: the editing core in WebAssembly, with the
// codecs and the zip library of web/platform/. One engine holds one skin
// being edited; every rule (colours, fit, key green, budgets, undo merging,
// what a save writes) is the core's, the same as on the desktop.
//
// The skin's files live in the engine's memory: a page hands over the files
// of a folder or the bytes of an archive, and gets back the files or the
// archive a save wrote.
import createEngineCore from 'engine-core';
import { addJpegEncoder, addPngEncoder, createPlatform } from '../platform/platform.mjs';

export type Fit = 'keep' | 'cover' | 'stretch';
export type Filter = 'none' | 'console' | 'protanopia' | 'deuteranopia' | 'tritanopia';
export type Rgb = [number, number, number];
export type ScreenshotFormat = 'png' | 'bmp' | 'jpeg';
export type RecolourScope = 'everything' | 'pictures' | 'fields';

export interface RgbaPicture {
  width: number;
  height: number;
  data: Uint8ClampedArray;
}

/** A file of a skin folder: its path below the folder ("lamp.bmp", "icon/nds.bmp") and bytes. */
export interface SkinFile {
  path: string;
  bytes: Uint8Array;
}

/** One message of opening, importing or saving, with its English text. */
export interface EngineMessage {
  kind: string;
  subject: string;
  picture?: string;
  count?: number;
  kept?: number;
  pictureKept?: boolean;
  text: string;
}

export interface OpenResult {
  /** Whether the skin's settings were read: then it is the skin being edited. */
  opened: boolean;
  messages: EngineMessage[];
}

export interface Field {
  section: string;
  key: string;
  kind: 'text' | 'number' | 'colour';
  value: number | Rgb | string;
}

/** What the Undo menu calls a step: a language key with its arguments, or (empty key) args[0] itself. */
export interface StepName {
  key: string;
  args: string[];
  /** The name filled in, in the language in force. */
  shown: string;
}

export interface EngineState {
  modified: boolean;
  previewing: boolean;
  origin: { kind: 'built-in' | 'folder' | 'archive'; path: string; saveTarget: string };
  /** The skin's name: its folder's or archive's, empty for the built-in skin. */
  name: string;
  undo: StepName | null;
  redo: StepName | null;
  /** The names of the steps Undo and Redo would take, in the language in force; null when there is none. */
  undoText: string | null;
  redoText: string | null;
}

export interface Language {
  /** The value the desktop stores for it. */
  index: number;
  /** Its file in language/, or null for the built-in English. */
  file: string | null;
  /** Its name in itself. */
  label: string;
}

/** The editor panel's controls, as the desktop lays them out. */
export interface PanelTables {
  colours: { name: string; key: string; row: number; column: number; screen: number }[];
  images: { name: string; key: string; row: number; column: number; screen: number }[];
  elements: {
    row: number;
    key: string | null;
    caption: string;
    section: string;
    flag: string | null;
    x: boolean;
    y: boolean;
    w: boolean;
    screen: number;
  }[];
  ranges: { x: [number, number]; y: [number, number]; w: [number, number] };
}

export type TraceSource =
  | { kind: 'colour'; section: string; key: string }
  | { kind: 'picture'; name: string };

/** What draws one pixel of the preview: its colour field or picture, and the elements that place it. */
export interface Trace {
  x: number;
  y: number;
  source: TraceSource | null;
  elements: string[];
}

export type Drawer = TraceSource | { kind: 'element'; section: string };

export interface Mask {
  width: number;
  height: number;
  /** 255 where the drawer draws, one byte a pixel of the preview at its zoom. */
  data: Uint8Array;
  /** Its bounds at zoom 1, inclusive; right < left when it draws nothing on this screen. */
  bounds: { count: number; left: number; top: number; right: number; bottom: number };
}

export interface Problem {
  severity: 'error' | 'warning';
  code: string;
  /** The name of its wording's template, for the language table. */
  text: string;
  subject: string;
  /** The English message. */
  message: string;
  /** The message in the language in force. */
  shown: string;
  params: string[];
  about:
    | { kind: 'none' | 'settings-file' }
    | { kind: 'field'; section: string; key: string }
    | { kind: 'section'; section: string }
    | { kind: 'picture'; name: string }
    | { kind: 'file'; file: string };
  line?: number;
  screen?: number;
}

export interface PaletteEntry {
  /** As the settings file writes it: "0x7fff". */
  colour: string;
  count: number;
  fields: string[];
  pictures: Record<string, number>;
}

export interface SaveResult {
  saved: boolean;
  messages: EngineMessage[];
}

export interface Journal {
  manifest: string;
  archive: Uint8Array;
}

export interface JournalInfo {
  kind: 'built-in' | 'folder' | 'archive';
  origin: string;
  /** The last edit, UTC: year, month, day, hour, minute, second. */
  time: [number, number, number, number, number, number];
  lastUpdate: string;
}

/** What a call that can change something did: its outcome and what a page redraws. */
export type Outcome = 'changed' | 'unchanged' | 'refused' | 'failed';

export interface ChangedParts {
  fields: { section: string; key: string }[];
  pictures: string[];
  whole: boolean;
  history: boolean;
  clean: boolean;
  origin: boolean;
  problems: boolean;
  selection: boolean;
}

export interface EngineChange {
  outcome: Outcome;
  changed: ChangedParts;
}

export type PreviewCursor = 'default' | 'move' | 'pointer';

/** What a press, a drag, its end, Escape or a nudge on the preview did. */
export interface GestureAnswer {
  outcome: Outcome;
  changed: ChangedParts;
  /** What is selected now: a colour field, a picture or an element record; null for nothing. */
  selection: Drawer | null;
  cursor: PreviewCursor;
  /** The element record the press took hold of (a drag and the arrow keys move it), or null. */
  record: string | null;
}

export interface CursorAnswer {
  cursor: PreviewCursor;
}

export interface HoverAnswer {
  outcome: Outcome;
  hover: Drawer | null;
}

/** One command of the editor, as both faces know it. */
export interface CatalogueCommand {
  id: string;
  /** A language key, or (textIsKey false) the text itself; empty for a command without a text. */
  text: string;
  textIsKey: boolean;
  /** Key chords as portable text: "Ctrl+S", "Ctrl+Shift+Z", "F8", "PageUp"; the first is shown. */
  chords: string[];
  /** The platform's standard binding the chords stand for ("Save"), or empty. */
  standard: string;
  enabled: string;
  checked: string;
  choice: number;
  /** Entries of one group are a choice of one ("filter", "screen"); empty for none. */
  group: string;
}

export interface MenuEntry {
  kind: 'command' | 'separator' | 'submenu' | 'recent';
  id: string;
  text: string;
  textIsKey: boolean;
  items: MenuEntry[];
}

export interface CommandCatalogue {
  commands: CatalogueCommand[];
  menus: MenuEntry[];
}

export interface CommandState {
  enabled: boolean;
  checkable: boolean;
  checked: boolean;
}

/** What the page alone knows, for the commands' greying and check marks (the history is the engine's). */
export interface PageFacts {
  overviewShown?: boolean;
  problemsShown?: boolean;
  paletteShown?: boolean;
  wholeZoom?: boolean;
  swapped?: boolean;
  compare?: 'off' | 'saved' | 'other';
  filter?: Filter;
  screen?: number;
  /** The index of the language in force (Language.index). */
  language?: number;
  /** The positions in the language menu whose files are missing. */
  missingLanguages?: number[];
  /** The colour button a context menu is about ("formFrameColor"), and whether the clipboard holds a colour. */
  colour?: string;
  clipboardHoldsColour?: boolean;
}

/** Where a problem leads: the screen to show and the panel's control to focus. */
export interface ProblemFocus {
  screen: number | null;
  tab: 'colours' | 'images' | 'elements' | 'information' | 'none';
  section: string;
  /** The field's key; empty for a whole element row. */
  key: string;
  picture: string;
}

/** The colour dialog: what it shows after each thing the user does. */
export interface ColourDialogState {
  input: Rgb;
  /** The colour shown (the lower half of the swatch), kept as typed or chosen until OK. */
  shown: Rgb;
  /** As the settings file writes it ("0x7fff") and as "#rrggbb". */
  code: string;
  hex: string;
  inputCode: string;
  inputHex: string;
  r5: number;
  g5: number;
  b5: number;
  /** After a channel typed: the text that field shows ("31" for more than 31). */
  fieldText: string;
  /** Whether the colour shown changed: the preview follows it. */
  refreshed: boolean;
  ok: Rgb;
  cancel: Rgb;
}

export interface TypedTextAnswer {
  outcome: 'taken' | 'refused' | 'read-only';
  /** Taken: the text as the settings file holds it, Latin-1 bytes read as Unicode. */
  latin1: string;
  /** Refused: why, in the language in force (LANG_INFO_LATIN1$). */
  refusal: string | null;
}

/** Before a save: whether to ask, and the files another program changed. */
export interface OverwriteQuestion {
  ask: boolean;
  files: string[];
}

export interface JournalSchedule {
  next: number;
}

/** A text with its mnemonic: shown as before + letter + after, the letter marked; letter empty for none. */
export interface MnemonicText {
  before: string;
  letter: string;
  after: string;
}

export interface ZoomAnswer {
  zoom: number;
}

export interface ColourTexts {
  code: string;
  hex: string;
}

export interface WheelAnswer {
  steps: number;
}

export interface ScreenAnswer {
  screen: number;
}

/** A file of the skin as the page sees it: its name in the skin, size and time of change (ms since 1970). */
export interface SeenFile {
  name: string;
  size: number;
  modified: number;
}

/** The size of the picture in a file, and the size the skin expects of the picture it goes into. */
export interface ImportSizes {
  width: number;
  height: number;
  expectedWidth: number;
  expectedHeight: number;
}

/**
 * The fit question of one picture file: its sizes, and each way's result (reduced as the import
 * reduces it) as the console shows it, cut to its 256 x 192 screen from the top left; drawn at
 * one zoom, their sizes compare truly.
 */
export interface ImportPreviews {
  sizes: ImportSizes;
  cover: RgbaPicture;
  stretch: RgbaPicture;
  keep: RgbaPicture;
}

/** The one question a folder import asks for all its pictures whose size differs from the skin's. */
export interface FolderQuestion {
  /** How many differ; 0: nothing to ask. */
  count: number;
  /** The first of them in the skin's order: the picture, its file (below the folder) and the sizes. */
  first: { name: string; file: string; width: number; height: number; expectedWidth: number; expectedHeight: number } | null;
  /** The question (LANG_FIT_ASK_MANY$), in the language in force; empty when there is none. */
  text: string;
}

/** The one box a folder import shows when it is done, as the desktop shows it. */
export interface FolderImportReport {
  title: string;
  /** What it took, the files that name no picture, those passed over, then what could not be read. */
  lines: string[];
  /** The box's text: the first lines and how many more the details hold. */
  summary: string;
  /** Every line, when there are more than the summary shows; else empty. */
  details: string;
  /** A file could not be read: a warning rather than a plain report. */
  warning: boolean;
}

export interface FolderImportResult {
  /** The pictures taken, by name, in the skin's order. */
  imported: string[];
  messages: EngineMessage[];
  /** The status bar's line (LANG_STATUS_IMPORTED$ and the notes). */
  status: string;
  report: FolderImportReport | null;
}

/** A file of the skin that changed on disk: its path below the skin's folder and its bytes now, null when it is gone. */
export interface ChangedFile {
  path: string;
  bytes: Uint8Array | null;
}

/** What reading changed files again did, or the answer to the question of those held. */
export interface ReloadAnswer {
  /** Read into the skin (one step of Undo): "uisettings.ini", "icon/nds.bmp". */
  taken: string[];
  /** Waiting for the user's answer: the skin has unsaved changes to them (or the archive changed). */
  held: string[];
  /** Gave nothing, perhaps still being written: give them again at the next change of anything. */
  failed: string[];
  /** The status bar's line; empty for nothing to say. */
  status: string;
  /** The reload bar's question while files wait for an answer; null when none do. */
  question: string | null;
  /** Reopening an archive: its messages. */
  messages: EngineMessage[];
}

/** The about box: the title (the version follows it directly), the text, the link and the banner's address. */
export interface AboutTexts {
  title: string;
  version: string;
  text: string;
  linkText: string;
  linkAddress: string;
  bannerAddress: string;
}

/**
 * The document of one engine, for a fresh engine to adopt (SkinEngine.adopt): the skin, its
 * whole history, where it comes from and what its origin holds, and the files of the engine's
 * memory it still refers to (its origin folder or archive), at their paths there. Plain data,
 * for postMessage (the byte arrays may be transferred).
 */
export interface EngineSnapshot {
  document: Uint8Array;
  /** Folders of the memory file system, each before what it holds. */
  folders: string[];
  /** Files of the memory file system, by their whole paths ("/skins/1/Sunset.zip"). */
  files: SkinFile[];
}

/** The compiled WebAssembly modules the engine runs on. */
export interface EngineModules {
  engine: WebAssembly.Module;
  /** The codecs of the user's files: compiled, or given when first needed (the page's engine fetches them then). */
  png: WebAssembly.Module | (() => WebAssembly.Module);
  jpeg: WebAssembly.Module | (() => WebAssembly.Module);
  /** Fetches and compiles the codecs given when first needed, so that none is fetched while the user waits. */
  prepareCodecs?: () => Promise<void>;
  /** The encoders, for screenshots only: loaded when first needed. */
  pngEncoder?: () => Promise<(rgba: Uint8Array, width: number, height: number) => Uint8Array>;
  jpegEncoder?: () => Promise<{ factory: (options: object) => Promise<unknown>; wasm: Uint8Array }>;
}

// What the WebAssembly module exports (web/engine/engine_api.cpp).
/** The groups Take from skin takes from another skin (edit/take_from.h). */
export type TakeGroupName = 'colours' | 'pictures' | 'positions' | 'info';

/**
 * A choice of what to take: a group whole (true) or some of its items by name
 * ("formFrameColor", "[main list] textColor", "startbar", "icon/nds", "[start bar]", "Title").
 * A string is taken as skintool's --take-from writes it: "colours;pictures=startbar,icon/nds".
 */
export type TakeChoice = string | Partial<Record<TakeGroupName, true | string[]>>;

/** One number or flag of an element record, in the other skin and in this one. */
export interface TakeRecordField {
  key: string;
  value: number;
  current: number;
}

/** One thing that can be taken. */
export interface TakeItem {
  /** As a choice names it. */
  name: string;
  /** Whether taking it would change the skin being edited. */
  differs: boolean;
  /** Colours, info and positions: the section; colours and info: the key. */
  section?: string;
  key?: string;
  /** Colours and info: the other skin's value and this skin's. */
  value?: Rgb | string;
  current?: Rgb | string;
  /** Pictures: read, or missing from the other skin or unreadable there (then it cannot be taken). */
  state?: 'read' | 'missing' | 'unreadable';
  /** Pictures: the screen of its button on the Images tab, -1 for those it has no button for. */
  screen?: number;
  width?: number;
  height?: number;
  /** Positions: the record's numbers and flags. */
  fields?: TakeRecordField[];
}

export interface TakeGroupListing {
  group: TakeGroupName;
  /** The language key of its caption (LANG_TAKE_COLORS$). */
  text: string;
  items: TakeItem[];
}

/** What the skin read for taking from holds. */
export interface TakeListing {
  /** Its name ("Sunset"), as Undo names the step. */
  name: string;
  groups: TakeGroupListing[];
  /** Its pictures that are missing, and those that could not be read: listed, never taken. */
  missing: string[];
  unreadable: string[];
}

export interface TakeReadResult {
  /** Whether its settings were read: then it is the skin taken from. */
  read: boolean;
  messages: EngineMessage[];
}

/** What a choice taken or previewed did. */
export interface TakeAnswer {
  /** Why the choice was refused (no skin read, a group or an item that does not exist); null when it was not. */
  error: string | null;
  /** Pictures the choice names that the other skin lacks or could not read: not taken. */
  notTaken: string[];
  /** Pictures the skin has no room for (its pictures would pass their pixel budget together): not taken. */
  overBudget: EngineMessage[];
}

interface Core {
  FS: {
    mkdir(path: string): void;
    writeFile(path: string, data: Uint8Array): void;
    readFile(path: string): Uint8Array;
    readdir(path: string): string[];
    stat(path: string): { mode: number };
    isDir(mode: number): boolean;
    unlink(path: string): void;
    rmdir(path: string): void;
    analyzePath(path: string): { exists: boolean };
  };
  HEAPU8: Uint8Array;
  UTF8ToString(ptr: number, max?: number): string;
  stringToUTF8(text: string, ptr: number, max: number): void;
  lengthBytesUTF8(text: string): number;
  _malloc(size: number): number;
  _free(ptr: number): void;
  /** Called by the engine as an open or a save goes (web/engine/engine_api.cpp). */
  skinProgress?: ((value: number) => void) | null;
  [name: `_engine_${string}`]: (...args: number[]) => number;
}

type Arg = number | string;

const kFilters: Filter[] = ['none', 'console', 'protanopia', 'deuteranopia', 'tritanopia'];
const kFits: Fit[] = ['keep', 'cover', 'stretch'];
const kScopes: RecolourScope[] = ['everything', 'pictures', 'fields'];
const kFormats: ScreenshotFormat[] = ['png', 'bmp', 'jpeg'];

function colourNumber(colour: Rgb | number): number {
  return typeof colour === 'number' ? colour : ((colour[0] & 255) << 16) | ((colour[1] & 255) << 8) | (colour[2] & 255);
}

// The moment a save stamps (LastUpdate, the archive's dates), for the
// engine: seconds since 1970, or -1 for now.
function stampSeconds(now: Date | undefined): number {
  return now ? Math.floor(now.getTime() / 1000) : -1;
}

// A name for a file of the memory file system: "/" and NUL are not allowed
// in one, and "." or ".." would name another folder.
function safeName(name: string): string {
  const cleaned = name.replace(/[/\0]/g, '_');
  return cleaned === '' || cleaned === '.' || cleaned === '..' ? '_' + cleaned : cleaned;
}

export class SkinEngine {
  private count = 0;
  private encoderLoading: Promise<void> | null = null;
  private pngEncoderLoading: Promise<void> | null = null;

  private constructor(
    private readonly core: Core,
    private readonly platform: ReturnType<typeof createPlatform>,
    private readonly modules: EngineModules,
  ) {}

  /** An engine holding the built-in skin. */
  static async create(modules: EngineModules): Promise<SkinEngine> {
    const platform = createPlatform({ png: modules.png, jpeg: modules.jpeg });
    const core = (await createEngineCore({
      skinPlatform: platform,
      instantiateWasm(imports: WebAssembly.Imports, done: (instance: WebAssembly.Instance) => void) {
        WebAssembly.instantiate(modules.engine, imports).then(done);
        return {};
      },
    })) as Core;
    for (const dir of ['/skins', '/saves', '/imports', '/journal', '/compare']) core.FS.mkdir(dir);
    return new SkinEngine(core, platform, modules);
  }

  // Calls an export with its string arguments in the module's memory.
  private call(name: string, ...args: Arg[]): number {
    const held: number[] = [];
    try {
      const values = args.map((a) => {
        if (typeof a === 'number') return a;
        const size = this.core.lengthBytesUTF8(a) + 1;
        const p = this.core._malloc(size);
        held.push(p);
        this.core.stringToUTF8(a, p, size);
        return p;
      });
      return this.core[`_engine_${name}`](...values);
    } finally {
      for (const p of held) this.core._free(p);
    }
  }

  private result<T>(): T {
    const text = this.core.UTF8ToString(this.core._engine_result(), this.core._engine_result_size());
    return JSON.parse(text) as T;
  }

  // The picture the last call left in the module's memory: a copy, or with
  // `view` the memory itself, valid until the engine's next call.
  private pixels(bytesPerPixel: number, view = false): { width: number; height: number; data: Uint8Array } {
    const width = this.core._engine_width();
    const height = this.core._engine_height();
    const at = this.core._engine_pixels();
    const end = at + width * height * bytesPerPixel;
    return { width, height, data: view ? this.core.HEAPU8.subarray(at, end) : this.core.HEAPU8.slice(at, end) };
  }

  // A fresh folder of the memory file system.
  private folder(root: string): string {
    const path = `${root}/${++this.count}`;
    this.core.FS.mkdir(path);
    return path;
  }

  private writeFiles(folder: string, files: SkinFile[]): void {
    const FS = this.core.FS;
    for (const f of files) {
      const parts = f.path.split('/').filter((p) => p !== '').map(safeName);
      if (parts.length === 0) continue;
      let at = folder;
      for (const dir of parts.slice(0, -1)) {
        at += '/' + dir;
        if (!FS.analyzePath(at).exists) FS.mkdir(at);
      }
      FS.writeFile(at + '/' + parts[parts.length - 1], f.bytes);
    }
  }

  private readFiles(folder: string, prefix = ''): SkinFile[] {
    const FS = this.core.FS;
    const out: SkinFile[] = [];
    for (const name of FS.readdir(folder).sort()) {
      if (name === '.' || name === '..') continue;
      const path = `${folder}/${name}`;
      if (FS.isDir(FS.stat(path).mode)) out.push(...this.readFiles(path, `${prefix}${name}/`));
      else out.push({ path: prefix + name, bytes: FS.readFile(path) });
    }
    return out;
  }

  private remove(path: string): void {
    const FS = this.core.FS;
    if (!FS.analyzePath(path).exists) return;
    if (FS.isDir(FS.stat(path).mode)) {
      for (const name of FS.readdir(path)) if (name !== '.' && name !== '..') this.remove(`${path}/${name}`);
      FS.rmdir(path);
    } else {
      FS.unlink(path);
    }
  }

  /** The engine's memory now, in bytes: it grows with the work and never shrinks. */
  memoryBytes(): number {
    return this.core.HEAPU8.buffer.byteLength;
  }

  /** The built-in skin, with a new history. */
  newSkin(): void {
    this.call('new_skin');
  }

  /** Opens the files of a skin folder named `name` over the skin being edited, as the desktop does. */
  openFolder(name: string, files: SkinFile[]): OpenResult {
    const path = `${this.folder('/skins')}/${safeName(name)}`;
    this.core.FS.mkdir(path);
    this.writeFiles(path, files);
    return this.open(path);
  }

  /** Opens a skin archive (.zip) named `name` over the skin being edited. */
  openArchive(name: string, bytes: Uint8Array): OpenResult {
    const path = `${this.folder('/skins')}/${safeName(name)}`;
    this.core.FS.writeFile(path, bytes);
    return this.open(path);
  }

  // Messages as the user knows the files: the folder of the engine's memory
  // that holds them left out ("lamp.bmp", not "/skins/3/Sunset/lamp.bmp").
  private messages(folder: string, messages = this.result<EngineMessage[]>()): EngineMessage[] {
    const own = (text: string) => text.split(`${folder}/`).join('');
    return messages.map((m) => ({ ...m, subject: own(m.subject), text: own(m.text) }));
  }

  private open(path: string): OpenResult {
    const opened = this.call('open', path) === 1;
    const messages = this.messages(path.slice(0, path.lastIndexOf('/')));
    // What could not be opened is not kept; what was is the skin's origin.
    if (!opened) this.remove(path.slice(0, path.lastIndexOf('/')));
    return { opened, messages };
  }

  /**
   * A preview screen (0..13) as the desktop shows it: both screens and the hinge, 266 x 490 at
   * zoom 1; with `saved` the skin as its files hold it, with `other` the skin compared with
   * (compareWithFolder, compareWithArchive; a RangeError when there is none). The pixels are the
   * engine's own memory, valid until its next call: draw them, copy them or send them on before
   * calling it again.
   */
  render(screen: number,
         options: { zoom?: number; filter?: Filter; background?: Rgb | number; saved?: boolean; other?: boolean } = {}):
      RgbaPicture {
    const filter = Math.max(0, kFilters.indexOf(options.filter ?? 'none'));
    const which = options.other ? 2 : options.saved ? 1 : 0;
    if (this.call('render', screen, options.zoom ?? 1, filter, colourNumber(options.background ?? 0), which) !== 1) {
      throw new RangeError('no skin to compare with');
    }
    const p = this.pixels(4, true);
    return { width: p.width, height: p.height, data: new Uint8ClampedArray(p.data.buffer, p.data.byteOffset, p.data.length) };
  }

  /**
   * A thumbnail of All screens as the desktop draws it: the screen at zoom 1 through the filter, at
   * half size (each pixel the mean of a 2 x 2 block) or whole. The engine's memory, as render's.
   */
  overview(screen: number, options: { filter?: Filter; background?: Rgb | number; half?: boolean } = {}): RgbaPicture {
    const filter = Math.max(0, kFilters.indexOf(options.filter ?? 'none'));
    this.call('render_overview', screen, filter, colourNumber(options.background ?? 0), options.half === false ? 0 : 1);
    const p = this.pixels(4, true);
    return { width: p.width, height: p.height, data: new Uint8ClampedArray(p.data.buffer, p.data.byteOffset, p.data.length) };
  }

  /** One of the skin's 53 pictures ("lamp", "icon/nds"); null when it is empty or unknown. */
  picture(name: string): RgbaPicture | null {
    if (this.call('picture', name) !== 1) return null;
    const p = this.pixels(4);
    return { width: p.width, height: p.height, data: new Uint8ClampedArray(p.data.buffer) };
  }

  /** What draws the pixel (x, y) of the preview of `screen` shown at `zoom`; null outside it. */
  trace(screen: number, zoom: number, x: number, y: number): Trace | null {
    if (this.call('trace', screen, zoom, Math.floor(x), Math.floor(y)) !== 1) return null;
    return this.result<Trace>();
  }

  /**
   * The pixels of the preview at `zoom` that a colour field, a picture or an element record draws,
   * in the engine's own memory, valid until its next call.
   */
  mask(screen: number, zoom: number, drawer: Drawer): Mask | null {
    const name = drawer.kind === 'colour' ? drawer.key : drawer.kind === 'picture' ? drawer.name : '';
    const section = drawer.kind === 'picture' ? '' : drawer.section;
    if (this.call('mask', screen, zoom, drawer.kind, section, name) !== 1) return null;
    const bounds = this.result<Mask['bounds']>();
    const p = this.pixels(1, true);
    return { ...p, bounds };
  }

  /** Every field of the skin, in the order of uisettings.ini. */
  fields(): Field[] {
    this.call('fields');
    return this.result<Field[]>();
  }

  state(): EngineState {
    this.call('state');
    const s = this.result<Omit<EngineState, 'name' | 'undoText' | 'redoText'>>();
    const path = s.origin.path;
    const base = path.slice(path.lastIndexOf('/') + 1);
    const name = s.origin.kind === 'archive' ? base.replace(/\.zip$/i, '') : base;
    return { ...s, name, undoText: s.undo ? s.undo.shown : null, redoText: s.redo ? s.redo.shown : null };
  }

  /** The language menu, in the desktop's order. */
  languages(): Language[] {
    this.call('languages');
    return this.result<Language[]>();
  }

  /**
   * The texts of a language file (language/*.ini, as the desktop reads them) over the built-in
   * English; null for English. The engine's messages, problems and step names follow.
   */
  setLanguage(fileBytes: Uint8Array | null): void {
    if (!fileBytes) {
      this.call('set_language', 0, 0);
      return;
    }
    const p = this.core._malloc(Math.max(1, fileBytes.length));
    try {
      this.core.HEAPU8.set(fileBytes, p);
      this.call('set_language', p, fileBytes.length);
    } finally {
      this.core._free(p);
    }
  }

  /** Every language key the program knows and its text in force. */
  texts(): Record<string, string> {
    this.call('texts');
    return this.result<Record<string, string>>();
  }

  /** The tables of the editor panel. */
  panel(): PanelTables {
    this.call('panel');
    return this.result<PanelTables>();
  }

  private changed(code: number): boolean {
    if (code < 0) throw new RangeError('no such field, or a value it cannot take');
    return code === 1;
  }

  /** The changes: true when the skin changed. With `preview`, shown only, not a step of Undo. */
  setNumber(section: string, key: string, value: number, options: { preview?: boolean } = {}): boolean {
    return this.changed(this.call('set_number', section, key, Math.trunc(value), options.preview ? 1 : 0));
  }

  setFlag(section: string, key: string, on: boolean): boolean {
    return this.changed(this.call('set_flag', section, key, on ? 1 : 0));
  }

  /** An information text: 'refused' when the settings file cannot hold it (outside Latin-1, or a line break). */
  setText(section: string, key: string, text: string): 'changed' | 'unchanged' | 'refused' {
    if (!this.fields().some((f) => f.section === section && f.key === key && f.kind === 'text')) {
      throw new RangeError(`no text field ${section} ${key}`);
    }
    const code = this.call('set_text', section, key, text);
    return code < 0 ? 'refused' : code === 1 ? 'changed' : 'unchanged';
  }

  setColour(section: string, key: string, colour: Rgb | number, options: { preview?: boolean } = {}): boolean {
    return this.changed(this.call('set_colour', section, key, colourNumber(colour), options.preview ? 1 : 0));
  }

  /** An element placed at (x, y); the moves of one `gesture` (a drag, a run of nudges) are one step. */
  moveElement(section: string, x: number, y: number, gesture: string): boolean {
    return this.changed(this.call('move_element', section, Math.trunc(x), Math.trunc(y), gesture));
  }

  /** One 15-bit colour made another everywhere (values as the settings file writes them, 0..0x7fff). */
  replaceColour(from: number, to: number, options: { preview?: boolean } = {}): boolean {
    return this.changed(this.call('replace_colour', from, to, options.preview ? 1 : 0));
  }

  recolour(shift: { hue?: number; saturation?: number; lightness?: number }, scope: RecolourScope = 'everything',
           options: { preview?: boolean } = {}): boolean {
    return this.changed(this.call('recolour', shift.hue ?? 0, shift.saturation ?? 0, shift.lightness ?? 0,
                                  kScopes.indexOf(scope), options.preview ? 1 : 0));
  }

  private importFile(fileName: string, bytes: Uint8Array): string {
    const path = `${this.folder('/imports')}/${safeName(fileName)}`;
    this.core.FS.writeFile(path, bytes);
    return path;
  }

  /** Replaces picture `name` from a BMP, PNG or JPEG file, fitted as `fit` says, as an import does. */
  importPicture(name: string, fileName: string, bytes: Uint8Array, fit: Fit,
                options: { preview?: boolean } = {}): { imported: boolean; messages: EngineMessage[] } {
    const path = this.importFile(fileName, bytes);
    try {
      const code = this.call('import', name, path, kFits.indexOf(fit), options.preview ? 1 : 0);
      if (code < 0) throw new RangeError(`no picture ${name}`);
      return { imported: code === 1, messages: this.messages(path.slice(0, path.lastIndexOf('/'))) };
    } finally {
      this.remove(path.slice(0, path.lastIndexOf('/')));
    }
  }

  /** The size of the picture in a file and the size picture `name` is expected to have; null when it gives none. */
  importSizes(name: string, fileName: string, bytes: Uint8Array): ImportSizes | null {
    const path = this.importFile(fileName, bytes);
    try {
      const code = this.call('import_sizes', name, path);
      if (code < 0) throw new RangeError(`no picture ${name}`);
      return code === 1 ? this.result() : null;
    } finally {
      this.remove(path.slice(0, path.lastIndexOf('/')));
    }
  }

  /**
   * The fit question of a file going into picture `name`, in one call: its sizes and each way's
   * picture as the console shows it; null when the file gives no picture. The file is decoded
   * once for this, importSizes and the importPicture that follows (the same name and bytes):
   * its picture is held until that import, endPreview (call it when the question is cancelled),
   * or another file.
   */
  importPreviews(name: string, fileName: string, bytes: Uint8Array): ImportPreviews | null {
    const path = this.importFile(fileName, bytes);
    try {
      const code = this.call('import_previews', name, path);
      if (code < 0) throw new RangeError(`no picture ${name}`);
      if (code !== 1) return null;
      const answer = this.result<ImportSizes & { pictures: [number, number][] }>();
      const { pictures, ...sizes } = answer;
      const at = this.core._engine_pixels();
      let offset = at;
      const [cover, stretch, keep] = pictures.map(([width, height]) => {
        const data = new Uint8ClampedArray(this.core.HEAPU8.slice(offset, offset + width * height * 4).buffer);
        offset += width * height * 4;
        return { width, height, data };
      });
      return { sizes, cover, stretch, keep };
    } finally {
      this.remove(path.slice(0, path.lastIndexOf('/')));
    }
  }

  // A folder of picture files in the engine's memory: its path, and the
  // folder that holds it (left out of what the engine says of its files).
  private importFolderFiles(folderName: string, files: SkinFile[]): { path: string; root: string } {
    const root = this.folder('/imports');
    const path = `${root}/${safeName(folderName)}`;
    this.core.FS.mkdir(path);
    this.writeFiles(path, files);
    return { path, root };
  }

  /**
   * Before Import pictures from folder (`files`, below the folder named `folderName`): how many of
   * the pictures it would take differ in size from the skin's, and the first of them, whose file
   * importPreviews draws for the one question. Null when the folder gives nothing to read.
   */
  importFolderSizes(folderName: string, files: SkinFile[]): FolderQuestion | null {
    const { path, root } = this.importFolderFiles(folderName, files);
    try {
      return this.call('import_folder_sizes', path) === 1 ? this.result<FolderQuestion>() : null;
    } finally {
      this.remove(root);
    }
  }

  /**
   * Import pictures from folder, as the desktop does it: every picture the files name (the 42 of
   * the skin's folder by their file names, the 11 icons in icon/), fitted as `fit` says, as one
   * step of Undo; with `preview`, shown only. What it took, the messages, the status line and the
   * report, the files named as below the folder's name.
   */
  importFolder(folderName: string, files: SkinFile[], fit: Fit, options: { preview?: boolean } = {}): FolderImportResult {
    const { path, root } = this.importFolderFiles(folderName, files);
    try {
      if (this.call('import_folder', path, kFits.indexOf(fit), options.preview ? 1 : 0) < 0) {
        throw new RangeError(`no fit ${fit}`);
      }
      const own = (text: string) => text.split(`${root}/`).join('');
      const r = this.result<FolderImportResult>();
      return {
        imported: r.imported,
        messages: this.messages(root, r.messages),
        status: own(r.status),
        report: r.report && {
          ...r.report, lines: r.report.lines.map(own), summary: own(r.report.summary), details: own(r.report.details),
        },
      };
    } finally {
      this.remove(root);
    }
  }

  /**
   * The skin to compare with: the files of a folder named `name`, read as opening reads them,
   * apart from the skin being edited, which stays as it is; render(screen, { other: true }) draws
   * it. When nothing could be read, the skin compared with so far (if any) stays.
   */
  compareWithFolder(name: string, files: SkinFile[]): OpenResult {
    const root = this.folder('/compare');
    const path = `${root}/${safeName(name)}`;
    this.core.FS.mkdir(path);
    this.writeFiles(path, files);
    return this.compare(path, root);
  }

  /** The skin to compare with, from an archive (.zip) named `name`. */
  compareWithArchive(name: string, bytes: Uint8Array): OpenResult {
    const root = this.folder('/compare');
    const path = `${root}/${safeName(name)}`;
    this.core.FS.writeFile(path, bytes);
    return this.compare(path, root);
  }

  // Read whole into the engine, the skin compared with needs its files no more.
  private compare(path: string, root: string): OpenResult {
    try {
      const opened = this.call('compare_with', path) === 1;
      return { opened, messages: this.messages(root) };
    } finally {
      this.remove(root);
    }
  }

  /** Lets the skin compared with go. */
  stopCompare(): void {
    this.call('stop_compare');
  }

  /**
   * Files of the skin opened from a folder that changed on disk (the page compares their sizes
   * and times itself): their bytes now, or null for a file gone; for a skin opened from an
   * archive, the archive's bytes now (one file, its path unused). Those with no unsaved change of
   * the user are read again into the skin at once, one step of Undo; the others are held for
   * answerReload. Tell rememberSeen what the files look like now afterwards: they are the skin's
   * files as the engine knows them. Files that failed are to be given again at the next change.
   */
  diskChanged(files: ChangedFile[]): ReloadAnswer {
    const s = this.state();
    if (s.origin.kind === 'built-in') throw new RangeError('the skin comes from no files');
    const FS = this.core.FS;
    if (s.origin.kind === 'archive') {
      const bytes = files.find((f) => f.bytes)?.bytes;
      if (bytes) FS.writeFile(s.origin.path, bytes);
    } else {
      for (const f of files) {
        const parts = f.path.split('/').filter((p) => p !== '').map(safeName);
        if (parts.length === 0) continue;
        const path = `${s.origin.path}/${parts.join('/')}`;
        if (f.bytes) this.writeFiles(s.origin.path, [{ path: parts.join('/'), bytes: f.bytes }]);
        else this.remove(path);
      }
    }
    this.call('disk_changed', files.map((f) => f.path.replace(/[\r\n]/g, ' ')).join('\n'));
    return this.reloadAnswer(s.origin.path);
  }

  /** The answer to the question of files held: true takes the disk's (Reload), false keeps the user's (Keep mine). */
  answerReload(take: boolean): ReloadAnswer {
    const where = this.state().origin.path;
    this.call('answer_reload', take ? 1 : 0);
    return this.reloadAnswer(where);
  }

  private reloadAnswer(where: string): ReloadAnswer {
    const r = this.result<ReloadAnswer>();
    return { ...r, messages: this.messages(where.slice(0, where.lastIndexOf('/')), r.messages) };
  }

  /** The about box's texts, as the desktop shows them. */
  about(): AboutTexts {
    this.call('about');
    return this.result<AboutTexts>();
  }

  /** The about box's banner. */
  aboutBanner(): RgbaPicture {
    this.call('about_banner');
    const p = this.pixels(4);
    return { width: p.width, height: p.height, data: new Uint8ClampedArray(p.data.buffer) };
  }

  /**
   * Hears how far an open or a save has come over the skin's 53 pictures: called as it goes,
   * within the call that opens or saves, with 1..53 and then 0 when it is done. Null stops it.
   */
  onProgress(callback: ((value: number) => void) | null): void {
    this.core.skinProgress = callback;
  }

  /** Takes away what a preview shows. */
  endPreview(): void {
    this.call('end_preview');
  }

  undo(): boolean {
    return this.call('undo') === 1;
  }

  redo(): boolean {
    return this.call('redo') === 1;
  }

  /** The skin check: every problem, as skintool check --json lists them. */
  check(): Problem[] {
    this.call('check');
    return this.result<Problem[]>();
  }

  /** A colour as typed or pasted (#rrggbb, rrggbb, or 0xBBBB as the settings file writes it), by the desktop's rule; null when it is none. */
  parseColour(text: string): Rgb | null {
    const v = this.call('parse_colour', text);
    return v < 0 ? null : [(v >> 16) & 255, (v >> 8) & 255, v & 255];
  }

  /** A name from a file as it may be shown: control and direction characters escaped, as in the engine's messages. */
  printable(text: string): string {
    this.call('printable', text);
    return this.core.UTF8ToString(this.core._engine_result(), this.core._engine_result_size());
  }

  /** The folder a saved archive named `name` ("Sunset", "Sunset.zip") holds the skin in: what could climb out of it, separate or reverse its names replaced. */
  archiveFolderName(name: string): string {
    this.call('archive_folder_name', safeName(name));
    return this.core.UTF8ToString(this.core._engine_result(), this.core._engine_result_size());
  }

  /** Every 15-bit colour the skin uses, most used first. */
  palette(): PaletteEntry[] {
    this.call('palette');
    return this.result<PaletteEntry[]>();
  }

  /**
   * The skin saved as a folder of files, as the desktop's Save writes them (uisettings.ini with
   * LastUpdate stamped `now`, by default the moment of saving; the pictures as 16-bit BMP files). Written over the folder it was
   * opened from with `inPlace`; call markSaved once the files are where the user wants them.
   */
  saveFiles(options: { inPlace?: boolean; now?: Date } = {}): SaveResult & { files: SkinFile[]; where: string } {
    const s = this.state();
    const where = options.inPlace && s.origin.kind === 'folder' ? s.origin.path
      : `${this.folder('/saves')}/${safeName(s.name || 'skin')}`;
    const saved = this.call('save_folder', where, stampSeconds(options.now)) === 1;
    const messages = this.messages(where.slice(0, where.lastIndexOf('/')));
    return { saved, messages, files: saved ? this.readFiles(where) : [], where };
  }

  /**
   * The skin saved as an archive, as the desktop's Save to archive writes it: inside a folder
   * named after `name` (the archive's name without .zip). Written over the archive it was opened
   * from with `inPlace`; call markSaved once the bytes are where the user wants them.
   */
  saveArchive(name: string, options: { inPlace?: boolean; now?: Date } = {}):
      SaveResult & { bytes: Uint8Array | null; where: string } {
    const s = this.state();
    const where = options.inPlace && s.origin.kind === 'archive' ? s.origin.path
      : `${this.folder('/saves')}/${safeName(name.replace(/\.zip$/i, ''))}.zip`;
    const saved = this.call('save_archive', where, stampSeconds(options.now)) === 1;
    const messages = this.messages(where.slice(0, where.lastIndexOf('/')));
    return { saved, messages, bytes: saved ? this.core.FS.readFile(where) : null, where };
  }

  /**
   * What a save wrote (`where`, from saveFiles or saveArchive) is where the skin is now: it is no
   * longer modified and Save writes there. With `becomeOrigin` even an archive that is not the
   * skin's origin becomes it (the page's Save of a skin that came from nowhere).
   */
  markSaved(where: string, kind: 'folder' | 'archive', options: { becomeOrigin?: boolean } = {}): void {
    this.call('mark_saved', where, kind === 'archive' ? 1 : 0, options.becomeOrigin ? 1 : 0);
  }

  /** A screenshot of a screen (upper above lower, 256 x 384) in a picture file's bytes. */
  async screenshot(screen: number, format: ScreenshotFormat = 'png'): Promise<Uint8Array | null> {
    if (format === 'jpeg') await this.loadJpegEncoder();
    if (format === 'png') await this.loadPngEncoder();
    const path = `${this.folder('/saves')}/shot`;
    const ok = this.call('screenshot', screen, kFormats.indexOf(format), path) === 1;
    const bytes = ok ? this.core.FS.readFile(path) : null;
    this.remove(path.slice(0, path.lastIndexOf('/')));
    return bytes;
  }

  /** Fetches the codecs of the user's pictures now (where they come when first needed), so that no open waits for them. */
  async prepareCodecs(): Promise<void> {
    await this.modules.prepareCodecs?.();
  }

  /** Loads what a PNG screenshot needs now, so that a page can take one without the network later. */
  async prepareScreenshots(): Promise<void> {
    await this.loadPngEncoder();
  }

  private loadPngEncoder(): Promise<void> {
    if (!this.pngEncoderLoading) {
      const load = this.modules.pngEncoder;
      this.pngEncoderLoading = load ? load().then((encode) => addPngEncoder(this.platform, encode)) : Promise.resolve();
    }
    return this.pngEncoderLoading;
  }

  private loadJpegEncoder(): Promise<void> {
    if (!this.encoderLoading) {
      const load = this.modules.jpegEncoder;
      this.encoderLoading = load
        ? load().then(({ factory, wasm }) => addJpegEncoder(this.platform, factory, wasm))
        : Promise.resolve();
    }
    return this.encoderLoading;
  }

  /**
   * The journal of the unsaved changes, to keep where they survive the page: never what a preview
   * shows. `keeper` (1 to 2^31 - 1) names the page that keeps it, `started` when that page started.
   */
  journal(lastEdit: Date, keeper: number, started = 0): Journal | null {
    const path = '/journal/skin.zip';
    if (this.call('journal', path, Math.floor(lastEdit.getTime() / 1000), keeper, started) !== 1) return null;
    const manifest = this.core.UTF8ToString(this.core._engine_result(), this.core._engine_result_size());
    const archive = this.core.FS.readFile(path);
    this.core.FS.unlink(path);
    return { manifest, archive };
  }

  /** What a journal's manifest says; null when it is none. */
  readJournal(manifest: string): JournalInfo | null {
    return this.call('read_manifest', manifest) === 1 ? this.result<JournalInfo>() : null;
  }

  /**
   * The document whole, for a fresh engine to adopt: never what a preview shows, and not the
   * language in force (the page sets it on the new engine as on any other).
   */
  snapshot(): EngineSnapshot {
    const size = this.core._engine_snapshot();
    const at = this.core._engine_result();
    const document = this.core.HEAPU8.slice(at, at + size);
    this.call('snapshot_paths');  // which also lets the snapshot's bytes go
    const folders: string[] = [];
    const files: SkinFile[] = [];
    const seen = new Set<string>();
    const FS = this.core.FS;
    const take = (path: string): void => {
      if (seen.has(path) || !FS.analyzePath(path).exists) return;
      seen.add(path);
      if (FS.isDir(FS.stat(path).mode)) {
        folders.push(path);
        for (const name of FS.readdir(path).sort()) if (name !== '.' && name !== '..') take(`${path}/${name}`);
      } else {
        files.push({ path, bytes: FS.readFile(path) });
      }
    };
    for (const path of this.result<string[]>()) take(path);
    return { document, folders, files };
  }

  /**
   * Makes the document of another engine of this build this engine's (a fresh one, started to
   * give back the memory the other grew): its files written back at their paths, then the
   * document restored. False, with nothing changed and nothing written, when the snapshot is
   * damaged or its files would go elsewhere than the skins' folders or over a file already here.
   */
  adopt(snapshot: EngineSnapshot): boolean {
    const FS = this.core.FS;
    const own = (path: string) => /^\/(skins|saves)\/\d+(\/[^/\0]+)*$/.test(path) &&
      path.split('/').every((part) => part !== '.' && part !== '..');
    if (![...snapshot.folders, ...snapshot.files.map((f) => f.path)].every(own)) return false;
    if (snapshot.files.some((f) => FS.analyzePath(f.path).exists)) return false;
    const made: string[] = [];  // what goes again when the snapshot is refused
    const folder = (path: string) => {
      let at = '';
      for (const part of path.split('/').slice(1)) {
        at += '/' + part;
        if (!FS.analyzePath(at).exists) {
          FS.mkdir(at);
          made.push(at);
        }
      }
    };
    let adopted = false;
    try {
      for (const path of snapshot.folders) folder(path);
      for (const f of snapshot.files) {
        folder(f.path.slice(0, f.path.lastIndexOf('/')));
        FS.writeFile(f.path, f.bytes);
        made.push(f.path);
      }
      const p = this.core._malloc(Math.max(1, snapshot.document.length));
      if (p) {
        try {
          this.core.HEAPU8.set(snapshot.document, p);
          adopted = this.call('adopt', p, snapshot.document.length) === 1;
        } finally {
          this.core._free(p);
        }
      }
    } catch {
      adopted = false;  // a file the memory file system would not take
    }
    if (!adopted) {
      for (const path of made.reverse()) this.remove(path);
      return false;
    }
    // The folders this engine makes from now on are not those it was given.
    for (const path of [...snapshot.folders, ...snapshot.files.map((f) => f.path)]) {
      this.count = Math.max(this.count, Number(path.split('/')[2]));
    }
    return true;
  }

  /** Brings back a journal's changes over the skin open now, as one step of Undo; false when it cannot be read. */
  restore(journal: Journal): boolean {
    const path = '/journal/restore.zip';
    this.core.FS.writeFile(path, journal.archive);
    try {
      return this.call('restore', path, journal.manifest) === 1;
    } finally {
      this.core.FS.unlink(path);
    }
  }

  /** What the last call that can change something did, named: its outcome and what changed. */
  lastChange(): EngineChange {
    this.call('changes');
    return this.result<EngineChange>();
  }

  /** Every command of the editor and the menus, as both faces build them. */
  catalogue(): CommandCatalogue {
    this.call('catalogue');
    return this.result<CommandCatalogue>();
  }

  /** Each command's greying and check mark for what the page knows (`facts`) and the engine's history. */
  commandStates(facts: PageFacts = {}): Record<string, CommandState> {
    const shown = (facts.overviewShown ? 1 : 0) | (facts.problemsShown ? 2 : 0) | (facts.paletteShown ? 4 : 0) |
      (facts.wholeZoom ? 8 : 0) | (facts.swapped ? 16 : 0) | (facts.clipboardHoldsColour ? 32 : 0);
    const compare = ['off', 'saved', 'other'].indexOf(facts.compare ?? 'off');
    const missing = (facts.missingLanguages ?? []).reduce((bits, i) => bits | (1 << i), 0);
    this.call('command_states', shown, Math.max(0, compare), Math.max(0, kFilters.indexOf(facts.filter ?? 'none')),
              facts.screen ?? 0, facts.language ?? 0, missing, facts.colour ?? '');
    return this.result<Record<string, CommandState>>();
  }

  /** The pointer over (x, y) of the preview of `screen` at `zoom`: the cursor to show. */
  cursorAt(screen: number, zoom: number, x: number, y: number): CursorAnswer {
    this.call('cursor', screen, zoom, Math.floor(x), Math.floor(y));
    return this.result<CursorAnswer>();
  }

  /** The button pressed at (x, y) of the preview: what it selects and the record a drag would move. */
  press(screen: number, zoom: number, x: number, y: number): GestureAnswer {
    this.call('press', screen, zoom, Math.floor(x), Math.floor(y));
    return this.result<GestureAnswer>();
  }

  /** The pointer moved with the button held: past the threshold, the record follows (one step of Undo). */
  drag(x: number, y: number, zoom: number): GestureAnswer {
    this.call('drag', Math.floor(x), Math.floor(y), zoom);
    return this.result<GestureAnswer>();
  }

  release(): GestureAnswer {
    this.call('release');
    return this.result<GestureAnswer>();
  }

  /** Escape during a press: a moved record goes back, its step with it. */
  escape(): GestureAnswer {
    this.call('escape');
    return this.result<GestureAnswer>();
  }

  /** An arrow key after a press: by (dx, dy) steps of 1, of 10 with Shift; the nudges after one press are one step. */
  nudge(dx: number, dy: number, shift = false): GestureAnswer {
    this.call('nudge', Math.sign(dx), Math.sign(dy), shift ? 1 : 0);
    return this.result<GestureAnswer>();
  }

  /** A control hovered (or a file over a picture); null when the hover ends. */
  hover(drawer: Drawer | null): HoverAnswer {
    if (!drawer) this.call('hover', '', '', '');
    else if (drawer.kind === 'colour') this.call('hover', 'colour', drawer.section, drawer.key);
    else if (drawer.kind === 'picture') this.call('hover', 'picture', '', drawer.name);
    else this.call('hover', 'element', drawer.section, '');
    return this.result<HoverAnswer>();
  }

  /** Where problem `index` of the last check() leads; null for no such problem. */
  problemFocus(index: number): ProblemFocus | null {
    this.call('problem_focus', index);
    return this.result<ProblemFocus | null>();
  }

  /** The preview screen after New, Open or a language change. */
  screenAfter(cause: 'new' | 'open' | 'language'): number {
    this.call('screen_after', cause);
    return this.result<ScreenAnswer>().screen;
  }

  /** The mnemonics of one menu's entries (language texts without line breaks), in order. */
  mnemonics(texts: string[]): MnemonicText[] {
    this.call('mnemonics', texts.map((t) => t.replace(/[\r\n]/g, ' ')).join('\n'));
    return this.result<MnemonicText[]>();
  }

  /** The zoom after `steps` of the zoom keys or the wheel (negative: out), whole numbers only with `whole`. */
  zoomStep(zoom: number, steps: number, whole: boolean): number {
    this.call('zoom_step', zoom, steps, whole ? 1 : 0);
    return this.result<ZoomAnswer>().zoom;
  }

  /** The largest zoom at which the preview fits a room of `width` x `height` pixels. */
  zoomToFit(width: number, height: number, whole: boolean): number {
    this.call('zoom_to_fit', Math.floor(width), Math.floor(height), whole ? 1 : 0);
    return this.result<ZoomAnswer>().zoom;
  }

  /** A colour as the settings file writes it ("0x7fff") and as "#rrggbb", by the core's rule. */
  colourTexts(colour: Rgb | number): ColourTexts {
    this.call('colour_texts', colourNumber(colour));
    return this.result<ColourTexts>();
  }

  /** A wheel's or touchpad's movement over the preview (120 a notch, up positive): the zoom steps it makes now. */
  wheel(delta: number): number {
    this.call('wheel', Math.round(delta));
    return this.result<WheelAnswer>().steps;
  }

  /** What whole-number zoom makes of a zoom when it is turned on. */
  wholeZoom(zoom: number): number {
    this.call('whole_zoom', zoom);
    return this.result<ZoomAnswer>().zoom;
  }

  /** What becomes of a text typed into a field: taken, refused (with why) or read-only (LastUpdate). */
  typedText(section: string, key: string, text: string): TypedTextAnswer | null {
    this.call('typed_text', section, key, text);
    return this.result<TypedTextAnswer | null>();
  }

  /** When the journal is written next (ms, any clock): a second after the last edit, at most five after the first. */
  journalSchedule(firstUnsaved: number, lastEdit: number): number {
    this.call('journal_schedule', firstUnsaved, lastEdit);
    return this.result<JournalSchedule>().next;
  }

  private seenText(files: SeenFile[]): string {
    return files.map((f) => `${f.name}\t${Math.trunc(f.size)}\t${Math.trunc(f.modified)}\n`).join('');
  }

  /** What the page saw of the skin's files at `where` (the origin's path) when it opened or saved them. */
  rememberSeen(where: string, files: SeenFile[]): void {
    this.call('remember_seen', where, this.seenText(files));
  }

  /** Before a save into `target`: whether to ask, naming the files changed since the page saw them. */
  changedBeforeSave(target: string, files: SeenFile[]): OverwriteQuestion {
    this.call('changed_before_save', target, this.seenText(files));
    return this.result<OverwriteQuestion>();
  }

  /** The colour dialog opened on a colour; each call after it answers what the dialog shows. */
  colourOpen(colour: Rgb | number): ColourDialogState {
    this.call('colour_open', colourNumber(colour));
    return this.result<ColourDialogState>();
  }

  /** A channel field typed in (0 red, 1 green, 2 blue), the three fields' texts as they read now. */
  colourField(channel: number, texts: [string, string, string]): ColourDialogState {
    this.call('colour_field', channel, texts[0], texts[1], texts[2]);
    return this.result<ColourDialogState>();
  }

  /** The system chooser's colour, kept with its 8-bit channels until OK. */
  colourChooser(colour: Rgb | number): ColourDialogState {
    this.call('colour_chooser', colourNumber(colour));
    return this.result<ColourDialogState>();
  }

  /** A colour typed or pasted (#rrggbb, rrggbb, 0xBBBB); a text that is none changes nothing. */
  colourText(text: string): ColourDialogState {
    this.call('colour_text', text);
    return this.result<ColourDialogState>();
  }

  /** A pixel read from the screen, cut to the 5-bit grid. */
  colourEyedropper(colour: Rgb | number): ColourDialogState {
    this.call('colour_eyedropper', colourNumber(colour));
    return this.result<ColourDialogState>();
  }

  /** Take from skin: another skin's folder read for taking from; the skin being edited stays as it is. */
  takeFolder(name: string, files: SkinFile[]): TakeReadResult {
    const path = `${this.takeFolderPath()}/${safeName(name)}`;
    this.core.FS.mkdir(path);
    this.writeFiles(path, files);
    return this.takeRead(path);
  }

  /** Take from skin: another skin's archive (.zip) read for taking from. */
  takeArchive(name: string, bytes: Uint8Array): TakeReadResult {
    const path = `${this.takeFolderPath()}/${safeName(name)}`;
    this.core.FS.writeFile(path, bytes);
    return this.takeRead(path);
  }

  private takeFolderPath(): string {
    if (!this.core.FS.analyzePath('/takes').exists) this.core.FS.mkdir('/takes');
    return this.folder('/takes');
  }

  // The other skin is held decoded: its files are not kept.
  private takeRead(path: string): TakeReadResult {
    const folder = path.slice(0, path.lastIndexOf('/'));
    try {
      const read = this.call('take_open', path) === 1;
      return { read, messages: this.messages(folder) };
    } finally {
      this.remove(folder);
    }
  }

  /** What the skin read for taking from holds, group by group; null when none was read. */
  takeListing(): TakeListing | null {
    return this.call('take_list') === 1 ? this.result<TakeListing>() : null;
  }

  /** One picture of the skin read for taking from; null when it has none of that name (missing, unreadable). */
  takePicture(name: string): RgbaPicture | null {
    if (this.call('take_picture', name) !== 1) return null;
    const p = this.pixels(4);
    return { width: p.width, height: p.height, data: new Uint8ClampedArray(p.data.buffer) };
  }

  /** A choice as the engine reads it: "colours;pictures=startbar,icon/nds". */
  static takeChoiceText(choice: TakeChoice): string {
    if (typeof choice === 'string') return choice;
    const parts: string[] = [];
    for (const group of ['colours', 'pictures', 'positions', 'info'] as TakeGroupName[]) {
      const chosen = choice[group];
      if (chosen === true) parts.push(group);
      else if (chosen && chosen.length > 0) parts.push(`${group}=${chosen.join(',')}`);
    }
    return parts.join(';');
  }

  /**
   * The choice taken from the skin read for taking from: shown live with `preview` (never
   * journalled; a later preview replaces it, takeClose or endPreview ends it), else one step of
   * Undo named after that skin. `outcome` is 'refused' for a choice that names nothing there.
   */
  takeFrom(choice: TakeChoice, options: { preview?: boolean } = {}): TakeAnswer & EngineChange {
    const text = SkinEngine.takeChoiceText(choice);
    this.call('take_from', text, options.preview ? 1 : 0);
    const answer = this.result<TakeAnswer>();
    return { ...answer, ...this.lastChange() };
  }

  /** Take from skin is over: a preview ends, and the skin read for taking from is let go. */
  takeClose(): void {
    this.call('take_close');
  }
}
