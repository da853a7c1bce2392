#!/usr/bin/env python3
"""Measures what each listed word beginning does to the hypotheses of held-out words.

    measure_prefixes.py PREFIX_LIST MISSES_WITH MISSES_WITHOUT

The two misses files are `dictionary_eval -h -x` runs over the same held-out word list, with
a dictionary compiled with the prefix list and one compiled without it. A wordform missed only
with the list counts against the longest listed beginning it starts with (leaving at least
three letters), one missed only without it counts for that beginning. Prints "beginning TAB
lost TAB gained", the most harmful first; a beginning that loses more than it gains is a
candidate for "-" in prefix-review.txt.
"""

import argparse
import collections
import sys

SHORTEST_REST = 3


def read_misses(path):
    with open(path, encoding="utf-8") as f:
        return {tuple(line.split("\t")[:2]) for line in f if line.strip()}


def longest_beginning(word, prefixes):
    best = ""
    for p in prefixes:
        if len(p) > len(best) and word.startswith(p) and len(word) - len(p) >= SHORTEST_REST:
            best = p
    return best


def measure(prefixes, with_list, without_list):
    lost = collections.Counter(longest_beginning(w, prefixes) for w, _ in with_list - without_list)
    gained = collections.Counter(longest_beginning(w, prefixes)
                                 for w, _ in without_list - with_list)
    rows = [(p, lost[p], gained[p]) for p in set(lost) | set(gained) if p]
    return sorted(rows, key=lambda r: (r[2] - r[1], r[0]))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("prefix_list")
    parser.add_argument("misses_with")
    parser.add_argument("misses_without")
    args = parser.parse_args(argv)
    with open(args.prefix_list, encoding="utf-8") as f:
        prefixes = [line.strip() for line in f if line.strip()]
    for p, lost, gained in measure(prefixes, read_misses(args.misses_with),
                                   read_misses(args.misses_without)):
        sys.stdout.write("%s\t%d\t%d\n" % (p, lost, gained))
    return 0


if __name__ == "__main__":
    sys.exit(main())
