#!/usr/bin/env bash
# Usage: run_sitecheck_bench.sh WRENPAD-TOOL DATA-FOLDER
# Builds a site of 2,000 pages in 40 folders, each page with five references
# (a page in another folder with its #anchor, an image with its size, a
# style sheet, a page beside it, an address on the network), and times
# "wrenpad-tool check --recursive --notes ." beside "find . -type f" over the
# same folder: the best of five runs each, files already in the cache.
set -euo pipefail
tool=$1
site=$2/site
if [ ! -f "$site/d39/p49.html" ]; then
    rm -rf "$site"
    mkdir -p "$site/img"
    printf '\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x10\0\0\0\x08\x08\x06\0\0\0\0\0\0\0' > "$site/img/a.png"
    echo 'body { color: black }' > "$site/style.css"
    for d in $(seq 0 39); do
        mkdir -p "$site/d$d"
        n=$(( (d + 1) % 40 ))
        for p in $(seq 0 49); do
            q=$(( (p + 1) % 50 ))
            cat > "$site/d$d/p$p.html" <<PAGE
<!DOCTYPE html>
<html><head><meta charset="UTF-8"><title>ページ $d-$p</title>
<link rel="stylesheet" href="../style.css"></head>
<body><h1 id="top$p">見出し</h1>
<p>本文の段落です。<a href="../d$n/p$p.html#top$p">次のフォルダ</a>
<p><img src="../img/a.png" width="16" height="8" alt="">
<ul><li><a href="p$q.html">次のページ</a><li><a href="https://example.com/">外部</a></ul>
<table><tr><td>1<td>2<tr><td>3</table>
</body></html>
PAGE
        done
    done
fi
cd "$site"
best() {
    local best=999999 t0 t1 ms
    for _ in 1 2 3 4 5; do
        t0=$(date +%s%N)
        "$@" > /dev/null || true
        t1=$(date +%s%N)
        ms=$(( (t1 - t0) / 1000000 ))
        [ "$ms" -lt "$best" ] && best=$ms
    done
    echo "$best"
}
pages=$(find . -name '*.html' | wc -l)
lines=$("$tool" check --recursive . | wc -l)
echo "site: $pages pages, 5 references each ($(( pages * 5 )) in all); error lines: $lines"
echo "wrenpad-tool check --recursive --notes .  best of 5: $(best "$tool" check --recursive --notes .) ms"
echo "find . -type f (peer)                      best of 5: $(best find . -type f) ms"
echo "find . -type f -exec cat {} + (peer, reads the pages): $(best sh -c 'find . -type f -exec cat {} + > /dev/null') ms"
