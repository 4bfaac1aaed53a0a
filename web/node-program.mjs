// Runs one of the engine's WebAssembly programs under node (emscripten's
// MODULARIZE factory `NAME-core.cjs` beside `NAME-core.wasm`), with the
// codecs and the zip library a page uses (web/platform/) and the real file
// system. The environment it honours (SOURCE_DATE_EPOCH; TZ, which node's
// dates follow) is handed on; the exit code is the program's.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { nodePlatform } from './platform/node.mjs';

// `dir`: the folder holding the program and codecs/ (build-web/).
export function runProgram(dir, name) {
  const args = process.argv.slice(2);
  const start = async () => {
    const require = createRequire(join(dir, name));
    const factory = require(`./${name}-core.cjs`);
    // Only a JPEG file written needs the encoder; the others start without it.
    const platform = await nodePlatform(pathToFileURL(join(dir, 'codecs/')), {
      jpegEncoder: args.some((a) => a.toLowerCase().endsWith('.jpg')),
    });
    await factory({
      arguments: args,
      wasmBinary: readFileSync(join(dir, `${name}-core.wasm`)),
      skinPlatform: platform,
      preRun: [(module) => {
        for (const key of ['SOURCE_DATE_EPOCH', 'TZ']) {
          if (process.env[key] !== undefined && module.ENV) module.ENV[key] = process.env[key];
        }
      }],
    });
  };
  start().catch((e) => {
    process.stderr.write(`${name}: ${e && e.message ? e.message : e}\n`);
    process.exit(70);
  });
}
