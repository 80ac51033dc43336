#!/usr/bin/env bash
# What the whole program costs the machine with 100 resources: 50 hosts
# (127.0.0.1, echo test) and 50 folders on a memory file system (drive test),
# every one with a period of 1000 ms. The real program is started under Xvfb
# with its own program folder, once sampling ("Ping objects=1") and once
# stopped ("Ping objects=0"). After a warm-up the process's CPU time (user +
# system, from /proc/PID/stat, so other work on the machine does not count)
# is taken over a window; its resident memory is printed along the way.
#
# Usage: bench/run-program-bench.sh
#   WARMUP=60 MEASURE=30 STOPPED_WARMUP=10 HOSTS=50 FOLDERS=50 PERIOD=1000
#   CLONES=1 also counts thread creations for 10 s with strace afterwards.
#   ECHO_SOCKET=datagram (as root) runs everything in a network namespace of
#   its own whose ping group range admits everyone, so the echoes use ICMP
#   datagram sockets as an unprivileged user's would; otherwise root's echoes
#   use raw sockets.
# Needs: a build with the program (scripts/build.sh), Xvfb, ICMP rights for
# the echo test (root, or the ping group range; see docs/engine.md).
set -euo pipefail
if [[ ${ECHO_SOCKET:-} == datagram && -z ${TARNWICK_BENCH_NETNS:-} ]]; then
  exec unshare -n env TARNWICK_BENCH_NETNS=1 "$0" "$@"
fi
if [[ -n ${TARNWICK_BENCH_NETNS:-} ]]; then
  ip link set lo up
  sysctl -qw net.ipv4.ping_group_range="0 2147483647"
fi
root=$(cd "$(dirname "$0")/.." && pwd)
program=${TARNWICK_BUILD_DIR:-$root/build}/bin/tarnwick
warmup=${WARMUP:-60}
measure=${MEASURE:-30}
stopped_warmup=${STOPPED_WARMUP:-10}
hosts=${HOSTS:-50}
folders=${FOLDERS:-50}
period=${PERIOD:-1000}
tick=$(getconf CLK_TCK)
memfs=/dev/shm
[[ -d $memfs && -w $memfs ]] || memfs=${TMPDIR:-/tmp}

home=$(mktemp -d /tmp/tarnwick-program-bench-XXXXXX)
space=$(mktemp -d "$memfs/tarnwick-program-bench-XXXXXX")
pid=""
# shellcheck source=../scripts/session.sh
source "$root/scripts/session.sh"
cleanup() {
  if [[ -n $pid ]]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  stop_test_session
  rm -rf "$home" "$space"
}
trap cleanup EXIT

# One resource row in the parameters file's cell keys (more than ten rows).
resource_keys() {  # row address kind
  local row=$1
  printf 'Object%d_1=%s\r\nObject%d_5=%s\r\n' "$row" "$2" "$row" "$3"
  printf 'Object%d_6=$00FF0000\r\nObject%d_7=$000000FF\r\n' "$row" "$row"
  printf 'Object%d_8=%d\r\nObject%d_9=1\r\nObject%d_10=1024\r\n' "$row" "$period" "$row" "$row"
  printf 'Object%d_11=2500\r\nObject%d_12=0\r\nObject%d_13=999999\r\n' "$row" "$row" "$row"
}

write_parameters() {  # ping-objects flag
  local row=0 n
  {
    printf '[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=%d\r\n' $((hosts + folders))
    for ((n = 0; n < hosts; n++)); do resource_keys $((++row)) 127.0.0.1 3; done
    for ((n = 0; n < folders; n++)); do
      mkdir -p "$space/f$n"
      resource_keys $((++row)) "$space/f$n" 1
    done
    printf '[Buttons]\r\nPing objects=%d\r\n[Trend]\r\nEnabled=1\r\n' "$1"
  } >"$home/RAREDARI.INI"
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }
threads_of() { awk '/^Threads:/ {print $2}' "/proc/$1/status"; }

# Starts the program, waits, and prints CPU % of one core over the window,
# the UI thread's share and the resident memory every 10 s.
run_case() {  # label ping-objects warm-up-seconds
  local label=$1 warm=$3
  write_parameters "$2"
  TARNWICK_HOME=$home "$program" >/dev/null 2>&1 &
  pid=$!
  local t=0
  echo "== $label: $((hosts + folders)) resources, period $period ms"
  printf '  %6s %10s %8s\n' seconds rss_kb threads
  while ((t < warm)); do
    sleep 10
    t=$((t + 10))
    printf '  %6d %10d %8d\n' "$t" "$(rss_kb "$pid")" "$(threads_of "$pid")"
  done
  local before ui_before start end after ui_after
  before=$(cpu_ticks "$pid")
  ui_before=$(cpu_ticks "$pid/task/$pid")
  start=$(date +%s.%N)
  while ((t < warm + measure)); do
    sleep 10
    t=$((t + 10))
    printf '  %6d %10d %8d\n' "$t" "$(rss_kb "$pid")" "$(threads_of "$pid")"
  done
  after=$(cpu_ticks "$pid")
  ui_after=$(cpu_ticks "$pid/task/$pid")
  end=$(date +%s.%N)
  awk -v c=$((after - before)) -v u=$((ui_after - ui_before)) -v hz="$tick" \
    -v s="$start" -v e="$end" -v l="$label" 'BEGIN {
      w = e - s
      printf "  %s: CPU %.2f s in %.1f s = %.2f%% of one core (UI thread %.2f%%)\n",
        l, c / hz, w, 100 * c / hz / w, 100 * u / hz / w }'
  if [[ ${CLONES:-0} == 1 ]] && command -v strace >/dev/null; then
    timeout -s INT 10 strace -f -c -e trace=clone,clone3 -p "$pid" 2>&1 |
      awk '/clone/ {n += $4} END {print "  thread creations in 10 s: " n + 0}' || true
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=""
}

start_test_session
run_case sampling 1 "$warmup"
run_case stopped 0 "$stopped_warmup"
