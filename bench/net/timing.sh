#!/usr/bin/env bash
# Online timing on live clocks: two machines on 127.0.0.1 play a minute of a game over each
# --netsim profile (one-way delay ± jitter and loss on both machines' packets): a LAN (0 ms),
# 30 ± 5 ms with 1 % lost, 80 ± 10 ms with 2 %, 150 ± 30 ms with 5 %. Both steer at random;
# the host leaves at the end. For each machine it prints the stalls a minute (a frame shown
# more than 25 ms after the one before) in all and after the first 300 frames of the game,
# the rollbacks a second, their mean and longest length, and the input delay chosen (auto).
# Targets: no stall once the machines are in step at 30 and 80 ms, at most one a minute at
# 150 ms. About five minutes; not part of the test suite.
# Usage: bench/net/timing.sh [build folder] [seconds]   (default build/release, 60)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/release}" && pwd)
seconds=${2:-60}
frames=$((seconds * 60))
source "$(dirname "$0")/sides.sh"
sides "$build" timing $frames 60 $((frames + 200))
field() { sed -n "s/.*$1 \([0-9.]*\).*/\1/p" <<<"$2"; }
printf '%-18s %-5s %8s %8s %10s %10s %8s %8s %6s\n' profile side stalls/m steady/m rollbacks/s \
    meanframes longest waits delay
for profile in "LAN 0 ms:delay=0,jitter=0,loss=0" "30 ms:delay=30,jitter=5,loss=1" \
               "80 ms:delay=80,jitter=10,loss=2" "150 ms:delay=150,jitter=30,loss=5"; do
    name=${profile%%:*} sim=${profile#*:}
    port=$((port + 1))
    (cd "$work/host" && "$build/vantorix" --script script.txt --realtime --nodraw --host "$port" \
        --multiplayer players=2 --seed 8 --netsim "$sim,seed=1" --netstats \
        --frames $((frames + 600)) 2>stderr.txt) &
    sleep 0.3
    (cd "$work/join" && "$build/vantorix" --script script.txt --realtime --nodraw \
        --join "127.0.0.1:$port" --netsim "$sim,seed=2" --netstats --frames $((frames + 900)) \
        2>stderr.txt)
    wait
    for side in host join; do
        stats=$(grep netstats "$work/$side/stderr.txt")
        minutes=$(awk -v f="$(sed -n 's/.*netstats: frames \([0-9]*\),.*/\1/p' <<<"$stats")" \
            'BEGIN { print f / 3600 }')
        steady=$(sed -n 's/.*after the first [0-9]* frames \([0-9]*\).*/\1/p' <<<"$stats")
        printf '%-18s %-5s %8s %8.2f %10s %10s %8s %8s %6s\n' "$name" $side \
            "$(sed -n 's/.*(\([0-9.]*\) a minute).*/\1/p' <<<"$stats")" \
            "$(awk -v s="$steady" -v m="$minutes" 'BEGIN { print s / m }')" \
            "$(sed -n 's/.*(\([0-9.]*\) a second.*/\1/p' <<<"$stats")" \
            "$(sed -n 's/.*, \([0-9.]*\) frames on average.*/\1/p' <<<"$stats")" \
            "$(sed -n 's/.*longest \([0-9]*\) frames.*/\1/p' <<<"$stats")" \
            "$(field waits "$stats")" "$(field "input delay" "$stats")"
    done
done
