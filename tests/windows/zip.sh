#!/usr/bin/env bash
# The Windows zip holds a GUI program with the game's icon, its version and its manifest, and
# plays wherever it is unpacked: in a folder with spaces and letters beyond
# ASCII in its name, its saves beside it; and in a folder it may not write (mounted read-only,
# which needs root: else SKIPPED), its saves in %APPDATA%\vantorix of a player named "Jösé Ñ",
# where the saves of the folder are copied on the first start.
# Usage: zip.sh <Windows build folder> <wine>
set -euo pipefail
build=$1 wine=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G ZIP >/dev/null)
zip=$(ls "$build"/vantorix-*-win64.zip)
export WINEPREFIX=$work/prefix WINEDEBUG=-all USER="Jösé Ñ"
mkdir "$work/Vantorix game ö"
unzip -q "$zip" -d "$work/Vantorix game ö"
game="$work/Vantorix game ö/$(basename "$zip" .zip)"

fail() { echo "FAILED: $*" >&2; exit 1; }

# The resource types: 14 an icon group, 16 a version, 24 a manifest.
header=$(x86_64-w64-mingw32-objdump -p "$game/vantorix.exe")
grep -q 'Subsystem.*(Windows GUI)' <<<"$header" || fail "vantorix.exe is no GUI program"
for type in 00000e 000010 000018; do
    grep -q "^0[0-9a-f]*   Entry: ID: 0x$type" <<<"$header" || fail "no resource of type 0x$type"
done
# play FOLDER: a scripted start from the game's own folder, the menu shot into the saves.
play() {
    (cd "$game" && "$wine" vantorix.exe --script "$1" --frames 300 2>"$work/stderr.txt") ||
        fail "the game ended with $?: $(cat "$work/stderr.txt")"
}

printf '200 shot menu.png\n' >"$work/script.txt"
play "$work/script.txt"
for file in menu.png prefs.txt scores.txt; do
    [[ -s $game/$file ]] || fail "$file is not beside the game in $game"
done
echo "a writable folder keeps the saves: $(ls "$game" | tr '\n' ' ')"

if [[ $(id -u) -ne 0 ]] || ! unshare -m mount --bind "$game" "$game" 2>/dev/null; then
    echo "SKIPPED: a read-only game folder needs a private mount (root, and mounts allowed)"
    exit 77
fi
appdata="$WINEPREFIX/drive_c/users/$USER/AppData/Roaming/vantorix"
"${wine%64}server64" -w 2>/dev/null || true
export -f play fail
export game wine work
unshare -m bash -c '
    set -euo pipefail
    mount --bind "$game" "$game"
    mount -o remount,bind,ro "$game"
    play "$work/script.txt"
    "${wine%64}server64" -w 2>/dev/null || true'
[[ -s $appdata/menu.png ]] || fail "the saves did not go to $appdata"
cmp -s "$game/scores.txt" "$appdata/scores.txt" || fail "the old scores were not copied over"
echo "a read-only folder sends the saves to %APPDATA%: $(ls "$appdata" | tr '\n' ' ')"
