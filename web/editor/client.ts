// The page's side of the engine in its worker (worker.ts): every method of
// SkinEngine, called by name, answered in order. `busy` tells the page when
// work is under way, so that it can show progress.
import type { SkinEngine } from '../engine/engine';

type Methods = {
  [K in keyof SkinEngine]: SkinEngine[K] extends (...args: infer A) => infer R ? (...args: A) => Promise<Awaited<R>> : never;
};

export type EngineClient = Methods & { readonly pending: number };

export function startEngine(onBusy: (busy: boolean) => void): EngineClient {
  const worker = new Worker(new URL('./editor-worker.mjs', import.meta.url), { type: 'module' });
  const waiting = new Map<number, { resolve: (v: unknown) => void; reject: (e: Error) => void }>();
  let next = 0;
  let failed: Error | null = null;
  // The page says "busy" only for work that takes a while.
  let busyTimer: ReturnType<typeof setTimeout> | null = null;
  const settle = () => {
    if (waiting.size > 0) {
      if (!busyTimer) busyTimer = setTimeout(() => onBusy(true), 150);
    } else {
      if (busyTimer) clearTimeout(busyTimer);
      busyTimer = null;
      onBusy(false);
    }
  };
  worker.onmessage = (event: MessageEvent<{ id: number; ok: boolean; value?: unknown; error?: string }>) => {
    const { id, ok, value, error } = event.data;
    const w = waiting.get(id);
    if (!w) return;
    waiting.delete(id);
    if (ok) w.resolve(value);
    else w.reject(new Error(error));
    settle();
  };
  worker.onerror = (event) => {
    failed = new Error(event.message || 'the engine stopped');
    for (const w of waiting.values()) w.reject(failed);
    waiting.clear();
    settle();
  };
  const call = (method: string, args: unknown[]): Promise<unknown> => {
    if (failed) return Promise.reject(failed);
    const id = ++next;
    return new Promise((resolve, reject) => {
      waiting.set(id, { resolve, reject });
      // Bytes handed to the engine are not needed here any more.
      const transfer = args.filter((a): a is Uint8Array => a instanceof Uint8Array).map((a) => a.buffer);
      worker.postMessage({ id, method, args }, transfer.filter((b, i) => transfer.indexOf(b) === i) as ArrayBuffer[]);
      settle();
    });
  };
  return new Proxy({} as EngineClient, {
    get(_, name) {
      if (name === 'pending') return waiting.size;
      if (name === 'then') return undefined;
      return (...args: unknown[]) => call(String(name), args);
    },
  });
}
