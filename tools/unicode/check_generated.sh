#!/bin/sh
# Regenerates the Unicode data into a temporary directory and compares it with the committed
# file. Needs Debian's unicode-data package (or another copy of the Unicode Character Database
# given as the first argument). Exit status 0 when the committed file is up to date.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
data=${1:-/usr/share/unicode}
if [ ! -f "$data/UnicodeData.txt" ]; then
    echo "no Unicode Character Database in $data; nothing checked" >&2
    exit 77
fi
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
python3 "$here/generate_unicode_tables.py" --data "$data" --out "$tmp/unicode_data_generated.cpp"
if diff -u "$root/util/charset/unicode_data_generated.cpp" "$tmp/unicode_data_generated.cpp" \
    > "$tmp/diff"; then
    echo "util/charset/unicode_data_generated.cpp is up to date"
else
    head -n 40 "$tmp/diff"
    echo "util/charset/unicode_data_generated.cpp differs from the generator's output" >&2
    exit 1
fi
