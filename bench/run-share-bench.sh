#!/usr/bin/env bash
# The drive folder and read-only file tests on a real network share against
# fio with direct I/O on the same mount and block size (64,512 bytes), in the
# same run, and against the link rate: an SFTP server in a network namespace
# behind a token-bucket link (16 Mbit/s by default), mounted with sshfs with
# the kernel's cache kept out (bench_share, the tests' fixture).
# The drive test syncs each write before it counts as done; fio does the same
# with --fdatasync=1. The drive read reads one block from the start of the
# test file; fio reads the same block over and over. The file test reads a
# whole file; fio reads it sequentially.
# Usage: bench/run-share-bench.sh [rate]   (needs root, sshfs, openssh-server, fio)
#   ROUNDS (default 3) sets how often ours and fio take turns.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
rate=${1:-16mbit}
rounds=${ROUNDS:-3}

coproc share { "$bin/bench_share" "$rate"; }
read -r mount <&"${share[0]}"
read -r served <&"${share[0]}"
read -r link_bytes <&"${share[0]}"
trap 'exec {share[1]}>&-; wait' EXIT
link=$(awk -v b="$link_bytes" 'BEGIN {printf "%.0f", b / 1024}')

median() { sort -n | awk '{v[NR]=$1} END {if (NR) print v[int(NR/2)+1]; else print 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "n/a"}'; }
fio_run() {
  fio --name=share --directory="$mount" --bs=64512 --direct=1 --ioengine=psync \
    --time_based --runtime=2 --minimal "$@"
}
head -c $((2 * 1024 * 1024)) /dev/urandom >"$served/readonly.bin"
declare -A all
for ((round = 0; round < rounds; round++)); do
  all[fio_write]+="$(fio_run --filename=fio.tst --rw=write --fdatasync=1 --size=129024 | cut -d';' -f48) "
  all[fio_read]+="$(fio_run --filename=fio.tst --rw=read --size=64512 | cut -d';' -f7) "
  all[fio_file]+="$(fio_run --filename=readonly.bin --rw=read --size=2m | cut -d';' -f7) "
  out=$("$bin/bench_drive" "$mount" 30 "$mount/readonly.bin")
  all[ours_write]+="$(sed -n 's/^drive write: median \([0-9]*\).*/\1/p' <<<"$out") "
  all[ours_read]+="$(sed -n 's/^drive read: median \([0-9]*\).*/\1/p' <<<"$out") "
  all[ours_file]+="$(sed -n 's/^file read: median \([0-9]*\).*/\1/p' <<<"$out") "
done
of() { tr ' ' '\n' <<<"${all[$1]}" | sed '/^$/d' | median; }
echo "== sshfs share over a $rate link ($link KB/s), blocks of 64,512 bytes (KB/s, median of $rounds rounds)"
printf '%-8s %8s %8s %9s %9s\n' transfer ours fio ours/fio ours/link
for what in write read file; do
  ours=$(of "ours_$what")
  theirs=$(of "fio_$what")
  printf '%-8s %8s %8s %9s %9s\n' "$what" "$ours" "$theirs" "$(ratio "$ours" "$theirs")" "$(ratio "$ours" "$link")"
done
