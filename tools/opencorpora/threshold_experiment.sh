#!/bin/sh
# The held-out experiment that chooses the stem mode and the rule threshold of the Russian
# dictionary. For each stem mode, the source without the held-out lexemes (convert.py
# --train-output, --held-out-list) is compiled with each rule threshold, and the wordforms of
# the held-out lexemes are analysed by dictionary_eval -h (the default lookups: dictionary, then
# hypotheses). Prints one table row per mode and threshold; MODES chooses the stem modes.
#
#   threshold_experiment.sh BUILD_DIR WORK_DIR [THRESHOLDS...]
#
# BUILD_DIR holds the built tools (tools/dictionary_compile, tools/dictionary_eval); WORK_DIR
# holds train-single.txt, heldout-single.tsv, train-variants.txt and heldout-variants.tsv and
# receives the compiled dictionaries and the misses of each run.
set -eu
build=$1
work=$2
shift 2
thresholds=${*:-0 25 50 100 150 200 400}
here=$(cd "$(dirname "$0")" && pwd)
compile=$build/tools/dictionary_compile/dictionary_compile
eval=$build/tools/dictionary_eval/dictionary_eval

echo "| stems | threshold | non-rare rules | top-1 lemma | lemma anywhere | part of speech | first from dictionary |"
echo "|---|---|---|---|---|---|---|"
for mode in ${MODES:-single variants}; do
    for t in $thresholds; do
        bin=$work/held-$mode-$t.bin
        "$compile" -t 2 -l ru -r "$t" -p "$here/russian-prefixes.txt" \
            "$work/train-$mode.txt" "$bin" 2> "$work/held-$mode-$t.log"
        # The compiler's statistics name the rules and how many of them are not rare.
        rules=$(sed -n 's/^Statistic: Rules: \([0-9]*\)$/\1/p' "$work/held-$mode-$t.log")
        common=$(sed -n 's/^Statistic: Rules: Last Non Rare: \([0-9]*\)$/\1/p' \
            "$work/held-$mode-$t.log")
        line=$("$eval" -h -x "$work/held-$mode-$t.misses" "$bin" "$work/heldout-$mode.tsv")
        echo "$line" | awk -v m="$mode" -v t="$t" -v r="$common of $rules" \
            '{print "| " m " | " t " | " r " | " $8 " | " $11 " | " $15 " | " $5 " |"}'
    done
done
