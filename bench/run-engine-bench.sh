#!/usr/bin/env bash
# Compares the measurement engine with the system's own tools on this machine:
#   - echo round trips on 127.0.0.1 against iputils ping (1 KB, 8 KB, 63 KB),
#     alone and beside a flood of large echoes from another program, and
#     ICMPv6 echo round trips on ::1 against `ping -6` (when ::1 exists);
#   - drive write/read and read-only file speeds against fio with direct I/O
#     on the same folder and block size (64,512 bytes).
# Usage: bench/run-engine-bench.sh [disk-backed folder]   (default /var/tmp)
#   ONLY=echo, ONLY=echo6 or ONLY=drive runs one part; ECHO_ROUNDS (default 3) and ROUNDS
#   (default 5) set how often ours and the reference take turns.
# Needs: a build (scripts/build.sh), iputils-ping, fio; ICMP rights for ping
# and for bench_echo (root, or the ping group range / cap_net_raw).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
base=${1:-/var/tmp}
work=$(mktemp -d "$base/tarnwick-bench-XXXXXX")
flooder=""
trap 'rm -rf "$work"; [[ -z $flooder ]] || kill "$flooder" 2>/dev/null' EXIT
echoes=${ECHOES:-300}

median() { sort -n | awk '{v[NR]=$1} END {if (NR) print v[int(NR/2)+1]; else print 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "n/a"}'; }

# One median round trip in us: ours (bench_echo) or ping's, to $target
# (127.0.0.1, or ::1 for ICMPv6).
target=127.0.0.1
ours_us() { "$bin/bench_echo" "$1" "$echoes" "$target" | sed -n 's/.*median round trip \([0-9.]*\) us.*/\1/p'; }
ours_failed() { sed -n 's/.*, \([0-9]*\) failed/\1/p'; }
ping_us() {
  local family=-4
  [[ $target == *:* ]] && family=-6
  ping "$family" -n -c "$echoes" -i 0.01 -W 1 -s "$1" "$target" |
    sed -n 's/.*time=\([0-9.]*\) ms.*/\1/p' | awk '{print $1 * 1000}' | median
}
range() { tr ' ' '\n' | sed '/^$/d' | sort -n | awk 'NR == 1 {lo = $1} {hi = $1} END {printf "%s-%s", lo, hi}'; }

# Ours and ping take turns, round by round; prints the medians of the
# rounds and the range of the rounds' ratios.
echo_table() {
  printf '%-8s %10s %10s %10s %14s\n' size ours_us ping_us ours/ping ratio_range
  for size in 1024 8192 64512; do
    local ours_all="" ping_all="" ratios=""
    for ((round = 0; round < echo_rounds; round++)); do
      local o p
      o=$(ours_us "$size")
      p=$(ping_us "$size")
      ours_all+="$o " ping_all+="$p " ratios+="$(ratio "$o" "$p") "
    done
    local o p
    o=$(tr ' ' '\n' <<<"$ours_all" | sed '/^$/d' | median)
    p=$(tr ' ' '\n' <<<"$ping_all" | sed '/^$/d' | median)
    printf '%-8s %10s %10s %10s %14s\n' "$size" "$o" "$p" "$(ratio "$o" "$p")" "$(range <<<"$ratios")"
  done
}

echo_rounds=${ECHO_ROUNDS:-3}
if [[ ${ONLY:-} != drive && ${ONLY:-} != echo6 ]]; then
  echo "== ICMP echo on 127.0.0.1, $echoes echoes every 10 ms, $echo_rounds rounds (median round trip)"
  echo_table
  # Another program's pinger beside ours: its replies must neither wake our
  # thread nor push our replies out of the socket's queue.
  ping -f -q -s 64512 127.0.0.1 >/dev/null 2>&1 &
  flooder=$!
  sleep 0.5
  echo "== the same beside 'ping -f -s 64512 127.0.0.1'"
  echo_table
  for size in 1024 8192; do
    failed=$("$bin/bench_echo" "$size" "$echoes" | ours_failed)
    echo "ours, $size bytes beside the flood: $failed echoes failed while $echoes came back"
  done
  kill "$flooder"
  wait "$flooder" 2>/dev/null || true
  flooder=""
fi
if [[ ${ONLY:-} != drive && ${ONLY:-} != echo ]]; then
  if grep -q '^00000000000000000000000000000001' /proc/net/if_inet6 2>/dev/null; then
    target=::1
    echo "== ICMPv6 echo on ::1 against 'ping -6', $echoes echoes every 10 ms, $echo_rounds rounds"
    echo_table
    target=127.0.0.1
  else
    echo "== no ::1 on this machine: ICMPv6 echo not measured"
  fi
fi
[[ ${ONLY:-} == echo || ${ONLY:-} == echo6 ]] && exit 0

rounds=${ROUNDS:-5}
echo "== Drive folder $work, blocks of 64,512 bytes (KB/s, median of $rounds rounds)"
# The drive test times single transfers, a write and a read in turn; fio does
# the same with a 50/50 read/write mix, and its median completion time of
# each direction gives the speed of one transfer. The read-only file test
# reads a whole file; fio reads it sequentially. A virtual disk's latency
# drifts from second to second, so the two take turns, round by round.
fio_run() {
  fio --name=bench --directory="$work" --bs=64512 --direct=1 --ioengine=psync \
    --time_based --runtime=1 --minimal "$@"
}
per_transfer() {  # median completion times (us) -> KB/s of one 64,512-byte transfer
  tr ';' '\n' | sed -n 's/^50.000000%=//p' | sed -n "$1p" | awk '{printf "%.0f", 63e6 / $1}'
}
head -c $((64 * 1024 * 1024)) /dev/urandom >"$work/readonly.bin"
declare -A all
for ((round = 0; round < rounds; round++)); do
  mixed=$(fio_run --filename=fio.tst --rw=rw --rwmixread=50 --sync=dsync --size=129024)
  all[fio_read]+="$(per_transfer 1 <<<"$mixed") "
  all[fio_write]+="$(per_transfer 2 <<<"$mixed") "
  all[fio_file]+="$(fio_run --filename=readonly.bin --rw=read --size=64m | cut -d';' -f7) "
  out=$("$bin/bench_drive" "$work" 100 "$work/readonly.bin")
  all[ours_write]+="$(sed -n 's/^drive write: median \([0-9]*\).*/\1/p' <<<"$out") "
  all[ours_read]+="$(sed -n 's/^drive read: median \([0-9]*\).*/\1/p' <<<"$out") "
  all[ours_file]+="$(sed -n 's/^file read: median \([0-9]*\).*/\1/p' <<<"$out") "
done
of() { tr ' ' '\n' <<<"${all[$1]}" | sed '/^$/d' | median; }
printf '%-12s %10s %10s %10s\n' transfer ours fio ours/fio
for what in write read file; do
  ours=$(of "ours_$what")
  theirs=$(of "fio_$what")
  printf '%-12s %10s %10s %10s\n' "$what" "$ours" "$theirs" "$(ratio "$ours" "$theirs")"
done
