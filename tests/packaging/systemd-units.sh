#!/usr/bin/env bash
# The service units as `cmake --install` lays them out: both flavours there,
# naming the installed program, and accepted by `systemd-analyze verify`
# without a single warning (it only warns about an option it cannot parse).
# Exit 77 (skipped) where systemd-analyze is missing.
set -euo pipefail
build=$1
work=$(mktemp -d /tmp/tarnwick-units-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "units: $*" >&2
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "cmake --install failed"
}
system=$prefix/lib/systemd/system/tarnwick.service
user=$prefix/lib/systemd/user/tarnwick.service
for unit in "$system" "$user"; do
  [[ -f $unit ]] || fail "$unit was not installed"
  grep -q '@[A-Z_]*@' "$unit" && fail "$unit holds an unreplaced @...@ name"
done
grep -qxF "ExecStart=$prefix/bin/tarnwick --headless --config-dir /var/lib/tarnwick" "$system" ||
  fail "the system unit does not start the installed program on its state folder"
grep -qxF "ExecStart=$prefix/bin/tarnwick --headless" "$user" ||
  fail "the user unit does not start the installed program"
for option in StateDirectory=tarnwick ProtectSystem=strict ProtectHome=yes PrivateTmp=yes \
  NoNewPrivileges=yes "RestrictAddressFamilies=AF_INET AF_INET6 AF_UNIX AF_NETLINK"; do
  grep -qxF "$option" "$system" || fail "the system unit lacks $option"
done
# ICMP datagram sockets need no capability; raw sockets (which would) stay out.
grep -q 'CAP_NET_RAW' "$system" "$user" && fail "a unit grants CAP_NET_RAW"

if ! command -v systemd-analyze >/dev/null; then
  echo "skipped: systemd-analyze is not installed"
  exit 77
fi
systemd-analyze verify --man=no "$system" >"$work/system.out" 2>&1 ||
  fail "systemd-analyze verify on the system unit: $(cat "$work/system.out")"
[[ ! -s $work/system.out ]] || fail "systemd-analyze verify on the system unit: $(cat "$work/system.out")"
mkdir -m 700 "$work/run"
XDG_RUNTIME_DIR=$work/run systemd-analyze --user verify --man=no "$user" >"$work/user.out" 2>&1 ||
  fail "systemd-analyze --user verify: $(cat "$work/user.out")"
[[ ! -s $work/user.out ]] || fail "systemd-analyze --user verify: $(cat "$work/user.out")"
echo "both units install and verify"
