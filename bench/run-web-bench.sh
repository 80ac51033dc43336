#!/usr/bin/env bash
# Compares the web download kind with curl on the same URL and link, in the
# same run: a file served by the test web server (tests/support/web_server.py)
#   - over a 16 Mbit/s token-bucket link in a network namespace of its own,
#   - over the plain loopback.
# Ours and curl take turns, ROUNDS times (default 3), DOWNLOADS downloads each
# (default 3); the medians of all their downloads and the ratio are printed.
# curl's speed_download counts the whole transfer (connection and request
# included); the last column is curl's body alone, size over time_total -
# time_starttransfer, as ours is timed.
# Usage: bench/run-web-bench.sh      (root, for the namespace and its link)
# Needs: a build (scripts/build.sh), python3, curl, iproute2.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${TARNWICK_BUILD_DIR:-$root/build}/bin
rounds=${ROUNDS:-3}
downloads=${DOWNLOADS:-3}
ns=tarnwick-bench-web-$$
server=""
cleanup() {
  [[ -z $server ]] || kill "$server" 2>/dev/null || true
  ip netns delete "$ns" 2>/dev/null || true
  rm -f "${port_file:-}"
}
trap cleanup EXIT
export no_proxy=127.0.0.1,localhost NO_PROXY=127.0.0.1,localhost

median() { sort -n | awk '{v[NR]=$1} END {if (NR) print v[int(NR/2)+1]; else print 0}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "n/a"}'; }

# start_server <command prefix...>: the server's port in $port.
start_server() {
  port_file=$(mktemp)
  "$@" python3 "$root/tests/support/web_server.py" >"$port_file" &
  server=$!
  for _ in $(seq 100); do
    port=$(head -n 1 "$port_file")
    [[ -n $port ]] && return
    sleep 0.1
  done
  echo "the web server did not start" >&2
  exit 1
}
stop_server() { kill "$server"; wait "$server" 2>/dev/null || true; server=""; }

# compare <label> <bytes> <command prefix...>: ours and curl in turns.
compare() {
  local label=$1 bytes=$2
  shift 2
  local url="http://127.0.0.1:$port/bytes/$bytes" ours="" theirs="" body=""
  for ((round = 0; round < rounds; round++)); do
    out=$("$@" "$bin/bench_web" "$url" "$downloads")
    ours+="$(sed -n 's/.*median \([0-9.]*\) KB\/s.*/\1/p' <<<"$out") "
    for ((i = 0; i < downloads; i++)); do
      local w
      w=$("$@" curl -s -o /dev/null -w '%{speed_download} %{size_download} %{time_starttransfer} %{time_total}' "$url")
      theirs+="$(awk '{printf "%.1f", $1 / 1024}' <<<"$w") "
      body+="$(awk '{t = $4 - $3; if (t > 0) printf "%.1f", $2 / 1024 / t; else print 0}' <<<"$w") "
    done
  done
  local o t b
  o=$(tr ' ' '\n' <<<"$ours" | sed '/^$/d' | median)
  t=$(tr ' ' '\n' <<<"$theirs" | sed '/^$/d' | median)
  b=$(tr ' ' '\n' <<<"$body" | sed '/^$/d' | median)
  printf '%-24s %12s %12s %10s %12s %10s\n' "$label" "$o" "$t" "$(ratio "$o" "$t")" "$b" "$(ratio "$o" "$b")"
}

printf '%-24s %12s %12s %10s %12s %10s\n' "link (KB/s)" ours curl ours/curl curl_body ours/body
ip netns add "$ns"
ip netns exec "$ns" ip link set lo up
ip netns exec "$ns" ip link set lo mtu 1500
ip netns exec "$ns" tc qdisc add dev lo root tbf rate 16mbit burst 3000 limit 1mb
start_server ip netns exec "$ns"
compare "16 Mbit/s, 3 MB file" 3000000 ip netns exec "$ns"
stop_server
start_server env
compare "loopback, 50 MB file" 50000000 env
stop_server
echo "(16 Mbit/s = 1953.1 KB/s of link rate)"
