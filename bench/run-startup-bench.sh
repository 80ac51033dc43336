#!/usr/bin/env bash
# Start-up of the real program to its first drawn window with ten years of
# trend history of 20 resources: 7,000,000 index entries (an 84 MB index and
# a 2.0 GB data file, made once by bench_trend_open, which also prints its
# own in-process open-and-draw times). The program starts under a private
# Xvfb with a configuration folder holding the trend files and a parameters
# file of the 20 resources, sampling stopped and the trend chart shown, so
# the first picture holds today's trend chart read through the index.
# bench_window takes the time from just before the start to the window seen
# on the screen (mapped) and drawn (three colours or more in its middle row),
# and on to the window's first change after that: with sampling stopped that
# is the trend chart drawn from the files loaded after the first picture
# ("none" when nothing changed within 3 s, as with no trend files). The same
# is measured with no trend files for comparison. Files in the page cache, as
# on a running desktop.
#
# Usage: bench/run-startup-bench.sh [folder for the trend files]
#   (default: a new folder under /tmp, removed afterwards; files of the
#   right size in a given folder are reused). RUNS=5.
# Goal: first drawn window under 500 ms.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
runs=${RUNS:-5}
if [[ $# -gt 0 ]]; then
  files=$1
  own_files=""
  mkdir -p "$files"
else
  files=$(mktemp -d /tmp/tarnwick-startup-XXXXXX)
  own_files=$files
fi
empty=$(mktemp -d /tmp/tarnwick-startup-empty-XXXXXX)
pid=""
# shellcheck source=../scripts/session.sh
source "$root/scripts/session.sh"
cleanup() {
  if [[ -n $pid ]]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  stop_test_session
  rm -rf "$empty" ${own_files:+"$own_files"}
}
trap cleanup EXIT

# The resources of bench/TrendFiles.h, by the same names and kinds.
write_parameters() {  # folder
  local r name
  {
    printf '[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=20\r\n'
    for ((r = 0; r < 20; r++)); do
      case $((r % 4)) in
        0) name="\\\\fileserver$r\\share" ;;
        1) name="host$r.example.org" ;;
        2) name="192.168.$r.1" ;;
        3) name="d:\\cdrom\\image$r.iso" ;;
      esac
      printf 'Object%d_1=%s\r\nObject%d_5=%d\r\n' $((r + 1)) "$name" $((r + 1)) $((r % 3 + 1))
      printf 'Object%d_6=$0000FFFF\r\nObject%d_7=$000000FF\r\nObject%d_8=1000\r\n' \
        $((r + 1)) $((r + 1)) $((r + 1))
    done
    printf '[Buttons]\r\nPing objects=0\r\nTrend=1\r\n[Trend]\r\nEnabled=1\r\n'
  } >"$1/RAREDARI.INI"
}

first_draw() {  # folder label
  local start_ns line
  start_ns=$(date +%s%N)
  "$bin/tarnwick" --config-dir "$1" >/dev/null 2>&1 &
  pid=$!
  line=$("$bin/bench_window" first-change "$pid" "$start_ns" 60 | tr '\n' ' ')
  echo "  $2: $line"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}

echo "== machine: $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== trend files in $files (bench_trend_open makes them when missing)"
"$bin/bench_trend_open" "$files" | sed 's/^/  /'
write_parameters "$files"
write_parameters "$empty"
start_test_session
echo "== start-up to the first drawn window, $runs runs each"
for ((n = 1; n <= runs; n++)); do
  first_draw "$empty" "no trend files      "
  first_draw "$files" "7,000,000 entries   "
done
echo "== load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
