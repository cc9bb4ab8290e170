# Sourced by the scripts that build the game's libraries for other systems (windows-deps.sh,
# web-deps.sh): Debian's own source packages of the versions the Linux build uses.
# apt's source mechanism fetches them (the .dsc's checksums, which the signed archive index
# vouches for, are checked; nothing else is downloaded), and each is unpacked once into
# $sources, a folder of the cache outside the clone that every system's build shares. The
# caller names its $system: its libraries are built in $cache/build and installed in $prefix.
sources=${VANTORIX_CACHE:-$HOME/.cache/vantorix}/sources
cache=${VANTORIX_CACHE:-$HOME/.cache/vantorix}/$system
prefix=$cache/prefix
mkdir -p "$sources" "$cache/build" "$prefix"

# apt knows source packages only where a deb-src line is there: one for Debian's own archive,
# the same as the binary packages come from.
as_root=()
[[ $(id -u) -eq 0 ]] || as_root=(sudo)
sourceslist=/etc/apt/sources.list.d/vantorix-deb-src.sources
if ! grep -rqs '^Types:.*deb-src\|^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "debian-sources: adding Debian's source packages to apt" >&2
    "${as_root[@]}" tee "$sourceslist" >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    "${as_root[@]}" apt-get update -qq
fi

# unpack DEV-PACKAGE: the source package of the installed development package, at its version,
# unpacked (with Debian's patches) into $sources; prints the folder. When the archive no
# longer has that version's source (the mirror here keeps no sources of security updates), the
# newest it has of the same upstream version is taken, and said.
unpack() {
    local source version upstream
    source=$(dpkg-query -W -f='${source:Package}' "$1")
    version=$(dpkg-query -W -f='${source:Version}' "$1")
    upstream=${version#*:}
    upstream=${upstream%-*}
    local folder=$sources/$source-$upstream
    if [[ ! -d $folder ]]; then
        local candidates
        candidates=$(apt-cache showsrc "$source" | awk '/^Version: /{print $2}' | sort -ru)
        local chosen=""
        for v in $version $candidates; do
            [[ $v == "$version" || ${v#*:} == "$upstream"-* ]] || continue
            if (cd "$sources" && apt-get source -qq --download-only "$source=$v" \
                    >>"$sources/fetch.log" 2>&1); then
                chosen=$v
                break
            fi
        done
        [[ -n $chosen ]] || { echo "debian-sources: no source of $source $upstream" >&2; exit 1; }
        [[ $chosen == "$version" ]] ||
            echo "debian-sources: $source $version has no source here; taking $chosen" >&2
        dpkg-source --require-strong-checksums -x "$sources/${source}_${chosen#*:}.dsc" \
            "$folder" >&2
    fi
    echo "$folder"
}

