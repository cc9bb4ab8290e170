#!/usr/bin/env bash
# Builds the libraries the Windows game links statically (zlib, libpng, FreeType, libogg,
# libvorbis, ENet, SDL2) with MinGW-w64, from Debian's own source packages of the versions the
# Linux build uses (debian-sources.sh fetches them), and GoogleTest; each is built once into a
# cache outside the clone: a later run finds it there.
# Usage: scripts/windows-deps.sh   (prints the prefix the libraries are installed in)
# VANTORIX_CACHE moves the cache (default ~/.cache/vantorix).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
system=windows
source "$top/scripts/debian-sources.sh"

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
           -DVANTORIX_WINDOWS_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF)

# build NAME DEV-PACKAGE [CMAKE ARGUMENTS]: configured, built and installed once.
build() {
    local name=$1 package=$2
    shift 2
    [[ -f $cache/build/$name.done ]] && return
    local folder
    folder=$(unpack "$package") || return 1
    echo "windows-deps: building $name from $(basename "$folder")" >&2
    local log=$cache/build/$name.log
    cmake -S "$folder" -B "$cache/build/$name" "${toolchain[@]}" "$@" >"$log" 2>&1
    if [[ $name == zlib ]]; then
        # Debian's zlib source leaves out the Windows resource its DLL needs: the static
        # library alone, put in place by hand.
        cmake --build "$cache/build/$name" -j2 --target zlibstatic >>"$log" 2>&1
        mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
        cp "$folder/zlib.h" "$cache/build/$name/zconf.h" "$prefix/include/"
        cp "$cache/build/$name/libzlibstatic.a" "$prefix/lib/libz.a"
        sed 's/-lz$/-lz/' "$cache/build/$name/zlib.pc" >"$prefix/lib/pkgconfig/zlib.pc"
    elif [[ $name == enet ]]; then
        # ENet's CMake project installs nothing: its library, headers and a pkg-config file
        # put in place by hand.
        cmake --build "$cache/build/$name" -j2 >>"$log" 2>&1
        mkdir -p "$prefix/include" "$prefix/lib/pkgconfig"
        cp -r "$folder/include/enet" "$prefix/include/"
        cp "$cache/build/$name/libenet.a" "$prefix/lib/"
        printf '%s\n' "prefix=$prefix" 'Name: libenet' 'Description: ENet' 'Version: 1.3' \
            'Libs: -L${prefix}/lib -lenet -lws2_32 -lwinmm' 'Cflags: -I${prefix}/include' \
            >"$prefix/lib/pkgconfig/libenet.pc"
    else
        cmake --build "$cache/build/$name" -j2 >>"$log" 2>&1
        cmake --install "$cache/build/$name" >>"$log" 2>&1
    fi
    touch "$cache/build/$name.done"
}

build zlib zlib1g-dev
build libpng libpng-dev -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
build freetype libfreetype-dev -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_HARFBUZZ=ON \
    -DFT_DISABLE_BROTLI=ON -DFT_DISABLE_PNG=ON -DFT_REQUIRE_ZLIB=ON
build libogg libogg-dev -DINSTALL_DOCS=OFF
build libvorbis libvorbis-dev
build sdl2 libsdl2-dev -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
# The game keeps its own main() (its arguments are UTF-8 by its manifest) and says itself which
# programs are GUI ones: SDL's main wrapper and -mwindows are taken out of what it asks for.
sed -i -e 's/ -lSDL2main//g' -e 's/ -mwindows//g' -e 's/ -Dmain=SDL_main//' \
    "$prefix/lib/pkgconfig/sdl2.pc"
# GoogleTest, for the unit tests under Wine: Debian's googletest package is its source.
if [[ ! -f $cache/build/googletest.done ]]; then
    echo "windows-deps: building GoogleTest from /usr/src/googletest" >&2
    log=$cache/build/googletest.log
    cmake -S /usr/src/googletest -B "$cache/build/googletest" "${toolchain[@]}" >"$log" 2>&1
    cmake --build "$cache/build/googletest" -j2 >>"$log" 2>&1
    cmake --install "$cache/build/googletest" >>"$log" 2>&1
    touch "$cache/build/googletest.done"
fi
# The mirror this project's machines reach has no source of ENet: then the Windows game is built
# without online play, and says so.
build enet libenet-dev ||
    echo "windows-deps: no source of ENet here: the Windows game will have no online play" >&2
echo "$prefix"
