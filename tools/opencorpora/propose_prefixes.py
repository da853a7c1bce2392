#!/usr/bin/env python3
"""Proposes word beginnings for prefix hypotheses from a converted dictionary source.

    propose_prefixes.py SOURCE [--top N] [--min-support K] [--min-precision X]
    propose_prefixes.py SOURCE --review prefix-review.txt > russian-prefixes.txt

A beginning P is proposed when many noun or adjective lemmas are P followed by another lemma of
the same part of speech (небольшой = не + большой, полуостров = полу + остров), hyphenated
compounds included (вице-президент). Proper names take no part. Each line gives P, its
support (lemmas of that shape), the lemmas beginning with P, the share of those that have that
shape, and a few examples; the lines are ordered by support. The list is then reviewed by hand.
"""

import argparse
import collections
import sys

# Prefix hypotheses are built for these parts of speech only.
PARTS_OF_SPEECH = ("S", "A")
PROPER = {"persn", "famn", "patrn", "geo", "proper"}
SHORTEST_REST = 3
LONGEST_PREFIX = 8


def read_lemmas(stream):
    """(lemma, part of speech) of every entry of a source, ё as е, proper names left out."""
    lemmas = set()
    lemma = None
    first = True
    for line in stream:
        line = line.rstrip("\n")
        if line.startswith("@language:"):
            continue
        if not line:
            lemma, first = None, True
            continue
        if lemma is None:
            lemma = line.lower().replace("ё", "е")
            continue
        if first:
            first = False
            grammar = line.split("\t", 1)[1].replace("=", ",").split(",")
            if grammar[0] in PARTS_OF_SPEECH and not PROPER & set(grammar):
                lemmas.add((lemma, grammar[0]))
    return lemmas


def propose(lemmas, min_support=20, min_precision=0.2):
    known = set(lemmas)
    support = collections.Counter()
    starts = collections.Counter()
    examples = collections.defaultdict(list)
    for lemma, pos in lemmas:
        seen = set()
        for n in range(1, min(LONGEST_PREFIX, len(lemma) - SHORTEST_REST) + 1):
            p = lemma[:n]
            if p.endswith("-"):
                continue
            starts[p] += 1
            rest = lemma[n:]
            if rest.startswith("-"):
                rest = rest[1:]
            if len(rest) >= SHORTEST_REST and (rest, pos) in known and p not in seen:
                seen.add(p)
                support[p] += 1
                if len(examples[p]) < 4:
                    examples[p].append(lemma)
    rows = []
    for p, k in support.items():
        precision = k / starts[p]
        if k >= min_support and precision >= min_precision:
            rows.append((p, k, starts[p], precision, sorted(examples[p])))
    rows.sort(key=lambda r: (-r[1], r[0]))
    return rows


def read_review(stream):
    """Hand review: "+P" keeps P whatever its figures, "-P" drops it; "#" starts a comment."""
    keep, drop = set(), set()
    for line in stream:
        line = line.split("#", 1)[0].strip()
        if not line:
            continue
        sign, word = line[0], line[1:].split()[0]
        if sign not in "+-":
            raise ValueError("review line without + or -: %r" % line)
        (keep if sign == "+" else drop).add(word)
    return keep, drop


def select(rows, keep, drop, min_precision):
    """The reviewed list: candidates of enough precision and the ones kept by hand, less the
    dropped ones, single letters, and не joined to another beginning of the list (the
    beginning не already covers them)."""
    chosen = [r[0] for r in rows
              if (r[3] >= min_precision or r[0] in keep) and r[0] not in drop and len(r[0]) > 1]
    listed = set(chosen)
    return [p for p in chosen
            if not (p.startswith("не") and p[2:] in listed and p not in keep)]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("--top", type=int, help="print only the N best supported")
    parser.add_argument("--min-support", type=int, default=12)
    parser.add_argument("--min-precision", type=float, default=0.1)
    parser.add_argument("--review", help="hand review to apply; prints the final list")
    parser.add_argument("--list-precision", type=float, default=0.25,
                        help="with --review: the least precision of a listed beginning")
    args = parser.parse_args(argv)
    with open(args.source, encoding="utf-8") as f:
        lemmas = read_lemmas(f)
    rows = propose(lemmas, args.min_support, args.min_precision)[:args.top]
    if args.review:
        with open(args.review, encoding="utf-8") as f:
            keep, drop = read_review(f)
        unknown = (keep | drop) - {r[0] for r in rows}
        if unknown:
            raise SystemExit("reviewed beginnings not proposed: %s" % " ".join(sorted(unknown)))
        for p in select(rows, keep, drop, args.list_precision):
            print(p)
        return 0
    for p, k, total, precision, ex in rows:
        print("%s\t%d\t%d\t%.2f\t%s" % (p, k, total, precision, " ".join(ex)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
