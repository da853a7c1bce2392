"""OpenCorpora tags to Lemmix grammar.

The grammeme map and the part-of-speech rules are the reviewed tables beside this file
(grammeme-map.tsv, pos-rules.tsv). Our grammeme names, codes and categories are read from
lemmer/grammar/grammeme_data.cpp and lemmer/grammar/grammeme_table.h, so the converter and the compiler can
never disagree on a name.
"""

import os
import re

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))


class MappingError(Exception):
    pass


class Grammemes:
    """Our grammeme table: Latin name -> (code, category mask)."""

    def __init__(self, repo=REPO):
        with open(os.path.join(repo, "lemmer", "grammar", "grammeme_table.h"), encoding="utf-8") as f:
            masks = {m.group(1): int(m.group(2), 0)
                     for m in re.finditer(r"\b(GC_[A-Z_]+)\s*=\s*(0x[0-9A-Fa-f]+|\d+)", f.read())}
        with open(os.path.join(repo, "lemmer", "grammar", "grammeme_data.cpp"), encoding="utf-8") as f:
            rows = re.findall(r'\{(\d+),\s*"([^"]*)",\s*"([^"]*)",\s*(GC_[A-Z_]+|0)\}', f.read())
        if not rows:
            raise MappingError("no grammemes found in lemmer/grammar/grammeme_data.cpp")
        self.code = {}
        self.mask = {}
        for code, _, latin, category in rows:
            self.code[latin] = int(code)
            self.mask[latin] = 0 if category == "0" else masks[category]
        self.name_of = {c: n for n, c in self.code.items()}

    def sort(self, names):
        """Names in ascending code order: the order in which the compiler keeps the codes."""
        for n in names:
            if n not in self.code:
                raise MappingError("unknown grammeme %r" % n)
        return sorted(names, key=lambda n: self.code[n])

    def is_pos(self, name):
        return self.mask[name] == 1


def _read_tsv(name):
    rows = []
    with open(os.path.join(HERE, name), encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line and not line.startswith("#"):
                rows.append(line.split("\t"))
    return rows


class TagMapper:
    """Maps one OpenCorpora tag ("POS,lexeme grammemes form grammemes") to a set of our names."""

    def __init__(self, grammemes=None):
        self.grammemes = grammemes or Grammemes()
        self.gmap = {}
        for row in _read_tsv("grammeme-map.tsv"):
            if len(row) < 3:
                raise MappingError("grammeme-map.tsv: short row %r" % (row,))
            self.gmap[row[0]] = None if row[1] == "-" else row[1]
        # Part-of-speech rows, first match wins: (OC POS, required OC grammeme or None, our POS,
        # added grammemes).
        self.pos_rules = []
        for row in _read_tsv("pos-rules.tsv"):
            if row[0] in ("*", "lexeme"):
                continue  # conflict and lexeme rules: applied in code below and in entries.py
            when = None if row[1] == "-" else row[1]
            adds = [] if row[3] == "-" else row[3].split()
            self.pos_rules.append((row[0], when, row[2], adds))
        for ours in list(self.gmap.values()) + [r[2] for r in self.pos_rules] + \
                [a for r in self.pos_rules for a in r[3]]:
            if ours is not None and ours not in self.grammemes.code:
                raise MappingError("mapping names %r, which is no grammeme of ours" % ours)
        self._cache = {}

    def split(self, tag):
        head, _, tail = tag.partition(" ")
        lexeme = head.split(",")
        form = tail.split(",") if tail else []
        return lexeme[0], lexeme[1:], form

    def rule(self, tag):
        """The part-of-speech rule of a tag: (OC POS, required grammeme, our POS, additions)."""
        pos, lexeme, form = self.split(tag)
        every = set(lexeme) | set(form)
        for r in self.pos_rules:
            if r[0] == pos and (r[1] is None or r[1] in every):
                return r
        raise MappingError("tag %r: no part-of-speech rule" % tag)

    def map(self, tag):
        """The grammar of a tag as a frozenset of our Latin names."""
        cached = self._cache.get(tag)
        if cached is not None:
            return cached
        pos, lexeme, form = self.split(tag)
        every = set(lexeme) | set(form)
        for g in every:
            if g not in self.gmap:
                raise MappingError("tag %r: unknown OpenCorpora grammeme %r" % (tag, g))
        rule = self.rule(tag)
        out = {rule[2], *rule[3]}
        # Common gender replaces the gender values of its tag.
        skip = {"masc", "femn", "neut", "GNdr"} if "Ms-f" in every else set()
        # A tag with both animacy values keeps the one of its form part.
        if "anim" in every and "inan" in every:
            skip |= {g for g in ("anim", "inan") if g in lexeme and g not in form}
        for g in lexeme + form:
            if g in skip:
                continue
            ours = self._tense(pos, g, every)
            if ours is not None:
                out.add(ours)
        result = frozenset(out)
        self._cache[tag] = result
        return result

    def _tense(self, pos, g, every):
        if g in ("pres", "futr", "past"):
            if pos == "PRED":
                return None  # a predicative word's present is no tense of ours
            if pos == "VERB" and g != "past":
                # Finite non-past is one tense in both aspects; only the imperfective future
                # (быть: буду) is a future proper.
                return "fut" if g == "futr" and "impf" in every else "inpraes"
        return self.gmap[g]

    def text(self, names):
        return ",".join(self.grammemes.sort(names))
