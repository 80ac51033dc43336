#!/usr/bin/env bash
# Installs the .deb of scripts/package.sh (made first when the build folder
# build/ or $TARNWICK_BUILD_DIR has none) on a clean Debian 12 and uses it as
# a user would:
#  - a minimal Debian 12 tree (mmdebstrap, minbase) gets the package with
#    `apt-get install --no-install-recommends`, so that Debian alone must
#    resolve its Depends and nothing merely recommended hides a missing one;
#  - the installed files: desktop entry valid and its Exec naming the
#    installed program, icons in hicolor, metainfo, manual page;
#  - the program started as the menu starts it (the entry's Exec, field codes
#    removed) by an unprivileged user with a fresh home, on a test X server
#    with a stand-in tray: its window appears, its tray icon asks to dock, F1
#    opens the help window from the installed help file, and asked to close
#    as a window manager asks, it ends with exit code 0;
#  - `apt-get remove` leaves nothing of the package behind.
# Needs root (chroot, mounts, namespaces) and Debian's mirror. Everything it
# makes (tree, mounts, X server, helpers) goes when it ends, also on failure.
# The bootstrapped tree is kept as a tarball in $TARNWICK_CLEAN_CACHE
# (default /var/cache/tarnwick-clean) for a week, with the downloaded
# packages, so that later runs only check for updates.
# Times on the shared 2-core build machine (load 2 to 5): a cold run (no
# cache) 98 s, of which the bootstrap 37 s, with 177 MB downloaded (122 MB of
# it the 213 packages the .deb pulls in); a warm run 51 s (134 s while the
# machine was busy with other builds). The cache takes
# about 330 MB (tree 214 MB, packages 117 MB).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# Mounts live in a private mount namespace of their own: they vanish with it,
# even when this script is killed, and never reach the host's mount table.
if [[ -z "${TARNWICK_CLEAN_NAMESPACE:-}" ]]; then
  [[ $(id -u) -eq 0 ]] || {
    echo "clean install: needs root (chroot, mounts)" >&2
    exit 1
  }
  "$root/scripts/install-deps.sh" cleaninstall
  exec env TARNWICK_CLEAN_NAMESPACE=1 unshare --mount --propagation private "$0" "$@"
fi
build=${TARNWICK_BUILD_DIR:-$root/build}
cache=${TARNWICK_CLEAN_CACHE:-/var/cache/tarnwick-clean}
mirror=http://deb.debian.org
id=org.tarnwick.Tarnwick
user=tarnwick-user
started=$(date +%s)

fail() {
  echo "clean install: $*" >&2
  exit 1
}
step() { echo "-- $* ($(($(date +%s) - started)) s)"; }

work=$(mktemp -d /var/tmp/tarnwick-clean-XXXXXX)
tree=$work/root
mounts=()
pids=()
cleanup() {
  local pid i
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || true; done
  # Never delete through a mount that is still there (the X socket, /dev).
  if findmnt -rno TARGET | grep -q "^$work/"; then
    echo "clean install: $work is still mounted; left in place" >&2
  else
    rm -rf --one-file-system "$work"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP  # so that the clean-up runs then too
bind() {  # bind <host path> <path in the tree>
  mount --bind "$1" "$tree$2"
  mounts+=("$tree$2")
}
in_tree() { chroot "$tree" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

# ---------------------------------------------------------------- the package
debs=("$build"/tarnwick_*.deb)
if [[ ! -f "${debs[0]}" ]]; then
  step "no .deb in $build: making it"
  "$root/scripts/package.sh"
  debs=("$build"/tarnwick_*.deb)
fi
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "no single tarnwick_*.deb in $build"
deb=${debs[0]}
helpers=("$build/bin/tw_tray_host" "$build/bin/tw_ask_close")
[[ -x "${helpers[0]}" && -x "${helpers[1]}" ]] ||
  cmake --build "$build" -j2 --target tw_tray_host tw_ask_close >/dev/null

# ------------------------------------------------------------ the clean tree
tarball=$cache/bookworm-minbase.tar
mkdir -p "$cache/archives"
if [[ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]]; then
  step "bootstrapping Debian 12 (minbase) into $tarball"
  # The package lists stay in the tree: a later apt-get update fetches only changes.
  mmdebstrap --variant=minbase --format=tar --skip=cleanup/apt/lists bookworm "$tarball.part" \
    "deb $mirror/debian bookworm main" "deb $mirror/debian bookworm-updates main" \
    "deb $mirror/debian-security bookworm-security main" >"$work/mmdebstrap.log" 2>&1 || {
    cat "$work/mmdebstrap.log"
    rm -f "$tarball.part"
    fail "mmdebstrap failed"
  }
  mv "$tarball.part" "$tarball"
fi
step "unpacking the clean tree"
mkdir "$tree"
tar -xpf "$tarball" --numeric-owner -C "$tree"
chmod 755 "$tree"
mount -t proc proc "$tree/proc"
mounts+=("$tree/proc")
bind /dev /dev
bind "$cache/archives" /var/cache/apt/archives
# Replaced, not written through: a link there could point out of the tree.
cp --remove-destination /etc/resolv.conf "$tree/etc/resolv.conf"
# Nothing the package pulls in may start a service in the tree.
printf '#!/bin/sh\nexit 101\n' >"$tree/usr/sbin/policy-rc.d"
chmod 755 "$tree/usr/sbin/policy-rc.d"
# The tree is thrown away: dpkg need not sync every file it unpacks.
echo force-unsafe-io >"$tree/etc/dpkg/dpkg.cfg.d/tarnwick-clean-unsafe-io"

# ----------------------------------------------------------------- installing
step "apt-get install ./$(basename "$deb")"
cp "$deb" "$tree/tmp/"
in_tree apt-get update -qq >"$work/apt.log" 2>&1 || {
  cat "$work/apt.log"
  fail "apt-get update failed in the tree"
}
in_tree env DEBIAN_FRONTEND=noninteractive sh -c \
  "cd /tmp && apt-get install -y --no-install-recommends ./$(basename "$deb")" \
  >"$work/install.log" 2>&1 || {
  cat "$work/install.log"
  fail "apt-get could not install the package from Debian alone (missing or wrong Depends?)"
}
grep -E '^(Need to get|After this operation)|newly installed' "$work/install.log" || true
in_tree apt-get autoclean -qq >/dev/null  # drops cached packages Debian no longer has
status=$(in_tree dpkg-query -W -f='${Status}' tarnwick)
[[ "$status" == "install ok installed" ]] || fail "tarnwick is \"$status\" after installing"

# ---------------------------------------------------------- installed files
step "installed files"
desktop=$tree/usr/share/applications/$id.desktop
[[ -f "$desktop" ]] || fail "no desktop entry $desktop"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
entry_key() {  # the value of a key of the [Desktop Entry] group
  awk -F= -v key="$1" '/^\[/ {group = $0} group == "[Desktop Entry]" && $1 == key {
    sub(/^[^=]*=/, ""); print; exit}' "$desktop"
}
# A launcher drops the field codes (%f, %U, %i, ...) and turns %% into %.
exec_line=$(entry_key Exec | sed -E 's/%[fFuUdDnNickvm]//g; s/%%/%/g')
read -ra command <<<"$exec_line"
[[ ${#command[@]} -gt 0 ]] || fail "the desktop entry has no Exec"
program=$(in_tree sh -c "command -v '${command[0]}'") ||
  fail "Exec names \"${command[0]}\", which is not on the PATH of the tree"
owner=$(in_tree dpkg -S "$program" | cut -d: -f1)
[[ "$owner" == tarnwick ]] || fail "Exec runs $program of \"$owner\", not of tarnwick"
echo "Exec=$exec_line runs $program"
icon=$(entry_key Icon)
for file in scalable/apps/$icon.svg 48x48/apps/$icon.png; do
  [[ -s "$tree/usr/share/icons/hicolor/$file" ]] || fail "icon $icon missing: hicolor/$file"
done
metainfo=$tree/usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "the metainfo is not valid"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not launch $id.desktop"
man_page=$tree/usr/share/man/man1/tarnwick.1.gz
gzip -t "$man_page" && zcat "$man_page" | grep -q '^\.TH TARNWICK 1' || fail "no man page tarnwick(1)"
help_file=$tree/usr/share/tarnwick/TARNWICK.HLP
[[ -s "$help_file" ]] || fail "no help file"
# The help file is read when the help window first opens; an access time
# older than its change time is updated by that read (relatime).
touch -a -d 2000-01-01 "$help_file"

# ------------------------------------------------ started from the menu entry
step "starting it from the menu entry on a test X server"
in_tree useradd --create-home --user-group --shell /bin/bash "$user"
uid=$(in_tree id -u "$user")
home=$(in_tree getent passwd "$user" | cut -d: -f6)
install -d -m 700 -o "$((uid))" -g "$(in_tree id -g "$user")" "$tree/run/user/$uid"
exec 3>"$work/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display")
[[ "$display" != : ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
export DISPLAY=$display
socket=/tmp/.X11-unix/X${display#:}
mkdir -p "$tree/tmp/.X11-unix"
chmod 1777 "$tree/tmp/.X11-unix"
touch "$tree$socket"
bind "$socket" "$socket"
"${helpers[0]}" >"$work/tray.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q '^ready' "$work/tray.log" && break; sleep 0.1; done
grep -q '^ready' "$work/tray.log" || fail "the stand-in tray did not start"

# The program gets a network namespace of its own with the ICMP rights a
# Debian 12 desktop has (systemd lets every group send echoes), whatever this
# machine's own setting; the X server is reached through its socket file.
unshare --net sh -c 'ip link set lo up &&
  echo "0 2147483647" >/proc/sys/net/ipv4/ping_group_range &&
  exec "$@"' sh chroot --userspec="$user:$user" "$tree" \
  env -i HOME="$home" USER="$user" LOGNAME="$user" SHELL=/bin/bash LANG=C.UTF-8 \
  PATH=/usr/local/bin:/usr/bin:/bin DISPLAY="$display" XDG_RUNTIME_DIR="/run/user/$uid" \
  --chdir="$home" "${command[@]}" >"$work/tarnwick.log" 2>&1 &
pid=$!
pids+=("$pid")
launched=$(date +%s%N)
show_log() {
  local window
  sed 's/^/  tarnwick: /' "$work/tarnwick.log" >&2
  for window in $(xdotool search --pid "$pid" 2>/dev/null); do
    echo "  window $window \"$(xdotool getwindowname "$window")\"" \
      "$(xwininfo -id "$window" | awk '/Map State/ {print $3}')" >&2
  done
}
window_of() {  # window_of <title>: the program's visible window of that title
  local window
  for window in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    [[ "$(xdotool getwindowname "$window")" == "$1" ]] && echo "$window" && return 0
  done
  return 1
}
running() {  # the program runs (a zombie waiting for this script does not)
  local state
  state=$(sed 's/.*) //' "/proc/$pid/stat" 2>/dev/null) || return 1
  [[ "$state" != Z* ]]
}
wait_for() {  # wait_for <seconds> <command...>: until the command succeeds
  local until=$(($(date +%s) + $1))
  shift
  until "$@"; do
    running || return 1
    (($(date +%s) < until)) || return 1
    sleep 0.2
  done
}
wait_for 30 window_of Tarnwick >/dev/null || {
  show_log
  fail "no window \"Tarnwick\" appeared"
}
window=$(window_of Tarnwick)
echo "window $window \"Tarnwick\" after $((($(date +%s%N) - launched) / 1000000)) ms," \
  "$(xwininfo -id "$window" | awk '/Width|Height/ {printf "%s ", $2}')pixels"
wm_class=$(xprop -id "$window" WM_CLASS)
startup_class=$(entry_key StartupWMClass)
[[ "$wm_class" == *"\"$startup_class\""* ]] ||
  fail "StartupWMClass=$startup_class does not match the window's $wm_class"

docked() { grep -q '^dock ' "$work/tray.log"; }
wait_for 10 docked || {
  show_log
  fail "the tray icon never asked the tray to dock it"
}
icon_window=$(awk '/^dock / {print $2; exit}' "$work/tray.log")
icon_pid=$(xprop -id "$icon_window" _NET_WM_PID | awk '{print $NF}')
[[ "$icon_pid" == "$pid" ]] || fail "window $icon_window docked in the tray belongs to $icon_pid, not $pid"
echo "tray icon $icon_window docked"

# A fresh home has no parameters: the program opens its wizard for a first
# resource, whose F1 opens the help window from the installed help file.
wizard_title="Adding new resource"
wait_for 10 window_of "$wizard_title" >/dev/null || {
  show_log
  fail "a fresh home got no \"$wizard_title\" wizard"
}
wizard=$(window_of "$wizard_title")
echo "first start: \"$wizard_title\" window $wizard"
timeout 5 xdotool windowfocus --sync "$wizard" || fail "could not focus window $wizard"
xdotool key F1
wait_for 10 window_of "Tarnwick Help" >/dev/null || {
  show_log
  fail "F1 opened no help window"
}
read_at=$(stat -c %X "$help_file")
((read_at > $(date -d 2001-01-01 +%s))) || fail "the help window did not read $help_file"
echo "F1: help window open, read from /usr/share/tarnwick/TARNWICK.HLP"
"${helpers[1]}" "$wizard" || fail "could not ask window $wizard to close"
gone() { ! window_of "$wizard_title" >/dev/null; }
wait_for 10 gone || fail "the wizard did not close when asked"

# Closed in the first seconds the program asks for confirmation; later a
# close request ends it, as a user closing the window does.
sleep $((launched / 1000000000 + 7 - $(date +%s))) 2>/dev/null || true
"${helpers[1]}" "$window" || fail "could not ask window $window to close"
for _ in $(seq 100); do running || break; sleep 0.2; done
if running; then
  show_log
  fail "the program did not end within 20 s of being asked to close"
fi
code=0
wait "$pid" || code=$?
pids=("${pids[@]:0:2}")  # only Xvfb and the tray are left to stop
show_log
[[ $code -eq 0 ]] || fail "the program ended with exit code $code"
[[ -f "$tree$home/.config/tarnwick/RAREDARI.INI" ]] ||
  fail "no parameters file in $home/.config/tarnwick"
echo "closed with exit code 0, parameters in $home/.config/tarnwick"

# ------------------------------------------------------------------ removing
step "apt-get remove tarnwick"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|; s|/$||' | grep -v '^$' >"$work/files"
in_tree env DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq tarnwick >"$work/remove.log" 2>&1 || {
  cat "$work/remove.log"
  fail "apt-get remove failed"
}
left=()
while read -r path; do
  [[ -e "$tree$path" || -L "$tree$path" ]] || continue
  # Folders stay when other packages share them (/usr/share/icons/hicolor).
  [[ -d "$tree$path" ]] && in_tree dpkg -S "$path" >/dev/null 2>&1 && continue
  [[ -d "$tree$path" && -n "$(ls -A "$tree$path")" ]] && continue
  left+=("$path")
done <"$work/files"
[[ ${#left[@]} -eq 0 ]] || fail "left behind after removing: ${left[*]}"
status=$(in_tree dpkg-query -W -f='${Status}' tarnwick 2>/dev/null || true)
conffiles=$(dpkg-deb -I "$deb" conffiles 2>/dev/null || true)
[[ -n "$conffiles" || -z "$status" || "$status" == *not-installed ]] ||
  fail "tarnwick is \"$status\" after removing, with no conffiles"
echo "nothing of it left"
step "clean install checked"
