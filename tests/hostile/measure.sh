#!/usr/bin/env bash
# Rebuilds the hostile skins (make_hostile_files.py) and runs skintool on each,
# printing the exit status, the time and the peak memory of every command
# beside the limit it must stay under. Needs GNU time (/usr/bin/time).
#   tests/hostile/measure.sh [BUILD]      (BUILD: the build folder, default build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
skintool="$build/cli/skintool"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
python3 tests/hostile/make_hostile_files.py "$skintool" "$work" >/dev/null

measure() {  # limit-seconds limit-MB command...
  local seconds="$1" mb="$2"
  shift 2
  local status=0
  /usr/bin/time -f "%e %M" -o "$work/time" timeout 60 "$@" >"$work/out" 2>"$work/err" || status=$?
  read -r elapsed kb < <(tail -n 1 "$work/time")
  local used=$((kb / 1024))
  local verdict=ok
  if awk "BEGIN { exit !($elapsed > $seconds) }" || [ "$used" -gt "$mb" ]; then verdict=OVER; fi
  printf '%-4s exit %d  %6.2f s (< %s)  %5d MB (< %s)  %s\n' "$verdict" "$status" "$elapsed" "$seconds" "$used" "$mb" \
    "${*#"$skintool "}"
  head -c 300 "$work/err" | head -n 2 | sed 's/^/       /'
}

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
