#!/usr/bin/env bash
# Builds the .deb (cpack -G DEB) from the build folder build/ (or
# $TARNWICK_BUILD_DIR; built first, extra arguments go to CMake) and checks
# it: the files it installs, no maintainer scripts, lintian without errors,
# the desktop entry and AppStream metainfo valid, the icon sizes, and the
# extracted program answering --version.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TARNWICK_BUILD_DIR:-$root/build}
id=org.tarnwick.Tarnwick
"$root/scripts/install-deps.sh" "$root/scripts/deps/package.txt"
"$root/scripts/build.sh" "$@"

work=$(mktemp -d /tmp/tarnwick-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "package: $*" >&2
  exit 1
}

rm -f "$build"/tarnwick_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log"
  fail "cpack failed"
}
debs=("$build"/tarnwick_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "cpack made no single tarnwick_*.deb"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)

echo "-- files"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
cat "$work/files"
expected=(/usr/bin/tarnwick /usr/share/tarnwick/TARNWICK.HLP
  /usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml
  /usr/share/icons/hicolor/scalable/apps/$id.svg /usr/share/man/man1/tarnwick.1.gz
  /usr/share/doc/tarnwick/copyright /usr/share/doc/tarnwick/changelog.gz
  /lib/systemd/system/tarnwick.service /lib/systemd/user/tarnwick.service)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
done
for file in "${expected[@]}"; do
  grep -qxF "$file" "$work/files" || fail "$file is missing from the package"
done

echo "-- control"
dpkg-deb -f "$deb" Package Version Architecture Section Priority Maintainer Depends
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins gstreamer1.0-plugins-base; do
  [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed"
done
dpkg-deb -e "$deb" "$work/control"
for script in preinst postinst prerm postrm config triggers; do
  [[ ! -e "$work/control/$script" ]] || fail "the package has a $script script"
done

echo "-- lintian"
# lintian exits non-zero on errors; warnings and notes are shown, not fatal.
lintian --display-info --tag-display-limit 0 --fail-on error "$deb" || fail "lintian reports errors"

echo "-- desktop entry, metainfo, icons"
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/$id.desktop" || fail "invalid desktop entry"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/$id.metainfo.xml" ||
  fail "invalid metainfo"
png_size() {  # width x height from the PNG header
  local b
  read -ra b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
for size in "${sizes[@]}"; do
  got=$(png_size "$work/root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png")
  [[ "$got" == "${size}x${size}" ]] || fail "the ${size}x${size} icon is $got"
done

echo "-- service units"
grep -qx 'ExecStart=/usr/bin/tarnwick --headless --config-dir /var/lib/tarnwick' \
  "$work/root/lib/systemd/system/tarnwick.service" || fail "the system unit does not start /usr/bin/tarnwick"
grep -qx 'ExecStart=/usr/bin/tarnwick --headless' "$work/root/lib/systemd/user/tarnwick.service" ||
  fail "the user unit does not start /usr/bin/tarnwick"

echo "-- the extracted program"
# The help file where the installed program looks for it: <bin>/../share/tarnwick.
[[ -f "$work/root/usr/bin/../share/tarnwick/TARNWICK.HLP" ]] || fail "no help file in share/tarnwick"
said=$(env -u LD_LIBRARY_PATH "$work/root/usr/bin/tarnwick" --version)
[[ "$said" == "tarnwick $version" ]] || fail "--version said \"$said\", expected \"tarnwick $version\""
echo "$said"
echo "package: $deb ($(stat -c %s "$deb") bytes, $(wc -l <"$work/files") files) is sound"
