// The platform's types, for the engine's TypeScript (platform.mjs).
export interface Platform {
  zip: object;
  png: { encode: unknown };
  pngBuiltin: object;
  jpeg: { encode: unknown };
}
type Codec = WebAssembly.Module | (() => WebAssembly.Module);
export function createPlatform(modules: { png: Codec; jpeg: Codec },
                               options?: { collect?: (() => void) | null }): Platform;
export function addJpegEncoder(platform: Platform, factory: (options: object) => Promise<unknown>,
                               wasmBinary: Uint8Array): Promise<void>;
export function addPngEncoder(platform: Platform, encodePng: (rgba: Uint8Array, width: number, height: number) => Uint8Array): void;
