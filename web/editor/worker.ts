// The editor page's engine, off the page's thread: opening, saving, drawing
// and checking run here, so that no skin, however large or hostile, freezes
// the page. The page calls the engine's methods by name (client.ts); a
// picture comes back in a buffer of its own, handed over without a copy.
import { loadEngine, type SkinEngine } from '../engine/index';

type Request = { id: number; method: string; args: unknown[] };

// The engine's files lie beside the page's scripts.
// The codecs of the user's pictures come when first needed: the built-in
// skin needs none, and the first preview does not wait for them.
const starting: Promise<SkinEngine> = loadEngine(new URL('./', import.meta.url), { lateCodecs: true }).then((engine) => {
  // An open's and a save's progress over the 53 pictures, as it goes.
  engine.onProgress((value) => (self as unknown as Worker).postMessage({ progress: value }));
  return engine;
});

// The methods whose pictures are views of the engine's memory: copied out
// into a buffer of their own, which the answer hands over.
const kPictures = new Set(['render', 'overview', 'picture', 'mask']);

function own<T extends { data: ArrayBufferView } | null>(picture: T): { value: T; transfer: Transferable[] } {
  if (!picture) return { value: picture, transfer: [] };
  const view = picture.data as Uint8Array;
  const copy = new Uint8Array(view.byteLength);
  copy.set(new Uint8Array(view.buffer, view.byteOffset, view.byteLength));
  const data = view instanceof Uint8ClampedArray ? new Uint8ClampedArray(copy.buffer) : copy;
  return { value: { ...picture, data }, transfer: [copy.buffer] };
}

async function answer(engine: SkinEngine, request: Request): Promise<{ value: unknown; transfer: Transferable[] }> {
  const method = (engine as unknown as Record<string, unknown>)[request.method];
  if (typeof method !== 'function' || request.method.startsWith('_') || request.method === 'constructor') {
    throw new Error(`the engine has no method ${request.method}`);
  }
  const value = await (method as (...a: unknown[]) => unknown).apply(engine, request.args);
  if (kPictures.has(request.method)) return own(value as { data: ArrayBufferView } | null);
  if (value instanceof Uint8Array) return { value, transfer: [value.buffer] };
  if (value && typeof value === 'object' && 'bytes' in value && (value as { bytes: unknown }).bytes instanceof Uint8Array) {
    return { value, transfer: [((value as { bytes: Uint8Array }).bytes).buffer] };
  }
  return { value, transfer: [] };
}

// One call at a time, in the order they came: the engine holds one skin.
let queue: Promise<void> = Promise.resolve();

// What only prepares (fetching the codecs, the encoders) does not hold up
// the calls after it: it runs beside them.
const kBeside = new Set(['prepareCodecs', 'prepareScreenshots']);

self.onmessage = (event: MessageEvent<Request>) => {
  const request = event.data;
  if (kBeside.has(request.method)) {
    void starting.then((engine) => answer(engine, request)).then(
      ({ value, transfer }) => (self as unknown as Worker).postMessage({ id: request.id, ok: true, value }, transfer),
      (e) => (self as unknown as Worker).postMessage({ id: request.id, ok: false, error: e instanceof Error ? e.message : String(e) }));
    return;
  }
  queue = queue.then(async () => {
    try {
      const engine = await starting;
      const { value, transfer } = await answer(engine, request);
      (self as unknown as Worker).postMessage({ id: request.id, ok: true, value, memory: engine.memoryBytes() }, transfer);
    } catch (e) {
      (self as unknown as Worker).postMessage({ id: request.id, ok: false, error: e instanceof Error ? e.message : String(e) });
    }
  });
};
