#!/usr/bin/env bash
# The online soak: two machines on 127.0.0.1 play 20 000 frames over a bad network (delay 100
# ms, jitter 40 ms, 10 % of the packets lost), each steering at random; the host leaves at the
# end. Prints both machines' network figures and whether their traces are the same (no
# desync). About four minutes; not part of the test suite.
# Usage: bench/net/soak.sh [build folder]   (default build/release)
set -euo pipefail
build=$(cd "${1:-$(dirname "$0")/../../build/release}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/vantorix-soak-XXXXXX")
trap 'rm -rf "$work"' EXIT
port=$((30000 + $$ % 20000))
for side in host join; do
    mkdir "$work/$side"
    ln -s "$build/media" "$work/$side/media"
    # A new arrow key every 20 to 200 frames, from a seed of each side's own.
    awk -v seed=$([[ $side == host ]] && echo 1 || echo 2) -v leave=$([[ $side == host ]] && echo 21800) '
        BEGIN { srand(seed); print "answer no"; held = 0
                for (f = 100; f < 21500; f += 20 + int(rand() * 180)) {
                    if (held) print f " up " held
                    held = 37 + int(rand() * 4); print f " down " held }
                if (leave) print leave " down 27" }' >"$work/$side/script.txt"
done
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
