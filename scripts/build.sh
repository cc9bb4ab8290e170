#!/usr/bin/env bash
# Configures (once) and builds one flavour of the game: "release" or "sanitize".
# Usage: scripts/build.sh <flavour> [cmake --build arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
shift || true
dir=build/$flavour
case $flavour in
    release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_SANITIZE=ON) ;;
    debug) flags=(-DCMAKE_BUILD_TYPE=Debug) ;;
    *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
if [[ ! -f $dir/CMakeCache.txt ]]; then
    cmake -S . -B "$dir" "${flags[@]}" >/dev/null
fi
cmake --build "$dir" -j2 "$@"
