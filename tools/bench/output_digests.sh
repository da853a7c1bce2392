#!/bin/bash
# Prints the MD5 of lemmix's output over a text in several option sets and encodings, one line
# a run, so that two builds can be compared byte for byte: diff the lists of the two.
#
#   tools/bench/output_digests.sh LEMMIX TEXT.utf8
#
# TEXT is UTF-8; the windows-1251 and UTF-16 runs read it recoded by iconv (characters that
# windows-1251 lacks are left out).
set -euo pipefail
[ $# -eq 2 ] || { sed -n '2,8p' "$0" >&2; exit 2; }
lemmix=$1
text=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iconv -c -f UTF-8 -t WINDOWS-1251 "$text" >"$work/text.cp1251" || true
iconv -f UTF-8 -t UTF-16LE "$text" >"$work/text.utf16le"

run() {
    local input=$1
    shift
    printf '%-40s %s\n' "$*" "$("$lemmix" "$@" <"$input" | md5sum | cut -d' ' -f1)"
}

for options in "" "-i" "-c -i -f" "-c -s" "-c -n" "-l" "-n -l" "-w" "-i -g" "-c -i -g -s -f" "-w -l -f"; do
    # shellcheck disable=SC2086
    run "$text" -e utf-8 $options
done
for options in "" "-i" "-c -i -f -s"; do
    # shellcheck disable=SC2086
    run "$work/text.cp1251" $options
done
run "$work/text.utf16le" -e utf-16le -c -i
