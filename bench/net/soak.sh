#!/usr/bin/env bash
# The online soak: two machines on 127.0.0.1 play 20 000 frames over a bad network (delay 100
# ms, jitter 40 ms, 10 % of the packets lost), each steering at random; the host leaves at the
# end. Prints both machines' network figures and whether their traces are the same (no
# desync). About four minutes; not part of the test suite.
# Usage: bench/net/soak.sh [build folder]   (default build/release)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/release}" && pwd)
source "$(dirname "$0")/sides.sh"
sides "$build" soak 21500 180 21800
sim=delay=100,jitter=40,loss=10
(cd "$work/host" && "$build/vantorix" --script script.txt --nodraw --host "$port" \
    --multiplayer players=2 --seed 8 --netsim "$sim,seed=1" --trace trace.txt --netstats \
    --frames 23000 2>stderr.txt) &
sleep 0.3
(cd "$work/join" && "$build/vantorix" --script script.txt --nodraw --join "127.0.0.1:$port" \
    --netsim "$sim,seed=2" --trace trace.txt --netstats --frames 24000 2>stderr.txt)
wait
echo "host: $(grep netstats "$work/host/stderr.txt")"
echo "join: $(grep netstats "$work/join/stderr.txt")"
lines=$(wc -l <"$work/host/trace.txt")
if cmp -s "$work/host/trace.txt" "$work/join/trace.txt" && ! grep -q "OUT OF SYNC" "$work"/*/stderr.txt; then
    echo "soak: $lines trace lines, the same on both machines"
else
    echo "soak: the machines went apart" >&2
    exit 1
fi
