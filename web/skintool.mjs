// build-web/skintool: skintool's WebAssembly build run by node, with the
// codecs and the zip library a page uses. The commands, options, messages,
// exit codes and files are those of the desktop build's skintool.
// Bundled by scripts/build-web into one CommonJS file beside
// skintool-core.cjs, skintool-core.wasm and codecs/.
import { runProgram } from './node-program.mjs';

runProgram(__dirname, 'skintool');
