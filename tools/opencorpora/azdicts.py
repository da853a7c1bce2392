"""Reads the OpenCorpora dictionary as the npm package az 0.2.3 ships it in package/dicts/.

The word DAWG gives (wordform, paradigm id, form index); a paradigm gives every form's suffix,
tag and prefix; a lexeme is a distinct (paradigm, stem) pair, so the forms of a lexeme are made
from its paradigm rather than collected from the DAWG.
"""

import array
import json
import os
import struct
import sys

PARADIGM_PREFIXES = ("", "по", "наи")


class DictsError(Exception):
    pass


class Dawg:
    """A double-array DAWG with a completion guide, all little-endian."""

    def __init__(self, data):
        if len(data) < 4:
            raise DictsError("words.dawg: too short")
        (n,) = struct.unpack_from("<I", data, 0)
        end_units = 4 + 4 * n
        if len(data) < end_units + 4:
            raise DictsError("words.dawg: truncated units")
        self.units = array.array("I")
        self.units.frombytes(data[4:end_units])
        if sys.byteorder != "little":
            self.units.byteswap()
        (g,) = struct.unpack_from("<I", data, end_units)
        if n == 0 or g != n:
            raise DictsError("words.dawg: %d units but a guide of %d" % (n, g))
        self.guide = data[end_units + 4:end_units + 4 + 2 * g]
        if len(self.guide) != 2 * g:
            raise DictsError("words.dawg: truncated guide")

    def _offset(self, i):
        u = self.units[i]
        return (u >> 10) << ((u & 0x200) >> 6)

    def keys(self):
        """Yields (key bytes, value) for every key, in byte order."""
        units, guide = self.units, self.guide
        size = len(units)
        # Stack of (node, label of its next child to try); label 0: the node is done, and its
        # own label leaves the key.
        key = bytearray()
        stack = [(0, guide[0])]
        if units[0] & 0x100:
            yield bytes(key), units[self._offset(0)] & 0x7FFFFFFF
        while stack:
            node, label = stack.pop()
            if label == 0:
                if key:
                    key.pop()
                continue
            child = node ^ self._offset(node) ^ label
            if child >= size or (units[child] & 0x800000FF) != label:
                raise DictsError("words.dawg: broken transition at unit %d" % node)
            # Come back to node for the sibling of child after child's subtree.
            stack.append((node, guide[2 * child + 1]))
            key.append(label)
            if units[child] & 0x100:
                yield bytes(key), units[child ^ self._offset(child)] & 0x7FFFFFFF
            stack.append((child, guide[2 * child]))


def decode_payload(payload):
    """Two numbers of two 7-bit bytes each, high byte first, each byte stored as (bits << 1) | 1; a byte of
    value 1 can follow the separator 0x01, so a key splits at its first 0x01."""
    if len(payload) != 4:
        raise DictsError("words.dawg: payload of %d bytes" % len(payload))
    b = payload
    return ((b[0] >> 1) << 7) | (b[1] >> 1), ((b[2] >> 1) << 7) | (b[3] >> 1)


def read_paradigms(data):
    words = array.array("H")
    words.frombytes(data)
    if sys.byteorder != "little":
        words.byteswap()
    if not words:
        raise DictsError("paradigms.array: empty")
    count = words[0]
    pos = 1
    paradigms = []
    for _ in range(count):
        if pos >= len(words):
            raise DictsError("paradigms.array: truncated")
        length = words[pos]
        pos += 1
        if length % 3 or pos + length > len(words):
            raise DictsError("paradigms.array: bad paradigm length %d" % length)
        n = length // 3
        body = words[pos:pos + length]
        pos += length
        paradigms.append((list(body[:n]), list(body[n:2 * n]), list(body[2 * n:])))
    return paradigms


class Lexeme:
    """One OpenCorpora lexeme: its paradigm id, its stem and its forms in paradigm order."""

    __slots__ = ("paradigm", "stem", "forms")

    def __init__(self, paradigm, stem, forms):
        self.paradigm = paradigm
        self.stem = stem
        # (word, OC tag text, OC paradigm prefix) per form index
        self.forms = forms

    @property
    def lemma(self):
        return self.forms[0][0]


class AzDicts:
    def __init__(self, folder):
        def load(name):
            with open(os.path.join(folder, name), "rb") as f:
                return f.read()

        self.meta = dict(json.loads(load("meta.json")))
        self.suffixes = json.loads(load("suffixes.json"))
        self.tags = json.loads(load("gramtab-opencorpora-int.json"))
        self.paradigms = read_paradigms(load("paradigms.array"))
        self.dawg = Dawg(load("words.dawg"))
        prefixes = self.meta.get("compile_options", {}).get("paradigm_prefixes")
        if prefixes is not None and tuple(prefixes) != PARADIGM_PREFIXES:
            raise DictsError("meta.json: unexpected paradigm prefixes %r" % (prefixes,))
        self.key_count = 0
        self.distinct_words = 0

    def form_parts(self, paradigm_id, index):
        suffix_ids, tag_ids, prefix_ids = self.paradigms[paradigm_id]
        return (PARADIGM_PREFIXES[prefix_ids[index]], self.suffixes[suffix_ids[index]],
                self.tags[tag_ids[index]])

    def lexemes(self):
        """Every lexeme once, sorted by (lemma, paradigm id, stem). Counts the DAWG keys."""
        found = set()
        keys = 0
        last_word = None
        distinct = 0
        for key, _ in self.dawg.keys():
            sep = key.find(b"\x01")
            if sep < 0:
                raise DictsError("words.dawg: key without separator")
            raw = key[:sep]
            para, index = decode_payload(key[sep + 1:])
            if para >= len(self.paradigms) or index >= len(self.paradigms[para][0]):
                raise DictsError("words.dawg: form %d of paradigm %d out of range" % (index, para))
            keys += 1
            if raw != last_word:
                distinct += 1
                last_word = raw
            # Every lexeme has all the forms of its paradigm, so its lemma key finds it.
            if index == 0:
                word = raw.decode("cp1251")
                prefix, suffix, _ = self.form_parts(para, 0)
                found.add((para, word[len(prefix):len(word) - len(suffix)]))
        self.key_count = keys
        self.distinct_words = distinct
        result = []
        for para, stem in found:
            n = len(self.paradigms[para][0])
            forms = []
            for i in range(n):
                prefix, suffix, tag = self.form_parts(para, i)
                forms.append((prefix + stem + suffix, tag, prefix))
            result.append(Lexeme(para, stem, forms))
        result.sort(key=lambda x: (x.lemma, x.paradigm, x.stem))
        return result
