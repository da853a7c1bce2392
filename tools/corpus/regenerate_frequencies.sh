#!/bin/sh
# Recounts the lemma-frequency table from the Debian corpus in one command.
#
#   tools/corpus/regenerate_frequencies.sh [OUT.tsv]
#
# Fetches (or reuses) the corpus with fetch_debian_text.sh, builds the counter (which embeds the
# committed Russian dictionary, as lemmix does), counts and writes OUT.tsv (default:
# data/lemma-frequencies.tsv); when OUT.tsv is the committed table, the corpus' package list (package, version, licence) goes to
# data/lemma-frequencies-sources.tsv with it. Environment:
#   LEMMIX_CORPUS_DIR   where the packages and texts are kept (default ~/.cache/lemmix-corpus)
#   LEMMA_FREQUENCIES   a built lemma_frequencies to use (default: built in build/release)
# Counting the same package versions with the same dictionary and counter gives the same bytes;
# a package version that differs from the committed sources is reported.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
out=${1:-$top/data/lemma-frequencies.tsv}
corpus=${LEMMIX_CORPUS_DIR:-${HOME:-/root}/.cache/lemmix-corpus}
committed_sources="$top/data/lemma-frequencies-sources.tsv"

"$here/fetch_debian_text.sh" "$corpus" all
if [ -f "$committed_sources" ] && ! cmp -s "$corpus/SOURCES.tsv" "$committed_sources"; then
    echo "$0: the corpus packages differ from $committed_sources:" >&2
    diff "$committed_sources" "$corpus/SOURCES.tsv" >&2 || true
fi

tool=${LEMMA_FREQUENCIES:-}
if [ -z "$tool" ]; then
    build="$top/build/release"
    [ -f "$build/build.ninja" ] ||
        cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >&2
    cmake --build "$build" --target lemma_frequencies >&2
    tool="$build/tools/lemma_frequencies/lemma_frequencies"
fi

# The texts in the order SOURCES.tsv lists their packages.
set --
while IFS="$(printf '\t')" read -r package version licence; do
    set -- "$@" "$corpus/$package.txt"
done <"$corpus/SOURCES.tsv"
"$tool" "$out" "$@"
if [ "$out" = "$top/data/lemma-frequencies.tsv" ]; then
    cp "$corpus/SOURCES.tsv" "$committed_sources"
fi
