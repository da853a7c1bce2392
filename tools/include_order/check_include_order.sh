#!/usr/bin/env bash
# Fails when an #include points against the order of the libraries, of util's folders or of
# lemmer's rooms.
#   tools/include_order/check_include_order.sh [source root]
#
# Libraries (one static library per top folder) include only downwards:
#   util <- lemmer <- lemmer/compiler;  tokenizer -> util, lemmer (the token model and the
#   Unicode character records);  getopt -> util;  analyzer -> any of them.
#   tools/ and tests/ may include anything.
# util's folders and lemmer's rooms, lowest first, are the lists UTIL_FOLDERS in
# util/CMakeLists.txt and LEMMER_ROOMS in lemmer/CMakeLists.txt: a folder includes its own and
# lower ones only; util/testing is for tests only. A source file of lemmer stands in a room.
# Unit tests, benchmarks and their helpers are programs of their own and may use any folder.
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

# The words of `set(NAME ...)` in a CMake file.
cmake_list() {
    sed -n "/^set($2 /{s/^set($2 //;s/).*//;p}" "$1"
}
UTIL_ORDER=$(cmake_list util/CMakeLists.txt UTIL_FOLDERS)
LEMMER_ORDER=$(cmake_list lemmer/CMakeLists.txt LEMMER_ROOMS)
[ -n "$UTIL_ORDER" ] && [ -n "$LEMMER_ORDER" ] || {
    echo "no folder order in util/CMakeLists.txt or lemmer/CMakeLists.txt"
    exit 1
}

# Every quoted include of the libraries' sources: "file<TAB>header".
roots=()
for root in util lemmer tokenizer getopt analyzer; do
    [ -d "$root" ] && roots+=("$root")
done
find "${roots[@]}" \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z | xargs -0 awk '
    # A file with no include still has a place to check.
    FNR == 1 { printf "%s\t\n", FILENAME }
    /^[[:space:]]*#[[:space:]]*include[[:space:]]*"/ {
        header = $0
        sub(/^[^"]*"/, "", header)
        sub(/".*/, "", header)
        printf "%s\t%s\n", FILENAME, header
    }' | awk -F'\t' -v utilOrder="$UTIL_ORDER" -v lemmerOrder="$LEMMER_ORDER" -v allowed="$ALLOWED" '
function library(path) {
    if (path ~ /^lemmer\/compiler\//) return "lemmer/compiler"
    split(path, part, "/")
    return part[1]
}
function may(from, header, to) {
    if (to == from || to == "util") return 1
    if (from == "lemmer/compiler") return to == "lemmer"
    if (from == "tokenizer") return to == "lemmer"
    if (from == "analyzer") return to == "lemmer" || to == "lemmer/compiler" || to == "tokenizer" || to == "getopt"
    return 0
}
function isTest(file) { return file ~ /(_test\.cpp|_bench\.cpp|test_helpers\.h)$/ }
# The folder of a util or lemmer path; "" for a file at the top of its library.
function folder(path,    p) {
    split(path, p, "/")
    return p[3] == "" ? "" : p[2]
}
BEGIN {
    n = split(utilOrder, names, " ")
    for (i = 1; i <= n; ++i) rank["util", names[i]] = i
    n = split(lemmerOrder, names, " ")
    for (i = 1; i <= n; ++i) rank["lemmer", names[i]] = i
    lines = split(allowed, rows, "\n")
    for (i = 1; i <= lines; ++i) if (split(rows[i], w, " ") >= 2) exempt[w[1] " " w[2]] = 1
}
{
    file = $1; header = $2
    from = library(file)
    if ((from == "util" || from == "lemmer") && !(file in placed)) {
        placed[file] = 1
        if (!((from, folder(file)) in rank)) {
            print file ": stands in no folder of the order of " from "/"; bad = 1
        }
    }
    if (header !~ /^(util|lemmer|tokenizer|getopt|analyzer|tools|tests)\//) next
    to = library(header)
    if (to == "tools" || to == "tests" || !may(from, header, to)) {
        print file ": includes " header ", against the order of the libraries"; bad = 1; next
    }
    if (header ~ /^util\/testing\// && !isTest(file) && file !~ /^util\/testing\//) {
        print file ": includes " header ", which only tests may use"; bad = 1; next
    }
    if (from != to || (from != "util" && from != "lemmer") || isTest(file)) next
    f = folder(file); h = folder(header)
    if (!((from, f) in rank) || !((to, h) in rank)) next
    key = file " " header
    if (rank[to, h] > rank[from, f]) {
        if (key in exempt) { used[key] = 1; next }
        print file ": includes " header ", above " from "/" f " in the folder order"; bad = 1
    }
}
END {
    for (key in exempt) if (!(key in used)) {
        print "listed upward include no longer made: " key; bad = 1
    }
    exit bad
}'
