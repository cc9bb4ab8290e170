#!/usr/bin/env bash
# Online play through real NAT, on one machine: network namespaces make an "internet"
# (203.0.113.0/24) holding vantorix-server at 203.0.113.1, and homes, each a router namespace
# doing NAT with nftables in front of one or two machines (192.0.2.0/24, a /26 each):
#   home 0  port-restricted (Linux masquerade: the port kept, replies only from where it sent)
#           with two machines
#   home 1  port-restricted
#   home 2  symmetric (masquerade random: a new port for every destination)
#   home 3  endpoint-independent (every datagram to a mapped port goes in)
# Every address stays inside these namespaces, and they go when the script ends.
# The games run scripted and undrawn; what they print and trace is compared.
# Usage: natlab.sh <build folder>. Needs root (CTest reports it skipped, with the reason,
# otherwise).
set -uo pipefail
build=$(cd "$1" && pwd)
game=$build/vantorix
server=$build/vantorix-server
if [[ $(id -u) -ne 0 ]]; then
    echo "SKIPPED: network namespaces need root"
    exit 77
fi
for tool in ip nft; do
    command -v $tool >/dev/null || { echo "SKIPPED: no $tool here (scripts/setup.sh installs it)"; exit 77; }
done

p=vx$$ # every namespace and link of this run begins so
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantorix-nat-XXXXXX")
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
cleanup() {
    disown -a
    pkill -KILL -f "$tmp/" 2>/dev/null
    for n in $(ip netns list | awk '{print $1}' | grep "^$p"); do ip netns del "$n"; done
    rm -rf "$tmp"
}
trap cleanup EXIT

ns() { ip netns exec "$@"; }
mkns() { ip netns add "$1" && ns "$1" ip link set lo up; }

# The internet: a bridge, the server's address on it.
inet=${p}i
mkns $inet
ns $inet ip link add br0 type bridge
ns $inet ip addr add 203.0.113.1/24 dev br0
ns $inet ip link set br0 up

# home K KIND: a router at 203.0.113.(10+K) with the LAN 192.0.2.(64K)/26 behind it.
home() {
    local k=$1 kind=$2 r=${p}r$1 base=$((64 * $1))
    mkns $r
    ip link add ${p}w$k netns $r type veth peer name ${p}x$k netns $inet
    ns $r ip addr add 203.0.113.$((10 + k))/24 dev ${p}w$k
    ns $r ip link set ${p}w$k up
    ns $inet ip link set ${p}x$k master br0 up
    ns $r ip link add lan type bridge
    ns $r ip addr add 192.0.2.$((base + 1))/26 dev lan
    ns $r ip link set lan up
    ns $r sysctl -qw net.ipv4.ip_forward=1
    local how=masquerade inbound=""
    [[ $kind == symmetric ]] && how="masquerade random"
    [[ $kind == independent ]] &&
        inbound="iifname \"${p}w$k\" udp dport 1024-65535 dnat to 192.0.2.$((base + 2))"
    # Like a home router's firewall, nothing unasked for reaches the router itself: dropped
    # before the connection tracker keeps it, so a punch that comes in before this home has
    # sent one leaves no entry that would take the port the machine's own punch maps to.
    ns $r nft -f - <<EOF
table ip nat {
    chain prerouting { type nat hook prerouting priority dstnat; $inbound; }
    chain postrouting { type nat hook postrouting priority srcnat; oifname "${p}w$k" $how; }
}
table ip filter {
    chain input { type filter hook input priority filter; iifname "${p}w$k" drop; }
}
EOF
}

# machine K M: machine M of home K, at 192.0.2.(64K + 2 + M).
machine() {
    local k=$1 m=$2 r=${p}r$1 n=${p}m$1$2 base=$((64 * $1))
    mkns $n
    ip link add ${p}l$k$m netns $n type veth peer name ${p}p$k$m netns $r
    ns $n ip addr add 192.0.2.$((base + 2 + m))/26 dev ${p}l$k$m
    ns $n ip link set ${p}l$k$m up
    ns $n ip route add default via 192.0.2.$((base + 1))
    ns $r ip link set ${p}p$k$m master lan up
}

home 0 restricted && machine 0 0 && machine 0 1
home 1 restricted && machine 1 0
home 2 symmetric && machine 2 0
home 3 independent && machine 3 0 || { fail "could not build the network"; exit 1; }

startserver() {
    mkdir -p "$tmp/server"
    ip netns exec $inet "$server" --port 24690 >"$tmp/server/out.txt" 2>&1 &
    serverpid=$!
    sleep 0.3
}
startserver

# play NAME K M SCRIPT ARGS...: a game on machine M of home K, in its own folder, in the
# background; its pid in the file pid.
play() {
    local dir=$tmp/$1 n=${p}m$2$3 script=$4
    shift 4
    mkdir -p "$dir"
    ln -sfn "$build/media" "$dir/media"
    printf '%s' "$script" >"$dir/script.txt"
    (cd "$dir" && exec ip netns exec $n "$game" --nodraw --script script.txt --trace trace.txt \
        --netstats --server 203.0.113.1:24690 "$@" >stdout.txt 2>stderr.txt) &
    echo $! >"$dir/pid"
}
# The room code a host printed, within ten seconds.
roomof() {
    for _ in $(seq 100); do
        local code
        code=$(awk '/^room /{print $2; exit}' "$tmp/$1/stdout.txt" 2>/dev/null)
        [[ -n $code ]] && { echo "$code"; return; }
        sleep 0.1
    done
}
# Waits for the game to end (at most a minute); its exit status.
finish() {
    local pid
    pid=$(cat "$tmp/$1/pid")
    for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}
said() { grep -qF "$2" "$tmp/$1/stderr.txt"; }
sametrace() {
    local lines
    lines=$(wc -l <"$tmp/$1/trace.txt" 2>/dev/null || echo 0)
    [[ $lines -ge $3 ]] || fail "$1 traced $lines frames, fewer than $3"
    cmp -s "$tmp/$1/trace.txt" "$tmp/$2/trace.txt" || fail "$1 and $2 traced different games"
}

steer='answer no
100 down 37
400 up 37
420 down 38
800 up 38
900 down 39
1400 up 39
1500 down 40
2100 up 40
2200 down 37
'
hosting() { echo "--host 24680 --multiplayer players=2 --seed 8 --netsim loss=3,seed=$1"; }
leaveat() { printf '%s%s down 27\n%s up 27\n' "$steer" "$1" "$(($1 + 2))"; }

# A room whose host goes: its code, asked for a minute later, has closed (started first, so
# the wait overlaps the other cases; on a port no other case hosts on, as a host that comes
# back from the same address within the minute finds its room again).
play gone 1 0 'answer no
' --host 24681 --multiplayer players=2 --frames 600
gonecode=$(roomof gone)
finish gone
gonesince=$SECONDS

# meet NAME HOME M HOME M LEAVE FRAMES PATH [JOINER'S ARGUMENTS]: a game hosted on machine M
# of the first home, with a room code, joined by it from the second, the host leaving at
# frame LEAVE: the same trace on both over most of its frames, and the path the host names.
meet() {
    local name=$1 leave=$6 frames=$7 path=$8 code
    play ${name}host $2 $3 "$(leaveat $leave)" $(hosting $leave) --frames $frames
    code=$(roomof ${name}host)
    [[ -n $code ]] || fail "$name: no room code: $(cat "$tmp/${name}host/stderr.txt")"
    play ${name}join $4 $5 "$steer" --join "$code" "${@:9}" --frames $frames
    finish ${name}host; finish ${name}join
    sametrace ${name}host ${name}join $((leave * 5 / 6))
    said ${name}host "PLAYER 2 path $path" ||
        fail "$name: not $path: $(cat "$tmp/${name}host/stderr.txt")"
}

echo "case: two homes behind port-restricted NAT go direct"
meet direct 0 0 1 0 3600 4400 direct --netsim loss=3,seed=2
echo "case: a home behind symmetric NAT is relayed"
meet relay 1 0 2 0 3600 4400 relayed --netsim loss=3,seed=4
echo "case: an endpoint-independent host lets a symmetric joiner in directly"
meet open 3 0 2 0 1200 1500 direct

echo "case: two machines in one home go direct (by their local addresses: this router does"
echo "      not hairpin), and a third finds the room full"
play homehost 0 0 "$(leaveat 1200)" $(hosting 6) --frames 1500
code=$(roomof homehost)
play homejoin 0 1 "$steer" --join "$code" --frames 1500
for _ in $(seq 100); do [[ -s $tmp/homehost/trace.txt ]] && break; sleep 0.1; done
sleep 1
play third 1 0 'answer no
' --join "$code" --frames 300
finish homehost; finish homejoin; finish third
sametrace homehost homejoin 1000
said homehost "PLAYER 2 path direct" || fail "not direct: $(cat "$tmp/homehost/stderr.txt")"
said third "THAT GAME IS FULL" || fail "the third machine heard: $(cat "$tmp/third/stderr.txt")"

# midgame NAME HOSTHOME JOINHOME SEED LEAVE FRAMES: a game on the real clock, hosted with a
# room code in the first home and joined from the second, the host leaving at frame LEAVE;
# back once the host has played 300 frames (5 s), with the code in $code.
midgame() {
    play $1host $2 0 "$(leaveat $5)" $(hosting $4) --realtime --frames $6
    code=$(roomof $1host)
    play $1join $3 0 "$steer" --join "$code" --frames 20000
    for _ in $(seq 300); do
        [[ $(wc -l <"$tmp/$1host/trace.txt" 2>/dev/null || echo 0) -ge 300 ]] && break
        sleep 0.1
    done
}

echo "case: a machine behind symmetric NAT watches a game by its code, fed by the server"
# It comes in the middle and catches up.
midgame watch 1 3 7 600 700
play watcher 2 0 'answer no
' --watch "$code" --frames 20000
finish watchhost; finish watchjoin; finish watcher
sametrace watchjoin watcher 600
said watcher "A PLAYER LEFT THE GAME" || fail "the watcher heard: $(cat "$tmp/watcher/stderr.txt")"

echo "case: a joiner behind symmetric NAT, killed mid-game, comes back with the code, relayed"
midgame back 1 2 9 1500 1700
kill -KILL "$(cat "$tmp/backjoin/pid")"
sleep 1
# The same folder (its rejoin.txt), another trace.
(cd "$tmp/backjoin" && exec ip netns exec ${p}m20 "$game" --nodraw --script script.txt \
    --trace again.txt --server 203.0.113.1:24690 --join "$code" --frames 20000 \
    >stdout.txt 2>stderr.txt) &
echo $! >"$tmp/backjoin/pid"
finish backhost; finish backjoin
said backhost "PLAYER 2 came back" || fail "no comeback: $(cat "$tmp/backhost/stderr.txt")"
[[ $(wc -l <"$tmp/backhost/trace.txt") -ge 500 ]] || fail "the game after the comeback was short"
cmp -s "$tmp/backhost/trace.txt" "$tmp/backjoin/again.txt" ||
    fail "the host and the machine that came back traced different games"

echo "case: a joiner's line goes down for 10 s mid-game; it takes its seat back by itself"
midgame line 0 1 11 1500 1700
ns ${p}r1 ip link set ${p}w1 down
sleep 10
ns ${p}r1 ip link set ${p}w1 up
finish linehost; finish linejoin
said linehost "PLAYER 2 came back" || fail "no comeback: $(cat "$tmp/linehost/stderr.txt")"
said linejoin "PLAYER 1 STOPPED ANSWERING" || fail "the joiner heard: $(cat "$tmp/linejoin/stderr.txt")"
! said linejoin "COULD NOT BE REACHED" || fail "the joiner gave up: $(cat "$tmp/linejoin/stderr.txt")"
# The joiner traced the first frames, then the whole game again once back.
hostlines=$(wc -l <"$tmp/linehost/trace.txt")
[[ $hostlines -ge 1000 ]] || fail "the game after the line came back was short"
tail -n "$hostlines" "$tmp/linejoin/trace.txt" | cmp -s - "$tmp/linehost/trace.txt" ||
    fail "the host and the joiner that came back traced different games"

echo "case: a machine finds the game hosted in its home on the JOIN screen and joins it"
play foundhost 0 0 "$(leaveat 1500)" --host 24680 --multiplayer players=2 --seed 9 --frames 1800
roomof foundhost >/dev/null # hosting by now (a slow start, under a sanitizer, found no game)
# MULTIPLAYER, Up twice to JOIN ONLINE GAME, Enter; a second later Down to the first game
# found, Enter; then steering.
play foundjoin 0 1 "answer no
150 tap 40
152 tap 13
158 tap 38
160 tap 38
162 tap 13
262 tap 40
264 tap 13
400 down 39
700 up 39
" --frames 1800
finish foundhost; finish foundjoin
sametrace foundhost foundjoin 1000

echo "case: a wrong code, and one whose room closed a minute ago"
play wrong 1 0 'answer no
' --join ABCDEF --frames 300
finish wrong
said wrong "NO GAME HAS THAT ROOM CODE" || fail "a wrong code: $(cat "$tmp/wrong/stderr.txt")"
sleep $((gonesince + 62 - SECONDS > 0 ? gonesince + 62 - SECONDS : 0))
play closed 1 0 'answer no
' --join "$gonecode" --frames 300
finish closed
said closed "THAT GAME HAS CLOSED" || fail "a closed room: $(cat "$tmp/closed/stderr.txt")"

echo "case: the server stops during a direct and a relayed game"
play keephost 0 0 "$(leaveat 2500)" $(hosting 7) --frames 3000
keepcode=$(roomof keephost)
play losehost 0 1 "$steer" $(hosting 8) --frames 100000
losecode=$(roomof losehost)
play keepjoin 1 0 "$steer" --join "$keepcode" --frames 3000
play losejoin 2 0 "$steer" --join "$losecode" --frames 100000
for _ in $(seq 300); do
    [[ $(wc -l <"$tmp/losehost/trace.txt" 2>/dev/null || echo 0) -gt 300 &&
       $(wc -l <"$tmp/keephost/trace.txt" 2>/dev/null || echo 0) -gt 300 ]] && break
    sleep 0.1
done
kill -TERM $serverpid
wait $serverpid
finish keephost; finish keepjoin
sametrace keephost keepjoin 2000
said keephost "PLAYER 2 path direct" || fail "not direct: $(cat "$tmp/keephost/stderr.txt")"
# Within ten seconds, each relayed machine says why its game ended.
for g in losehost losejoin; do
    for _ in $(seq 100); do said $g "THE SERVER STOPPED ANSWERING" && break; sleep 0.1; done
    said $g "THE SERVER STOPPED ANSWERING" || fail "$g heard: $(cat "$tmp/$g/stderr.txt")"
    kill -KILL "$(cat "$tmp/$g/pid")" 2>/dev/null
    wait "$(cat "$tmp/$g/pid")" 2>/dev/null
done

if [[ $failures -gt 0 ]]; then
    echo "nat: $failures checks failed" >&2
    exit 1
fi
echo "nat: every check passed"
