#!/usr/bin/env bash
# Installs the Debian packages named as arguments that are not installed yet,
# through sudo unless run as root. A package named with a foreign
# architecture (wine32:i386) has that architecture added first.
set -euo pipefail
as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -gt 0 ] || exit 0
for p in "${missing[@]}"; do
  arch=${p#*:}
  if [ "$arch" != "$p" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    as_root dpkg --add-architecture "$arch"
  fi
done
# Waits for another apt or dpkg run (a fresh machine's daily upgrade) to end.
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600)
as_root "${apt[@]}" update
as_root "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
