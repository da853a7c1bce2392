#!/bin/sh
# Regenerates the tokeniser's character classes into a temporary directory and compares them
# with the committed file. Needs Debian's unicode-data package (or another copy of the Unicode
# Character Database given as the first argument). Exit status 0 when the committed file is up
# to date, 77 when there is no data to check against.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
data=${1:-/usr/share/unicode}
if [ ! -f "$data/UnicodeData.txt" ] || [ ! -f "$data/DerivedAge.txt" ]; then
    echo "no Unicode Character Database in $data; nothing checked" >&2
    exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$here/generate_token_classes.py" --data "$data" --out "$tmp/char_class_generated.cpp"
if diff -u "$root/tokenizer/char_class_generated.cpp" "$tmp/char_class_generated.cpp" \
    > "$tmp/diff"; then
    echo "tokenizer/char_class_generated.cpp is up to date"
else
    head -n 40 "$tmp/diff"
    echo "tokenizer/char_class_generated.cpp differs from the generator's output" >&2
    exit 1
fi
