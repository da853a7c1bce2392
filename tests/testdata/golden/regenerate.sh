#!/bin/bash
# Writes the golden files of lemmix_golden_test: for every row of cases.tsv, NAME.in (text.txt
# in the row's encoding) and NAME.out (what LEMMIX prints for it with the row's options).
# Run it after the dictionary or the frequency table changed, read the UTF-8 rendering it
# prints (every analysis a Russian reader can check), and commit the files with the change.
#
#   tests/testdata/golden/regenerate.sh [LEMMIX]     (default build/release/analyzer/lemmix)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lemmix=${1:-$here/../../../build/release/analyzer/lemmix}
grep -v '^#' "$here/cases.tsv" | while IFS=$'\t' read -r name encoding options; do
    # What the encoding lacks (the dash in KOI8-R) is left out of the input.
    iconv -c -f UTF-8 -t "$encoding" "$here/text.txt" >"$here/$name.in" || true
    # shellcheck disable=SC2086 # the options are separate words
    "$lemmix" $options -e "$encoding" <"$here/$name.in" >"$here/$name.out"
    echo "== $name: -e $encoding $options"
    iconv -c -f "$encoding" -t UTF-8 "$here/$name.out" || true
    echo
done
