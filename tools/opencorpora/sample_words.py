#!/usr/bin/env python3
"""Draws a seeded uniform sample of distinct wordforms from a converted dictionary source.

The analysis benchmark reads the sample as its real Russian words:
    sample_words.py opencorpora-single.txt 4000 17 > lemmer/testdata/russian-words.txt
"""
import random
import sys


def wordforms(path):
    with open(path, encoding="utf-8") as source:
        for line in source:
            if not line.startswith("["):
                continue
            form = line.split("\t", 1)[0]
            yield form.replace("[", "").replace("]", "")


def main():
    path, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    rng = random.Random(seed)
    sample = []
    seen = 0
    for form in dict.fromkeys(wordforms(path)):
        seen += 1
        if len(sample) < count:
            sample.append(form)
        else:
            at = rng.randrange(seen)
            if at < count:
                sample[at] = form
    print(f"# {count} wordforms drawn by tools/opencorpora/sample_words.py (seed {seed}) from the "
          "converted OpenCorpora 0.92 dictionary (CC BY-SA 3.0, OpenCorpora)")
    for form in sample:
        print(form)


if __name__ == "__main__":
    main()
