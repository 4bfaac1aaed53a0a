// Archives through fflate: listing and inflating for the archive reader,
// deflating and laying out for the archive writer. The rules of what a skin
// archive may hold and how much an open may inflate are the engine's own
// (platform/archive.cpp); this is the library behind them.
import { unzipSync, zipSync } from 'fflate';

// A central directory record takes 46 bytes at least: a directory that
// claims more entries than the file has room for is damaged, and listing
// stops there instead of making up entries past the end.
const kRecordBytes = 46;

class Stop extends Error {}

const utf8 = new TextEncoder();
const strictUtf8 = new TextDecoder('utf-8', { fatal: true });

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
// bytes are no archive: { name (bytes), size (recorded, inflated) }.
export function listZip(bytes) {
  const entries = [];
  const most = Math.floor(bytes.length / kRecordBytes);
  try {
    unzipSync(bytes, {
      filter(file) {
        if (entries.length >= most) throw new Stop();
        entries.push({ name: storedName(file.name), size: file.originalSize });
        return false;
      },
    });
  } catch (e) {
    if (!(e instanceof Stop)) return null;
  }
  return entries;
}

// Entry `index` inflated: with `whole`, exactly its recorded size `count`
// or null (damaged: it does not inflate, or to fewer bytes); without, its
// first `count` bytes or fewer when it is shorter. fflate inflates into a
// buffer of the recorded size, so a member never costs more memory than it
// records; what inflates past it is left out. Only stored and deflated
// members are read, as everywhere (fflate refuses any other method).
export function inflateZipEntry(bytes, index, count, whole) {
  let seen = -1;
  let files;
  try {
    files = unzipSync(bytes, { filter: () => ++seen === index });
  } catch {
    return null;
  }
  // The one member taken, whatever its name (even "__proto__").
  const own = Object.values(files);
  const proto = Object.getPrototypeOf(files);
  const data = own.length === 1 ? own[0] : proto instanceof Uint8Array ? proto : null;
  if (!data) return null;
  if (whole) return data.length === count ? data : null;
  return data.subarray(0, Math.min(count, data.length));
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
