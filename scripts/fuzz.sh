#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/ (or $TARNWICK_FUZZ_DIR): the core
# and the fuzz targets only, no tests or benchmarks. Then runs every target
# (or the ones named) for a bounded time, one job each, from a scratch copy
# of its seed corpus fuzz/corpus/<name>/. Fails when any run found a crash,
# a leak, undefined behaviour, a hang (10 s per input) or runaway memory; the
# input that did it is kept in build-fuzz/artifacts/.
#
# Usage: scripts/fuzz.sh [seconds per target (default 30)] [fuzz_<name> ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${TARNWICK_FUZZ_DIR:-$root/build-fuzz}
seconds=${1:-30}
shift $(($# > 0 ? 1 : 0))
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
  -DTARNWICK_FUZZ=ON -DTARNWICK_CORE_ONLY=ON -DTARNWICK_BENCH=OFF "${launcher[@]}" >/dev/null
targets=("$@")
if ((${#targets[@]} == 0)); then
  mapfile -t targets < <(cmake --build "$dir" --target help | sed -n 's/^\(fuzz_[a-z_]*\):.*/\1/p')
fi
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

artifacts=$dir/artifacts
mkdir -p "$artifacts"
scratch=$(mktemp -d /tmp/tarnwick-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
failed=()
for target in "${targets[@]}"; do
  seeds=$root/fuzz/corpus/${target#fuzz_}
  mkdir -p "$scratch/$target"
  echo "== $target: $seconds s from $(find "$seeds" -type f | wc -l) seeds"
  if ! "$dir/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/$target-" "$scratch/$target" "$seeds" >"$scratch/$target.log" 2>&1; then
    tail -n 40 "$scratch/$target.log"
    failed+=("$target")
  fi
  grep -E '^Done [0-9]+ runs' "$scratch/$target.log" || true
done
if ((${#failed[@]} > 0)); then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $artifacts)" >&2
  exit 1
fi
