#!/bin/bash
# Times lemmix over Russian running text against the floor of its interface (one write per
# word) and, on request, against other Russian analysers.
#
#   tools/bench/run_bench.sh [--others] [--big MB] [--runs N] [WORKDIR]
#
# WORKDIR (default build/bench) receives the text, the outputs and the floor program; the text
# comes from Debian packages through tools/corpus/fetch_debian_text.sh and is never committed.
# lemmix is built in Release in build/release. Every timing is the best of N runs (default 3),
# with the output written to a file; words/s counts the words the floor finds in the text.
#
#   --others   installs hunspell with hunspell-ru, lttoolbox with apertium-bel-rus (apt-get)
#              and the npm package az (npm, into WORKDIR), and times them on the same words,
#              one word a line; each runs as a black box.
#   --big MB   also runs lemmix -i over the text repeated to MB megabytes (1024 for the 1 GB
#              check), sampling its resident memory every second, to show that it stays flat.
#
# LEMMIX_BIN times another lemmix executable instead of the Release build; LEMMIX_FETCH_TEXT
# names another copy of the text fetcher.
# Needs /usr/bin/time (package time), iconv, g++ and cmake; run as root for --others.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
others=0
big_mb=0
runs=3
work=$root/build/bench
while [ $# -gt 0 ]; do
    case $1 in
        --others) others=1 ;;
        --big) big_mb=$2; shift ;;
        --runs) runs=$2; shift ;;
        -*) sed -n '2,19p' "$0" >&2; exit 2 ;;
        *) work=$1 ;;
    esac
    shift
done
mkdir -p "$work"
work=$(cd "$work" && pwd)

# --- Programs -------------------------------------------------------------------------------
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/release" --target lemmix -j3 >/dev/null
lemmix=${LEMMIX_BIN:-$root/build/release/analyzer/lemmix}
g++ -O2 -std=c++20 -Wall -Wextra -o "$work/bench_floor" "$root/tools/bench/bench_floor.cpp"
floor=$work/bench_floor

# --- Text -----------------------------------------------------------------------------------
"${LEMMIX_FETCH_TEXT:-$root/tools/corpus/fetch_debian_text.sh}" "$work/corpus" bench >"$work/fetch.log" 2>&1 || {
    cat "$work/fetch.log" >&2
    exit 1
}
cat "$work"/corpus/*.txt >"$work/text.utf8"
# Windows-1251 is lemmix's default; the few characters it lacks are left out.
iconv -c -f UTF-8 -t WINDOWS-1251 "$work/text.utf8" >"$work/text.cp1251" || true
words=$("$floor" "$work/text.cp1251" "$work/words.cp1251" 2>&1)
"$floor" --utf8 "$work/text.utf8" "$work/words.utf8" 2>/dev/null
printf 'text: %s words, %s bytes (windows-1251), from %s\n' "$words" \
    "$(stat -c %s "$work/text.cp1251")" "$(cut -f1 "$work/corpus/SOURCES.tsv" | paste -sd' ')"

# --- Timing ---------------------------------------------------------------------------------
# best_of LABEL COMMAND...: runs the command $runs times; sets best_wall, best_cpu (seconds)
# and best_rss (KB) from the fastest run and prints a line.
declare -A wall_of
best_of() {
    local label=$1
    shift
    best_wall=
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" 2>/dev/null
        read -r wall user sys rss <"$work/time.txt"
        if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN{exit !(a < b)}'; then
            best_wall=$wall
            best_cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN{printf "%.2f", u + s}')
            best_rss=$rss
        fi
    done
    wall_of[$label]=$best_wall
    awk -v l="$label" -v w="$best_wall" -v c="$best_cpu" -v r="$best_rss" -v n="$words" \
        'BEGIN{printf "%-22s %8.2f s wall %8.2f s cpu %10.0f words/s %7.1f MB peak RSS\n",
               l, w, c, (w > 0 ? n / w : 0), r / 1024}'
}

ratio() {  # ratio A B: A's wall time over B's
    awk -v a="${wall_of[$1]}" -v b="${wall_of[$2]}" -v l="$1 / $2" \
        'BEGIN{printf "%-40s %6.2fx\n", l, (b > 0 ? a / b : 0)}'
}

echo
echo "== lemmix and the floor (output to a file) =="
best_of "floor" "$floor" "$work/text.cp1251" "$work/out.floor"
best_of "floor --utf8" "$floor" --utf8 "$work/text.utf8" "$work/out.floor"
best_of "lemmix" "$lemmix" "$work/text.cp1251" "$work/out.lemmix"
best_of "lemmix -i" "$lemmix" -i "$work/text.cp1251" "$work/out.lemmix"
best_of "lemmix -c -i -f" "$lemmix" -c -i -f "$work/text.cp1251" "$work/out.lemmix"
best_of "lemmix -e utf-8" "$lemmix" -e utf-8 "$work/text.utf8" "$work/out.lemmix"
echo
ratio "lemmix -i" floor
ratio "lemmix -e utf-8" "floor --utf8"

echo
echo "== start-up =="
startup() {  # startup LABEL COMMAND...: the mean wall time of 50 runs, in milliseconds
    local label=$1 t0 t1
    shift
    t0=$(date +%s%N)
    for ((i = 0; i < 50; i++)); do
        "$@" </dev/null >/dev/null
    done
    t1=$(date +%s%N)
    awk -v l="$label" -v ns="$((t1 - t0))" 'BEGIN{printf "%-22s %8.1f ms\n", l, ns / 50e6}'
}
# What starting any program costs here, to read the two lines below against.
startup "/bin/true" /bin/true
startup "lemmix -v" "$lemmix" -v
startup "lemmix (empty input)" "$lemmix"

if [ "$big_mb" -gt 0 ]; then
    echo
    echo "== $big_mb MB of input: lemmix -i, output to /dev/null =="
    big=$work/big.cp1251
    : >"$big"
    while [ "$(stat -c %s "$big")" -lt $((big_mb * 1024 * 1024)) ]; do
        cat "$work/text.cp1251" >>"$big"
    done
    /usr/bin/time -f '%e %M' -o "$work/time.txt" "$lemmix" -i "$big" /dev/null &
    timer=$!
    sleep 0.5
    pid=$(pgrep -P "$timer" -n || true)
    : >"$work/rss.txt"
    while [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; do
        awk '/VmRSS/{print $2}' "/proc/$pid/status" 2>/dev/null >>"$work/rss.txt" || true
        sleep 1
    done
    wait "$timer"
    read -r wall rss <"$work/time.txt"
    awk -v w="$wall" -v r="$rss" -v mb="$big_mb" 'BEGIN{printf "%.1f s, %.1f MB/s, peak RSS %.1f MB\n", w, mb / w, r / 1024}'
    # Flat: the samples of the second half grow no more than a few MB over those of the first.
    awk 'NF{v[n++]=$1} END{if (n < 4) {print "too few samples"; exit}
         h = int(n / 2)
         for (i = 0; i < h; i++) if (v[i] > first) first = v[i];
         for (i = h; i < n; i++) if (v[i] > second) second = v[i];
         printf "RSS samples: %d; first half max %.1f MB, second half max %.1f MB (%s)\n",
                n, first / 1024, second / 1024, (second - first < 4096 ? "flat" : "GROWING")}' \
        "$work/rss.txt"
    rm -f "$big"
fi

if [ "$others" -eq 1 ]; then
    echo
    echo "== other analysers (one word a line, UTF-8, output to a file) =="
    export DEBIAN_FRONTEND=noninteractive
    apt-get install -y -q hunspell hunspell-ru lttoolbox apertium-bel-rus >"$work/apt.log" 2>&1
    if [ ! -d "$work/node/node_modules/az" ]; then
        npm install --prefix "$work/node" --no-audit --no-fund az >"$work/npm.log" 2>&1
    fi
    automaton=$(find /usr/share/apertium -name 'rus-bel.automorf.bin' | head -n 1)
    best_of "hunspell -m" sh -c "hunspell -d ru_RU -i utf-8 -m <'$work/words.utf8' >'$work/out.hunspell'"
    best_of "lt-proc (rus)" sh -c "lt-proc -w '$automaton' <'$work/words.utf8' >'$work/out.apertium'"
    best_of "az (node)" node "$root/tools/bench/az_bench.js" "$work/node/node_modules/az" \
        "$work/words.utf8" "$work/out.az"
    fastest=
    for name in "hunspell -m" "lt-proc (rus)" "az (node)"; do
        if [ -z "$fastest" ] || awk -v a="${wall_of[$name]}" -v b="${wall_of[$fastest]}" 'BEGIN{exit !(a < b)}'; then
            fastest=$name
        fi
    done
    echo
    for name in "hunspell -m" "lt-proc (rus)" "az (node)"; do
        ratio "$name" "lemmix -i"
    done
    echo "fastest other: $fastest"
fi
