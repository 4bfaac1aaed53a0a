// build-web/picture-dump: tests/tools/picture_dump.cpp in WebAssembly, run by
// node with the codecs a page uses. Bundled by scripts/build-web.
import { runProgram } from '../node-program.mjs';

runProgram(__dirname, 'picture-dump');
