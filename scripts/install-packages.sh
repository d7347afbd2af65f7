#!/usr/bin/env bash
# Installs the named Debian packages that are not installed yet, with apt-get
# as root or through sudo. Usage: scripts/install-packages.sh pkg...
set -euo pipefail

missing=()
for package in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "Please install these packages as root: ${missing[*]}" >&2
  exit 1
fi
echo "Installing ${missing[*]}"
# Two installs at once would trip over apt's locks: wait for the other to finish.
apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
"${apt[@]}" update -qq
"${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
