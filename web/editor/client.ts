// The page's side of the engine in its worker (worker.ts): every method of
// SkinEngine, called by name, answered in order. `busy` tells the page when
// work is under way, so that it can show progress.
//
// A worker's WebAssembly memory grows and never shrinks, and a call under
// way cannot be interrupted. So the client can start a fresh worker: `renew`
// carries the document over (after an operation that grew the memory far
// past what the document needs), and `cancel` ends a call under way and
// brings back the document as it was when `mark` last took it (before an
// open or an import that may run long).
import type { SkinEngine } from '../engine/engine';

type Methods = {
  [K in keyof SkinEngine]: SkinEngine[K] extends (...args: infer A) => infer R ? (...args: A) => Promise<Awaited<R>> : never;
};

type Snapshot = Awaited<ReturnType<SkinEngine['snapshot']>>;

export interface EngineControl {
  /** Calls waiting for an answer. */
  readonly pending: number;
  /** The engine's memory after its last answer, in bytes. */
  readonly memory: number;
  /** Takes the document as it is now, for a later cancel. */
  mark(): Promise<void>;
  /** Ends the call under way (its promise rejects with Cancelled) and starts afresh from the mark. */
  cancel(): Promise<void>;
  /** A fresh worker with the document carried over. */
  renew(): Promise<void>;
}

export type EngineClient = Methods & EngineControl;

/** What a call under way rejects with when the user cancels it. */
export class Cancelled extends Error {}

interface Waiting {
  resolve: (v: unknown) => void;
  reject: (e: Error) => void;
}

class Worker_ {
  readonly worker = new Worker(new URL('./editor-worker.mjs', import.meta.url), { type: 'module' });
  readonly waiting = new Map<number, Waiting>();
  failed: Error | null = null;
}

export function startEngine(onBusy: (busy: boolean) => void, onProgress: (value: number) => void = () => {}): EngineClient {
  let next = 0;
  let memory = 0;
  let marked: Snapshot | null = null;
  let current: Worker_;
  // The page says "busy" only for work that takes a while.
  let busyTimer: ReturnType<typeof setTimeout> | null = null;
  const settle = () => {
    if (current.waiting.size > 0) {
      if (!busyTimer) busyTimer = setTimeout(() => onBusy(true), 150);
    } else {
      if (busyTimer) clearTimeout(busyTimer);
      busyTimer = null;
      onBusy(false);
    }
  };

  const launch = (): Worker_ => {
    const w = new Worker_();
    w.worker.onmessage = (event: MessageEvent<{ id: number; ok: boolean; value?: unknown; error?: string; memory?: number; progress?: number }>) => {
      if (typeof event.data.progress === 'number') {
        if (w === current) onProgress(event.data.progress);
        return;
      }
      const { id, ok, value, error } = event.data;
      if (typeof event.data.memory === 'number' && w === current) memory = event.data.memory;
      const waiting = w.waiting.get(id);
      if (!waiting) return;
      w.waiting.delete(id);
      if (ok) waiting.resolve(value);
      else waiting.reject(new Error(error));
      if (w === current) settle();
    };
    w.worker.onerror = (event) => {
      w.failed = new Error(event.message || 'the engine stopped');
      for (const waiting of w.waiting.values()) waiting.reject(w.failed);
      w.waiting.clear();
      if (w === current) settle();
    };
    return w;
  };

  const callOn = (w: Worker_, method: string, args: unknown[]): Promise<unknown> => {
    if (w.failed) return Promise.reject(w.failed);
    const id = ++next;
    return new Promise((resolve, reject) => {
      w.waiting.set(id, { resolve, reject });
      // Bytes handed to the engine are not needed here any more.
      const transfer = args.filter((a): a is Uint8Array => a instanceof Uint8Array).map((a) => a.buffer);
      w.worker.postMessage({ id, method, args }, transfer.filter((b, i) => transfer.indexOf(b) === i) as ArrayBuffer[]);
      if (w === current) settle();
    });
  };

  // A fresh worker holding `snapshot` (or the built-in skin) takes the old one's place.
  const replace = async (snapshot: Snapshot | null, cancelled: boolean): Promise<void> => {
    const old = current;
    const fresh = launch();
    // The language is the page's, not the document's: the fresh engine takes it again.
    if (language) await callOn(fresh, 'setLanguage', [language.slice()]);
    if (snapshot && !(await callOn(fresh, 'adopt', [snapshot]))) {
      fresh.worker.terminate();
      throw new Error('the document could not be carried over');
    }
    current = fresh;
    old.worker.terminate();
    const reason = cancelled ? new Cancelled('cancelled') : new Error('the engine was renewed');
    for (const waiting of old.waiting.values()) waiting.reject(reason);
    old.waiting.clear();
    settle();
  };

  current = launch();
  // The language file in force, for a fresh engine.
  let language: Uint8Array | null = null;
  const control: EngineControl = {
    get pending() {
      return current.waiting.size;
    },
    get memory() {
      return memory;
    },
    async mark() {
      marked = (await callOn(current, 'snapshot', [])) as Snapshot;
    },
    async cancel() {
      const snapshot = marked;
      marked = null;
      await replace(snapshot, true);
    },
    async renew() {
      await replace((await callOn(current, 'snapshot', [])) as Snapshot, false);
    },
  };
  return new Proxy(control as EngineClient, {
    get(target, name) {
      if (name in target) return Reflect.get(target, name);
      if (name === 'then') return undefined;
      return (...args: unknown[]) => {
        if (name === 'setLanguage') language = args[0] instanceof Uint8Array ? args[0].slice() : null;
        return callOn(current, String(name), args);
      };
    },
  });
}
