#!/usr/bin/env bash
# Builds the libraries the browser game links (zlib, libpng, FreeType, libogg, libvorbis, SDL2)
# with Debian's emscripten, from Debian's own source packages of the versions the Linux build
# uses (debian-sources.sh fetches them); each is built once into a cache outside the clone: a
# later run finds it there. zlib, libogg and libvorbis build by their own configure scripts,
# which emscripten takes better than their CMake projects.
# Usage: scripts/web-deps.sh   (prints the prefix the libraries are installed in)
# VANTORIX_CACHE moves the cache (default ~/.cache/vantorix). Needs Debian's emscripten package.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
system=web
source "$top/scripts/debian-sources.sh"

# Debian's emscripten finds its node modules here, and its node must not fetch by itself.
export NODE_PATH=/usr/share/nodejs NODE_OPTIONS=--no-experimental-fetch

# build NAME DEV-PACKAGE configure|cmake [ARGUMENTS]: configured, built and installed once, in a
# copy of the source (timestamps kept, so make never wants automake).
build() {
    local name=$1 package=$2 how=$3
    shift 3
    [[ -f $cache/build/$name.done ]] && return
    local folder
    folder=$(unpack "$package") || return 1
    echo "web-deps: building $name from $(basename "$folder")" >&2
    local log=$cache/build/$name.log work=$cache/build/$name
    rm -rf "$work"
    if [[ $how == configure ]]; then
        cp -a "$folder" "$work"
        (cd "$work" && emconfigure ./configure --prefix="$prefix" "$@" &&
            emmake make -j2 && emmake make install) >"$log" 2>&1
    else
        emcmake cmake -S "$folder" -B "$work" -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" \
            -DBUILD_SHARED_LIBS=OFF "$@" >"$log" 2>&1
        cmake --build "$work" -j2 >>"$log" 2>&1
        cmake --install "$work" >>"$log" 2>&1
    fi
    touch "$cache/build/$name.done"
}

zlib=(-DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include")
build zlib zlib1g-dev configure --static
build libpng libpng-dev cmake -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF "${zlib[@]}"
build freetype libfreetype-dev cmake -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON "${zlib[@]}"
build libogg libogg-dev configure --disable-shared
build libvorbis libvorbis-dev configure --disable-shared \
    PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
build sdl2 libsdl2-dev cmake -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
echo "$prefix"
