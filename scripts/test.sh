#!/usr/bin/env bash
# Builds everything and runs every test: a plain build with warnings as
# errors, then the same tests under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)

build_and_test() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DTORNEL_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

build_and_test build/test
build_and_test build/sanitize -DTORNEL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
