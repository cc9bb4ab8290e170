#!/usr/bin/env bash
# The game's speed in each build there is, in one run on this machine: the Linux game, the
# Windows game under Wine (build/windows) and the browser's build in headless Chromium
# (build/web, through bench/browser.js), each playing without drawing on a script's clock (so as
# fast as it can). Measured: the cost of a frame of level 9 (the autopilot and the computer
# figures in it), and of the campaign played from level 1. A run of 2N frames less a run of N takes the start-up (Wine's above all) out.
# Each measure is taken three times, the builds in turn; the medians are printed.
# Usage: bench/speed.sh [N]   after scripts/build.sh release (and windows, web)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
frames=${1:-9000}
wine=/usr/lib/wine/wine64
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$top/build/windows/wineprefix WINEDEBUG=-all SDL_AUDIODRIVER=dummy
export VANTORIX_SITE=$top/build/web/site
ln -s "$top/build/release/media" "$work/media"
echo "# nothing: the autopilot plays" >"$work/script.txt"

# seconds GAME LEVEL FRAMES: how long the game took.
seconds() {
    local game=$1 level=$2 n=$3 start end
    if [[ $game == browser ]]; then
        node "$top/bench/browser.js" run "$level" "$n"
        return
    fi
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

builds=("Linux=$top/build/release/vantorix")
if [[ -f $top/build/windows/vantorix.exe ]]; then
    "$wine" wineboot --init >/dev/null 2>&1 || true
    builds+=("Windows under Wine=$wine $top/build/windows/vantorix.exe")
fi
if [[ -f $VANTORIX_SITE/vantorix.js ]]; then
    NODE_PATH=$("$top/scripts/web-test-deps.sh")
    export NODE_PATH
    builds+=("the browser's in Chromium=browser")
fi
for level in 9 1; do
    declare -A times=()
    for round in 1 2 3; do
        for build in "${builds[@]}"; do times[${build%%=*}]+="$(perframe "${build#*=}" "$level") "; done
    done
    line="level $level, no drawing:"
    for build in "${builds[@]}"; do
        name=${build%%=*}
        m=$(printf '%s\n' ${times[$name]} | median)
        line+=$(awk -v name="$name" -v m="$m" 'BEGIN { printf " %s %.1f us a frame (%.0f/s);", name, m, 1e6 / m }')
    done
    echo "${line%;}"
    unset times
done
