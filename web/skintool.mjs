// build-web/skintool: skintool's WebAssembly build run by node, with the
// codecs and the zip library a page uses (web/platform/). The commands,
// options, messages, exit codes and files are those of the desktop build's
// skintool; the environment it honours (SOURCE_DATE_EPOCH; TZ, which node's
// dates follow) is handed on.
//
// Bundled by scripts/build-web into one CommonJS file beside
// skintool-core.cjs, skintool-core.wasm and codecs/.
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { nodePlatform } from './platform/node.mjs';

async function main() {
  const here = __dirname;
  const args = process.argv.slice(2);
  const require = createRequire(join(here, 'skintool'));
  const createSkintool = require('./skintool-core.cjs');
  // Only a JPEG screenshot needs the encoder; the others start without it.
  const platform = await nodePlatform(pathToFileURL(join(here, 'codecs/')), {
    jpegEncoder: args.some((a) => a.toLowerCase().endsWith('.jpg')),
  });
  await createSkintool({
    arguments: args,
    wasmBinary: readFileSync(join(here, 'skintool-core.wasm')),
    skinPlatform: platform,
    preRun: [(module) => {
      for (const name of ['SOURCE_DATE_EPOCH', 'TZ']) {
        if (process.env[name] !== undefined) module.ENV[name] = process.env[name];
      }
    }],
  });
}

main().catch((e) => {
  process.stderr.write(`skintool: ${e && e.message ? e.message : e}\n`);
  process.exit(70);
});
