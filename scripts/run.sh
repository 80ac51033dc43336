#!/usr/bin/env bash
# Sets up, builds and starts the monitor on the user's display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "Tarnwick is built (build/bin/tarnwick) but there is no display to show it on (DISPLAY is not set)."
  exit 1
fi
exec "${TARNWICK_BUILD_DIR:-$root/build}/bin/tarnwick"
