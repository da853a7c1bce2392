#!/usr/bin/env python3
"""Generates util/charset/unicode_data_generated.cpp from the Unicode Character Database.

Input: the text files of Debian's unicode-data package (default /usr/share/unicode):
UnicodeData.txt, CompositionExclusions.txt, DerivedNormalizationProps.txt, Scripts.txt and
PropList.txt. The output is pure data (property records as runs of code points, decomposition
strings, canonical composition triples, script ranges); the tables are put together at run time
by util/charset/unicode_table.cpp and its neighbours. The build never runs this script; rerun it
by hand when the data changes and commit the result (tools/unicode/check_generated.sh verifies
that the committed file is what this script makes).

Usage: generate_unicode_tables.py [--data DIR] [--out FILE]
"""

import argparse
import os
import re
import sys

# The property runs cover the whole code space, and the table reports all of it.
CODE_SPACE = 0x110000
DECOMPOSITION_TABLE_SIZE = 195102  # U+0000 .. U+2FA1D
SOURCE_FILES = ["UnicodeData.txt", "CompositionExclusions.txt", "DerivedNormalizationProps.txt",
                "Scripts.txt", "PropList.txt"]

NFKD_STABLE = 0x4000
NFKC_STABLE = 0x8000

# The system's script ids; every other Unicode script is 33 ("other"). Common and Inherited
# characters belong to no script and get no row.
SCRIPT_IDS = {
    "Latin": 1, "Cyrillic": 2, "Greek": 3, "Arabic": 4, "Hebrew": 5, "Armenian": 6,
    "Georgian": 7, "Han": 8, "Katakana": 9, "Hiragana": 10, "Hangul": 11, "Devanagari": 12,
    "Bengali": 13, "Gujarati": 14, "Gurmukhi": 15, "Kannada": 16, "Malayalam": 17, "Oriya": 18,
    "Tamil": 19, "Telugu": 20, "Thaana": 21, "Sinhala": 22, "Myanmar": 23, "Thai": 24, "Lao": 25,
    "Khmer": 26, "Tibetan": 27, "Mongolian": 28, "Ethiopic": 29, "Runic": 30, "Coptic": 31,
    "Syriac": 32,
}
OTHER_SCRIPT = 33
NO_SCRIPT_NAMES = ("Common", "Inherited", "Unknown")


def parse_range(text):
    text = text.strip()
    if ".." in text:
        first, last = text.split("..")
        return int(first, 16), int(last, 16)
    return int(text, 16), int(text, 16)


def read_property_file(path):
    """Yields (first, last, [fields...]) for every data line of a UCD property file."""
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = [x.strip() for x in line.split(";")]
            first, last = parse_range(fields[0])
            yield first, last, fields[1:]


def source_version(path):
    with open(path, encoding="utf-8") as f:
        m = re.match(r"#\s*\S+-(\d+\.\d+\.\d+)\.txt", f.readline())
    return m.group(1) if m else "unknown"


class Ucd:
    def __init__(self, data_dir):
        self.dir = data_dir
        self.name = {}
        self.gc = {}
        self.ccc = {}
        self.decomp = {}  # cp -> (is_compat, [cps])
        self.upper = {}
        self.lower = {}
        self.title = {}
        self._read_unicode_data()
        self.props = {}
        for first, last, fields in read_property_file(self._path("PropList.txt")):
            self.props.setdefault(fields[0], set()).update(range(first, last + 1))
        self.script = {}
        for first, last, fields in read_property_file(self._path("Scripts.txt")):
            for cp in range(first, last + 1):
                self.script[cp] = fields[0]
        self.script_lines = [(first, last, fields[0])
                             for first, last, fields in
                             read_property_file(self._path("Scripts.txt"))]
        self.nfkd_no = set()
        self.nfkc_not_yes = set()
        for first, last, fields in read_property_file(self._path("DerivedNormalizationProps.txt")):
            if fields[0] == "NFKD_QC" and fields[1] == "N":
                self.nfkd_no.update(range(first, last + 1))
            elif fields[0] == "NFKC_QC" and fields[1] in ("N", "M"):
                self.nfkc_not_yes.update(range(first, last + 1))
        self.exclusions = set()
        for first, last, _ in read_property_file(self._path("CompositionExclusions.txt")):
            self.exclusions.update(range(first, last + 1))

    def _path(self, name):
        return os.path.join(self.dir, name)

    def _read_unicode_data(self):
        range_start = None
        with open(self._path("UnicodeData.txt"), encoding="utf-8") as f:
            for line in f:
                fields = line.rstrip("\n").split(";")
                cp = int(fields[0], 16)
                name = fields[1]
                if name.endswith(", First>"):
                    range_start = cp
                    continue
                if name.endswith(", Last>"):
                    cps = range(range_start, cp + 1)
                    name = name[1:-len(", Last>")].upper()
                else:
                    cps = [cp]
                for c in cps:
                    self._add(c, name, fields)

    def _add(self, cp, name, fields):
        self.name[cp] = name
        self.gc[cp] = fields[2]
        self.ccc[cp] = int(fields[3])
        if fields[5]:
            parts = fields[5].split()
            compat = parts[0].startswith("<")
            if compat:
                parts = parts[1:]
            self.decomp[cp] = (compat, [int(p, 16) for p in parts])
        if fields[12]:
            self.upper[cp] = int(fields[12], 16)
        if fields[13]:
            self.lower[cp] = int(fields[13], 16)
        # An empty title-case field means the title case is the upper case.
        if fields[14]:
            self.title[cp] = int(fields[14], 16)
        elif fields[12]:
            self.title[cp] = int(fields[12], 16)

    def has(self, prop, cp):
        return cp in self.props.get(prop, ())

    def full_decomposition(self, cp, compat):
        """Recursive decomposition of cp, or None when it has none (Hangul is done at run time)."""
        entry = self.decomp.get(cp)
        if entry is None or (entry[0] and not compat):
            return None
        result = []
        for c in entry[1]:
            sub = self.full_decomposition(c, compat)
            result.extend(sub if sub is not None else [c])
        return result


def is_single_quote(name):
    return "SINGLE" in name or "APOSTROPHE" in name or name in ("PRIME", "REVERSED PRIME")


def category(ucd, cp):
    """The system's category number (0 to 56) of one code point.

    Unicode's general category decides, and the refinements below split it where the system
    tells more kinds apart."""
    gc = ucd.gc.get(cp, "Cn")
    name = ucd.name.get(cp, "")
    if gc in ("Cn", "Co"):
        return 0
    if gc == "Lu":
        return 1
    if gc == "Ll":
        return 2
    if gc == "Lt":
        return 3
    if gc == "Lm":
        # Modifier letters that Unicode counts as lower-case (small superscript letters such as
        # U+02B0..U+02B8) are letters of words; the others (U+02C7, U+02D0, U+0640) are marks of
        # length, tone or spacing.
        return 5 if ucd.has("Other_Lowercase", cp) else 4
    if gc == "Lo":
        # The ordinal indicators U+00AA and U+00BA were lower-case letters before Unicode 6.1
        # and stay so here: they lower-case and encode like 'a' and 'o'.
        if ucd.has("Other_Lowercase", cp):
            return 2
        if ucd.has("Ideographic", cp):
            return 7
        if ucd.script.get(cp) == "Katakana":
            return 8
        if ucd.script.get(cp) == "Hiragana":
            return 9
        # Conjoining jamo by their role in a syllable (fillers included); the precomposed
        # syllables and the compatibility jamo stay other letters.
        if name.startswith("HANGUL CHOSEONG"):
            return 10
        if name.startswith("HANGUL JUNGSEONG"):
            return 11
        if name.startswith("HANGUL JONGSEONG"):
            return 12
        return 6
    if gc == "Mn":
        return 13
    if gc == "Me":
        return 14
    if gc == "Mc":
        return 15
    if gc == "Nd":
        return 16
    if gc == "Nl":
        # U+3007 and the Hangzhou numerals are ideographic.
        return 18 if ucd.has("Ideographic", cp) else 17
    if gc == "No":
        return 19
    if gc == "Zs":
        return 20
    if gc == "Zl":
        return 22
    if gc == "Zp":
        return 23
    if gc == "Cc":
        # Tab, line feed ... carriage return and the information separators U+001C..U+001F
        # have their own numbers; every other control (U+0085 next line included) is plain.
        if 0x09 <= cp <= 0x0D:
            return 25
        if 0x1C <= cp <= 0x1F:
            return 26
        return 24
    if gc == "Cf":
        # U+200B was a space separator before Unicode 4.0.1 and keeps its own number.
        if cp == 0x200B:
            return 21
        # Joiners: ZWNJ, ZWJ and the word joiner U+2060.
        if ucd.has("Join_Control", cp) or cp == 0x2060:
            return 28
        if ucd.has("Bidi_Control", cp):
            return 29
        if cp == 0xFEFF:
            return 30
        return 27
    if gc == "Cs":
        return 31 if cp >= 0xDC00 else 32
    if gc == "Pd":
        # Hyphens (U+002D, U+2010, ...) apart from dashes (U+2013, ...).
        return 34 if ucd.has("Hyphen", cp) else 33
    if gc in ("Ps", "Pe", "Pi", "Pf"):
        quote = ucd.has("Quotation_Mark", cp) or gc in ("Pi", "Pf")
        single = quote and is_single_quote(name)
        numbers = {"Ps": (35, 36, 52), "Pe": (37, 38, 53), "Pi": (39, 39, 54), "Pf": (40, 40, 55)}
        plain, double, single_number = numbers[gc]
        if single:
            return single_number
        return double if quote else plain
    if gc == "Pc":
        return 41
    if gc == "Po":
        # Katakana middle dots carry the Hyphen property; other middle dots (U+00B7, U+2E31)
        # and the Extender punctuation join words.
        if ucd.has("Hyphen", cp):
            return 46
        if ucd.has("Extender", cp) or "MIDDLE DOT" in name:
            return 45
        # Quotation marks and primes: apostrophes, U+2032 PRIME and other single forms apart
        # from the double ones (U+0022, U+2033).
        if ucd.has("Quotation_Mark", cp) or name.endswith("PRIME"):
            return 56 if is_single_quote(name) else 43
        if ucd.has("Terminal_Punctuation", cp):
            return 44
        return 42
    if gc == "Sm":
        # Minus signs (U+207B, U+208B, U+2212) are the mathematical symbols with the Dash
        # property.
        return 48 if ucd.has("Dash", cp) else 47
    if gc == "Sc":
        return 49
    if gc == "Sk":
        return 50
    if gc == "So":
        return 51
    raise ValueError("unhandled general category %s of U+%04X" % (gc, cp))


def property_record(ucd, cp):
    info = category(ucd, cp)
    if cp not in ucd.nfkd_no:
        info |= NFKD_STABLE
    if cp not in ucd.nfkc_not_yes:
        info |= NFKC_STABLE

    def delta(mapping):
        return mapping[cp] - cp if cp in mapping else 0

    return (info, delta(ucd.lower), delta(ucd.upper), delta(ucd.title), ucd.ccc.get(cp, 0))


def property_runs(ucd):
    records = {}
    record_list = []
    runs = []
    previous = None
    for cp in range(CODE_SPACE):
        rec = property_record(ucd, cp)
        index = records.get(rec)
        if index is None:
            index = records[rec] = len(record_list)
            record_list.append(rec)
        if index != previous:
            runs.append((cp, index))
            previous = index
    return record_list, runs


def decompositions(ucd):
    pool = []
    pool_index = {}
    tables = {"compat": [], "canon": []}
    for cp in range(DECOMPOSITION_TABLE_SIZE):
        for kind, compat in (("compat", True), ("canon", False)):
            d = ucd.full_decomposition(cp, compat)
            if d is None:
                continue
            key = tuple(d)
            offset = pool_index.get(key)
            if offset is None:
                offset = pool_index[key] = len(pool)
                pool.extend(d + [0])
            tables[kind].append((cp, offset))
    return pool, tables["compat"], tables["canon"]


def composition_triples(ucd):
    triples = []
    for cp, (compat, parts) in ucd.decomp.items():
        if compat or len(parts) != 2 or cp in ucd.exclusions:
            continue
        triples.append((parts[0], parts[1], cp))
    triples.sort(key=lambda t: t[2])
    return triples


def script_ranges(ucd):
    rows = []
    for first, last, name in ucd.script_lines:
        if first > 0xFFFF or name in NO_SCRIPT_NAMES:
            continue
        rows.append((SCRIPT_IDS.get(name, OTHER_SCRIPT), first, min(last, 0xFFFF)))
    rows.sort()
    merged = []
    for script, first, last in rows:
        if merged and merged[-1][0] == script and merged[-1][2] + 1 == first:
            merged[-1] = (script, merged[-1][1], last)
        else:
            merged.append((script, first, last))
    return merged


def emit_array(out, decl, items):
    """Appends `decl = {items};`, packing the items into lines of at most 100 columns."""
    out.append(decl + " = {")
    line = "   "
    for item in items:
        if len(line) + 1 + len(item) > 100:
            out.append(line)
            line = "   "
        line += " " + item
    if line.strip():
        out.append(line)
    out.append("};")


def generate(data_dir):
    ucd = Ucd(data_dir)
    version = source_version(os.path.join(data_dir, "DerivedNormalizationProps.txt"))
    records, runs = property_runs(ucd)
    pool, compat, canon = decompositions(ucd)
    triples = composition_triples(ucd)
    scripts = script_ranges(ucd)

    out = [
        "// Generated by tools/unicode/generate_unicode_tables.py from the Unicode Character "
        "Database %s" % version,
        "// files %s," % ", ".join(SOURCE_FILES[:3]),
        "// %s. Do not edit." % ", ".join(SOURCE_FILES[3:]),
        "// The build does not regenerate this file; tools/unicode/check_generated.sh checks it.",
        '#include "util/charset/unicode_generated.h"',
        "",
        "namespace NUnicodeGenerated {",
        "",
        'extern const char UNICODE_DATA_VERSION[] = "%s";' % version,
        "",
        "// {info, lower delta, upper delta, title delta, combining class}",
        "extern const size_t PROPERTY_RECORD_COUNT = %d;" % len(records),
    ]
    emit_array(out, "extern const TUnicodeCharInfo PROPERTY_RECORDS[]",
               ["{0x%X, %d, %d, %d, %d}," % r for r in records])
    out += ["", "// {first code point of the run, record index}",
            "extern const size_t PROPERTY_RUN_COUNT = %d;" % len(runs)]
    emit_array(out, "extern const TPropertyRun PROPERTY_RUNS[]",
               ["{0x%X, %d}," % r for r in runs])
    out += ["", "// 0-terminated decomposition strings",
            "extern const size_t DECOMPOSITION_POOL_SIZE = %d;" % len(pool)]
    emit_array(out, "extern const uint32_t DECOMPOSITION_POOL[]", ["0x%X," % c for c in pool])
    for name, table in (("COMPAT", compat), ("CANON", canon)):
        out += ["", "// {code point, offset in DECOMPOSITION_POOL}",
                "extern const size_t %s_DECOMPOSITION_COUNT = %d;" % (name, len(table))]
        emit_array(out, "extern const TDecompositionEntry %s_DECOMPOSITIONS[]" % name,
                   ["{0x%X, %d}," % e for e in table])
    out += ["", "// {first, second, composed}: two-letter canonical decompositions that are not",
            "// excluded from composition, in the order of the composed code point",
            "extern const size_t COMPOSITION_TRIPLE_COUNT = %d;" % len(triples)]
    emit_array(out, "extern const TCompositionTriple COMPOSITION_TRIPLES[]",
               ["{0x%X, 0x%X, 0x%X}," % t for t in triples])
    out += ["", "// {script id, first, last}: the script ranges of the BMP, grouped by script",
            "extern const size_t SCRIPT_RANGE_COUNT = %d;" % len(scripts)]
    emit_array(out, "extern const TScriptRange SCRIPT_RANGES[]",
               ["{%d, 0x%X, 0x%X}," % s for s in scripts])
    out += ["", "}  // namespace NUnicodeGenerated", ""]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--data", default="/usr/share/unicode")
    parser.add_argument("--out", default=os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "..", "util", "charset",
        "unicode_data_generated.cpp"))
    args = parser.parse_args()
    text = generate(args.data)
    with open(args.out, "w", encoding="utf-8") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
