#!/usr/bin/env bash
# Fails when an #include points against the order of the libraries, or of util's folders.
#   tools/include_order/check_include_order.sh [source root]
#
# Libraries (one static library per top folder) include only downwards:
#   util <- lemmer <- lemmer/compiler;  tokenizer -> util, lemmer (its character information);
#   getopt -> util;  analyzer -> any of them.  lemmer may include the token model header of
#   tokenizer (tokenizer/token*.h) and nothing else there. tools/ and tests/ may include anything.
# util's folders, lowest first (a folder includes its own and lower ones only; util/CMakeLists.txt
# states the same order); util/testing is for tests only:
UTIL_ORDER="generic system convert stream charset string digest testing"
# Unit tests, benchmarks and their helpers are programs of their own and may use any util folder.
#
# The upward includes the design keeps, one a line: "file included-header  reason".
ALLOWED='
util/generic/exception.h util/stream/output.h  the exception message is written with the stream operators
util/generic/temp_buf.h util/stream/output.h  the temporary buffer doubles as an output stream
util/generic/allocator.cpp util/system/singleton.h  the default allocator is a process-wide singleton
util/generic/memory_pool.cpp util/system/singleton.h  the growth policies are process-wide singletons
util/generic/random.cpp util/system/entropy.h  the random generator is seeded from the entropy pool
util/generic/random.cpp util/system/tls.h  one random generator per thread
util/system/backtrace.cpp util/stream/output.h  a back trace is written to a stream
util/system/backtrace.cpp util/stream/std_stream.h  a back trace is printed on standard error
util/system/backtrace.cpp util/stream/string_stream.h  a back trace is formatted in memory
util/system/entropy.cpp util/stream/buffer_stream.h  the entropy pool compresses host facts
util/system/entropy.cpp util/stream/buffered.h  the entropy pool compresses host facts
util/system/entropy.cpp util/stream/zlib.h  the entropy pool compresses host facts
util/system/entropy.h util/stream/input.h  the entropy pool is read as an input stream
util/system/file_ops.cpp util/stream/file_stream.h  copying a file streams it
util/system/verify.cpp util/stream/output.h  a failed check is reported on a stream
util/system/verify.cpp util/stream/std_stream.h  a failed check is reported on standard error
util/system/verify.cpp util/stream/string_stream.h  a failed check formats its message in memory
util/system/verify.cpp util/string/printf.h  a failed check formats its message printf-style
util/system/file.cpp util/string/escape.h  file errors quote the escaped path
util/system/fs.cpp util/string/escape.h  file system errors quote the escaped path
util/convert/int_parse.cpp util/string/escape.h  parse errors quote the escaped text
util/stream/text_input.cpp util/charset/recode_result.h  the UTF-16 readers decode UTF-8
util/stream/text_input.cpp util/charset/unicode_utf16.h  the UTF-16 readers decode UTF-8
util/stream/text_input.cpp util/charset/utf8.h  the UTF-16 readers decode UTF-8
util/stream/output.cpp util/charset/unicode_utf16.h  UTF-16 text is written as UTF-8
util/stream/output.cpp util/charset/utf8.h  UTF-16 text is written as UTF-8
util/stream/embedded_data.cpp util/string/base64.h  embedded data is stored as base64 chunks
util/charset/utf8.cpp util/string/escape.h  the strict decoder quotes the escaped input
util/charset/mime.cpp util/digest/city_hash.h  MIME names are looked up in a hash table
'
set -euo pipefail
cd "${1:-$(dirname "$0")/../..}"

# Every quoted include of the libraries' sources: "file<TAB>header".
roots=()
for root in util lemmer tokenizer getopt analyzer; do
    [ -d "$root" ] && roots+=("$root")
done
find "${roots[@]}" \( -name '*.h' -o -name '*.cpp' \) |
    sort | while read -r file; do
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file" |
        while read -r header; do printf '%s\t%s\n' "$file" "$header"; done
done | awk -F'\t' -v order="$UTIL_ORDER" -v allowed="$ALLOWED" '
function library(path) {
    if (path ~ /^lemmer\/compiler\//) return "lemmer/compiler"
    split(path, part, "/")
    return part[1]
}
function may(from, header, to) {
    if (to == from || to == "util") return 1
    if (from == "lemmer") return to == "tokenizer" && header ~ /^tokenizer\/token[^\/]*\.h$/
    if (from == "lemmer/compiler") return to == "lemmer"
    if (from == "tokenizer") return to == "lemmer" && header !~ /^lemmer\/compiler\//
    if (from == "analyzer") return to == "lemmer" || to == "lemmer/compiler" || to == "tokenizer" || to == "getopt"
    return 0
}
function isTest(file) { return file ~ /(_test\.cpp|_bench\.cpp|test_helpers\.h)$/ }
BEGIN {
    n = split(order, names, " ")
    for (i = 1; i <= n; ++i) rank[names[i]] = i
    lines = split(allowed, rows, "\n")
    for (i = 1; i <= lines; ++i) if (split(rows[i], w, " ") >= 2) exempt[w[1] " " w[2]] = 1
}
{
    file = $1; header = $2
    if (header !~ /^(util|lemmer|tokenizer|getopt|analyzer|tools|tests)\//) next
    from = library(file); to = library(header)
    if (to == "tools" || to == "tests" || !may(from, header, to)) {
        print file ": includes " header ", against the order of the libraries"; bad = 1; next
    }
    split(file, f, "/"); split(header, h, "/")
    if (header ~ /^util\/testing\// && !isTest(file) && file !~ /^util\/testing\//) {
        print file ": includes " header ", which only tests may use"; bad = 1; next
    }
    if (from != "util" || to != "util") next
    if (isTest(file) || !(f[2] in rank) || !(h[2] in rank)) {
        if (!(f[2] in rank) && f[3] != "") { print file ": util/" f[2] " has no place in the folder order"; bad = 1 }
        next
    }
    key = file " " header
    if (rank[h[2]] > rank[f[2]]) {
        if (key in exempt) { used[key] = 1; next }
        print file ": includes " header ", above util/" f[2] " in the folder order"; bad = 1
    }
}
END {
    for (key in exempt) if (!(key in used)) {
        print "listed upward include no longer made: " key; bad = 1
    }
    exit bad
}'
