// The JPEG encoder's module factory, loaded by a page only for a JPEG
// screenshot (build-web/jpeg-encoder.mjs).
import factory from '@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs';

export default factory;
