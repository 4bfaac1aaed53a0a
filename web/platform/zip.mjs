// Archives through fflate: listing and inflating for the archive reader,
// deflating and laying out for the archive writer. The rules of what a skin
// archive may hold and how much an open may inflate are the engine's own
// (platform/archive.cpp); this is the library behind them.
//
// fflate does the reading, and the checksum is crc-32's: the file itself,
// as a bundle for the page resolves no package's main field.
import crc32 from 'crc-32/crc32.js';
import { Inflate, unzipSync, zipSync } from 'fflate';

// A central directory record takes 46 bytes at least: a directory that
// claims more entries than the file has room for is damaged, and listing
// stops there instead of making up entries past the end.
const kRecordBytes = 46;

// fflate finds the central directory and reads each record's name, sizes
// and method, and (unzipSync) a member's compressed bytes; what it does not
// hand out is read here from the record it located: the checksum and where
// the member's local header is. The fields, from the record's start (a
// record's name follows its 46 fixed bytes, which is how its start is seen).
const kRecordCrc = 16;
const kRecordLocalHeader = 42;
const kRecordName = 46;
// A local header: 30 fixed bytes, then its name and its extra field, whose
// lengths it keeps at 26 and 28; the compressed bytes follow.
const kLocalBytes = 30;
const kLocalNameLength = 26;
const kLocalExtraLength = 28;
// A local header offset that the record keeps in its zip64 field instead.
const kZip64Offset = 0xffffffff;

// Deflate makes at most 258 bytes of 2 bits (1032 of a byte): a push of 1 KB
// of compressed bytes yields about a megabyte at most, whatever the stream.
// The first push is smaller, as the head of a picture is 64 bytes: 64
// compressed bytes yield 64 KB at most; each push after it takes twice as
// many, up to the kilobyte.
const kFirstPushBytes = 64;
const kPushBytes = 1024;
// fflate keeps what is pushed past the end of a stream and copies it again
// on every push. A stream that yields nothing for this long is over (a
// stored block, the longest wait for output, holds 64 KB; no archiver writes
// empty blocks by the thousand): what follows is not read.
const kMostSilentBytes = 256 * 1024;

const kStored = 0;
const kDeflated = 8;

class Stop extends Error {}

const utf8 = new TextEncoder();
const strictUtf8 = new TextDecoder('utf-8', { fatal: true });

// Little-endian fields as fflate reads them (a byte past the end reads 0).
const u16 = (d, at) => (d[at] | (d[at + 1] << 8)) & 0xffff;
const u32 = (d, at) => (u16(d, at) | (u16(d, at + 2) << 16)) >>> 0;

// The archive's bytes under a view whose subarray tells `seen` where fflate
// takes each piece of them: in its listing, the name of each central
// directory record; when it extracts a member, the member's compressed
// bytes. fflate's unzipSync takes nothing else with it, so each record is
// seen once, just before the listing's filter hears of its entry.
function watched(bytes, seen) {
  const view = new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.length);
  view.subarray = (start, end) => {
    seen(start);
    return bytes.subarray(start, end);
  };
  return view;
}

function latin1Bytes(text) {
  const out = new Uint8Array(text.length);
  for (let i = 0; i < text.length; ++i) out[i] = text.charCodeAt(i);
  return out;
}

// The bytes of a name as the archive stores them. fflate reads a name
// marked as UTF-8 as UTF-8 and any other name byte by byte, as Latin-1; the
// mark itself it keeps to itself. A name whose characters are all bytes and
// whose bytes form UTF-8 is given back byte for byte (an unmarked name, as
// many archivers write UTF-8 names); any other is given as UTF-8 (a marked
// name). So every name a skin's pictures have, every marked name and every
// unmarked UTF-8 name comes out as stored; an unmarked name in an old code
// page comes out as the UTF-8 of its Latin-1 reading.
export function storedName(name) {
  let bytes = true;
  for (let i = 0; i < name.length && bytes; ++i) bytes = name.charCodeAt(i) < 0x100;
  if (bytes) {
    const raw = latin1Bytes(name);
    try {
      strictUtf8.decode(raw);
      return raw;
    } catch {
      // Not UTF-8: a marked name with characters of Latin-1.
    }
  }
  return utf8.encode(name);
}

// The entries of an archive in central directory order, or null when the
// bytes are no archive: { name (bytes), size (recorded, inflated) }, and
// what inflateZipEntry needs to find the member again without walking the
// directory: its compressed size, its method and where its record is.
export function listZip(bytes) {
  const entries = [];
  const most = Math.floor(bytes.length / kRecordBytes);
  let record = -1;
  const view = watched(bytes, (name) => {
    record = name - kRecordName;
  });
  try {
    unzipSync(view, {
      filter(file) {
        if (entries.length >= most) throw new Stop();
        entries.push({
          name: storedName(file.name),
          size: file.originalSize,
          packed: file.size,
          method: file.compression,
          record,
          packedAt: -1,
        });
        return false;
      },
    });
  } catch (e) {
    if (!(e instanceof Stop)) return null;
  }
  return entries;
}

// Where fflate takes the compressed bytes of entry `index`: it walks the
// directory up to the entry, reads its local header and takes them, and is
// stopped there, before it allocates anything for the member. Only a record
// that keeps its local header's offset in a zip64 field comes here (an
// archive of more than 4 GB, which is not opened, or one forced to zip64):
// the walk costs the entries before it, once per entry.
function locateByWalk(bytes, index) {
  let seen = -1;
  let armed = false;
  let start = -1;
  const view = watched(bytes, (at) => {
    if (!armed) return;
    start = at;
    throw new Stop();
  });
  try {
    unzipSync(view, { filter: () => (armed = ++seen === index) });
  } catch (e) {
    if (!(e instanceof Stop)) return -1;
  }
  return start;
}

// Where entry `index`'s compressed bytes start: past its local header, as
// fflate's own reading finds them; kept for the next time.
function dataOf(bytes, entries, index) {
  const entry = entries[index];
  if (entry.packedAt < 0) {
    const local = u32(bytes, entry.record + kRecordLocalHeader);
    entry.packedAt = local === kZip64Offset
      ? locateByWalk(bytes, index)
      : local + kLocalBytes + u16(bytes, local + kLocalNameLength) + u16(bytes, local + kLocalExtraLength);
  }
  return entry.packedAt;
}

// Inflates `packed` (a deflate stream) a kilobyte at most at a time, handing
// `keep` its first `count` bytes as they come; false when the stream is
// damaged before that. A push yields about a megabyte at most, and only
// what is kept stays: what a piece holds past `count` is cut off (copied
// out, so that the rest of the piece is not held).
function inflateInto(packed, count, keep) {
  let have = 0;
  const inflater = new Inflate((piece) => {
    const take = Math.min(piece.length, count - have);
    if (take <= 0) return;
    keep(take === piece.length ? piece : piece.slice(0, take));
    have += take;
  });
  try {
    let push = kFirstPushBytes;
    for (let at = 0, silent = 0; have < count && at < packed.length && silent < kMostSilentBytes;) {
      const next = Math.min(at + push, packed.length);
      const before = have;
      inflater.push(packed.subarray(at, next), next === packed.length);
      silent = have > before ? 0 : silent + next - at;
      at = next;
      push = Math.min(2 * push, kPushBytes);
    }
  } catch {
    return false;
  }
  return true;
}

// Entry `index` of `entries` (listZip's) inflated into `out`, an array of
// pieces that together are: with `whole`, exactly its recorded size `count`,
// matching its checksum, or null (damaged: it does not inflate, or to fewer
// bytes, or to other bytes); without, its first `count` bytes or fewer when
// it is shorter, unchecked. As in the desktop build, a member yields its
// first `count` bytes and no more, whatever its deflate stream holds, and
// only what it yields is allocated: a member that claims gigabytes costs
// what is asked of it. Only stored and deflated members are read.
export function inflateZipEntry(bytes, entries, index, count, whole, out = []) {
  const entry = entries[index];
  if (!entry || (entry.method !== kStored && entry.method !== kDeflated)) return null;
  const start = dataOf(bytes, entries, index);
  if (start < 0) return null;
  const packed = bytes.subarray(start, Math.max(start, Math.min(start + entry.packed, bytes.length)));
  let have = 0;
  let crc = 0;
  const keep = (piece) => {
    out.push(piece);
    have += piece.length;
    if (whole) crc = crc32.buf(piece, crc);
  };
  if (entry.method === kStored) {
    if (Math.min(count, packed.length)) keep(packed.slice(0, count));
  } else if (!inflateInto(packed, count, keep)) {
    return null;
  }
  if (whole && (have !== count || crc >>> 0 !== u32(bytes, entry.record + kRecordCrc))) return null;
  return out;
}

// The latest date a .zip entry takes in fflate: 2099-12-31 23:59:58.
const kLastYear = 2099;

// fflate lays out the members of an object, in the order of its keys; a key
// that reads as an array index would come first, and a name can be a key
// once.
const kIndexLike = /^(0|[1-9][0-9]*)$/;

// A .zip of `members` ({ name (a string), bytes, date: [year, month, day,
// hour, minute, second] }) in the order given, each deflated at the default
// level, with the sizes in the local headers: no zip64 fields, no data
// descriptors. A name outside ASCII is marked as UTF-8 (fflate marks exactly
// those). The dates are the local times the engine worked out, stored as
// they are. Null when it cannot be made so (a name twice, or one that would
// not keep its place).
export function encodeZip(members) {
  const files = {};
  for (const m of members) {
    if (Object.hasOwn(files, m.name) || kIndexLike.test(m.name) || m.name === '__proto__') return null;
    let [year, month, day, hour, minute, second] = m.date;
    if (year > kLastYear) [year, month, day, hour, minute, second] = [kLastYear, 12, 31, 23, 59, 58];
    files[m.name] = [m.bytes, { level: 6, mtime: new Date(year, month - 1, day, hour, minute, second) }];
  }
  try {
    return zipSync(files);
  } catch {
    return null;
  }
}
