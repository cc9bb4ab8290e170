#!/usr/bin/env bash
# What spectators cost the host: a 25 s game on the real clock between two machines on
# 127.0.0.1, watched by 0 and then by 8 spectators connected to the host, then met by room
# code through a server that feeds 0, 1 and 8 spectators; nftables counts the datagrams and
# bytes the host sends from its port. Prints each and what the spectators cost a second.
# Needs root (nftables); about three minutes; not part of the test suite.
# Usage: bench/net/watching.sh [build folder]   (default build/release)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/release}" && pwd)
[[ $(id -u) -eq 0 ]] || { echo "SKIPPED: counting with nftables needs root"; exit 0; }
port=23456
seconds=25
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
table=vxbench$$
tmp=$(mktemp -d)
serverpid=
cleanup() { [[ -z $serverpid ]] || kill "$serverpid"; pkill -KILL -f "$tmp/" 2>/dev/null || true; nft delete table ip $table 2>/dev/null || true; rm -rf "$tmp"; }
trap cleanup EXIT
printf 'answer no\n100 down 37\n400 up 37\n500 down 39\n900 up 39\n1000 down 38\n1300 up 38\n' \
    >"$tmp/script.txt"
run() { # NAME ARGS...: the game in a folder of its own, in the background
    local dir=$tmp/$1
    shift
    mkdir -p "$dir" && ln -sfn "$build/media" "$dir/media"
    (cd "$dir" && exec "$build/vantorix" --script "$tmp/script.txt" --nodraw "$@" >out.txt 2>&1) &
}
server=()
measure() { # SPECTATORS: "packets N bytes M" sent by the host
    nft add table ip $table
    nft add chain ip $table out '{ type filter hook output priority 0; }'
    nft add rule ip $table out udp sport $port counter
    run host$1 "${server[@]}" --host $port --multiplayer players=2 --seed 8 --realtime \
        --frames $((seconds * 60))
    local where=127.0.0.1:$port
    if ((${#server[@]})); then
        until where=$(grep -o 'room [A-Z0-9]*' "$tmp/host$1/out.txt" 2>/dev/null); do sleep 0.1; done
        where=${where#room }
    fi
    sleep 0.3
    run join$1 "${server[@]}" --join "$where" --frames 100000
    for k in $(seq 1 "$1"); do run watch$1-$k "${server[@]}" --watch "$where" --frames 100000; done
    sleep $((seconds + 3))
    pkill -KILL -f "$tmp/" 2>/dev/null || true
    nft list table ip $table | grep -o 'packets [0-9]* bytes [0-9]*'
    nft delete table ip $table
    rm -rf "$tmp"/host* "$tmp"/join* "$tmp"/watch*
}
report() { # LABEL ALONE WATCHED N
    read -r _ p0 _ b0 <<<"$2"
    read -r _ pn _ bn <<<"$3"
    echo "$1: $4 spectators cost the host $(((pn - p0) / seconds)) datagrams and" \
        "$(((bn - b0) / seconds)) bytes a second in all"
}
alone=$(measure 0)
watched=$(measure 8)
echo "host sends, no spectators: $alone"
echo "host sends, 8 spectators:  $watched"
report "connected to the host" "$alone" "$watched" 8
mkdir -p "$tmp/server"
"$build/vantorix-server" --port 0 >"$tmp/server/out.txt" 2>&1 &
serverpid=$!
until serverport=$(grep -o 'port [0-9]*' "$tmp/server/out.txt"); do sleep 0.1; done
server=(--server "127.0.0.1:${serverport#port }")
alone=$(measure 0)
one=$(measure 1)
watched=$(measure 8)
echo "through the server, host sends, no spectators: $alone"
echo "through the server, host sends, 1 spectator:   $one"
echo "through the server, host sends, 8 spectators:  $watched"
report "through the server" "$alone" "$one" 1
report "through the server" "$alone" "$watched" 8
