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

/** The engine, its files fetched from `base` (by default the folder of this module). */
export async function loadEngine(base: URL = new URL('./', import.meta.url)): Promise<SkinEngine> {
  const [engine, png, jpeg] = await Promise.all([
    compile(new URL('engine-core.wasm', base)),
    compile(new URL('codecs/png.wasm', base)),
    compile(new URL('codecs/jpeg-turbo.wasm', base)),
  ]);
  return SkinEngine.create({
    engine,
    png,
    jpeg,
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
