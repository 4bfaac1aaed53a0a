// The engine's module for a page (build-web/skin-engine.mjs): SkinEngine and
// its types, and loadEngine, which fetches the WebAssembly files from beside
// the module.
import { SkinEngine } from './engine';

export * from './engine';

async function compile(url: URL): Promise<WebAssembly.Module> {
  const response = await fetch(url);
  if (!response.ok) throw new Error(`${url.pathname}: ${response.status} ${response.statusText}`);
  // Compiled while it downloads where the server names it as WebAssembly;
  // asynchronously in any case (a browser refuses to compile a module of
  // this size synchronously on a page's thread).
  if (typeof WebAssembly.compileStreaming === 'function' && response.headers.get('Content-Type')?.startsWith('application/wasm')) {
    return WebAssembly.compileStreaming(response);
  }
  return WebAssembly.compile(await response.arrayBuffer());
}

// A codec of the user's files, fetched when first needed or before
// (prefetch). Needed before it came, it is fetched and compiled at once,
// synchronously: only in a worker, where the engine of the editor's page
// runs and where a browser allows both.
function lateCodec(url: URL): { get: () => WebAssembly.Module; prefetch: () => Promise<void> } {
  let module: WebAssembly.Module | null = null;
  let loading: Promise<void> | null = null;
  return {
    get() {
      if (!module) {
        const request = new XMLHttpRequest();
        request.open('GET', url.href, false);
        request.responseType = 'arraybuffer';
        request.send();
        if (request.status !== 200) throw new Error(`${url.pathname}: ${request.status} ${request.statusText}`);
        module = new WebAssembly.Module(request.response as ArrayBuffer);
      }
      return module;
    },
    prefetch() {
      loading ??= compile(url).then((m) => {
        module ??= m;
      });
      return loading;
    },
  };
}

/**
 * The engine, its files fetched from `base` (by default the folder of this module). With
 * `lateCodecs` (in a worker only) the codecs of the user's pictures come when first needed, or
 * with prepareCodecs: the engine starts, and draws the built-in skin, without them.
 */
export async function loadEngine(base: URL = new URL('./', import.meta.url), options: { lateCodecs?: boolean } = {}): Promise<SkinEngine> {
  let engine: WebAssembly.Module;
  let png: WebAssembly.Module | (() => WebAssembly.Module);
  let jpeg: WebAssembly.Module | (() => WebAssembly.Module);
  let prepareCodecs: (() => Promise<void>) | undefined;
  if (options.lateCodecs) {
    const late = [lateCodec(new URL('codecs/png.wasm', base)), lateCodec(new URL('codecs/jpeg-turbo.wasm', base))];
    engine = await compile(new URL('engine-core.wasm', base));
    [png, jpeg] = late.map((c) => c.get);
    prepareCodecs = async () => {
      await Promise.all(late.map((c) => c.prefetch()));
    };
  } else {
    [engine, png, jpeg] = await Promise.all([
      compile(new URL('engine-core.wasm', base)),
      compile(new URL('codecs/png.wasm', base)),
      compile(new URL('codecs/jpeg-turbo.wasm', base)),
    ]);
  }
  return SkinEngine.create({
    engine,
    png,
    jpeg,
    prepareCodecs,
    async pngEncoder() {
      const module = await import(/* @vite-ignore */ new URL('png-encoder.mjs', base).href);
      return module.encodePng;
    },
    async jpegEncoder() {
      const module = await import(/* @vite-ignore */ new URL('jpeg-encoder.mjs', base).href);
      const response = await fetch(new URL('codecs/jpeg-encoder.wasm', base));
      return { factory: module.default, wasm: new Uint8Array(await response.arrayBuffer()) };
    },
  });
}
