#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/deps/*.txt that are missing,
# and those of the lists given as arguments. A list whose first line starts
# with "# On request" (the packaging tools) is read only when given, so that
# building and testing never need it.
# Idempotent: does nothing when everything is there. Needs root (or sudo) to install.
#   install-deps.sh              every list but the optional ones (first line "# optional:")
#   install-deps.sh windows ...  the named lists only (scripts/deps/<name>.txt)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lists=()
# Lists whose first line says "# optional:" or "# On request" are installed
# only when named (by name, e.g. "windows", or by path).
for list in "$here"/deps/*.txt; do
  head -n 1 "$list" | grep -qE '^# (optional:|On request)' || lists+=("$list")
done
for name in "$@"; do
  if [[ -f "$name" ]]; then
    lists+=("$name")
  elif [[ -f "$here/deps/$name.txt" ]]; then
    lists+=("$here/deps/$name.txt")
  else
    echo "No package list \"$name\"" >&2
    exit 1
  fi
done
wanted=$(grep -hv '^\s*#' "${lists[@]}" | tr -s ' \t' '\n' | sed '/^$/d' | sort -u)
missing=()
for pkg in $wanted; do
  status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "Need root to install: ${missing[*]}" >&2; exit 1; }
  sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
