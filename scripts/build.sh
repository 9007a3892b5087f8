#!/usr/bin/env bash
# Configures and builds the presets named (default: native and mingw).
# Tests are switched on explicitly so that an older cache cannot leave them out.
# Builds of one preset take turns (./test's native layers both build it): the
# second finds the first's work done.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
((${#presets[@]})) || presets=(native mingw)
mkdir -p build
for preset in "${presets[@]}"; do
  echo "== build: $preset"
  exec {lock}>"build/.$preset.lock"
  flock "$lock"
  cmake --preset "$preset" -DNEMUROKU_TESTS=ON >/dev/null
  cmake --build --preset "$preset"
  exec {lock}>&-
done
