#!/usr/bin/env bash
# The installed game: staged with DESTDIR under the prefix /usr, its desktop entry and
# metainfo validated, the staged executable started from an unrelated folder finding its media
# from its own place and keeping its saves in the player's data folder, the old saves beside
# the executable copied there once and never over newer ones; the server with its unit; and
# the Debian package.
# Usage: install_test.sh <build folder>
set -euo pipefail
build=$(cd "$1" && pwd)
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantorix-install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }

stage=$tmp/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >"$tmp/install.log"
usr=$stage/usr
id=org.vantorix.Vantorix
for f in bin/vantorix share/vantorix/media/logo.png share/vantorix/media/tutto.ogg \
         share/vantorix/media/thud.ogg share/vantorix/media/man.txt \
         share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/man/man6/vantorix.6 \
         bin/vantorix-server share/man/man8/vantorix-server.8 lib/systemd/system/vantorix-server.service; do
    check "$f is installed" test -f "$usr/$f"
done
# Each icon is a PNG of its own size (width and height at bytes 16 to 23, big-endian).
for size in 48 64 128 256; do
    icon=$usr/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [[ -f $icon ]]; then
        read -r -a wh < <(od -An -tu1 -j16 -N8 "$icon")
        w=$(( (wh[0] << 24) + (wh[1] << 16) + (wh[2] << 8) + wh[3] ))
        h=$(( (wh[4] << 24) + (wh[5] << 16) + (wh[6] << 8) + wh[7] ))
        [[ $w == "$size" && $h == "$size" ]] || fail "icon $size is ${w}x$h"
    else
        fail "icon $size is missing"
    fi
done
check "desktop entry validates" desktop-file-validate "$usr/share/applications/$id.desktop"
check "metainfo validates" appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml"
unit=$usr/lib/systemd/system/vantorix-server.service
check "the unit starts the installed server" grep -qx 'ExecStart=/usr/bin/vantorix-server --port 24690' "$unit"
check "the unit runs as a dynamic user" grep -qx 'DynamicUser=yes' "$unit"
# systemd's own reading of the unit: a directive it cannot use is named with its line.
if command -v systemd-analyze >/dev/null; then
    bad=$(systemd-analyze verify --root="$stage" "$unit" 2>&1 | grep -E 'service:[0-9]+:' || true)
    [[ -z $bad ]] || fail "systemd reads the unit so: $bad"
else
    echo "install: SKIPPED the unit's check by systemd (no systemd-analyze here)"
fi
check "the staged server says its version" \
    grep -qx 'vantorix-server 0.1.0' <("$usr/bin/vantorix-server" --version)

# The staged game, started from an unrelated folder in scripted mode.
elsewhere=$tmp/elsewhere
mkdir -p "$elsewhere"
run() { # run <data home> <script>
    printf '%s' "$2" >"$elsewhere/script.txt"
    (cd "$elsewhere" && XDG_DATA_HOME=$1 SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
        "$usr/bin/vantorix" --script script.txt --frames 400 --seed 1 2>"$tmp/stderr.txt")
}
script=$'answer no\n150 shot menu.png\n151 close\n'
check "the first start plays" run "$tmp/data" "$script"
saves=$tmp/data/vantorix
for f in prefs.txt scores.txt menu.png; do
    check "$f is written in the player's folder" test -f "$saves/$f"
done
[[ -s $tmp/stderr.txt ]] && fail "the game said: $(cat "$tmp/stderr.txt")"
[[ $(ls "$usr/bin" | tr '\n' ' ') == "vantorix vantorix-server " ]] || fail "files beside the executable: $(ls "$usr/bin")"
[[ $(ls "$elsewhere") == script.txt ]] || fail "files in the caller's folder: $(ls "$elsewhere")"
# The menu picture shows something: the PNG is the game's 1024 x 768 and not tiny.
[[ $(stat -c %s "$saves/menu.png") -gt 20000 ]] || fail "the menu picture looks empty"

# An old game kept its saves beside its executable: the first start elsewhere brings them
# (here a 640 x 480 game), later starts keep the player's own files.
printf '1\r\n0\r\n1\r\n1\r\n0\r\n6\r\n' >"$tmp/old-prefs.txt"
cp "$tmp/old-prefs.txt" "$usr/bin/prefs.txt"
printf 'OLD\r\n5\r\n' >"$usr/bin/scores.txt"
check "the start after the move plays" run "$tmp/moved" "$script"
moved=$tmp/moved/vantorix
cmp -s "$moved/prefs.txt" "$tmp/old-prefs.txt" || fail "prefs.txt was not brought along"
check "scores.txt was brought along" grep -q '^OLD' "$moved/scores.txt"
[[ $(od -An -tu1 -j16 -N4 "$moved/menu.png" | tr -s ' ') == " 0 0 2 128" ]] ||
    fail "the old preferences (640 x 480) were not used"
printf '%s' $'2\r\n0\r\n1\r\n1\r\n0\r\n6\r\n' >"$usr/bin/prefs.txt"
check "a later start plays" run "$tmp/moved" "$script"
cmp -s "$moved/prefs.txt" "$tmp/old-prefs.txt" || fail "a later start copied over the player's file"
[[ $(ls "$usr/bin" | tr '\n' ' ') == "prefs.txt scores.txt vantorix vantorix-server " ]] ||
    fail "files beside the executable: $(ls "$usr/bin")"
rm "$usr/bin/prefs.txt" "$usr/bin/scores.txt"

# The Debian package holds the same tree under /usr.
(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log") ||
    fail "cpack: $(tail -5 "$tmp/cpack.log")"
deb=$(ls "$tmp"/package/*.deb 2>/dev/null | head -1)
if [[ -n $deb ]]; then
    contents=$(dpkg-deb -c "$deb")
    for f in ./usr/bin/vantorix ./usr/bin/vantorix-server ./usr/share/vantorix/media/logo.png \
             ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml; do
        grep -qF " $f" <<<"$contents" || fail "the package lacks $f"
    done
    [[ $(dpkg-deb -f "$deb" Package) == vantorix ]] || fail "the package is not named vantorix"
    dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "the package does not depend on SDL"
else
    fail "cpack made no package"
fi

if [[ $failures -gt 0 ]]; then
    echo "install: $failures checks failed" >&2
    exit 1
fi
echo "install: every check passed"
