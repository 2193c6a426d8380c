#!/usr/bin/env bash
# Builds the project and starts the configuration utility, by default against
# the simulated sensor of the shipped scenario; DRAVIK_SIM= (empty) uses the
# sensors attached. Arguments go to the utility, read from where it was called.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$root/build" >/dev/null
cmake --build "$root/build" -j "$(nproc)"
export DRAVIK_SIM="${DRAVIK_SIM-$root/devlib/sim/scenarios/one-sensor.json}"
exec "$root/build/configwin/Tornel-Tyvel-4-7" "$@"
