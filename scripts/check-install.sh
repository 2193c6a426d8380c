#!/usr/bin/env bash
# Installs the build in folder $1 into its stage folder (DESTDIR) and checks the
# result: the build has a build type; the desktop entry is valid; the udev
# rule's folder follows the prefix, and a user installs into a prefix of
# their own without root; the library carries its version in its name and
# finds its modules in its private folder (the simulator with its installed
# scenario); programs build against it with pkg-config and with CMake; the
# installed utility finds the library (without the development
# link) and its modules in the installed lib folder alone, and with a
# settings file and no sensor it ends at once with its no-sensor status.
set -euo pipefail
# The programs' statuses for a run without a sensor: the utility's
# ExitNoSensor (configwin/app/exit_status.h) and dravik_info's own.
utility_no_sensor=3
info_no_sensor=1
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
stage=$build/stage
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null
desktop-file-validate "$stage/usr/local/share/applications/tornel-tyvel-4-7.desktop"

# A build configured without a build type gets one: an install is optimised.
if ! grep -q '^CMAKE_BUILD_TYPE:STRING=.' "$build/CMakeCache.txt"; then
  echo "$build has no build type" >&2
  exit 1
fi

# The udev rule goes where the install prefix says: /etc for /usr/local,
# udev's own folder for /usr, and under any other prefix.
expect_udev_rule() {
  if [ ! -f "$1/70-dravik-sensor.rules" ]; then
    echo "the udev rule is not in $1 after an install into $2" >&2
    exit 1
  fi
}
expect_udev_rule "$stage/etc/udev/rules.d" /usr/local
usr_stage=$build/stage-usr
rm -rf "$usr_stage"
DESTDIR=$usr_stage cmake --install "$build" --prefix /usr >/dev/null
expect_udev_rule "$usr_stage/usr/lib/udev/rules.d" /usr
if [ -e "$usr_stage/etc" ]; then
  echo "an install into /usr wrote into /etc" >&2
  exit 1
fi
rm -rf "$usr_stage"

# A user installs into a prefix of their own without root. Run as root, the
# install runs as nobody, who may read the build and the sources wherever
# they are (also under a folder only root may enter) but writes only into the
# prefix and cmake's install manifest in the build folder (a user building
# for themselves owns both). CMake checks its files with access(), which
# drops the capability for a user other than root unless no_setuid_fixup is
# set.
user_prefix=$build/user-prefix
rm -rf "$user_prefix"
mkdir "$user_prefix"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  touch "$build/install_manifest.txt"
  chown nobody:nogroup "$user_prefix" "$build/install_manifest.txt"
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --securebits=+no_setuid_fixup
           --inh-caps=+dac_read_search --ambient-caps=+dac_read_search)
fi
if ! "${as_user[@]}" cmake --install "$build" --prefix "$user_prefix" >/dev/null; then
  echo "an install without root into a prefix of the user's own failed" >&2
  exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
  chown --reference="$build" "$build/install_manifest.txt"
fi
expect_udev_rule "$user_prefix/lib/udev/rules.d" "$user_prefix"
if [ ! -x "$user_prefix/bin/Tornel-Tyvel-4-7" ]; then
  echo "an install into $user_prefix did not install the utility" >&2
  exit 1
fi
# Writable places such as /tmp would not stop an install that strays.
if outside=$(grep -v "^$user_prefix/" "$build/install_manifest.txt"); then
  printf '%s\n' "$outside" >&2
  echo "an install into $user_prefix wrote outside it" >&2
  exit 1
fi
rm -rf "$user_prefix"

# An empty entry in a program's library path makes the loader search the
# current folder.
for program in "$build/configwin/Tornel-Tyvel-4-7" "$build/devlib/dravik_info" "$stage"/usr/local/bin/*; do
  runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
  if [ -n "$runpath" ] && [[ ":$runpath:" == *::* ]]; then
    echo "$program searches the current folder for libraries (RUNPATH \"$runpath\")" >&2
    exit 1
  fi
done

# The library under the build's version, and its link by the major number,
# which programs load and which an install without the development link
# libDravik.so still has.
lib=$stage/usr/local/lib
version=$(sed -n 's/^Version: //p' "$build/devlib/dravik.pc")
library=libDravik.so.$version
runtime_name=libDravik.so.${version%%.*}
soname=$(readelf -d "$lib/$library" | sed -n 's/.*(SONAME).*\[\(.*\)\]$/\1/p')
if [ "$soname" != "$runtime_name" ] || [ "$(readlink "$lib/$runtime_name")" != "$library" ] ||
   [ "$(readlink "$lib/libDravik.so")" != "$runtime_name" ]; then
  ls -l "$lib" >&2
  echo "the library is not installed as $library (soname \"$soname\") with its two links" >&2
  exit 1
fi

# The modules are in the library's private folder, not where the linker
# looks.
modules=$lib/dravik
if compgen -G "$lib/libdravik_*" >/dev/null; then
  echo "modules installed in the public folder $lib:" $lib/libdravik_* >&2
  exit 1
fi

# Other programs build against the staged install through pkg-config and
# through find_package(Dravik); they, and the installed dravik_info, link the
# versioned library, which finds the simulator's modules and its installed
# scenario.
consumers=$build/consumers
rm -rf "$consumers"
mkdir -p "$consumers"
export PKG_CONFIG_PATH=$lib/pkgconfig
if [ "$(realpath "$(pkg-config --variable=prefix dravik)")" != "$(realpath "$stage/usr/local")" ]; then
  echo "dravik.pc names the prefix $(pkg-config --variable=prefix dravik), not the folder it is in" >&2
  exit 1
fi
cc -o "$consumers/pkg-config-built" devlib/dravik_info.c devlib/closed_hidraw_nodes.c \
   $(pkg-config --cflags --libs dravik) -Wl,-rpath,"$(pkg-config --variable=libdir dravik)"
unset PKG_CONFIG_PATH
cmake -S devlib/tests/consumer -B "$consumers/cmake" -DCMAKE_PREFIX_PATH="$stage/usr/local" >/dev/null
cmake --build "$consumers/cmake" >/dev/null
found=$(sed -n 's/^Dravik_DIR:PATH=//p' "$consumers/cmake/CMakeCache.txt")
if [ "$(realpath "$found")" != "$(realpath "$lib/cmake/Dravik")" ]; then
  echo "find_package(Dravik) found $found, not the staged package" >&2
  exit 1
fi
scenario=$stage/usr/local/share/dravik/scenarios/one-sensor.json
for program in "$stage/usr/local/bin/dravik_info" "$consumers/pkg-config-built" "$consumers/cmake/dravik_consumer"; do
  if ! readelf -d "$program" | grep -q "(NEEDED).*\[$runtime_name\]"; then
    echo "$program is not linked against $runtime_name" >&2
    exit 1
  fi
  info=$(env -i PATH="$PATH" DRAVIK_SIM="$scenario" "$program")
  if ! diff -u devlib/tests/expected/info_one_sensor.txt - <<<"$info"; then
    echo "$program did not read the simulated sensor through the staged library" >&2
    exit 1
  fi
done

# Without the module the library names the file it looked for, once.
mv "$modules/libdravik_sim_hid.so" "$stage/hid-module-aside"
status=0
errors=$(env -i PATH="$PATH" DRAVIK_SIM="$scenario" "$stage/usr/local/bin/dravik_info" 2>&1 >/dev/null) || status=$?
mv "$stage/hid-module-aside" "$modules/libdravik_sim_hid.so"
expected="Dravik: $(realpath "$modules")/libdravik_sim_hid.so: cannot open shared object file: No such file or directory"
if [ "$status" -ne "$info_no_sensor" ] || [ "$errors" != "$expected" ]; then
  printf '%s\n' "$errors" >&2
  echo "without its module dravik_info ended with status $status, and stderr was not the one line: $expected" >&2
  exit 1
fi

rm "$lib/libDravik.so"
# Without a sensor the run ends before it opens the file: make sure there is one.
settings_file=$build/configwin/tests/settings/ctrl-alt-delete.tyv
if [ ! -f "$settings_file" ]; then
  echo "there is no $settings_file: the build writes it" >&2
  exit 1
fi
status=0
run=$(env -i PATH="$PATH" HOME="$HOME" QT_QPA_PLATFORM=offscreen LD_DEBUG=libs timeout 30 \
      "$stage/usr/local/bin/Tornel-Tyvel-4-7" "$settings_file" 2>&1) || status=$?
output=$(grep -v "^ *[0-9]*:" <<<"$run" || true)
if [ "$status" -ne "$utility_no_sensor" ] || grep -q "Cannot load" <<<"$output"; then
  printf '%s\n' "$output" >&2
  echo "the installed utility ended with status $status, expected $utility_no_sensor without a sensor" >&2
  exit 1
fi
for file in lib/$runtime_name lib/dravik/libdravik_hid.so lib/dravik/libdravik_setupapi.so; do
  if ! grep -Eq "calling init: $stage/usr/local/(bin/\.\./)?$file\$" <<<"$run"; then
    echo "the installed utility did not load $file from $stage" >&2
    exit 1
  fi
done
echo "staged install in $stage: the utility ran and found its library"
