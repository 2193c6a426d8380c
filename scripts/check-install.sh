#!/usr/bin/env bash
# Installs the build in folder $1 into its stage folder (DESTDIR) and checks the
# result: the desktop entry is valid, and the installed utility finds the
# library and its modules in the installed lib folder alone; with a settings
# file and no sensor it ends at once with status 3.
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
stage=$build/stage
rm -rf "$stage"
DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null
desktop-file-validate "$stage/usr/local/share/applications/tornel-tyvel-4-7.desktop"

# An empty entry in a program's library path makes the loader search the
# current folder.
for program in "$build/configwin/Tornel-Tyvel-4-7" "$build/devlib/dravik_info" "$stage"/usr/local/bin/*; do
  runpath=$(readelf -d "$program" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]$/\1/p')
  if [ -n "$runpath" ] && [[ ":$runpath:" == *::* ]]; then
    echo "$program searches the current folder for libraries (RUNPATH \"$runpath\")" >&2
    exit 1
  fi
done

status=0
run=$(env -i PATH="$PATH" HOME="$HOME" QT_QPA_PLATFORM=offscreen LD_DEBUG=libs timeout 30 \
      "$stage/usr/local/bin/Tornel-Tyvel-4-7" configwin/tests/settings/ctrl-alt-delete.tyv 2>&1) || status=$?
output=$(grep -v "^ *[0-9]*:" <<<"$run" || true)
if [ "$status" -ne 3 ] || grep -q "Cannot load" <<<"$output"; then
  printf '%s\n' "$output" >&2
  echo "the installed utility ended with status $status, expected 3 without a sensor" >&2
  exit 1
fi
for file in libDravik.so libdravik_hid.so libdravik_setupapi.so; do
  if ! grep -q "calling init: $stage/usr/local/.*/$file\$" <<<"$run"; then
    echo "the installed utility did not load $file from $stage" >&2
    exit 1
  fi
done
echo "staged install in $stage: the utility ran and found its library"
