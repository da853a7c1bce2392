#!/bin/sh
# Regenerates data/russian-dictionary.bin.gz from the pinned OpenCorpora package and checks it
# against the committed file: npm pack az@0.2.3, its integrity hash, the conversion, the
# compilation with the dictionary's settings, gzip -9 -n, and the MD5 of the inflated bytes
# (the dictionary's fingerprint) compared with that of the committed file.
#
#   regenerate_dictionary.sh DICTIONARY_COMPILE [WORK_DIR]
#
# DICTIONARY_COMPILE is the built tools/dictionary_compile. WORK_DIR (default: a new temporary
# folder, removed at the end) receives the package, the source, the report and the result. With
# AZ_TARBALL set to a copy of az-0.2.3.tgz, that copy is checked and used instead of npm pack.
# Needs npm (or AZ_TARBALL), openssl, python3, gzip and md5sum; takes about six minutes. Exit
# status 0 when the regenerated dictionary matches, 1 when it differs or a step fails.
set -eu
compile=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
committed=$root/data/russian-dictionary.bin.gz
integrity='sha512-U8d6Tw8ohZ8dcEp8aKjFYo+DU3BT8JPmYqmW0A0BsWW8ocP+F6gLZvrtglHq7pYa84dCEp3NHAoZoC4W3Lth2w=='
if [ $# -ge 2 ]; then
    work=$2
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
cd "$work"

if [ -n "${AZ_TARBALL:-}" ]; then
    cp "$AZ_TARBALL" az-0.2.3.tgz
else
    rm -f az-0.2.3.tgz
    npm pack --silent az@0.2.3 > /dev/null
fi
got="sha512-$(openssl dgst -sha512 -binary az-0.2.3.tgz | base64 -w0)"
if [ "$got" != "$integrity" ]; then
    echo "az-0.2.3.tgz: integrity $got, expected $integrity" >&2
    exit 1
fi
rm -rf package
tar xzf az-0.2.3.tgz package/dicts

python3 -B "$here/convert.py" package/dicts source.txt --stems variants --report report.txt \
    > /dev/null
"$compile" -t 2 -l ru -r 0 -p "$here/russian-prefixes.txt" source.txt russian-dictionary.bin \
    2> compile.log
gzip -9 -n -f russian-dictionary.bin

made=$(gzip -dc russian-dictionary.bin.gz | md5sum | cut -d' ' -f1)
expected=$(gzip -dc "$committed" | md5sum | cut -d' ' -f1)
echo "regenerated: MD5 $made of the inflated bytes, $(wc -c < russian-dictionary.bin.gz) bytes compressed"
echo "committed:   MD5 $expected of the inflated bytes, $(wc -c < "$committed") bytes compressed"
if [ "$made" != "$expected" ]; then
    echo "the regenerated dictionary differs from data/russian-dictionary.bin.gz" >&2
    exit 1
fi
if ! cmp -s russian-dictionary.bin.gz "$committed"; then
    echo "same dictionary; the compressed bytes differ (another gzip)"
fi
echo "the regenerated dictionary matches"
