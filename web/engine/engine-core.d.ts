// The engine's WebAssembly module as emscripten builds it (engine-core.mjs,
// from web/engine/engine_api.cpp): a factory taking the module's options.
declare module 'engine-core' {
  const createEngineCore: (options: object) => Promise<unknown>;
  export default createEngineCore;
}
