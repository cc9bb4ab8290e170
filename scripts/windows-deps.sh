#!/usr/bin/env bash
# Builds the libraries the Windows game links statically (zlib, libpng, FreeType, libogg,
# libvorbis, ENet, SDL2) with MinGW-w64, from Debian's own source packages of the versions the
# Linux build uses. apt's source mechanism fetches them (the .dsc's checksums, which the signed
# archive index vouches for, are checked; nothing else is downloaded) into a cache outside the
# clone, and each library is built once: a later run finds it there.
# Usage: scripts/windows-deps.sh   (prints the prefix the libraries are installed in)
# VANTORIX_CACHE moves the cache (default ~/.cache/vantorix).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cache=${VANTORIX_CACHE:-$HOME/.cache/vantorix}/windows
prefix=$cache/prefix
mkdir -p "$cache/sources" "$cache/build" "$prefix"

# apt knows source packages only where a deb-src line is there: one for Debian's own archive,
# the same as the binary packages come from.
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
sourceslist=/etc/apt/sources.list.d/vantorix-deb-src.sources
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "windows-deps: adding Debian's source packages to apt" >&2
    "${as_root[@]}" tee "$sourceslist" >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${as_root[@]}" apt-get update -qq
fi

toolchain=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release
           -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix"
           -DVANTORIX_WINDOWS_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF)

# unpack DEV-PACKAGE: the source package of the installed development package, at its version,
# unpacked (with Debian's patches) into the cache; prints the folder. When the archive no
# longer has that version's source (the mirror here keeps no sources of security updates), the
# newest it has of the same upstream version is taken, and said.
unpack() {
    local source version upstream
    source=$(dpkg-query -W -f='${source:Package}' "$1")
    version=$(dpkg-query -W -f='${source:Version}' "$1")
    upstream=${version#*:}
    upstream=${upstream%-*}
    local folder=$cache/sources/$source-$upstream
    if [[ ! -d $folder ]]; then
        local candidates
        candidates=$(apt-cache showsrc "$source" | awk '/^Version: /{print $2}' | sort -ru)
        local chosen=""
        for v in $version $candidates; do
            [[ $v == "$version" || ${v#*:} == "$upstream"-* ]] || continue
            if (cd "$cache/sources" && apt-get source -qq --download-only "$source=$v" \
                    >>"$cache/build/fetch.log" 2>&1); then
                chosen=$v
                break
            fi
        done
        [[ -n $chosen ]] || { echo "windows-deps: no source of $source $upstream" >&2; exit 1; }
        [[ $chosen == "$version" ]] ||
            echo "windows-deps: $source $version has no source here; building $chosen" >&2
        dpkg-source --require-strong-checksums -x "$cache/sources/${source}_${chosen#*:}.dsc" \
            "$folder" >&2
    fi
    echo "$folder"
}

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
