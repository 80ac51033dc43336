#!/usr/bin/env bash
# The whole program over a long run with 100 resources: 50 loopback hosts
# (127.0.0.1 .. 127.0.0.50, echo test) and 50 folders on a memory file system
# (drive test; a tmpfs mounted by this script in a mount namespace of its own
# when run as root, else folders in /dev/shm), every one with a period of
# 1000 ms. The real program runs under a private Xvfb with its own
# configuration folder (--config-dir) holding a generated parameters file.
#
#   1. Sampling (the saved Start state on, so sampling starts with the
#      window): every minute the CPU use of the whole process in % of one
#      core (user + system time from /proc/PID/stat, so other work on the
#      machine does not count) and of its UI thread alone, its resident
#      memory (VmRSS) and thread count.
#   2. The window closed as a window manager closes it (WM_DELETE_WINDOW, the
#      title bar's close button or Alt+F4; bench_window close): the time
#      until the process has ended. The closing program saves its parameters
#      and stops its measuring threads.
#   3. The same with sampling stopped (the saved Start state off), then its
#      close.
# Every start also prints the time to the first drawn window.
#
# Run by root, the program runs by default as a desktop user does: as the
# unprivileged user "nobody" (no raw sockets, no raised priorities), with
# ICMP rights through net.ipv4.ping_group_range, which Debian 12 grants to
# every group (systemd's sysctl defaults). That setting belongs to a network
# namespace, so the script makes one of its own with only loopback in it
# and sets it there; the machine's own setting is not touched. --as-root
# runs the program as root instead: raw ICMP sockets, each of which the
# kernel hands every echo reply of the machine, and the measuring threads'
# priority changes.
#
# Usage: bench/run-soak-bench.sh [--minutes N] [--stopped-minutes N] [--short]
#                                [--as-root]
#   --minutes N          sampling minutes (default 10)
#   --stopped-minutes N  minutes with sampling stopped (default 2)
#   --short              1 minute of each (a quick check of the script)
#   --as-root            run the program as root (see above)
#   HOSTS=50 FOLDERS=50 PERIOD=1000 as environment variables.
# Needs: a build with tarnwick and bench_window (scripts/build.sh; set
# TARNWICK_BUILD_DIR for another folder), Xvfb, and ICMP rights for the echo
# test (root, or the ping group range; see docs/engine.md).
# Goals: below 3 % of one core sampling and 0.5 % stopped, resident memory
# below 120 MB and not growing after the first minute, close below 2.5 s.
set -euo pipefail
minutes=10
stopped_minutes=2
as_root=0
while (($#)); do
  case $1 in
    --minutes) minutes=$2; shift 2 ;;
    --stopped-minutes) stopped_minutes=$2; shift 2 ;;
    --short) minutes=1; stopped_minutes=1; shift ;;
    --as-root) as_root=1; shift ;;
    *)
      echo "usage: $0 [--minutes N] [--stopped-minutes N] [--short] [--as-root]" >&2
      exit 2
      ;;
  esac
done
# As root: a mount namespace of its own, so that the tmpfs goes with it, and
# for a run as a user a network namespace of its own too.
if [[ $(id -u) == 0 && -z ${TARNWICK_SOAK_NS:-} ]]; then
  namespaces=(-m --propagation private)
  ((as_root)) || namespaces+=(-n)
  root_flag=()
  ((as_root)) && root_flag=(--as-root)
  exec unshare "${namespaces[@]}" env TARNWICK_SOAK_NS=1 "$0" \
    --minutes "$minutes" --stopped-minutes "$stopped_minutes" "${root_flag[@]}"
fi
# The program's user: "nobody" when root runs a desktop user's run.
run_as=()
if [[ $(id -u) == 0 ]] && ((!as_root)); then
  ip link set lo up
  sysctl -qw net.ipv4.ping_group_range="0 2147483647"
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all)
fi
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
hosts=${HOSTS:-50}
folders=${FOLDERS:-50}
period=${PERIOD:-1000}
tick=$(getconf CLK_TCK)

home=$(mktemp -d /tmp/tarnwick-soak-XXXXXX)
if [[ -n ${TARNWICK_SOAK_NS:-} ]]; then
  space=$(mktemp -d /tmp/tarnwick-soak-space-XXXXXX)
  mount -t tmpfs -o size=256m tarnwick-soak "$space"
  space_kind="a tmpfs mounted for the run"
else
  space=$(mktemp -d /dev/shm/tarnwick-soak-XXXXXX)
  space_kind="/dev/shm"
fi
if ((${#run_as[@]})); then
  chown 65534:65534 "$home" "$space"
  user_kind="as the user nobody, ICMP through ping sockets (ping_group_range in a network namespace of its own)"
else
  user_kind="as $(id -un)$([[ $(id -u) == 0 ]] && echo ", raw ICMP sockets")"
fi
pid=""
# shellcheck source=../scripts/session.sh
source "$root/scripts/session.sh"
cleanup() {
  if [[ -n $pid ]]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  stop_test_session
  [[ -n ${TARNWICK_SOAK_NS:-} ]] && umount "$space" 2>/dev/null
  rm -rf "$home" "$space"
}
trap cleanup EXIT

# One resource row in the parameters file's cell keys (docs/parameters.md).
resource_keys() {  # row address kind
  local row=$1
  printf 'Object%d_1=%s\r\nObject%d_5=%s\r\n' "$row" "$2" "$row" "$3"
  printf 'Object%d_6=$00FF0000\r\nObject%d_7=$000000FF\r\n' "$row" "$row"
  printf 'Object%d_8=%d\r\nObject%d_9=1\r\nObject%d_10=1024\r\n' "$row" "$period" "$row" "$row"
  printf 'Object%d_11=2500\r\nObject%d_12=0\r\nObject%d_13=999999\r\n' "$row" "$row" "$row"
}

write_parameters() {  # the saved Start state: 1 sampling, 0 stopped
  local row=0 n
  {
    printf '[Main]\r\nSign=Network speed\r\n[Objects]\r\nNumber=%d\r\n' $((hosts + folders))
    for ((n = 1; n <= hosts; n++)); do resource_keys $((++row)) "127.0.0.$n" 3; done
    for ((n = 0; n < folders; n++)); do
      mkdir -p "$space/f$n"
      resource_keys $((++row)) "$space/f$n" 1
    done
    printf '[Buttons]\r\nPing objects=%d\r\nTrend=1\r\n[Trend]\r\nEnabled=1\r\n' "$1"
  } >"$home/RAREDARI.INI"
  ((${#run_as[@]})) && chown -R 65534:65534 "$home" "$space"
  return 0
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
status_field() { awk -v k="$2:" '$1 == k {print $2}' "/proc/$1/status"; }

# Starts the program and prints its time to the first drawn window.
start_program() {  # saved Start state
  write_parameters "$1"
  local start_ns
  start_ns=$(date +%s%N)
  HOME=$home "${run_as[@]}" "$bin/tarnwick" --config-dir "$home" >"$home/program.log" 2>&1 &
  pid=$!
  "$bin/bench_window" first-draw "$pid" "$start_ns" 60 | sed 's/^/  /'
}

# Prints one line per minute; the last RSS goes to $last_rss_kb, the first
# full minute's to $first_rss_kb, the highest CPU % to $max_cpu.
watch_minutes() {  # minutes
  local m before after ui_before ui_after t0 t1 rss
  max_cpu=0
  printf '  %6s %8s %8s %10s %8s\n' minute cpu_% ui_% rss_mb threads
  before=$(cpu_ticks "$pid")
  ui_before=$(cpu_ticks "$pid/task/$pid")
  t0=$(date +%s.%N)
  for ((m = 1; m <= $1; m++)); do
    sleep 60
    after=$(cpu_ticks "$pid")
    ui_after=$(cpu_ticks "$pid/task/$pid")
    t1=$(date +%s.%N)
    rss=$(status_field "$pid" VmRSS)
    local line
    line=$(awk -v c=$((after - before)) -v u=$((ui_after - ui_before)) -v hz="$tick" \
      -v a="$t0" -v b="$t1" -v m="$m" -v r="$rss" -v th="$(status_field "$pid" Threads)" 'BEGIN {
        printf "%6d %8.2f %8.2f %10.1f %8d", m, 100 * c / hz / (b - a), 100 * u / hz / (b - a),
          r / 1024, th }')
    echo "  $line"
    max_cpu=$(awk -v x="$max_cpu" -v y="$(awk '{print $2}' <<<"$line")" 'BEGIN {print (y > x) ? y : x}')
    ((m == 1)) && first_rss_kb=$rss
    last_rss_kb=$rss
    before=$after
    ui_before=$ui_after
    t0=$t1
  done
}

close_program() {
  "$bin/bench_window" close "$pid" 30 | sed 's/^/  /'
  wait "$pid" 2>/dev/null || true
  pid=""
}

echo "== machine: $(nproc) cores, $(awk -F': ' '/model name/ {print $2; exit}' /proc/cpuinfo)"
echo "== load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== $((hosts + folders)) resources ($hosts hosts 127.0.0.x, $folders folders on $space_kind), period $period ms"
echo "== the program runs $user_kind"
start_test_session
echo "== sampling, $minutes min"
start_program 1
watch_minutes "$minutes"
sampling_max=$max_cpu
growth_kb=$((last_rss_kb - first_rss_kb))
awk -v p="$(status_field "$pid" VmHWM)" -v g="$growth_kb" -v m="$minutes" 'BEGIN {
  printf "  peak RSS %.1f MB; RSS change from minute 1 to %d: %+.1f MB\n", p / 1024, m, g / 1024 }'
echo "== close while sampling"
close_program
echo "== sampling stopped, $stopped_minutes min"
start_program 0
watch_minutes "$stopped_minutes"
echo "== close while stopped"
close_program
echo "== load average at end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== highest minute: sampling $sampling_max % (goal < 3), stopped $max_cpu % (goal < 0.5)"
