#!/usr/bin/env python3
"""Generates util/charset/codepage_generated.cpp: the byte-to-Unicode tables of the
single-byte code pages that hold a published mapping.

Every byte is decoded on its own (the converter is reset before each byte and flushed
after it); a byte the source rejects maps to U+FFFD. Sources:
  - glibc's iconv, called through ctypes (most pages);
  - Perl's Encode module (the Mac pages glibc lacks or holds in an older form, NEXTSTEP,
    jis0201-raw);
  - ICU's uconv (ibm-1131);
  - the tables codepage-*.tsv beside this script (CP853, MULELAO-1, RISCOS-LATIN1, TDS565).

The pages typed by hand in util/charset/codepage_data.cpp are not produced here.

Usage: gen.py [output file]   (default: util/charset/codepage_generated.cpp of the repo)
"""

import ctypes
import ctypes.util
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))

# (charset code, canonical name, source, name in that source)
PAGES = [
    (0, "windows-1251", "glibc", "CP1251"),
    (1, "KOI8-U", "glibc", "KOI8-U"),
    (2, "IBM866", "glibc", "IBM866"),
    (3, "MacCyrillic", "glibc", "MAC-CYRILLIC"),
    (4, "ISO-8859-5", "glibc", "ISO-8859-5"),
    (5, "windows-1252", "glibc", "CP1252"),
    (7, "windows-1250", "glibc", "CP1250"),
    (8, "iso-2", "glibc", "ISO-8859-2"),
    (12, "IBM855", "glibc", "IBM855"),
    (20, "iso-8859-3", "glibc", "ISO-8859-3"),
    (21, "iso-8859-4", "glibc", "ISO-8859-4"),
    (22, "iso-8859-6", "glibc", "ISO-8859-6"),
    (23, "iso-8859-7", "glibc", "ISO-8859-7"),
    (24, "iso-8859-8", "glibc", "ISO-8859-8"),
    (25, "iso-8859-9", "glibc", "ISO-8859-9"),
    (26, "iso-8859-13", "glibc", "ISO-8859-13"),
    (27, "iso-8859-15", "glibc", "ISO-8859-15"),
    (28, "iso-8859-16", "glibc", "ISO-8859-16"),
    (29, "windows-1253", "glibc", "CP1253"),
    (30, "windows-1254", "glibc", "CP1254"),
    (31, "windows-1255", "glibc", "CP1255"),
    (32, "windows-1256", "glibc", "CP1256"),
    (33, "windows-1257", "glibc", "CP1257"),
    (34, "CP1046", "glibc", "CP1046"),
    (35, "CP1124", "glibc", "CP1124"),
    (36, "CP1125", "glibc", "CP1125"),
    (37, "CP1129", "glibc", "CP1129"),
    (38, "CP1131", "uconv", "ibm-1131"),
    (39, "CP1133", "glibc", "CP1133"),
    (40, "CP1161", "glibc", "CP1161"),
    (41, "CP1162", "glibc", "IBM1162"),
    (42, "CP1163", "glibc", "IBM1163"),
    (43, "CP1258", "glibc", "CP1258"),
    (44, "CP437", "glibc", "CP437"),
    (45, "CP737", "glibc", "CP737"),
    (46, "CP775", "glibc", "CP775"),
    (47, "CP850", "glibc", "CP850"),
    (48, "CP852", "glibc", "CP852"),
    (49, "CP853", "tsv", "codepage-CP853.tsv"),
    (50, "CP856", "glibc", "CP856"),
    (51, "CP857", "glibc", "CP857"),
    (52, "CP858", "glibc", "CP858"),
    (53, "CP860", "glibc", "CP860"),
    (54, "CP861", "glibc", "CP861"),
    (55, "CP862", "glibc", "CP862"),
    (56, "CP863", "glibc", "CP863"),
    (57, "CP864", "glibc", "CP864"),
    (58, "CP865", "glibc", "CP865"),
    (59, "CP869", "glibc", "CP869"),
    (60, "CP874", "glibc", "CP874"),
    (61, "CP922", "glibc", "CP922"),
    (62, "HP_ROMAN8", "glibc", "HP-ROMAN8"),
    (63, "ISO646_CN", "glibc", "ISO646-CN"),
    (64, "ISO646_JP", "glibc", "ISO646-JP"),
    (65, "ISO8859_10", "glibc", "ISO-8859-10"),
    (66, "ISO8859_11", "glibc", "ISO-8859-11"),
    (67, "ISO8859_14", "glibc", "ISO-8859-14"),
    (68, "JISX0201", "perl", "jis0201-raw"),
    (69, "KOI8_T", "glibc", "KOI8-T"),
    (70, "MAC_ARABIC", "perl", "MacArabic"),
    (71, "MAC_CENTRALEUROPE", "glibc", "MAC-CENTRALEUROPE"),
    (72, "MAC_CROATIAN", "perl", "MacCroatian"),
    (73, "MAC_GREEK", "perl", "MacGreek"),
    (74, "MAC_HEBREW", "perl", "MacHebrew"),
    (75, "MAC_ICELAND", "perl", "MacIcelandic"),
    (76, "MAC_ROMANIA", "perl", "MacRomanian"),
    (77, "MAC_ROMAN", "perl", "MacRoman"),
    (78, "MAC_THAI", "perl", "MacThai"),
    (79, "MAC_TURKISH", "perl", "MacTurkish"),
    (81, "MULELAO", "tsv", "codepage-MULELAO-1.tsv"),
    (82, "NEXTSTEP", "perl", "nextstep"),
    (83, "PT154", "glibc", "PT154"),
    (84, "RISCOS-LATIN1", "tsv", "codepage-RISCOS-LATIN1.tsv"),
    (85, "RK1048", "glibc", "RK1048"),
    (86, "TCVN", "glibc", "TCVN5712-1"),
    (87, "TDS565", "tsv", "codepage-TDS565.tsv"),
    (88, "TIS620", "glibc", "TIS-620"),
    (89, "VISCII", "glibc", "VISCII"),
]

UNDEFINED = 0xFFFD

# Pages whose published lower half is not ASCII; on every other page the bytes 0x01 to 0x7F
# are the ASCII characters. That rule also settles two quirks of the sources: Perl's Mac
# tables keep the left-to-right ASCII bytes (0x20 to 0x3F, 0x5B to 0x7D of Mac Arabic and
# Mac Hebrew) and 0x7F for encoding only, and glibc and ICU rotate the controls 0x1A, 0x1C
# and 0x7F on a few IBM pages (CP856, CP1131, CP1161).
NON_ASCII_LOWER_HALF = {57, 63, 64, 68, 86, 87, 89}


class SourceMissing(Exception):
    pass


def single_code_point(text, where):
    """The one code point a byte decodes to.

    Perl's Mac tables give a few bytes as sequences: Apple's transcoding hints (U+F860 to
    U+F87F, private use) mark a variant form, and a base letter may come with its point.
    The page holds one character per byte, so the hints are dropped and the first
    character left stands for the byte.
    """
    text = "".join(c for c in text if not 0xF860 <= ord(c) <= 0xF87F)
    if not text:
        return UNDEFINED
    return ord(text[0])


def decode_glibc(name):
    libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
    libc.iconv_open.restype = ctypes.c_void_p
    libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
    libc.iconv.restype = ctypes.c_size_t
    libc.iconv.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_void_p,
                           ctypes.c_void_p, ctypes.c_void_p]
    libc.iconv_close.argtypes = [ctypes.c_void_p]
    cd = libc.iconv_open(b"UTF-32LE", name.encode())
    if cd in (None, ctypes.c_void_p(-1).value):
        raise SourceMissing("glibc iconv lacks " + name)
    table = []
    try:
        for b in range(256):
            libc.iconv(cd, None, None, None, None)  # back to the initial state
            src = ctypes.create_string_buffer(bytes([b]), 1)
            out = ctypes.create_string_buffer(64)
            in_ptr = ctypes.c_char_p(ctypes.addressof(src))
            in_left = ctypes.c_size_t(1)
            out_ptr = ctypes.c_char_p(ctypes.addressof(out))
            out_left = ctypes.c_size_t(64)
            rc = libc.iconv(cd, ctypes.byref(in_ptr), ctypes.byref(in_left),
                            ctypes.byref(out_ptr), ctypes.byref(out_left))
            if rc == ctypes.c_size_t(-1).value or in_left.value != 0:
                table.append(UNDEFINED)
                continue
            # Pages that combine characters hold the last one back until a flush.
            libc.iconv(cd, None, None, ctypes.byref(out_ptr), ctypes.byref(out_left))
            raw = out.raw[:64 - out_left.value]
            table.append(single_code_point(raw.decode("utf-32-le"), "%s byte %02X" % (name, b)))
    finally:
        libc.iconv_close(cd)
    return table


PERL_SCRIPT = r'''
use Encode;
my $enc = find_encoding($ARGV[0]) or exit 3;
for my $b (0 .. 255) {
    my $bytes = chr($b);
    my $text = $enc->decode($bytes, Encode::FB_QUIET);
    print join(" ", map { sprintf("%X", ord($_)) } split(//, $text)), "\n";
}
'''


def decode_perl(name):
    try:
        proc = subprocess.run(["perl", "-e", PERL_SCRIPT, name], capture_output=True, text=True)
    except FileNotFoundError:
        raise SourceMissing("perl is missing")
    if proc.returncode != 0:
        raise SourceMissing("Perl's Encode lacks " + name)
    lines = proc.stdout.split("\n")[:256]
    table = []
    for b, line in enumerate(lines):
        text = "".join(chr(int(x, 16)) for x in line.split())
        table.append(single_code_point(text, "%s byte %02X" % (name, b)))
    return table


def decode_uconv(name):
    table = []
    for b in range(256):
        try:
            proc = subprocess.run(["uconv", "-f", name, "-t", "UTF-32LE", "--callback", "skip"],
                                  input=bytes([b]), capture_output=True)
        except FileNotFoundError:
            raise SourceMissing("uconv is missing")
        if proc.returncode != 0 and not proc.stdout:
            if b == 0:
                raise SourceMissing("uconv lacks " + name)
            table.append(UNDEFINED)
            continue
        table.append(single_code_point(proc.stdout.decode("utf-32-le"), "%s byte %02X" % (name, b)))
    return table


def decode_tsv(file_name):
    table = [None] * 256
    with open(os.path.join(HERE, file_name), encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            byte_text, value = line.split()
            b = int(byte_text, 16)
            table[b] = UNDEFINED if value == "undefined" else int(value[2:], 16)
    if None in table:
        raise SystemExit(file_name + " does not define all 256 bytes")
    return table


DECODERS = {"glibc": decode_glibc, "perl": decode_perl, "uconv": decode_uconv, "tsv": decode_tsv}


def render(pages):
    out = []
    out.append("// Generated by tools/codepages/gen.py from glibc iconv, Perl Encode, ICU uconv and "
               "tools/codepages/codepage-*.tsv; do not edit.")
    out.append("// Byte-to-Unicode tables of the single-byte code pages that follow a published "
               "mapping; U+FFFD marks a byte the mapping leaves undefined.")
    out.append("// clang-format off")
    out.append("")
    out.append('#include "util/charset/codepage_generated.h"')
    out.append("")
    out.append("namespace NCodePageData {")
    out.append("")
    out.append("const TGeneratedPage GeneratedPages[] = {")
    for (code, canonical, source, source_name), table in pages.items():
        out.append("    {%d, // %s, from %s %s" % (code, canonical, source, source_name))
        out.append("     {")
        for row in range(0, 256, 8):
            out.append("         " + ", ".join("0x%04X" % cp for cp in table[row:row + 8]) + ",")
        out.append("     }},")
    out.append("};")
    out.append("")
    out.append("const size_t GeneratedPageCount = sizeof(GeneratedPages) / sizeof(GeneratedPages[0]);")
    out.append("")
    out.append("} // namespace NCodePageData")
    out.append("")
    return "\n".join(out)


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        REPO, "util", "charset", "codepage_generated.cpp")
    tables = {}
    for page in PAGES:
        code, canonical, source, source_name = page
        table = DECODERS[source](source_name)
        if table[0] != 0:
            raise SystemExit("%s: byte 0 is not U+0000" % canonical)
        if code not in NON_ASCII_LOWER_HALF:
            table[1:0x80] = range(1, 0x80)
        tables[page] = table
    with open(target, "w", encoding="ascii", newline="\n") as f:
        f.write(render(tables))


if __name__ == "__main__":
    try:
        main()
    except SourceMissing as e:
        sys.stderr.write("gen.py: %s\n" % e)
        sys.exit(77)
