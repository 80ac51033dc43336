#!/usr/bin/env bash
# Cross-builds the Qt-free core, the Windows platform layer and the core tests
# with mingw-w64 (cmake/mingw-w64.cmake) and runs every test program under
# Wine in a fresh, headless Wine prefix of its own. Prints per program and in
# total how many tests passed, were skipped (with the reasons) and failed.
#   TARNWICK_WIN_BUILD_DIR  build folder (default build-win)
# Extra arguments go to CMake. A release build without debug information:
# statically linked test programs with it take most of the stage's time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNWICK_WIN_BUILD_DIR:-$root/build-win}
"$root/scripts/install-deps.sh" windows

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
generator=()
command -v ninja >/dev/null && [[ ! -f "$build/CMakeCache.txt" ]] && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DTARNWICK_CORE_ONLY=ON \
  -DTARNWICK_BENCH=OFF -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
# The layer rules hold for the cross build too (the include links are made
# on this host).
ctest --test-dir "$build" -R '^LayerRule' --output-on-failure | grep 'tests passed'

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
prefix=$(mktemp -d /tmp/tarnwick-wine-XXXXXX)
logs=$(mktemp -d /tmp/tarnwick-wine-logs-XXXXXX)
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
xvfb_pid= web_pid=
cleanup() {
  wineserver -k 2>/dev/null || true
  [[ -z $xvfb_pid ]] || kill "$xvfb_pid" 2>/dev/null || true
  [[ -z $web_pid ]] || kill "$web_pid" 2>/dev/null || true
  rm -rf "$prefix" "$logs"
}
trap cleanup EXIT
# Windows of their own (the desktop tests make a dialog-like window) need a
# display under Wine: an X server of this run, never the user's. Without
# Xvfb those tests skip.
if command -v Xvfb >/dev/null; then
  fifo=$logs/xvfb-display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  number=
  read -r -t 20 number <"$fifo" || true
  [[ -z $number ]] || export DISPLAY=:$number
fi
# The web download tests reach a web server on the host's loopback, started
# here because a test program under Wine cannot start it itself.
if command -v python3 >/dev/null; then
  coproc web { exec python3 "$root/tests/support/web_server.py" 2>/dev/null; }
  web_pid=$web_PID
  read -r -t 20 port <&"${web[0]}" && export TARNWICK_TEST_WEB_PORT=$port
fi
# The prefix's first start makes its registry and folders (no display needed).
"$wine" wineboot --init >/dev/null 2>&1 || true

export TARNWICK_SOURCE_DIR=$root TARNWICK_BIN_DIR=$build/bin
export TARNWICK_HOME=$build/test-home TARNWICK_STATE_DIR=$build/test-state
mkdir -p "$TARNWICK_HOME" "$TARNWICK_STATE_DIR"
total_passed=0 total_skipped=0 total_failed=0 failed_programs=()
for program in "$build"/bin/test_*.exe; do
  name=$(basename "$program" .exe)
  log=$logs/$name.log
  status=0
  timeout 300 "$wine" "$program" --gtest_color=no >"$log" 2>&1 || status=$?
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -1)
  skipped=$(grep -c '^\[  SKIPPED \] [A-Za-z].*(' "$log" || true)
  failed=$(grep -c '^\[  FAILED  \] [A-Za-z].*(' "$log" || true)
  printf '%-14s passed %3s  skipped %2s  failed %2s\n' "$name" "${passed:-0}" "$skipped" "$failed"
  # A skip prints its reason on the line before its "[  SKIPPED ]" line.
  awk '/^\[  SKIPPED \] [A-Za-z].*\(/ { print "    skipped " $4 ": " reason } NF { reason = $0 }' "$log"
  if [[ $status -ne 0 || -z "$passed" && $failed -eq 0 ]]; then
    failed_programs+=("$name")
    cat "$log"
  fi
  total_passed=$((total_passed + ${passed:-0}))
  total_skipped=$((total_skipped + skipped))
  total_failed=$((total_failed + failed))
done
echo "Under Wine ($("$wine" --version)): $total_passed passed, $total_skipped skipped, $total_failed failed"
[[ ${#failed_programs[@]} -eq 0 ]] || { echo "Failing programs: ${failed_programs[*]}"; exit 1; }
