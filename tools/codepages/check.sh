#!/bin/sh
# Regenerates the code-page byte tables into a temporary directory and compares them with the
# committed util/charset/codepage_generated.cpp. Needs python3, glibc's iconv, Perl's Encode
# and ICU's uconv; exits 77 (skipped) when one of them is missing, 0 when the committed file is
# up to date, 1 when it differs.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
for tool in python3 perl uconv; do
    if ! command -v "$tool" > /dev/null 2>&1; then
        echo "$tool is missing; nothing checked" >&2
        exit 77
    fi
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
status=0
python3 "$here/gen.py" "$tmp/codepage_generated.cpp" || status=$?
if [ "$status" -ne 0 ]; then
    [ "$status" -eq 77 ] && echo "a source of the generator is missing; nothing checked" >&2
    exit "$status"
fi
if diff -u "$root/util/charset/codepage_generated.cpp" "$tmp/codepage_generated.cpp" \
    > "$tmp/diff"; then
    echo "util/charset/codepage_generated.cpp is up to date"
else
    head -n 40 "$tmp/diff"
    echo "util/charset/codepage_generated.cpp differs from the generator's output" >&2
    exit 1
fi
