#!/usr/bin/env bash
# Checks that the C++ sources of the program and of its unit tests, fuzz targets
# and shared test helpers are formatted as .clang-format says. Lists each file
# that differs (`clang-format -i FILE` formats it) and closes with
# "N passed, N failed", one count per file.
set -uo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
           'app/*.cpp' 'app/*.h' 'dialogs/*.cpp' 'dialogs/*.h' 'paste/*.cpp' 'paste/*.h' \
           'platform/*.cpp' 'platform/*.h' 'storage/*.cpp' 'storage/*.h' 'ui/*.cpp' 'ui/*.h' \
           'tests/unit/*.cpp' 'tests/unit/*.h' 'tests/fuzz/*.cpp' 'tests/fuzz/*.h' \
           'tests/support/*.cpp' 'tests/support/*.h')
# One clang-format for all files: it names each place that differs.
report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1)
status=$?
mapfile -t unformatted < <(sed -nE 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*/\1/p' \
                           <<<"$report" | sort -u)
for file in "${unformatted[@]}"; do
  echo "not formatted: $file"
done
passed=$((${#files[@]} - ${#unformatted[@]}))
failed=${#unformatted[@]}
if ((status != 0 && failed == 0)); then  # clang-format itself failed
  echo "$report"
  failed=1
fi
echo "$passed passed, $failed failed"
((failed == 0))
