#!/usr/bin/env bash
# Installs the Debian packages the game needs to build, run and be tested (--windows: and
# cross-built for Windows).
# Only missing packages are installed, so a second run does no apt work.
set -euo pipefail

# clang's fuzzer and sanitizer runtimes (libclang-rt-dev) are only a recommendation of clang,
# which --no-install-recommends skips; the figure file fuzzer cannot link without them.
# libopengl-dev lets CMake pick the same GLVND libraries on every machine. The install test
# validates the desktop entry and metainfo (desktop-file-utils, appstream) and builds the
# Debian package (dpkg-dev's dpkg-shlibdeps finds its dependencies). Online play goes over ENet;
# its tests build homes behind NAT routers in network namespaces (iproute2, nftables).
packages=(
    build-essential cmake pkg-config clang libclang-rt-dev clang-format git
    libsdl2-dev libgl-dev libopengl-dev libegl-dev libgl1-mesa-dri
    libpng-dev zlib1g-dev libfreetype-dev libogg-dev libvorbis-dev fonts-play
    libenet-dev iproute2 nftables
    libgtest-dev libgmock-dev libbenchmark-dev libbox2d-dev
    desktop-file-utils appstream dpkg-dev
)

# The Windows build (setup.sh --windows): MinGW-w64, Wine and a virtual X display to test it,
# and GoogleTest's source to build for it.
[[ ${1:-} == --windows ]] &&
    packages+=(g++-mingw-w64-x86-64-posix wine64 xvfb xauth googletest unzip)
# The browser's build (setup.sh --web): Debian's emscripten, and Debian's Chromium to test it,
# driven from npm's puppeteer-core (Debian's npm only where Node.js came without its own).
if [[ ${1:-} == --web ]]; then
    packages+=(emscripten chromium)
    command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "setup: installing ${missing[*]}"
# The environment variable goes through env, as sudo would drop an exported one.
as_root=(env DEBIAN_FRONTEND=noninteractive)
[[ $(id -u) -eq 0 ]] || as_root=(sudo "${as_root[@]}")
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
