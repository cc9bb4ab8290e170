#!/usr/bin/env bash
# The Windows game under Wine against the Linux game, in one run on this machine, both playing
# without drawing on a script's clock (so as fast as they can): the cost of a frame of level 9
# (the autopilot and the computer figures in it), and the campaign played from level 1 in
# frames a second. A run of 2N frames less a run of N takes the start-up (Wine's above all)
# out. Each measure is taken three times, the two games in turn; the medians are printed.
# Usage: bench/windows/speed.sh [N]   after scripts/build.sh release and scripts/build.sh windows
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
frames=${1:-9000}
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$top/build/windows/wineprefix WINEDEBUG=-all SDL_AUDIODRIVER=dummy
ln -s "$top/build/release/media" "$work/media"
echo "# nothing: the autopilot plays" >"$work/script.txt"

# seconds GAME LEVEL FRAMES: how long the game took.
seconds() {
    local game=$1 level=$2 n=$3 start end
    start=$(date +%s.%N)
    (cd "$work" && $game --script script.txt --nodraw --seed 5 --autopilot 5 --level "$level" \
        --frames "$n" >/dev/null 2>&1)
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }' 
}
# perframe GAME LEVEL: microseconds a frame, start-up taken out.
perframe() {
    local one two
    one=$(seconds "$1" "$2" "$frames")
    two=$(seconds "$1" "$2" $((2 * frames)))
    awk -v a="$one" -v b="$two" -v n="$frames" 'BEGIN { print (b - a) * 1000000 / n }' 
}
median() { sort -g | sed -n 2p; }

"$wine" wineboot --init >/dev/null 2>&1 || true
for level in 9 1; do
    linux=() windows=()
    for round in 1 2 3; do
        linux+=("$(perframe "$top/build/release/vantorix" "$level")")
        windows+=("$(perframe "$wine $top/build/windows/vantorix.exe" "$level")")
    done
    l=$(printf '%s\n' "${linux[@]}" | median)
    w=$(printf '%s\n' "${windows[@]}" | median)
    awk -v level="$level" -v l="$l" -v w="$w" 'BEGIN {
        printf "level %s, no drawing: Linux %.1f us a frame (%.0f frames/s), ", level, l, 1e6 / l
        printf "Windows under Wine %.1f us (%.0f frames/s)\n", w, 1e6 / w }' 
done
