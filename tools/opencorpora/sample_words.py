#!/usr/bin/env python3
"""Draws a seeded sample of a word list ("wordform TAB lemma TAB part of speech" lines, as
convert.py --word-list writes) and writes "wordform TAB lemma" lines in the list's order,
gzip-compressed when the output name ends in .gz (with no name or time in the header, so the
same input gives the same bytes).

    sample_words.py WORD_LIST OUTPUT [--count 100000] [--seed 18]

Wordforms of more than three hyphenated parts are left out: the analyser joins at most three
parts of a token into one unit, so it can never find them whole (а-а-а-а).
"""

import argparse
import gzip
import random
import sys

MOST_PARTS = 3


def sample(lines, count, seed):
    usable = [line for line in lines if line.split("\t", 1)[0].count("-") < MOST_PARTS]
    chosen = sorted(random.Random(seed).sample(range(len(usable)), min(count, len(usable))))
    return ["\t".join(usable[i].split("\t")[:2]) + "\n" for i in chosen]


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("word_list")
    parser.add_argument("output")
    parser.add_argument("--count", type=int, default=100000)
    parser.add_argument("--seed", type=int, default=18)
    args = parser.parse_args(argv)
    with open(args.word_list, encoding="utf-8") as f:
        lines = f.read().splitlines()
    text = "".join(sample(lines, args.count, args.seed)).encode("utf-8")
    if args.output.endswith(".gz"):
        with open(args.output, "wb") as raw:
            with gzip.GzipFile(filename="", mode="wb", compresslevel=9, fileobj=raw,
                               mtime=0) as out:
                out.write(text)
    else:
        with open(args.output, "wb") as out:
            out.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
