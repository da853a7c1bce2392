#!/usr/bin/env python3
"""Draws a seeded sample of whole entries from a converted dictionary source.

Reads an entry stream (a lemma line, its wordform lines, an empty line) as convert.py writes
it and writes the chosen entries, in source order, as gzip (no name, no time stamp), so the
same source, count and seed give the same bytes. Entries whose lemma is longer than
--max-lemma units (the analyser keeps at most 55) are never chosen.

    sample_entries.py opencorpora-variants.txt lemmer/generation/testdata/opencorpora-sample.txt.gz
"""
import argparse
import gzip
import random


def read_entries(path):
    entry = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.strip():
                entry.append(line)
            elif entry:
                yield entry
                entry = []
    if entry:
        yield entry


def main():
    p = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    p.add_argument("source")
    p.add_argument("output")
    p.add_argument("--count", type=int, default=1000)
    p.add_argument("--seed", type=int, default=20261210)
    p.add_argument("--max-lemma", type=int, default=55)
    a = p.parse_args()

    eligible = [i for i, e in enumerate(read_entries(a.source)) if len(e[0]) <= a.max_lemma]
    chosen = set(random.Random(a.seed).sample(eligible, min(a.count, len(eligible))))
    text = []
    for i, e in enumerate(read_entries(a.source)):
        if i in chosen:
            text.append("\n".join(e) + "\n\n")
    with open(a.output, "wb") as raw:
        with gzip.GzipFile(filename="", mode="wb", fileobj=raw, mtime=0, compresslevel=9) as z:
            z.write("".join(text).encode("utf-8"))


if __name__ == "__main__":
    main()
