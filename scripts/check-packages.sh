#!/usr/bin/env bash
# Checks the Debian packages in build/packages (scripts/build-packages.sh):
# lintian finds no error in any, the AppStream metainfo is valid, and the
# utility unpacked from them configures the simulated sensor from a settings
# file with status 0, loading the library and the simulator's modules from
# the unpacked files alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-missing.sh lintian appstream
packages=build/packages
debs=("$packages"/*.deb)

lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

stage=$packages/stage
rm -rf "$stage"
for deb in "${debs[@]}"; do dpkg -x "$deb" "$stage"; done
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml

status=0
run=$(env -i PATH="$PATH" HOME="$HOME" LD_DEBUG=libs DRAVIK_SIM=devlib/sim/scenarios/one-sensor.json \
      timeout 60 "$stage/usr/bin/Tornel-Tyvel-4-7" examples/Default.tyv 2>&1) || status=$?
if [ "$status" -ne 0 ]; then
  grep -v "^ *[0-9]*:" <<<"$run" >&2 || true
  echo "the unpacked utility ended with status $status, expected 0" >&2
  exit 1
fi
libdir=$(dpkg-architecture -q DEB_HOST_MULTIARCH)
for file in libDravik.so.5 dravik/libdravik_sim_hid.so dravik/libdravik_sim_setupapi.so; do
  if ! grep -q "calling init: $stage/usr/lib/$libdir/$file\$" <<<"$run"; then
    echo "the unpacked utility did not load $file from $stage" >&2
    exit 1
  fi
done
echo "packages in $packages: lintian found no error, the unpacked utility configured the simulated sensor"
