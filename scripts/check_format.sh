#!/usr/bin/env bash
# Checks that the C++ sources of the program and of its unit tests, fuzz targets
# and shared test helpers are formatted as .clang-format says. Lists each file
# that differs (`clang-format -i FILE` formats it) and closes with
# "N passed, N failed", one count per file.
set -uo pipefail
cd "$(dirname "$0")/.."
passed=0
failed=0
while IFS= read -r file; do
  if clang-format "$file" | cmp -s - "$file"; then
    passed=$((passed + 1))
  else
    echo "not formatted: $file"
    failed=$((failed + 1))
  fi
done < <(git ls-files --cached --others --exclude-standard -- \
           'app/*.cpp' 'app/*.h' 'dialogs/*.cpp' 'dialogs/*.h' 'paste/*.cpp' 'paste/*.h' \
           'platform/*.cpp' 'platform/*.h' 'storage/*.cpp' 'storage/*.h' 'ui/*.cpp' 'ui/*.h' \
           'tests/unit/*.cpp' 'tests/unit/*.h' 'tests/fuzz/*.cpp' 'tests/fuzz/*.h' \
           'tests/support/*.cpp' 'tests/support/*.h')
echo "$passed passed, $failed failed"
((failed == 0))
