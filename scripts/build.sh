#!/usr/bin/env bash
# Configures and builds into build/ (or $TARNWICK_BUILD_DIR), passing extra arguments to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNWICK_BUILD_DIR:-$root/build}
generator=()
command -v ninja >/dev/null && [[ ! -f "$build/CMakeCache.txt" ]] && generator=(-G Ninja)
cmake -S "$root" -B "$build" "${generator[@]}" "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
