// Prepended to the engine's glue (--pre-js): the calls the C++ platform
// (platform/web/) makes into JavaScript. They hand bytes between the
// module's memory and Module.skinPlatform (web/platform/platform.mjs), which
// holds the libraries.

// A block of the module's memory holding `bytes` after their 32-bit length,
// for platform/web/js_block.cpp to take; 0 for nothing.
function skinJsBlock(bytes) {
  if (!bytes) return 0;
  var p = _malloc(4 + bytes.length);
  if (!p) return 0;
  HEAPU32[p >> 2] = bytes.length;
  HEAPU8.set(bytes, p + 4);
  return p;
}

var skinJsArchives = new Map();
var skinJsNextArchive = 1;

function skinJsZipOpen(view, listingOut) {
  var bytes = view.slice();
  var entries = Module.skinPlatform.zip.list(bytes);
  if (!entries) return 0;
  var size = 0;
  for (var i = 0; i < entries.length; ++i) size += 12 + entries[i].name.length;
  var listing = new Uint8Array(size);
  var words = new DataView(listing.buffer);
  var at = 0;
  for (var i = 0; i < entries.length; ++i) {
    var e = entries[i];
    words.setUint32(at, e.name.length, true);
    listing.set(e.name, at + 4);
    at += 4 + e.name.length;
    words.setUint32(at, e.size % 4294967296, true);
    words.setUint32(at + 4, Math.floor(e.size / 4294967296), true);
    at += 8;
  }
  var handle = skinJsNextArchive++;
  skinJsArchives.set(handle, { bytes: bytes, entries: entries });
  // Not HEAPU32[...] = skinJsBlock(...): that takes HEAPU32 before the
  // block's allocation, which may grow the memory and replace HEAPU32 (the
  // write would go to the old one). Every write after an allocation goes
  // through the views as they are after it.
  var block = skinJsBlock(listing);
  HEAPU32[listingOut >> 2] = block;
  return handle;
}

// A member inflated, as the pieces the library yields, until
// skinJsZipTake copies them into the string the engine made for them: the
// member is held once in JavaScript and once in the module's memory.
var skinJsInflated = null;

// The length of what entry `index` inflates to, the pieces kept for
// skinJsZipTake; -1 when it is damaged.
function skinJsZipInflate(handle, index, count, whole) {
  var archive = skinJsArchives.get(handle);
  var data = archive && Module.skinPlatform.zip.inflate(archive.bytes, archive.entries, index, count, whole);
  if (!data) return -1;
  skinJsInflated = data;
  var length = 0;
  for (var i = 0; i < data.length; ++i) length += data[i].length;
  return length;
}

// Copies the pieces to `to` (nothing when it is 0) and lets them go.
function skinJsZipTake(to) {
  var pieces = skinJsInflated || [];
  skinJsInflated = null;
  if (!to) return;
  for (var i = 0, at = to; i < pieces.length; at += pieces[i++].length) HEAPU8.set(pieces[i], at);
}

function skinJsZipClose(handle) {
  skinJsArchives.delete(handle);
}

function skinJsZipEncode(view) {
  var words = new DataView(view.buffer, view.byteOffset, view.byteLength);
  var decoder = new TextDecoder('utf-8', { fatal: true });
  var members = [];
  try {
    for (var at = 0; at < view.length;) {
      var nameLength = words.getUint32(at, true);
      var name = decoder.decode(view.subarray(at + 4, at + 4 + nameLength));
      at += 4 + nameLength;
      var size = words.getUint32(at, true);
      var bytes = view.subarray(at + 4, at + 4 + size);
      at += 4 + size;
      var date = [];
      for (var k = 0; k < 6; ++k) date.push(words.getUint32(at + 4 * k, true));
      at += 28;
      members.push({ name: name, bytes: bytes, date: date });
    }
  } catch (e) {
    // A name that is not UTF-8 cannot be handed to the library as it is.
    return 0;
  }
  return skinJsBlock(Module.skinPlatform.zip.encode(members));
}

// The picture a decoder made, left in the decoder's own memory and copied
// into the module's a row at a time: { width, height, row(y, into), drop() }
// (web/platform/png.mjs, jpeg.mjs).
var skinJsPicture = null;

function skinJsPictureDecode(kind, view, sizeOut) {
  // What an earlier decode left goes before the next picture is made.
  skinJsPictureDrop();
  var picture = Module.skinPlatform[kind].decode(view);
  if (!picture) return 1;
  skinJsPicture = picture;
  HEAPU32[sizeOut >> 2] = picture.width;
  HEAPU32[(sizeOut >> 2) + 1] = picture.height;
  return 0;
}

function skinJsPictureRow(y, to, length) {
  var into = HEAPU8.subarray(to, to + length);
  if (!skinJsPicture || !skinJsPicture.row(y, into)) into.fill(0);
}

function skinJsPictureDrop() {
  if (skinJsPicture) skinJsPicture.drop();
  skinJsPicture = null;
}

function skinJsPngHeader(view, info) {
  var head = Module.skinPlatform.png.header(view);
  if (!head) return 1;
  HEAPU32[info >> 2] = head.width;
  HEAPU32[(info >> 2) + 1] = head.height;
  return 0;
}

function skinJsJpegHeader(view, info) {
  var head = Module.skinPlatform.jpeg.header(view);
  if (head === 'large') return 2;
  if (!head || typeof head !== 'object') return 1;
  var w = info >> 2;
  HEAPU32[w] = head.width;
  HEAPU32[w + 1] = head.height;
  HEAPU32[w + 2] = head.cmyk ? 1 : 0;
  HEAPU32[w + 3] = head.adobe ? 1 : 0;
  return 0;
}

function skinJsEncode(kind, view, width, height, quality) {
  var encoder = Module.skinPlatform[kind].encode;
  if (!encoder) return 0;
  var bytes = kind === 'jpeg' ? encoder(view.slice(), width, height, quality) : encoder(view.slice(), width, height);
  return skinJsBlock(bytes);
}
