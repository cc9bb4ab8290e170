#!/usr/bin/env bash
# Installs what drives the browser in the web tests and benchmarks: puppeteer-core at the
# version tests/web/package-lock.json pins, from the npm registry without any browser of its
# own (they use Debian's Chromium), into a cache outside the clone; again only when the pinned
# versions change.
# Usage: scripts/web-test-deps.sh   (prints the node_modules folder)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
folder=${VANTORIX_CACHE:-$HOME/.cache/vantorix}/web-tests
mkdir -p "$folder"
if ! cmp -s "$top/tests/web/package-lock.json" "$folder/package-lock.json" ||
    [[ ! -d $folder/node_modules/puppeteer-core ]]; then
    echo "web-test-deps: installing puppeteer-core into $folder" >&2
    cp "$top/tests/web/package.json" "$top/tests/web/package-lock.json" "$folder/"
    (cd "$folder" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --ignore-scripts) >&2
fi
echo "$folder/node_modules"
