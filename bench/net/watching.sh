#!/usr/bin/env bash
# What spectators cost the host: a 25 s game on the real clock between two machines on
# 127.0.0.1, watched by 0 and then by 8 spectators; nftables counts the datagrams and bytes
# the host sends from its port. Prints both and the cost of one spectator a second. Needs
# root (nftables); about a minute; not part of the test suite.
# Usage: bench/net/watching.sh [build folder]   (default build/release)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/release}" && pwd)
[[ $(id -u) -eq 0 ]] || { echo "SKIPPED: counting with nftables needs root"; exit 0; }
port=23456
seconds=25
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
table=vxbench$$
tmp=$(mktemp -d)
cleanup() { pkill -KILL -f "$tmp/" 2>/dev/null || true; nft delete table ip $table 2>/dev/null || true; rm -rf "$tmp"; }
trap cleanup EXIT
printf 'answer no\n100 down 37\n400 up 37\n500 down 39\n900 up 39\n1000 down 38\n1300 up 38\n' \
    >"$tmp/script.txt"
run() { # NAME ARGS...: the game in a folder of its own, in the background
    local dir=$tmp/$1
    shift
    mkdir -p "$dir" && ln -sfn "$build/media" "$dir/media"
    (cd "$dir" && exec "$build/vantorix" --script "$tmp/script.txt" --nodraw "$@" >/dev/null 2>&1) &
}
measure() { # SPECTATORS: "packets N bytes M" sent by the host
    nft add table ip $table
    nft add chain ip $table out '{ type filter hook output priority 0; }'
    nft add rule ip $table out udp sport $port counter
    run host$1 --host $port --multiplayer players=2 --seed 8 --realtime --frames $((seconds * 60))
    sleep 0.3
    run join$1 --join 127.0.0.1:$port --frames 100000
    for k in $(seq 1 "$1"); do run watch$1-$k --watch 127.0.0.1:$port --frames 100000; done
    sleep $((seconds + 3))
    pkill -KILL -f "$tmp/" 2>/dev/null || true
    nft list table ip $table | grep -o 'packets [0-9]* bytes [0-9]*'
    nft delete table ip $table
}
alone=$(measure 0)
watched=$(measure 8)
echo "host sends, no spectators: $alone"
echo "host sends, 8 spectators:  $watched"
read -r _ p0 _ b0 <<<"$alone"
read -r _ p8 _ b8 <<<"$watched"
echo "one spectator costs the host $(((p8 - p0) / 8 / seconds)) datagrams and $(((b8 - b0) / 8 / seconds)) bytes a second"
