// The platform's types, for the engine's TypeScript (platform.mjs).
export interface Platform {
  zip: object;
  png: { encode: unknown };
  jpeg: { encode: unknown };
}
export function createPlatform(modules: { png: WebAssembly.Module; jpeg: WebAssembly.Module },
                               options?: { collect?: (() => void) | null }): Platform;
export function addJpegEncoder(platform: Platform, factory: (options: object) => Promise<unknown>,
                               wasmBinary: Uint8Array): Promise<void>;
export function addPngEncoder(platform: Platform, encodePng: (rgba: Uint8Array, width: number, height: number) => Uint8Array): void;
