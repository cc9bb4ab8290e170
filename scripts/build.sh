#!/usr/bin/env bash
# Configures (once) and builds one flavour of the game: "release", "sanitize" (ASan + UBSan),
# "clang" (the release build by clang), "thread" (ThreadSanitizer), "debug", or "windows" (cross-
# built by MinGW-w64 with the libraries of scripts/windows-deps.sh and the media of the release
# build), or "web" (the browser's, a static site built by emscripten with the libraries of
# scripts/web-deps.sh). Warnings are errors in every flavour.
# Usage: scripts/build.sh <flavour> [cmake --build arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
flavour=${1:-release}
shift || true
dir=build/$flavour
case $flavour in
    release) flags=(-DCMAKE_BUILD_TYPE=Release) ;;
    sanitize) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_SANITIZE=ON) ;;
    clang) flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                  -DVANTORIX_FUZZERS=OFF) ;;
    thread) flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTORIX_THREADS=ON
                   -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    debug) flags=(-DCMAKE_BUILD_TYPE=Debug) ;;
    windows)
        "$0" release --target media figure_media
        prefix=$(scripts/windows-deps.sh)
        flags=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
               -DVANTORIX_WINDOWS_PREFIX="$prefix" -DVANTORIX_NATIVE_BUILD="$PWD/build/release") ;;
    web)
        # The Linux game too: the browser's tests compare the two.
        "$0" release --target media figure_media vantorix
        prefix=$(scripts/web-deps.sh)
        modules=$(scripts/web-test-deps.sh)
        # Debian's emscripten finds its node modules here, and its node must not fetch.
        export NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch
        export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
        flags=(-DCMAKE_BUILD_TYPE=Release
               -DCMAKE_TOOLCHAIN_FILE=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
               -DCMAKE_FIND_ROOT_PATH="$prefix" -DVANTORIX_NATIVE_BUILD="$PWD/build/release"
               -DVANTORIX_WEB_TEST_MODULES="$modules") ;;
    *) echo "unknown build flavour: $flavour" >&2; exit 2 ;;
esac
if ! grep -qs '^CMAKE_COMPILE_WARNING_AS_ERROR:BOOL=ON' "$dir/CMakeCache.txt"; then
    cmake -S . -B "$dir" "${flags[@]}" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
fi
cmake --build "$dir" -j2 "$@"
