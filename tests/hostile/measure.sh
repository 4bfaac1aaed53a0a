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
