#!/usr/bin/env bash
# Sets up, builds and runs every test. Window tests get their own X server
# (Xvfb) and D-Bus session, started and stopped here.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNWICK_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$@"
source "$root/scripts/session.sh"
start_test_session
trap stop_test_session EXIT
cd "$build"
ctest --output-on-failure -j "$(nproc)" ${TARNWICK_CTEST_ARGS:-}
