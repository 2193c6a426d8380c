#!/usr/bin/env bash
# Checks the layout of the C and C++ files, then builds everything and runs
# every test: a plain build with warnings as errors and its install, the
# Debian packages, then the same tests under AddressSanitizer and UBSan, the
# library without the utility, the Windows build under wine, then the fuzz
# targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
jobs=$(nproc)

build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DTORNEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

build_and_test() {
  build "$@"
  ctest --test-dir "$1" --output-on-failure -j "$jobs"
}

build_and_test build/test

scripts/check-install.sh build/test

# The Debian packages, checked by lintian and run unpacked.
scripts/build-packages.sh
scripts/check-packages.sh

build_and_test build/sanitize -DTORNEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug

# The library alone, as a machine without Qt builds it.
build_and_test build/library-only -DTORNEL_WITH_GUI=OFF

# Dravik.dll cross-built for 32-bit Windows: its export table checked and its
# tests run under wine against the simulated HID.DLL and SETUPAPI.DLL. Wine
# needs a kernel that runs 32-bit programs, which containers and VMs often
# lack; there only the export table is checked. A loader failing for any
# other reason leaves the tests to run and fail.
scripts/install-windows-deps.sh
windows=(build/windows -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake)
if wine_loader=$(/usr/lib/wine/wine --version 2>&1) || [[ $wine_loader != *"Exec format error"* ]]; then
  build_and_test "${windows[@]}"
else
  build "${windows[@]}"
  ctest --test-dir build/windows --output-on-failure -R '^dravik_dll_exports$'
  echo "The tests under wine were not run: this machine cannot run 32-bit programs" \
       "(/usr/lib/wine/wine: Exec format error)."
fi

# The fuzz targets under libFuzzer (clang), each for a bounded time on its
# seeds; a crash, leak, sanitizer report or timeout fails the run and leaves
# its input in build/fuzz.
CC=clang CXX=clang++ cmake -S . -B build/fuzz -DTORNEL_WERROR=ON -DTORNEL_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs"

# fuzz <what> <target> <seconds> <dictionary> <seed folder>...
fuzz() {
  local what=$1 target=$2 seconds=$3 dictionary=$4; shift 4
  local name=${target##*/}
  mkdir -p "build/fuzz/corpus-$name"
  if ! "$target" "build/fuzz/corpus-$name" "$@" -dict="$dictionary" -max_total_time="$seconds" -timeout=10 \
      -print_final_stats=1 -artifact_prefix="build/fuzz/$name-" >"build/fuzz/$name.log" 2>&1; then
    tail -n 60 "build/fuzz/$name.log"
    echo "fuzzing the $what found a fault" >&2
    exit 1
  fi
  local runs rate
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "build/fuzz/$name.log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "build/fuzz/$name.log")
  echo "fuzzing the $what: $runs runs in $seconds s, $rate per second"
}

fuzz "template reader" build/fuzz/devlib/fuzz/template_reader_fuzz 60 devlib/fuzz/template_reader.dict devlib/fuzz/corpus
fuzz "settings-file check" build/fuzz/configwin/fuzz/settings_check_fuzz 30 configwin/fuzz/settings_check.dict \
  examples build/fuzz/configwin/fuzz/settings
