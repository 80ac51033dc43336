#!/usr/bin/env bash
# Compares the measurement engine with the system's own tools on this machine:
#   - echo round trips on 127.0.0.1 against iputils ping (1 KB, 8 KB, 63 KB);
#   - drive write/read and read-only file speeds against fio with direct I/O
#     on the same folder and block size (64,512 bytes).
# Usage: bench/run-engine-bench.sh [disk-backed folder]   (default /var/tmp)
# Needs: a build (scripts/build.sh), iputils-ping, fio; ICMP rights for ping
# and for bench_echo (root, or the ping group range / cap_net_raw).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
base=${1:-/var/tmp}
work=$(mktemp -d "$base/tarnwick-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
echoes=${ECHOES:-300}

median() { sort -n | awk '{v[NR]=$1} END {if (NR) print v[int(NR/2)+1]; else print 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "n/a"}'; }

echo "== ICMP echo on 127.0.0.1, $echoes echoes every 10 ms (median round trip)"
printf '%-8s %10s %10s %12s\n' size ours_us ping_us ours/ping
for size in 1024 8192 64512; do
  ours=$("$bin/bench_echo" "$size" "$echoes" | sed -n 's/.*median round trip \([0-9.]*\) us/\1/p')
  ping_us=$(ping -n -c "$echoes" -i 0.01 -s "$size" 127.0.0.1 |
    sed -n 's/.*time=\([0-9.]*\) ms.*/\1/p' | awk '{print $1 * 1000}' | median)
  printf '%-8s %10s %10s %12s\n' "$size" "$ours" "$ping_us" "$(ratio "$ours" "$ping_us")"
done

echo "== Drive folder $work, blocks of 64,512 bytes (KB/s)"
fio_bw() {  # <field> <fio options...>: bandwidth in KiB/s from the terse output
  local field=$1
  shift
  fio --name=bench --directory="$work" --bs=64512 --direct=1 --ioengine=psync \
    --time_based --runtime=3 --minimal "$@" | cut -d';' -f"$field"
}
fio_write=$(fio_bw 48 --filename=fio.tst --rw=write --size=129024 --sync=dsync)
fio_read=$(fio_bw 7 --filename=fio.tst --rw=read --size=129024)
head -c $((64 * 1024 * 1024)) /dev/urandom >"$work/readonly.bin"
fio_file=$(fio_bw 7 --filename=readonly.bin --rw=read --size=64m)
out=$("$bin/bench_drive" "$work" 200 "$work/readonly.bin")
ours_write=$(sed -n 's/^drive write: median \([0-9]*\).*/\1/p' <<<"$out")
ours_read=$(sed -n 's/^drive read: median \([0-9]*\).*/\1/p' <<<"$out")
ours_file=$(sed -n 's/^file read: median \([0-9]*\).*/\1/p' <<<"$out")
printf '%-12s %10s %10s %10s\n' transfer ours fio ours/fio
printf '%-12s %10s %10s %10s\n' write "$ours_write" "$fio_write" "$(ratio "$ours_write" "$fio_write")"
printf '%-12s %10s %10s %10s\n' read "$ours_read" "$fio_read" "$(ratio "$ours_read" "$fio_read")"
printf '%-12s %10s %10s %10s\n' file-read "$ours_file" "$fio_file" "$(ratio "$ours_file" "$fio_file")"
