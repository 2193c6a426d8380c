#!/usr/bin/env bash
# Builds the Debian packages libdravik5, libdravik-dev and tornel-tyvel from
# this checkout into build/packages. The build skips the tests, which are
# scripts/test.sh's; the caller's DEB_BUILD_OPTIONS are added.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/install-missing.sh build-essential debhelper dpkg-dev

packages=build/packages
source=$packages/tornel-tyvel
rm -rf "$packages"
mkdir -p "$source"
# dpkg-buildpackage builds inside the source folder and writes the packages
# beside it: building a copy keeps the checkout clean.
git ls-files -z --cached --others --exclude-standard |
  tar --null --files-from=- --ignore-failed-read -c | tar -x -C "$source"
(cd "$source" && DEB_BUILD_OPTIONS="nocheck noautodbgsym terse parallel=$(nproc) ${DEB_BUILD_OPTIONS-}" \
   DEB_BUILD_PROFILES="nocheck ${DEB_BUILD_PROFILES-}" dpkg-buildpackage -us -uc -b)
rm -rf "$source"
ls "$packages"/*.deb
