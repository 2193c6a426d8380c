#!/usr/bin/env bash
# Builds the project and starts the configuration utility.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/run >/dev/null
cmake --build build/run -j "$(nproc)"
exec build/run/configwin/Tornel-Tyvel-4-7 "$@"
