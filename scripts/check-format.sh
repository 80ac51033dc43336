#!/usr/bin/env bash
# Fails when a C++ file of the repository differs from what clang-format
# (the repository's .clang-format) makes of it; prints the places.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
command -v clang-format >/dev/null || "$root/scripts/install-deps.sh"
git ls-files -z -- '*.cpp' '*.h' | xargs -0 -r clang-format --dry-run --Werror
echo "formatting: $(git ls-files -- '*.cpp' '*.h' | wc -l) files as clang-format writes them"
