"""OpenCorpora lexemes to dictionary entries: the lexeme-level decisions, the stems and the
checks that the dictionary compiler applies to an entry.

A lexeme becomes one or more entries (README.md of the mapping, decisions D1 to D4); each
wordform is written as prefix "[" stem "]" suffix, a tab and its grammar.
"""

import collections

# Units that may not stand in a lemma, a prefix, a stem or a suffix.
RESERVED = frozenset("[](){} ,=")
# What the Russian normaliser leaves in a word that the compiler calls alphabetic: Cyrillic
# letters, the pre-reform letters and the word signs (apostrophes and the hyphen). Digits and
# Latin letters are not.
ALPHABETIC = frozenset("абвгдежзийклмнопрстуфхцчшщъыьэюяіѣѳѵ'-")
MAX_STEMS = 19
MAX_RECORD_BYTE = 255
MAX_FORMS = 15999
LONGEST_LEMMA_KEPT = 55  # the analysis record keeps at most 55 units of a lemma


def normalize(text):
    """The text as the compiler's check leaves it: lower case, ё as е, one apostrophe, no
    stress mark."""
    return text.lower().replace("ё", "е").replace("\u2019", "'").replace("\u0301", "")


def is_alphabetic(text):
    return all(c in ALPHABETIC for c in normalize(text))


def common_prefix_length(a, b):
    n = min(len(a), len(b))
    i = 0
    while i < n and a[i] == b[i]:
        i += 1
    return i


class Form:
    __slots__ = ("word", "oc_prefix", "tag", "grammar", "prefix", "stem", "suffix")

    def __init__(self, word, oc_prefix, tag, grammar):
        self.word = word
        self.oc_prefix = oc_prefix
        self.tag = tag
        self.grammar = grammar  # frozenset of our Latin names
        self.prefix = self.stem = self.suffix = ""

    @property
    def rest(self):
        """The word after its paradigm prefix (по-, наи-)."""
        return self.word[len(self.oc_prefix):]


class Entry:
    __slots__ = ("lemma", "forms", "decisions", "dropped", "fallback")

    def __init__(self, lemma, forms, decisions=()):
        self.lemma = lemma
        self.forms = forms
        self.decisions = set(decisions)
        self.dropped = []  # forms left out because the compiler would reject their text
        self.fallback = None  # why variant stems gave way to one stem, if they did

    def common(self):
        it = iter(self.forms)
        common = set(next(it).grammar)
        for f in it:
            common &= f.grammar
        return common


def part_of_speech(grammar, grammemes):
    found = [g for g in grammar if grammemes.is_pos(g)]
    return found[0] if len(found) == 1 else None


# OpenCorpora grammemes of a wordform that is not the standard spelling of its lexeme: the
# spelling variants (V-ie: василиевич beside васильевич), misprints, distortions, informal,
# slang, archaic and literary forms.
NONSTANDARD = frozenset(("Infr", "Slng", "Arch", "Litr", "Erro", "Dist"))


def is_standard(form):
    return not any(g.startswith("V-") or g in NONSTANDARD
                   for g in form.tag.replace(" ", ",").split(","))


def pick_lemma(forms, first_form):
    """The lemma of a split-off entry: the lexeme's own lemma when the entry holds form 0, else
    its infinitive, else its first nominative (singular, masculine where genders vary). Only
    when no form of the entry is a standard spelling may a variant name the entry: OpenCorpora
    lists the variant first (василиевич, then васильевич), but names the lexeme after the
    standard one."""
    if forms[0] is first_form:
        return first_form.word
    forms = [f for f in forms if is_standard(f)] or forms
    for f in forms:
        if "inf" in f.grammar:
            return f.word
    nominatives = [f for f in forms if "nom" in f.grammar]
    for want in (("sg", "m"), ("sg",), ()):
        for f in nominatives:
            if all(w in f.grammar for w in want):
                return f.word
    return forms[0].word


def _split(forms, key):
    groups = collections.OrderedDict()
    for f in forms:
        groups.setdefault(key(f), []).append(f)
    return list(groups.values())


class EntryMaker:
    def __init__(self, mapper):
        self.mapper = mapper
        self.grammemes = mapper.grammemes

    def forms_of(self, lexeme_forms):
        forms = [Form(w, p, t, self.mapper.map(t)) for w, t, p in lexeme_forms]
        self._abbreviations(forms)
        return forms

    def _abbreviations(self, forms):
        # D1b: an abbreviated form of the same OpenCorpora part of speech as form 0 takes
        # form 0's part of speech (др. inside другой), with that part of speech's own additions.
        oc_pos0 = self.mapper.split(forms[0].tag)[0]
        rule0 = self.mapper.rule(forms[0].tag)
        for f in forms[1:]:
            if "abbr" not in f.grammar or self.mapper.split(f.tag)[0] != oc_pos0:
                continue
            rule = self.mapper.rule(f.tag)
            if rule[2] != rule0[2]:
                f.grammar = frozenset((f.grammar - {rule[2], *rule[3]}) | {rule0[2], *rule0[3]})

    def entries(self, lexeme_forms):
        forms = self.forms_of(lexeme_forms)
        first = forms[0]
        pos = lambda f: part_of_speech(f.grammar, self.grammemes)
        result = []
        by_pos = _split(forms, pos)
        for group in by_pos:
            decisions = ["D1"] if len(by_pos) > 1 else []
            p = pos(group[0])
            if p == "S" and any("persn" in f.grammar for f in group) and \
                    any("patrn" in f.grammar for f in group):
                parts = self._names(group)
                decisions.append("D3")
            elif p == "V" and any("pf" in f.grammar for f in group) and \
                    any("ipf" in f.grammar for f in group):
                parts = _split(group, lambda f: "pf" if "pf" in f.grammar else "ipf")
                decisions.append("D2")
            else:
                parts = [group]
            for part in parts:
                if p == "V":
                    self._fill_verb_values(part)
                result.append(Entry(pick_lemma(part, first), part, decisions))
        return result

    @staticmethod
    def _names(group):
        # D3: the name, then the patronymics by gender.
        def kind(f):
            if "patrn" not in f.grammar:
                return "persn"
            return "patrn-f" if "f" in f.grammar else "patrn-m"
        return _split(group, kind)

    @staticmethod
    def _fill_verb_values(forms):
        # D4: a form without aspect or transitivity takes the value all other forms share.
        for category in (("pf", "ipf"), ("tran", "intr")):
            values = {g for f in forms for g in category if g in f.grammar}
            if len(values) != 1:
                continue
            (value,) = values
            for f in forms:
                if not any(g in f.grammar for g in category):
                    f.grammar = f.grammar | {value}


# --- stems -----------------------------------------------------------------------------------

class EndingInventory:
    """Which endings are inflexions: for every OpenCorpora tag, the share of its wordforms that
    end in each text of up to `longest` letters (ё counted as е). Seven letters hold the
    longest inflexions, those of reflexive participles (-вшимися)."""

    def __init__(self, longest=7):
        self.longest = longest
        self.total = collections.Counter()
        self.ends = collections.Counter()

    def add(self, tag, rest):
        rest = normalize(rest)
        self.total[tag] += 1
        for k in range(1, min(self.longest, len(rest)) + 1):
            self.ends[tag, rest[-k:]] += 1

    def share(self, tag, ending):
        total = self.total[tag]
        return self.ends[tag, ending] / total if total else 0.0


def _shared_length(forms):
    """The length of the beginning all wordforms share after their paradigm prefix (ё and е
    compared as equal)."""
    rests = [normalize(f.rest) for f in forms]
    length = len(rests[0])
    for r in rests[1:]:
        length = common_prefix_length(rests[0][:length], r)
    return length


def set_single_stem(entry):
    """One stem per entry: the longest beginning that all wordforms share after their paradigm
    prefix. Wordforms that share no letter (я/меня, быть/есть) are grouped instead
    (give_empty_stems_letters)."""
    length = _shared_length(entry.forms)
    for f in entry.forms:
        rest = f.rest
        f.prefix, f.stem, f.suffix = f.oc_prefix, rest[:length], rest[length:]
    give_empty_stems_letters(entry)


def give_empty_stems_letters(entry):
    """The analyser keeps at least one letter of a word as its stem, so a wordform written with
    an empty stem ([]меня) can never be found. Such wordforms are grouped by their first letter
    after the paradigm prefix, and each group takes the beginning its wordforms share as stem
    ([я], [мен]я, [мн]е). A wordform that is nothing but its paradigm prefix gives the prefix
    to its stem. Returns the number of wordforms given a stem."""
    empty = [f for f in entry.forms if not f.stem]
    groups = collections.defaultdict(list)
    for f in empty:
        if not f.rest:
            f.prefix, f.stem, f.suffix = "", f.word, ""
        else:
            groups[normalize(f.rest)[0]].append(f)
    for group in groups.values():
        length = _shared_length(group)
        for f in group:
            _cut(f, length)
    return len(empty)


def _cut(form, stem_length):
    rest = form.rest
    form.stem, form.suffix = rest[:stem_length], rest[stem_length:]


def set_variant_stems(entry, inventory, min_share):
    """Stem variants with short inflexions. A wordform may end in any ending that at least
    `min_share` of all wordforms with its tag share (or in nothing); its stem keeps at least one
    letter and never less than the beginning all wordforms share. Stems are then chosen
    greedily: the stem that the most remaining wordforms can take (the longer on a tie) goes to
    all of them. Participles and gerunds thus keep their verb's stem and their suffix stays in
    the ending. More stems than the compiler's limit, or more than half as many stems as
    distinct wordforms, fall back to one stem."""
    for f in entry.forms:
        f.prefix = f.oc_prefix
    shared = max(_shared_length(entry.forms), 1)
    options = []
    for f in entry.forms:
        folded = normalize(f.rest)
        lengths = {len(folded)}
        for k in range(1, min(inventory.longest, len(folded) - shared) + 1):
            if inventory.share(f.tag, folded[-k:]) >= min_share:
                lengths.add(len(folded) - k)
        options.append({folded[:n]: n for n in lengths})
    # Abbreviations (г, гг inside год) would pull the stem down to their letters: they take a
    # stem of the other wordforms when they can, else their whole text.
    abbreviations = {i for i, f in enumerate(entry.forms) if "abbr" in f.grammar}
    left = set(range(len(entry.forms))) - abbreviations
    if not left:
        left, abbreviations = abbreviations, set()
    chosen = set()
    while left:
        counts = collections.Counter(s for i in left for s in options[i])
        best = max(counts, key=lambda s: (counts[s], len(s), s))
        chosen.add(best)
        for i in [i for i in left if best in options[i]]:
            _cut(entry.forms[i], len(best))
            left.discard(i)
    for i in abbreviations:
        fits = [s for s in options[i] if s in chosen]
        _cut(entry.forms[i], max(map(len, fits)) if fits else len(entry.forms[i].rest))
    # Variants that do not group the wordforms (a stem per word: rare adjectives in -ийся,
    # compounds such as баба-яга) say nothing a single stem would not.
    stems = len({normalize(f.stem) for f in entry.forms})
    words = len({normalize(f.rest) for f in entry.forms})
    if stems > MAX_STEMS or (stems > 1 and 2 * stems > words):
        set_single_stem(entry)
        entry.fallback = "limit" if stems > MAX_STEMS else "no grouping"
    give_empty_stems_letters(entry)


# --- checks ----------------------------------------------------------------------------------

def drop_unwritable_forms(entry):
    """Leaves out the wordforms whose text the compiler would refuse (digits: 1-ая) so that
    the rest of the entry survives; returns the number dropped."""
    keep = [f for f in entry.forms if is_alphabetic(f.word) and not (RESERVED & set(f.word))]
    if keep and len(keep) < len(entry.forms):
        entry.dropped = [f for f in entry.forms if f not in keep]
        entry.forms = keep
    return len(entry.dropped)


def rejection(entry, grammemes):
    """Why the compiler would skip this entry, in the order it checks, or None."""
    if not entry.lemma or RESERVED & set(entry.lemma):
        return "reserved character in lemma"
    if not entry.forms:
        return "no wordforms"
    if len(entry.forms) > MAX_FORMS:
        return "too many wordforms"
    for f in entry.forms:
        if RESERVED & set(f.prefix + f.stem + f.suffix):
            return "reserved character in wordform"
        for g in f.grammar:
            if g not in grammemes.code:
                return "unknown grammeme %s" % g
    common = entry.common()
    if not common:
        return "no common grammar"
    ordered = grammemes.sort(common)
    if not grammemes.is_pos(ordered[0]):
        return "no part of speech in common grammar"
    for f in entry.forms:
        seen = 0
        for g in grammemes.sort(f.grammar):
            mask = grammemes.mask[g]
            if seen & mask:
                return "two grammemes of one category (mask %d)" % mask
            seen |= mask
    if not is_alphabetic(entry.lemma):
        return "non-alphabetic lemma"
    for f in entry.forms:
        if not (is_alphabetic(f.stem) and is_alphabetic(f.prefix) and is_alphabetic(f.suffix)):
            return "non-alphabetic wordform"
    return None


def abort_reason(entry, grammemes):
    """A limit whose overflow would abort the whole compilation, or None."""
    stems = sorted({normalize(f.stem) for f in entry.forms})
    if len(stems) > MAX_STEMS:
        return "more than %d stems" % MAX_STEMS
    lemma = normalize(entry.lemma)
    for s in stems:
        c = common_prefix_length(lemma, s)
        if len(lemma) - c > MAX_RECORD_BYTE or len(s) - c > MAX_RECORD_BYTE:
            return "cut over %d" % MAX_RECORD_BYTE
    if len(entry.common()) > MAX_RECORD_BYTE:
        return "common grammar over %d codes" % MAX_RECORD_BYTE
    return None


def source_text(entry, grammemes):
    """The entry in the compiler's text source format, ended by an empty line."""
    common = entry.common()
    lines = [entry.lemma]
    for f in entry.forms:
        own = grammemes.sort(f.grammar - common)
        grammar = ",".join(grammemes.sort(common))
        if own:
            grammar += "=" + ",".join(own)
        lines.append("%s[%s]%s\t%s" % (f.prefix, f.stem, f.suffix, grammar))
    return "\n".join(lines) + "\n\n"
