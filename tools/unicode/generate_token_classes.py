#!/usr/bin/env python3
"""Generates tokenizer/char_class_generated.cpp: the scanner's character class of every UTF-16 unit.

Input: UnicodeData.txt and DerivedAge.txt of Debian's unicode-data package (default
/usr/share/unicode). The classes follow the general categories of the code points that Unicode
4.0 had assigned (DerivedAge.txt gives the version that assigned each code point); a code point
assigned later falls in Terminal, as an unassigned one did then. The tokeniser's own lists of
members and exceptions are applied on top. The output is the table as sorted runs
{first, last, class}; tokenizer/char_class.cpp expands it into 65536 bytes at compile time.
The build never runs this script; rerun it by hand and commit the result
(tools/unicode/check_token_classes.sh verifies that the committed file is what it makes).

Usage: generate_token_classes.py [--data DIR] [--out FILE] [--counts]
"""

import argparse
import os
import re
import sys

AGE_LIMIT = (4, 0)

# Class numbers; tokenizer/char_class.h holds the same enumeration.
CLASSES = [
    "Nul", "Tab", "LineBreak", "VerticalSpace", "Return", "Space", "Terminal", "FullStop",
    "Quote", "Apostrophe", "OpenBracket", "CloseBracket", "NumberSign", "Dollar", "Percent",
    "Plus", "Slash", "At", "Underscore", "Dash", "SoftHyphen", "AsciiDigit", "OtherDigit",
    "HexUpper", "Upper", "HexLower", "Lower", "Ideograph", "HangulTail", "Combining", "Misc",
    "Surrogate",
]
C = {name: i for i, name in enumerate(CLASSES)}

BY_CATEGORY = {
    "Lu": "Upper", "Lt": "Upper", "Nl": "Upper",
    "Ll": "Lower", "Lm": "Lower", "Lo": "Lower",
    "Mn": "Combining", "Mc": "Combining", "Me": "Combining",
    "Nd": "OtherDigit", "No": "OtherDigit",
    "Zs": "Space", "Zl": "LineBreak", "Zp": "LineBreak",
    "Cc": "Misc", "Cf": "Misc", "Cs": "Surrogate", "Co": "Terminal", "Cn": "Terminal",
    "Ps": "OpenBracket", "Pe": "CloseBracket", "Pc": "Underscore", "Pd": "Dash",
    "Pi": "Quote", "Pf": "Quote", "Po": "Misc",
    "Sm": "Misc", "Sc": "Misc", "Sk": "Misc", "So": "Misc",
}

# Letters (Lo) of these ranges, and the Cherokee capitals, are scanned one token per unit.
IDEOGRAPH_RANGES = [
    (0x01BB, 0x01C3), (0x0710, 0x07B1), (0x0904, 0x0F8B), (0x1000, 0x1055), (0x1100, 0x1974),
    (0x2135, 0x2138), (0x3006, 0x31FF), (0x3400, 0xA48C), (0xAC00, 0xBFFF), (0xF900, 0xFA6A),
    (0xFB50, 0xFDFB), (0xFE70, 0xFEFC), (0xFF66, 0xFFDC),
]
CHEROKEE = (0x13A0, 0x13F4)
# Letters of these ranges are ordinary lower-case word letters.
HEBREW_ARABIC_LETTERS = [(0x05D0, 0x05F2), (0xFB1D, 0xFB4F), (0x0621, 0x06FF)]


# Code points whose general category changed after Unicode 4.0: their 4.0 category.
CATEGORY_IN_4_0 = {
    0x06DE: "Me",  # ARABIC START OF RUB EL HIZB, a symbol since
    0x17B4: "Cf", 0x17B5: "Cf",  # the Khmer inherent vowels, marks since
    0x1885: "Lo", 0x1886: "Lo",  # the Mongolian Ali Gali baluda letters, marks since
    0x2308: "Sm", 0x2309: "Sm", 0x230A: "Sm", 0x230B: "Sm",  # ceiling and floor, brackets since
    0x23B4: "Ps", 0x23B5: "Pe",  # top and bottom square bracket, symbols since
    0x05BE: "Po",  # HEBREW PUNCTUATION MAQAF, a dash since
    0x2132: "So",  # TURNED CAPITAL F, a capital letter since it got its small letter
    0xFD3E: "Ps", 0xFD3F: "Pe",  # the ornate parentheses, their categories swapped since
}


def r(first, last=None):
    return (first, first if last is None else last)


def chars(text):
    return [r(ord(ch)) for ch in text]


# Listed members: they hold whatever their category says.
EXPLICIT = [
    ("Nul", [r(0x0000)]),
    ("Tab", [r(0x0009)]),
    ("LineBreak", [r(0x000A), r(0x2028), r(0x2029)]),
    ("VerticalSpace", [r(0x000B, 0x000C)]),
    ("Return", [r(0x000D)]),
    ("Space", [r(0x0020), r(0x00A0), r(0x1680), r(0x180E), r(0x2000, 0x200B), r(0x202F),
               r(0x205F), r(0x3000)]),
    ("Terminal", chars("!:?")),
    ("FullStop", [r(0x002E), r(0x037E), r(0x0387), r(0x0589), r(0x060C), r(0x061B), r(0x061F),
                  r(0x06D4), r(0x0701, 0x0709), r(0x0964, 0x0965), r(0x1362, 0x1367),
                  r(0x166E), r(0x1801, 0x1804), r(0x1808, 0x1809), r(0x1944, 0x1945),
                  r(0x2026), r(0x203C, 0x203D), r(0x2047, 0x2049), r(0x204F),
                  r(0x3001, 0x3002), r(0xFE50, 0xFE52), r(0xFE54, 0xFE57), r(0xFF01),
                  r(0xFF0C), r(0xFF0E), r(0xFF1A, 0xFF1B), r(0xFF1F), r(0xFF61), r(0xFF64)]),
    ("Quote", [r(0x0022), r(0x00AB), r(0x00BB), r(0x201C, 0x201F), r(0x2033, 0x2034),
               r(0x2036, 0x2037), r(0x2039, 0x203A), r(0x2057), r(0x276E, 0x276F),
               r(0x300C, 0x300F), r(0x301D, 0x301F), r(0xFE41, 0xFE44), r(0xFF02),
               r(0xFF62, 0xFF63)]),
    ("Apostrophe", [r(0x0027), r(0x2018, 0x201B), r(0x2032), r(0x2035), r(0xFF07)]),
    ("OpenBracket", chars("([{")),
    ("CloseBracket", chars(")]}")),
    ("NumberSign", chars("#")),
    ("Dollar", chars("$")),
    ("Percent", chars("%")),
    ("Plus", chars("+")),
    ("Slash", chars("/")),
    ("At", chars("@")),
    ("Underscore", [r(0x005F), r(0x203F, 0x2040), r(0x2054), r(0x30FB), r(0xFE33, 0xFE34),
                    r(0xFE4D, 0xFE4F), r(0xFF3F), r(0xFF65)]),
    ("Dash", [r(0x002D), r(0x00B7), r(0x02C7), r(0x02D0, 0x02D1), r(0x037A), r(0x058A),
              r(0x0640), r(0x0E46), r(0x0EC6), r(0x17D7), r(0x1806), r(0x2010, 0x2015),
              r(0x207B), r(0x208B), r(0x2212), r(0x3005), r(0x301C), r(0x3030, 0x3035),
              r(0x303B), r(0x309D, 0x309E), r(0x30A0), r(0x30FC, 0x30FE), r(0xFE31, 0xFE32),
              r(0xFE58), r(0xFE63), r(0xFF0D), r(0xFF70), r(0xFF9E, 0xFF9F)]),
    ("SoftHyphen", [r(0x00AD)]),
    ("AsciiDigit", [r(0x30, 0x39)]),
    ("OtherDigit", [r(0x00B2, 0x00B3), r(0x00B9), r(0x00BC, 0x00BE)]),
    ("HexUpper", [r(0x41, 0x46)]),
    ("Upper", [r(0x47, 0x5A), r(0x00C0, 0x00D6), r(0x00D8, 0x00DE)]),
    ("HexLower", [r(0x61, 0x66)]),
    ("Lower", [r(0x67, 0x7A), r(0x00AA), r(0x00B5), r(0x00BA), r(0x00DF, 0x00F6),
               r(0x00F8, 0x00FF)]),
    ("HangulTail", [r(0xC000, 0xD7A3)]),
    ("Misc", [r(0x0001, 0x0008), r(0x000E, 0x001F)] + chars("&*,;<=>\\^`|~") +
     [r(0x007F, 0x009F), r(0x00A1, 0x00A9), r(0x00AC), r(0x00AE, 0x00B1), r(0x00B4), r(0x00B6),
      r(0x00B8), r(0x00BF), r(0x00D7), r(0x00F7)]),
]


def parse_range(text):
    text = text.strip()
    if ".." in text:
        first, last = text.split("..")
        return int(first, 16), int(last, 16)
    return int(text, 16), int(text, 16)


def source_version(path):
    with open(path, encoding="utf-8") as f:
        m = re.match(r"#\s*\S+-(\d+\.\d+\.\d+)\.txt", f.readline())
    return m.group(1) if m else "unknown"


def read_ages(path):
    age = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            cps, version = [x.strip() for x in line.split(";")]
            first, last = parse_range(cps)
            major, minor = (int(x) for x in version.split("."))
            for cp in range(first, min(last, 0xFFFF) + 1):
                age[cp] = (major, minor)
    return age


def read_categories(path):
    gc = {}
    range_start = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split(";")
            cp = int(fields[0], 16)
            if cp > 0xFFFF:
                break
            if fields[1].endswith(", First>"):
                range_start = cp
                continue
            if fields[1].endswith(", Last>"):
                for x in range(range_start, cp + 1):
                    gc[x] = fields[2]
                continue
            gc[cp] = fields[2]
    return gc


def in_ranges(cp, ranges):
    return any(first <= cp <= last for first, last in ranges)


def build_table(data_dir):
    age = read_ages(os.path.join(data_dir, "DerivedAge.txt"))
    gc = read_categories(os.path.join(data_dir, "UnicodeData.txt"))
    table = []
    for cp in range(0x10000):
        category = CATEGORY_IN_4_0.get(cp, gc.get(cp, "Cn"))
        if cp not in age or age[cp] > AGE_LIMIT:
            category = "Cn"
        cls = BY_CATEGORY[category]
        if category == "Lo" and in_ranges(cp, IDEOGRAPH_RANGES):
            cls = "Ideograph"
        if CHEROKEE[0] <= cp <= CHEROKEE[1] and category != "Cn":
            cls = "Ideograph"
        if category in ("Lo", "Lm") and in_ranges(cp, HEBREW_ARABIC_LETTERS):
            cls = "Lower"
        table.append(C[cls])
    for name, ranges in EXPLICIT:
        for first, last in ranges:
            for cp in range(first, last + 1):
                table[cp] = C[name]
    return table


def runs_of(table):
    runs = []
    start = 0
    for cp in range(1, 0x10001):
        if cp == 0x10000 or table[cp] != table[start]:
            runs.append((start, cp - 1, table[start]))
            start = cp
    return runs


def write_output(path, table, version):
    runs = runs_of(table)
    lines = [
        "// Generated by tools/unicode/generate_token_classes.py from the Unicode Character "
        "Database",
        "// " + version + " files UnicodeData.txt and DerivedAge.txt, restricted to the code "
        "points of Unicode 4.0.",
        "// Do not edit.",
        "// The build does not regenerate this file; tools/unicode/check_token_classes.sh checks "
        "it.",
        '#include "tokenizer/char_class_generated.h"',
        "",
        "namespace NTokenizerGenerated {",
        "",
        "// {first, last, class}: every unit of the BMP, in order.",
        "extern const size_t CHAR_CLASS_RUN_COUNT = %d;" % len(runs),
        "extern const TCharClassRun CHAR_CLASS_RUNS[] = {",
    ]
    cells = ["{0x%04X, 0x%04X, %d}," % run for run in runs]
    row = "   "
    for cell in cells:
        if len(row) + 1 + len(cell) > 100:
            lines.append(row)
            row = "   "
        row += " " + cell
    lines.append(row)
    lines += ["};", "", "}  // namespace NTokenizerGenerated", ""]
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--data", default="/usr/share/unicode")
    parser.add_argument("--out")
    parser.add_argument("--counts", action="store_true", help="print the size of every class")
    args = parser.parse_args()
    table = build_table(args.data)
    if args.counts:
        for i, name in enumerate(CLASSES):
            print("%-14s %d" % (name, table.count(i)))
    if args.out:
        version = source_version(os.path.join(args.data, "DerivedAge.txt"))
        write_output(args.out, table, version)
    return 0


if __name__ == "__main__":
    sys.exit(main())
