#!/usr/bin/env bash
# Fails, listing the files, when a C++ file of the project is not formatted as .clang-format
# says. Run by the test suite, so unformatted code never lands.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'tools/*.cpp' \
                                  'tools/*.h' 'bench/*.cpp' 'bench/*.h' 2>/dev/null)
[[ ${#files[@]} -gt 0 ]] || { echo "format: no files found (not a git checkout?)" >&2; exit 1; }
bad=()
for f in "${files[@]}"; do
    [[ -f $f ]] || continue
    clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [[ ${#bad[@]} -gt 0 ]]; then
    echo "format: these files differ from .clang-format (run clang-format -i on them):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "format: ${#files[@]} files as .clang-format says"
