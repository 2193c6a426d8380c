#!/usr/bin/env bash
# Checks the Debian packages in build/packages (scripts/build-packages.sh):
# lintian finds no error in any, the AppStream metainfo is valid, the version
# in debian/changelog is the packaged library's, and, unpacked from them, the
# utility configures the simulated sensor from the example settings file it
# ships with status 0, loading the library and the simulator's modules from the
# unpacked files alone, and dravik_info reads the packaged scenario's sensor.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-missing.sh lintian appstream
packages=build/packages
debs=("$packages"/*.deb)

lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

stage=$(pwd)/$packages/stage
rm -rf "$stage"
for deb in "${debs[@]}"; do dpkg -x "$deb" "$stage"; done
appstreamcli validate --no-net "$stage"/usr/share/metainfo/*.metainfo.xml

libdir=$stage/usr/lib/$(dpkg-architecture -q DEB_HOST_MULTIARCH)
packaged=$(dpkg-parsechangelog -S Version)
library=$(sed -n 's/^Version: //p' "$libdir/pkgconfig/dravik.pc")
if [ "${packaged%%-*}" != "$library" ]; then
  echo "debian/changelog gives the version $packaged, the packaged library is $library" >&2
  exit 1
fi

example=$stage/usr/share/doc/tornel-tyvel/examples/Default.tyv
if ! cmp examples/Default.tyv "$example"; then
  echo "tornel-tyvel does not ship examples/Default.tyv as $example" >&2
  exit 1
fi
status=0
run=$(env -i PATH="$PATH" HOME="$HOME" LD_DEBUG=libs DRAVIK_SIM=devlib/sim/scenarios/one-sensor.json \
      timeout 60 "$stage/usr/bin/Tornel-Tyvel-4-7" "$example" 2>&1) || status=$?
if [ "$status" -ne 0 ]; then
  grep -v "^ *[0-9]*:" <<<"$run" >&2 || true
  echo "the unpacked utility ended with status $status, expected 0" >&2
  exit 1
fi
loaded=$(sed -n 's/^ *[0-9]*:\tcalling init: //p' <<<"$run" | xargs realpath -s)
for file in libDravik.so.5 dravik/libdravik_sim_hid.so dravik/libdravik_sim_setupapi.so; do
  if ! grep -qx "$libdir/$file" <<<"$loaded"; then
    echo "the unpacked utility did not load $file from $stage" >&2
    exit 1
  fi
done
info_status=0
info=$(env -i PATH="$PATH" DRAVIK_SIM="$stage/usr/share/dravik/scenarios/one-sensor.json" \
       timeout 60 "$stage/usr/bin/dravik_info" 2>&1) || info_status=$?
if [ "$info_status" -ne 0 ] || ! grep -q "^Sensor 0: " <<<"$info"; then
  printf '%s\n' "$info" >&2
  echo "the unpacked dravik_info ended with status $info_status on the packaged scenario, expected 0" >&2
  exit 1
fi
echo "packages in $packages: lintian found no error; unpacked, the utility and dravik_info worked on the simulated sensor"
