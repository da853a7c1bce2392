#!/usr/bin/env python3
"""Converts the OpenCorpora dictionary (package/dicts/ of the npm package az 0.2.3) into the
dictionary compiler's text source, and reports what the compiler would refuse.

    convert.py DICTS OUTPUT [--stems single|variants] [--ending-share X] [--report FILE]

Entries the compiler would reject are still written (the compiler skips them itself); the
report counts them by reason. Wordforms whose text the compiler refuses (digits) are left out
of their entry unless --keep-unwritable is given.
"""

import argparse
import collections
import contextlib
import hashlib
import sys

import azdicts
import entries
import mapping


class TableCounter:
    """Counts what the compiler's global tables would hold: affixes, paradigms, rules, stems
    per two-letter block and rules per stem text."""

    def __init__(self, grammemes, tuple_length=2):
        self.g = grammemes
        self.tuple_length = tuple_length
        self.affixes = {}
        self.paradigms = {}
        self.rules = {}
        self.stems = set()
        self.short = collections.Counter()  # stems shorter than a block key, by length
        self.short_examples = []

    def _id(self, table, key):
        found = table.get(key)
        if found is None:
            found = table[key] = len(table)
        return found

    def add(self, entry):
        code = self.g.code
        common = entry.common()
        common_codes = bytes(sorted(code[n] for n in common))
        lemma = entries.normalize(entry.lemma)
        stem_texts = sorted({entries.normalize(f.stem) for f in entry.forms})
        index = {s: i for i, s in enumerate(stem_texts)}
        members = [set() for _ in stem_texts]
        for f in entry.forms:
            own = bytes(sorted(code[n] for n in f.grammar - common))
            affix = (entries.normalize(f.prefix), entries.normalize(f.suffix)[::-1], own)
            members[index[entries.normalize(f.stem)]].add(self._id(self.affixes, affix))
        paradigm_ids = tuple(self._id(self.paradigms, tuple(sorted(m))) for m in members)
        to_stem = []  # (cut, tail) turning the lemma into each stem
        for s in stem_texts:
            c = entries.common_prefix_length(lemma, s)
            to_stem.append((len(lemma) - c, s[c:]))
        largest_cut = max(cut for cut, _ in to_stem)
        for k, s in enumerate(stem_texts):
            c = entries.common_prefix_length(s, lemma)
            cut_k, tail_k = len(s) - c, lemma[c:]
            record = (len(stem_texts), k, largest_cut + cut_k - len(tail_k), cut_k, paradigm_ids,
                      tuple(to_stem), tail_k, common_codes)
            self.stems.add((s, self._id(self.rules, record)))
            if len(s) < self.tuple_length:
                self.short[len(s)] += 1
                if len(self.short_examples) < 20:
                    self.short_examples.append("%s:[%s]" % (entry.lemma, s))

    def summary(self):
        blocks = collections.Counter(s[::-1][:self.tuple_length] for s, _ in self.stems)
        per_text = collections.Counter(s for s, _ in self.stems)
        key, largest = blocks.most_common(1)[0]
        text, most_rules = per_text.most_common(1)[0]
        return collections.OrderedDict([
            ("affixes (limit 65535)", len(self.affixes)),
            ("paradigms (limit 65535)", len(self.paradigms)),
            ("rules (limit 65535)", len(self.rules)),
            ("stems", len(self.stems)),
            ("stem blocks", len(blocks)),
            ("largest block (limit 32000)", "%d stems, key %r" % (largest, key[::-1])),
            ("blocks over 32000", sum(1 for n in blocks.values() if n > 32000)),
            ("most rules on one stem text (limit 682)", "%d (%r)" % (most_rules, text)),
            ("stems shorter than a block key, by length", dict(sorted(self.short.items()))),
            ("  for example", " ".join(self.short_examples)),
        ])


def lexeme_hash(lexeme, seed):
    """A hash of the seed and the lexeme's paradigm and stem, so that a choice of lexemes does
    not depend on the order of reading."""
    key = ("%s\t%d\t%s" % (seed, lexeme.paradigm, lexeme.stem)).encode("utf-8")
    return int.from_bytes(hashlib.sha256(key).digest()[:8], "little")


def is_held_out(lexeme, seed, share):
    """Whether a lexeme falls in the held-out share."""
    return lexeme_hash(lexeme, seed) < share * 2.0**64


def lexeme_sample(lexemes, seed, count):
    """A predicate that holds for exactly `count` lexemes (all when there are fewer): those with
    the smallest hashes. The seed is salted so that the sample and the held-out share of one
    seed do not coincide."""
    ranked = sorted(lexemes, key=lambda x: lexeme_hash(x, "sample " + str(seed)))
    chosen = {(x.paradigm, x.stem) for x in ranked[:count]}
    return lambda x: (x.paradigm, x.stem) in chosen


def word_lines(entry, grammemes):
    """"wordform TAB lemma TAB part of speech" for every distinct wordform of an entry."""
    pos = grammemes.sort(entry.common())[0]
    words = sorted({f.word for f in entry.forms})
    return "".join("%s\t%s\t%s\n" % (w, entry.lemma, pos) for w in words)


def convert(lexemes, maker, out, stems="single", ending_share=0.01, keep_unwritable=False,
            inventory=None, word_list=None, held_out=None, train_out=None, held_out_list=None,
            sampled=None, sample_list=None):
    """Writes every entry to `out` and returns the report as an ordered dict of figures and
    lists. `word_list` receives the wordforms of every entry the compiler accepts. With
    `held_out` (a predicate on lexemes), the entries of the other lexemes also go to
    `train_out` and the wordforms of the held-out ones to `held_out_list`. With `sampled` (a
    predicate on lexemes), the wordforms of the sampled lexemes go to `sample_list`."""
    grammemes = maker.grammemes
    if stems == "variants" and inventory is None:
        inventory = entries.EndingInventory()
        for lexeme in lexemes:
            for word, tag, prefix in lexeme.forms:
                inventory.add(tag, word[len(prefix):])
    tables = TableCounter(grammemes)
    counts = collections.Counter()
    rejected = collections.Counter()
    rejected_examples = collections.defaultdict(list)
    aborts = collections.Counter()
    dropped = []
    stem_counts = collections.Counter()
    for lexeme in lexemes:
        counts["lexemes"] += 1
        aside = held_out is not None and held_out(lexeme)
        counts["held-out lexemes"] += aside
        in_sample = sampled is not None and sampled(lexeme)
        counts["sampled lexemes"] += in_sample
        counts["lexeme wordforms"] += len(lexeme.forms)
        made = maker.entries(lexeme.forms)
        for entry in made:
            counts["entries"] += 1
            for d in entry.decisions:
                counts["entries made by " + d] += 1
            if not keep_unwritable and entries.drop_unwritable_forms(entry):
                dropped.append((entry.lemma, [f.word for f in entry.dropped]))
            if stems == "variants":
                entries.set_variant_stems(entry, inventory, ending_share)
                if entry.fallback:
                    counts["entries falling back to one stem (%s)" % entry.fallback] += 1
            else:
                entries.set_single_stem(entry)
            counts["wordforms written"] += len(entry.forms)
            counts["longest lemma (units)"] = max(counts["longest lemma (units)"],
                                                  len(entry.lemma))
            counts["lemmas over %d units" % entries.LONGEST_LEMMA_KEPT] += (
                len(entry.lemma) > entries.LONGEST_LEMMA_KEPT)
            counts["wordforms over %d units" % entries.LONGEST_LEMMA_KEPT] += sum(
                len(f.word) > entries.LONGEST_LEMMA_KEPT for f in entry.forms)
            text = entries.source_text(entry, grammemes)
            out.write(text)
            if train_out is not None and not aside:
                train_out.write(text)
            reason = entries.rejection(entry, grammemes)
            if reason is not None:
                rejected[reason] += 1
                if len(rejected_examples[reason]) < 10:
                    rejected_examples[reason].append(entry.lemma)
                continue
            abort = entries.abort_reason(entry, grammemes)
            if abort is not None:
                aborts[abort] += 1
                continue
            if word_list is not None:
                word_list.write(word_lines(entry, grammemes))
            if aside and held_out_list is not None:
                held_out_list.write(word_lines(entry, grammemes))
            if in_sample and sample_list is not None:
                sample_list.write(word_lines(entry, grammemes))
            stem_counts[len({entries.normalize(f.stem) for f in entry.forms})] += 1
            tables.add(entry)
    report = collections.OrderedDict()
    report["counts"] = counts
    report["rejected entries by reason"] = rejected
    report["rejected examples"] = dict(rejected_examples)
    report["entries that would abort the compilation"] = aborts
    report["wordforms left out"] = dropped
    report["stems per entry"] = dict(sorted(stem_counts.items()))
    report["compiler tables"] = tables.summary()
    return report


def write_report(report, stream):
    for section, value in report.items():
        stream.write("== %s\n" % section)
        if isinstance(value, list):
            stream.write("%d\n" % sum(len(words) for _, words in value))
            for lemma, words in value:
                stream.write("  %s: %s\n" % (lemma, " ".join(words)))
        elif isinstance(value, dict):
            for k, v in value.items():
                stream.write("  %s: %s\n" % (k, v))
            if not value:
                stream.write("  none\n")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("dicts", help="the package/dicts folder of az 0.2.3")
    parser.add_argument("output", help="the text source to write (UTF-8)")
    parser.add_argument("--stems", choices=("single", "variants"), default="single")
    parser.add_argument("--ending-share", type=float, default=0.01,
                        help="variants: the least share of a tag's wordforms an inflexion needs")
    parser.add_argument("--keep-unwritable", action="store_true",
                        help="write wordforms with digits as they are")
    parser.add_argument("--language", help='begin with a line "@language: LANGUAGE"')
    parser.add_argument("--report", help="also write the report to this file")
    parser.add_argument("--word-list", help='write "wordform TAB lemma TAB part of speech" '
                        "for every wordform of every accepted entry to this file")
    parser.add_argument("--train-output", help="also write the source without the held-out "
                        "lexemes to this file")
    parser.add_argument("--held-out-list", help="write the wordforms of the held-out "
                        "lexemes (as --word-list) to this file")
    parser.add_argument("--held-out-share", type=float, default=0.05)
    parser.add_argument("--sample-list", help="write the wordforms of a sample of lexemes (as "
                        "--word-list) to this file")
    parser.add_argument("--sample-lexemes", type=int, default=20000,
                        help="the number of lexemes in the sample")
    parser.add_argument("--seed", default="1", help="seed of the held-out choice and the sample")
    args = parser.parse_args(argv)
    if bool(args.train_output) != bool(args.held_out_list):
        parser.error("--train-output and --held-out-list go together")

    dicts = azdicts.AzDicts(args.dicts)
    lexemes = dicts.lexemes()
    maker = entries.EntryMaker(mapping.TagMapper())
    def open_text(name):
        return open(name, "w", encoding="utf-8", newline="\n") if name else None

    held_out = None
    if args.train_output:
        held_out = lambda x: is_held_out(x, args.seed, args.held_out_share)
    sampled = None
    if args.sample_list:
        sampled = lexeme_sample(lexemes, args.seed, args.sample_lexemes)
    with contextlib.ExitStack() as files:
        out, word_list, train_out, held_out_list, sample_list = (
            files.enter_context(f) if f else None
            for f in map(open_text, (args.output, args.word_list, args.train_output,
                                     args.held_out_list, args.sample_list)))
        for f in (out, train_out):
            if f and args.language:
                f.write("@language: %s\n" % args.language)
        report = convert(lexemes, maker, out, args.stems, args.ending_share,
                         args.keep_unwritable, word_list=word_list, held_out=held_out,
                         train_out=train_out, held_out_list=held_out_list, sampled=sampled,
                         sample_list=sample_list)
    counts = report["counts"]
    if counts["lexeme wordforms"] != dicts.key_count:
        raise SystemExit("the lexemes hold %d wordforms, the DAWG %d keys"
                         % (counts["lexeme wordforms"], dicts.key_count))
    counts["DAWG keys"] = dicts.key_count
    counts["distinct wordforms"] = dicts.distinct_words
    counts["distinct lemma texts"] = len({x.lemma for x in lexemes})
    write_report(report, sys.stdout)
    if args.report:
        with open(args.report, "w", encoding="utf-8") as f:
            write_report(report, f)
    return 0


if __name__ == "__main__":
    sys.exit(main())
