#!/usr/bin/env bash
# Rebuilds the hostile skins (make_hostile_files.py) and the zip bombs
# (web/tests/hostile-zips.mjs) and runs skintool on each, the desktop build's
# and, when it is built, the web build's under node, printing the exit
# status, the time and the peak memory of every command beside the limit it
# must stay under. Needs GNU time (/usr/bin/time), and web/node_modules
# (scripts/build-web installs them) for the bombs.
#   tests/hostile/measure.sh [BUILD [WEB_BUILD]]   (default build, build-web)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
webBuild="${2:-build-web}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 tests/hostile/make_hostile_files.py "$build/cli/skintool" "$work" >/dev/null
# settings_1gb.zip, pictures_128mb.zip, claims_4gb.zip, members_131000.zip
# and members_200000.zip, from the default skin.
node web/tests/hostile-zips.mjs "$work/default" "$work"

measure() {  # limit-seconds limit-MB command...
  local seconds="$1" mb="$2"
  shift 2
  local status=0
  /usr/bin/time -f "%e %M" -o "$work/time" timeout 120 "$@" >"$work/out" 2>"$work/err" || status=$?
  read -r elapsed kb < <(tail -n 1 "$work/time")
  local used=$((kb / 1024))
  local verdict=ok
  if awk "BEGIN { exit !($elapsed > $seconds) }" || [ "$used" -gt "$mb" ]; then verdict=OVER; fi
  printf '%-4s exit %3d  %6.2f s (< %s)  %5d MB (< %s)  %s\n' "$verdict" "$status" "$elapsed" "$seconds" "$used" "$mb" \
    "${*#"$skintool "}"
  head -c 300 "$work/err" | head -n 2 | sed 's/^/       /'
}

for skintool in "$build/cli/skintool" "$webBuild/skintool"; do
  [ -x "$skintool" ] || continue
  echo "== $skintool"
  measure 5 600 "$skintool" check --skin "$work/pictures.zip"
  measure 5 600 "$skintool" convert --skin "$work/pictures.zip" --out "$work/converted"
  measure 5 600 "$skintool" convert --skin "$work/pictures.zip" --out "$work/converted.zip"
  measure 5 600 "$skintool" render --skin "$work/pictures.zip" --out "$work/render.png"
  measure 2 200 "$skintool" check --skin "$work/settings_10mb"
  measure 2 200 "$skintool" check --skin "$work/settings_64mb.zip"
  measure 2 200 "$skintool" convert --skin "$work/settings_64mb.zip" --out "$work/converted2"
  measure 1 200 "$skintool" check --skin "$work/fifo_settings"
  measure 1 200 "$skintool" check --skin "$work/fifo_picture"
  measure 1 200 "$skintool" convert --skin "$work/fifo_picture" --out "$work/converted3"
  measure 1 200 "$skintool" check --skin "$work/device_picture"
  # Zip bombs: each refused within a second.
  measure 1 600 "$skintool" check --skin "$work/settings_1gb.zip"
  measure 1 600 "$skintool" check --skin "$work/pictures_128mb.zip"
  measure 1 600 "$skintool" convert --skin "$work/pictures_128mb.zip" --out "$work/converted4.zip"
  measure 1 600 "$skintool" check --skin "$work/claims_4gb.zip"
  measure 3 600 "$skintool" check --skin "$work/members_131000.zip"
  measure 3 600 "$skintool" check --skin "$work/members_200000.zip"
  rm -rf "$work"/converted*
done

# A picture at the size limit imported, made here (too large to commit): a
# 16384 x 4000 RGB PNG (Python's zlib) and a 4000 x 3000 JPEG (libjpeg-turbo
# of the web build's packages, when web/node_modules is there), with this
# build's skintool and with the web build's (WEB, default build-web, when it
# is built), which decodes in WebAssembly beside the engine's own memory.
skintool="$build/cli/skintool"
web="$webBuild"
python3 - "$work/large.png" <<'PYEOF'
import struct, sys, zlib
w, h = 16384, 4000
def chunk(kind, data):
    return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
ramp = bytes(x * 255 // (w - 1) for x in range(w))
z, parts = zlib.compressobj(6), []
for y in range(h):
    row = bytearray(3 * w)
    row[0::3] = ramp[y:] + ramp[:y]
    row[1::3] = bytes([y * 255 // (h - 1)]) * w
    row[2::3] = ramp[::-1]
    parts.append(z.compress(b'\0' + row))
parts.append(z.flush())
with open(sys.argv[1], 'wb') as f:
    f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) +
            chunk(b'IDAT', b''.join(parts)) + chunk(b'IEND', b''))
PYEOF
pictures=("$work/large.png")
if [ -d web/node_modules/@cornerstonejs ]; then
  (cd web && node --input-type=module - "$work/large.jpg" <<'JSEOF'
import { readFileSync, writeFileSync } from 'node:fs';
import factory from '@cornerstonejs/codec-libjpeg-turbo-8bit/wasmjs';
import { createJpegEncoder } from './platform/jpeg.mjs';
const encode = await createJpegEncoder(factory,
  readFileSync('node_modules/@cornerstonejs/codec-libjpeg-turbo-8bit/dist/libjpegturbowasm.wasm'));
const width = 4000, height = 3000, rgb = new Uint8Array(width * height * 3);
for (let y = 0, i = 0; y < height; ++y) {
  for (let x = 0; x < width; ++x, i += 3) rgb.set([(x * 255 / width) | 0, (y * 255 / height) | 0, (x ^ y) & 255], i);
}
writeFileSync(process.argv[2], encode(rgb, width, height, 90));
JSEOF
  )
  pictures+=("$work/large.jpg")
fi
for picture in "${pictures[@]}"; do
  measure 10 600 "$skintool" convert --import "startbar=$picture" --out "$work/imported"
  rm -rf "$work/imported"
  if [ -x "$web/skintool" ]; then
    measure 10 600 "$web/skintool" convert --import "startbar=$picture" --out "$work/imported"
    rm -rf "$work/imported"
  fi
done
