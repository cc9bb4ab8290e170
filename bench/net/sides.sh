# Shared by the online benchmarks: a work folder with a folder for each machine (host, join),
# each with the game's media and a script that presses a new arrow key every 20 to 20 + GAP
# frames up to frame END, from a seed of each side's own; the host presses Escape at LEAVE.
# Usage: source sides.sh; sides BUILD NAME END GAP LEAVE   (sets work and port)
sides() {
    local build=$1 name=$2 end=$3 gap=$4 leave=$5 side
    work=$(mktemp -d "${TMPDIR:-/tmp}/vantorix-$name-XXXXXX")
    trap 'rm -rf "$work"' EXIT
    port=$((30000 + $$ % 20000))
    for side in host join; do
        mkdir "$work/$side"
        ln -s "$build/media" "$work/$side/media"
        awk -v seed=$([[ $side == host ]] && echo 1 || echo 2) -v end="$end" -v gap="$gap" \
            -v leave=$([[ $side == host ]] && echo "$leave") '
            BEGIN { srand(seed); print "answer no"; held = 0
                    for (f = 100; f < end; f += 20 + int(rand() * gap)) {
                        if (held) print f " up " held
                        held = 37 + int(rand() * 4); print f " down " held }
                    if (leave) print leave " down 27" }' >"$work/$side/script.txt"
    done
}
