#!/usr/bin/env bash
# Usage: run_filetools_bench.sh WRENPAD-TOOL WORK-FOLDER
# Times (best of RUNS, default 5, warm cache, contenders taking turns, the
# disk synced before each run) and sizes:
#   LZH pack of a 100 MB tree of C headers   vs  tar | gzip -6
#   unpacking that archive                    vs  lha x (lhasa), bsdtar x
#   unpacking 4 MB of it in -lh2- and -lh3- (our own decoders) beside -lh5-
#   (libarchive), when JLHA (libjlha-java) and a JDK are there to write them
#   splitting a 1 GB file into 1.44 MB parts  vs  split -b
# The machine's load is printed first: numbers taken beside other builds
# are noisy.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tool=$(realpath "$1")
work=$2
runs=${RUNS:-5}
mkdir -p "$work"
work=$(realpath "$work")
cd "$work"

# race "PREPARE" "NAME" "COMMAND" ["NAME" "COMMAND" ...]: each command runs
# RUNS times, in turns, after PREPARE and a sync; prints each best wall time
# and best CPU time (user and system, of every process of the command) and
# keeps them in BEST[NAME] and CPU[NAME].
declare -A BEST CPU
race() {
    local prepare=$1
    shift
    local -a names=() commands=()
    while [ $# -gt 0 ]; do
        names+=("$1")
        commands+=("$2")
        shift 2
    done
    for ((i = 0; i < runs; i++)); do
        for ((k = 0; k < ${#names[@]}; k++)); do
            bash -c "$prepare"
            sync
            local t0 t1 t c
            t0=$(date +%s.%N)
            /usr/bin/time -f '%U %S' -o "$work/cpu.time" bash -c "${commands[k]}" > /dev/null 2>&1
            t1=$(date +%s.%N)
            t=$(echo "$t1 - $t0" | bc)
            c=$(awk '{ print $1 + $2 }' "$work/cpu.time")
            local name=${names[k]}
            if [ -z "${BEST[$name]:-}" ] || [ "$(echo "$t < ${BEST[$name]}" | bc)" = 1 ]; then
                BEST[$name]=$t
            fi
            if [ -z "${CPU[$name]:-}" ] || [ "$(echo "$c < ${CPU[$name]}" | bc)" = 1 ]; then
                CPU[$name]=$c
            fi
        done
    done
    for name in "${names[@]}"; do
        printf '  %-36s %8.3f s wall %8.3f s CPU\n' "$name" "${BEST[$name]}" "${CPU[$name]}"
    done
}

ratio() {
    echo "scale=3; $1 / $2" | bc | sed 's/^\./0./'
}

echo "load: $(uptime)"

# --- A 100 MB text tree ------------------------------------------------------
if [ ! -f tree.done ]; then
    rm -rf tree && mkdir tree
    find /usr/include -type f -printf '%s %P\n' | sort -k2 |
        awk '{ total += $1; if (total <= 100000000) print $2 }' > tree.list
    tar -C /usr/include -cf - -T tree.list | tar -C tree -xf -
    touch tree.done
fi
echo "tree: $(find tree -type f | wc -l) files, $(du -sb --apparent-size tree | cut -f1) bytes"

echo "pack:"
race ":" \
    "wrenpad-tool archive pack (LZH)" "'$tool' archive pack tree.lzh tree" \
    "tar | gzip -6" "tar -C tree -cf - . | gzip -6 > tree.tgz"
lzh=$(stat -c %s tree.lzh)
tgz=$(stat -c %s tree.tgz)
echo "  size: LZH $lzh, tar.gz $tgz, ratio $(ratio "$lzh" "$tgz")"
echo "  time ratio: $(ratio "${BEST[wrenpad-tool archive pack (LZH)]}" "${BEST[tar | gzip -6]}") wall," \
    "$(ratio "${CPU[wrenpad-tool archive pack (LZH)]}" "${CPU[tar | gzip -6]}") CPU ($(nproc) processors;" \
    "ours codes files on one thread per processor)"
# Ours waits for the archive to reach the disk (fsync) before it takes the
# archive's name; the pipeline does not.

echo "unpack:"
race "rm -rf out1 out2 out3; mkdir -p out2 out3" \
    "wrenpad-tool archive unpack" "'$tool' archive unpack tree.lzh out1" \
    "lha x (lhasa)" "cd out2 && lha xq ../tree.lzh" \
    "bsdtar -x" "bsdtar --options hdrcharset=CP932 -xf tree.lzh -C out3"
rm -rf out1
"$tool" archive unpack tree.lzh out1 > /dev/null
diff -r tree out1 > /dev/null && echo "  unpacked tree identical to the original"
rm -rf out1 out2 out3

# --- The old methods -lh2- and -lh3- -------------------------------------------
jlha=/usr/share/java/jlha.jar
if [ -f "$jlha" ] && command -v javac > /dev/null; then
    (find tree -type f | sort | xargs cat 2> /dev/null || true) | head -c 4000000 > old.txt
    javac -d "$work" -cp "$jlha" "$here/JlhaPack.java"
    for m in lh2 lh3 lh5; do
        java -cp "$jlha:$work" JlhaPack "-$m-" "old-$m.lzh" old.txt
    done
    echo "unpack 4 MB of text ($(stat -c %s old-lh2.lzh), $(stat -c %s old-lh3.lzh)," \
        "$(stat -c %s old-lh5.lzh) bytes packed):"
    race "rm -rf old2 old3 old5" \
        "unpack -lh2- (ours)" "'$tool' archive unpack old-lh2.lzh old2" \
        "unpack -lh3- (ours)" "'$tool' archive unpack old-lh3.lzh old3" \
        "unpack -lh5- (libarchive)" "'$tool' archive unpack old-lh5.lzh old5"
    rm -rf old2 old3 old5
    for m in 2 3 5; do
        "$tool" archive unpack "old-lh$m.lzh" "old$m" > /dev/null && cmp -s old.txt "old$m/old.txt" ||
            echo "  -lh$m-: unpacked file differs"
    done
    rm -rf old2 old3 old5
else
    echo "old methods: skipped (JLHA and a JDK write their archives: apt-get install libjlha-java default-jdk-headless)"
fi

# --- Split of 1 GB -------------------------------------------------------------
if [ ! -f big.bin ] || [ "$(stat -c %s big.bin)" != 1073741824 ]; then
    head -c 1073741824 /dev/urandom > big.bin
fi
cat big.bin > /dev/null
echo "split 1 GB into 1440000-byte parts:"
race "rm -rf parts1 parts2; mkdir -p parts2" \
    "wrenpad-tool split" "'$tool' split --size 2 big.bin parts1" \
    "split -b 1440000" "split -b 1440000 -a 3 -d big.bin parts2/big."
echo "  time ratio: $(ratio "${BEST[wrenpad-tool split]}" "${BEST[split -b 1440000]}")"
rm -rf parts1 parts2
"$tool" split --size 2 big.bin parts1 2> /dev/null
cat parts1/big.[0-9][0-9][0-9] | cmp - big.bin && echo "  parts join back to the original"
rm -rf parts1
