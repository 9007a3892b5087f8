#!/usr/bin/env bash
# Configures and builds the presets named (default: native and mingw).
# Tests are switched on explicitly so that an older cache cannot leave them out.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
((${#presets[@]})) || presets=(native mingw)
for preset in "${presets[@]}"; do
  echo "== build: $preset"
  cmake --preset "$preset" -DNEMUROKU_TESTS=ON >/dev/null
  cmake --build --preset "$preset"
done
