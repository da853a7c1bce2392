"""Tests of the OpenCorpora converter: the tag mapping against its reviewed oracle, the
lexeme-level decisions, the stems, the compiler's entry checks and the written format."""

import io
import os
import struct
import unittest

import azdicts
import convert
import entries
import mapping
import measure_prefixes
import propose_prefixes
import sample_words

HERE = os.path.dirname(os.path.abspath(__file__))
MAPPER = mapping.TagMapper()
G = MAPPER.grammemes


def lexeme(*forms):
    """(word, OC tag) pairs; a word written "по|красивее" has the paradigm prefix по."""
    out = []
    for word, tag in forms:
        prefix, _, rest = word.rpartition("|")
        out.append((prefix + rest, tag, prefix))
    return out


def make(*forms):
    return entries.EntryMaker(MAPPER).entries(lexeme(*forms))


def written(entry):
    return sorted({"%s[%s]%s" % (f.prefix, f.stem, f.suffix) for f in entry.forms})


class TagMapping(unittest.TestCase):
    def test_every_tag_of_the_oracle_maps_exactly_so(self):
        rows = 0
        wrong = []
        with open(os.path.join(HERE, "tags-to-grammar.tsv"), encoding="utf-8") as f:
            for line in f:
                tag, expected = line.rstrip("\n").split("\t")
                rows += 1
                got = MAPPER.text(MAPPER.map(tag))
                if got != expected:
                    wrong.append((tag, expected, got))
        self.assertEqual(rows, 4880)
        self.assertEqual(wrong, [])

    def test_unknown_grammemes_are_errors(self):
        with self.assertRaises(mapping.MappingError):
            MAPPER.map("NOUN,inan,masc sing,nomn,Xyzw")
        with self.assertRaises(mapping.MappingError):
            MAPPER.map("XXXX,inan")
        with self.assertRaises(mapping.MappingError):
            G.sort(["nom", "no-such-grammeme"])

    def test_grammar_is_written_in_code_order(self):
        self.assertEqual(G.sort(["sg", "nom", "S"]), ["S", "nom", "sg"])


class LexemeDecisions(unittest.TestCase):
    def test_one_entry_per_part_of_speech_named_by_its_nominative(self):
        made = make(("два", "NUMR masc,nomn"), ("двух", "NUMR masc,gent"),
                    ("вторая", "ADJF,Anum femn,sing,nomn"),
                    ("второй", "ADJF,Anum masc,sing,nomn"),
                    ("вторые", "ADJF,Anum plur,nomn"))
        self.assertEqual([e.lemma for e in made], ["два", "второй"])
        self.assertEqual([len(e.forms) for e in made], [2, 3])
        self.assertTrue(all("D1" in e.decisions for e in made))

    def test_abbreviation_keeps_the_part_of_speech_of_form_zero(self):
        (entry,) = make(("другой", "ADJF,Apro masc,sing,nomn"),
                        ("другая", "ADJF,Apro femn,sing,nomn"),
                        ("др", "ADJF,Fixd,Abbr masc,sing,nomn"))
        self.assertEqual(MAPPER.text(entry.forms[2].grammar), "APRO,abbr,nom,sg,m")
        self.assertIsNone(entries.rejection(entry, G))

    def test_bi_aspectual_verb_is_split_with_own_infinitives(self):
        made = make(("женить", "INFN,perf,tran"), ("женю", "VERB,perf,tran sing,1per,futr,indc"),
                    ("женить", "INFN,impf,tran"), ("женю", "VERB,impf,tran sing,1per,pres,indc"),
                    ("женил", "VERB,impf,tran masc,sing,past,indc"))
        self.assertEqual([(e.lemma, len(e.forms)) for e in made], [("женить", 2), ("женить", 3)])
        self.assertIn("pf", made[0].common())
        self.assertIn("ipf", made[1].common())

    def test_name_and_its_patronymics_are_three_entries(self):
        made = make(("пётр", "NOUN,anim,masc,Name sing,nomn"),
                    ("петра", "NOUN,anim,masc,Name sing,gent"),
                    ("петровича", "NOUN,anim,masc,Patr sing,gent"),
                    ("петрович", "NOUN,anim,masc,Patr sing,nomn"),
                    ("петровны", "NOUN,anim,femn,Patr plur,nomn"),
                    ("петровна", "NOUN,anim,femn,Patr sing,nomn"))
        self.assertEqual([e.lemma for e in made], ["пётр", "петрович", "петровна"])
        for e in made:
            self.assertIsNone(entries.rejection(e, G))

    def test_split_off_entries_are_named_after_the_standard_spelling(self):
        # OpenCorpora lists a spelling variant (V-ie) or a misprint (Erro) before the standard
        # form; an entry whose nominatives are all informal keeps an informal name.
        name = ("василий", "NOUN,anim,masc,Name sing,nomn")
        cases = [
            ([("василиевич", "NOUN,anim,masc,Patr sing,nomn,V-ie"),
              ("васильевич", "NOUN,anim,masc,Patr sing,nomn"),
              ("василиевича", "NOUN,anim,masc,Patr sing,gent,V-ie"),
              ("васильевича", "NOUN,anim,masc,Patr sing,gent")], "васильевич"),
            ([("михаиловна", "NOUN,anim,femn,Patr sing,nomn,Erro"),
              ("михайловна", "NOUN,anim,femn,Patr sing,nomn"),
              ("михаловна", "NOUN,anim,femn,Patr,Infr sing,nomn")], "михайловна"),
            ([("гаврилыч", "NOUN,anim,masc,Patr,Infr sing,nomn"),
              ("гаврилыча", "NOUN,anim,masc,Patr,Infr sing,gent")], "гаврилыч"),
        ]
        for forms, lemma in cases:
            made = make(name, *forms)
            self.assertEqual([e.lemma for e in made], [name[0], lemma])
        # Form 0 names its entry even when it is a variant: it is the lexeme's own lemma.
        made = make(("вечяслав", "NOUN,anim,masc,Name,Erro sing,nomn"),
                    ("вячеслав", "NOUN,anim,masc,Name sing,nomn"))
        self.assertEqual([e.lemma for e in made], ["вечяслав"])

    def test_short_participle_takes_the_transitivity_of_its_verb(self):
        (entry,) = make(("сделать", "INFN,perf,tran"),
                        ("сделан", "PRTS,perf,past,pssv masc,sing"))
        self.assertIn("tran", entry.forms[1].grammar)
        self.assertIn("tran", entry.common())

    def test_clashing_transitivity_stays_per_form(self):
        (entry,) = make(("мстить", "INFN,impf,tran"), ("мстить", "INFN,impf,intr"),
                        ("мщён", "PRTS,impf,past,pssv masc,sing"))
        self.assertNotIn("tran", entry.forms[2].grammar)
        self.assertNotIn("intr", entry.forms[2].grammar)


class Stems(unittest.TestCase):
    def test_single_stem_is_the_common_beginning_after_the_paradigm_prefix(self):
        (entry,) = make(("ёж", "NOUN,anim,masc sing,nomn"), ("ежа", "NOUN,anim,masc sing,gent"))
        entries.set_single_stem(entry)
        self.assertEqual(written(entry), ["[еж]а", "[ёж]"])
        (entry,) = make(("красивый", "ADJF,Qual masc,sing,nomn"),
                        ("по|красивее", "COMP,Qual Cmp2"), ("наи|красивейший",
                                                            "ADJF,Supr,Qual masc,sing,nomn"))
        entries.set_single_stem(entry)
        self.assertEqual(written(entry), ["[красив]ый", "наи[красив]ейший", "по[красив]ее"])

    def test_variants_keep_short_inflexions_and_the_verb_stem_of_participles(self):
        n, g, d = ("NOUN,inan,masc sing,%s" % c for c in ("nomn", "gent", "datv"))
        i = "NOUN,inan,masc plur,ablt"
        inf, part = "INFN,impf,tran", "PRTF,impf,tran,past,actv masc,sing,nomn"
        inventory = entries.EndingInventory()
        for word, tag in [("конец", n), ("конца", g), ("концу", d), ("концами", i),
                          ("стола", g), ("столу", d), ("столами", i), ("стол", n),
                          ("читать", inf), ("читавший", part), ("клеить", inf),
                          ("клеивший", part)]:
            inventory.add(tag, word)
        (entry,) = make(("палец", n), ("пальца", g), ("пальцу", d), ("пальцами", i))
        entries.set_variant_stems(entry, inventory, 0.4)
        self.assertIsNone(entry.fallback)
        self.assertEqual(written(entry), ["[палец]", "[пальц]а", "[пальц]ами", "[пальц]у"])
        (verb,) = make(("делать", inf), ("делавший", part))
        entries.set_variant_stems(verb, inventory, 0.4)
        self.assertEqual(written(verb), ["[дела]вший", "[дела]ть"])

    def test_abbreviations_do_not_pull_the_stem_down(self):
        n, g, d, i = ("NOUN,inan,masc sing,%s" % c for c in ("nomn", "gent", "datv", "ablt"))
        abbr = "NOUN,inan,masc,Abbr sing,nomn"
        inventory = entries.EndingInventory()
        for word in ("завод", "народ", "год", "стол"):
            inventory.add(n, word)
        for word, tag in [("завода", g), ("заводу", d), ("заводом", i), ("стола", g),
                          ("столу", d), ("столом", i), ("г", abbr), ("гг", abbr), ("ул", abbr)]:
            inventory.add(tag, word)
        (entry,) = make(("год", n), ("года", g), ("году", d), ("годом", i), ("г", abbr),
                        ("гг", abbr))
        entries.set_variant_stems(entry, inventory, 0.3)
        self.assertEqual(written(entry), ["[г]", "[гг]", "[год]", "[год]а", "[год]ом", "[год]у"])

    def test_too_many_variants_fall_back_to_one_stem(self):
        inventory = entries.EndingInventory()
        forms = [("аб" + chr(ord("а") + i) + "у", "T") for i in range(20)]
        for word, tag in forms:
            inventory.add(tag, word)
        entry = entries.Entry("абау", [entries.Form(w, "", t, frozenset({"S"})) for w, t in forms])
        entries.set_variant_stems(entry, inventory, 0.5)
        self.assertEqual(entry.fallback, "limit")
        self.assertEqual({f.stem for f in entry.forms}, {"аб"})

    def test_variants_that_group_nothing_give_way_to_one_stem(self):
        inventory = entries.EndingInventory()
        for word in ("стол", "столы", "столу", "слон", "слоны", "слону"):
            inventory.add("T", word)
        entry = entries.Entry("кольцо", [entries.Form(w, "", "T", frozenset({"S"}))
                                         for w in ("кольцо", "кольца", "кольцам")])
        entries.set_variant_stems(entry, inventory, 0.3)
        self.assertEqual(entry.fallback, "no grouping")
        self.assertEqual({f.stem for f in entry.forms}, {"кольц"})

    def test_every_wordform_keeps_a_stem_letter(self):
        # The analyser keeps a letter of every word as its stem: a wordform written with an
        # empty stem would never be found. Wordforms sharing no letter are grouped by their
        # first letter, in both modes and in the fallback of variants to one stem.
        pron = "NPRO,1per sing,%s"
        forms = [("я", pron % "nomn"), ("меня", pron % "gent"), ("мне", pron % "datv"),
                 ("мной", pron % "ablt"), ("мною", pron % "ablt,V-oy"),
                 ("обо|мне", pron % "loct")]
        inventory = entries.EndingInventory()
        for word, tag, _ in lexeme(*forms):
            inventory.add(tag, word)
        (single,) = make(*forms)
        entries.set_single_stem(single)
        self.assertEqual(written(single), ["[м]еня", "[м]не", "[м]ной", "[м]ною", "[я]",
                                           "обо[м]не"])
        verb = "INFN,impf,intr"
        (impersonal,) = make(("идтись", verb), ("шлось", "VERB,impf,intr neut,sing,past,indc"),
                             ("идётся", "VERB,impf,intr sing,3per,pres,indc"))
        entries.set_variant_stems(impersonal, entries.EndingInventory(), 0.5)
        self.assertEqual(impersonal.fallback, "no grouping")
        self.assertEqual(written(impersonal), ["[ид]тись", "[ид]ётся", "[шлось]"])
        for entry in (single, impersonal):
            self.assertTrue(all(f.stem for f in entry.forms))
            self.assertTrue(all(f.prefix + f.stem + f.suffix == f.word for f in entry.forms))
            self.assertIsNone(entries.rejection(entry, G))
            self.assertIsNone(entries.abort_reason(entry, G))
        # A shared beginning is left as it was.
        (table,) = make(("стол", "NOUN,inan,masc sing,nomn"),
                        ("стола", "NOUN,inan,masc sing,gent"))
        entries.set_single_stem(table)
        self.assertEqual(entries.give_empty_stems_letters(table), 0)
        self.assertEqual(written(table), ["[стол]", "[стол]а"])


def entry_of(lemma, *forms):
    return entries.Entry(lemma, [entries.Form(w, "", "", frozenset(g.split(",")))
                                 for w, g in forms])


class EntryChecks(unittest.TestCase):
    def test_rejections_follow_the_compiler(self):
        cases = [
            (entry_of("стол", ("стол", "S,m,nom,sg"), ("стола", "S,m,gen,sg")), None),
            (entry_of("два", ("два", "NUM,nom"), ("второй", "ANUM,nom")),
             "no part of speech in common grammar"),
            (entry_of("x", ("x", "S,nom"), ("y", "V,inf")), "no common grammar"),
            (entry_of("стол", ("стол", "S,m,nom,gen")), "two grammemes of one category (mask 4)"),
            (entry_of("1-й", ("1-й", "ANUM,nom")), "non-alphabetic lemma"),
            (entry_of("о'кей", ("о'кей", "INTJ")), None),
            (entry_of("стол", ("сто л", "S,nom")), "reserved character in wordform"),
            (entry_of("стол=", ("стол", "S,nom")), "reserved character in lemma"),
            (entry_of("стол", ("стол", "S,nom,bogus")), "unknown grammeme bogus"),
        ]
        for entry, expected in cases:
            entries.set_single_stem(entry)
            with self.subTest(lemma=entry.lemma, forms=[f.word for f in entry.forms]):
                self.assertEqual(entries.rejection(entry, G), expected)

    def test_wordforms_with_digits_leave_the_entry_but_the_entry_stays(self):
        entry = entry_of("первый", ("первый", "ANUM,nom"), ("1-й", "ANUM,nom"))
        self.assertEqual(entries.drop_unwritable_forms(entry), 1)
        self.assertEqual([f.word for f in entry.forms], ["первый"])
        lone = entry_of("1-й", ("1-й", "ANUM,nom"))
        self.assertEqual(entries.drop_unwritable_forms(lone), 0)
        self.assertEqual(len(lone.forms), 1)

    def test_limits_that_would_abort_the_compilation(self):
        many = entry_of("а", *[("а" * (i + 1), "S,nom") for i in range(20)])
        for f in many.forms:
            f.stem = f.word
        self.assertEqual(entries.abort_reason(many, G), "more than 19 stems")
        self.assertIsNone(entries.abort_reason(entry_of("а", ("а", "S,nom")), G))
        long_lemma = entry_of("б" * 256, ("а", "S,nom"))
        long_lemma.forms[0].stem = "а"
        self.assertEqual(entries.abort_reason(long_lemma, G), "cut over 255")


class Output(unittest.TestCase):
    def test_entry_text_holds_common_and_form_grammar(self):
        (entry,) = make(("стол", "NOUN,inan,masc sing,nomn"),
                        ("столу", "NOUN,inan,masc sing,loc2,Infr"))
        entries.set_single_stem(entry)
        self.assertEqual(entries.source_text(entry, G),
                         "стол\n[стол]\tS,sg,m,inan=nom\n[стол]у\tS,sg,m,inan=inform,loc\n\n")
        (one,) = make(("нельзя", "PRED,pres"))
        entries.set_single_stem(one)
        self.assertEqual(entries.source_text(one, G), "нельзя\n[нельзя]\tADV,praed\n\n")

    def test_conversion_counts_and_table_figures(self):
        lexemes = [azdicts.Lexeme(0, "стол", lexeme(("стол", "NOUN,inan,masc sing,nomn"),
                                                    ("стола", "NOUN,inan,masc sing,gent"))),
                   azdicts.Lexeme(1, "", lexeme(("1-й", "ADJF,Abbr,Anum masc,sing,nomn")))]
        out = io.StringIO()
        report = convert.convert(lexemes, entries.EntryMaker(MAPPER), out)
        self.assertEqual(report["counts"]["entries"], 2)
        self.assertEqual(report["counts"]["wordforms written"], 3)
        self.assertEqual(report["rejected entries by reason"], {"non-alphabetic lemma": 1})
        self.assertEqual(report["compiler tables"]["affixes (limit 65535)"], 2)
        self.assertEqual(report["compiler tables"]["rules (limit 65535)"], 1)
        self.assertTrue(out.getvalue().startswith("стол\n[стол]\tS,sg,m,inan=nom\n"))

    def test_held_out_lexemes_leave_the_training_source_whole(self):
        # A lexeme split into several entries (D1) goes to one side with all of them; the word
        # lists hold every distinct wordform of an accepted entry once, with its lemma and part
        # of speech.
        two = azdicts.Lexeme(7, "", lexeme(("два", "NUMR masc,nomn"), ("двух", "NUMR masc,gent"),
                                           ("второй", "ADJF,Anum masc,sing,nomn"),
                                           ("второго", "ADJF,Anum masc,sing,gent")))
        table = azdicts.Lexeme(0, "стол", lexeme(("стол", "NOUN,inan,masc sing,nomn"),
                                                 ("стола", "NOUN,inan,masc sing,gent"),
                                                 ("стола", "NOUN,inan,masc sing,gen2")))
        full, train, words, held = (io.StringIO() for _ in range(4))
        report = convert.convert([two, table], entries.EntryMaker(MAPPER), full,
                                 word_list=words, held_out=lambda x: x is two,
                                 train_out=train, held_out_list=held)
        self.assertEqual(report["counts"]["held-out lexemes"], 1)
        self.assertEqual(full.getvalue().count("\n\n"), 3)
        self.assertEqual(train.getvalue(), "стол\n[стол]\tS,sg,m,inan=nom\n"
                         "[стол]а\tS,sg,m,inan=gen\n[стол]а\tS,sg,m,inan=part\n\n")
        self.assertEqual(held.getvalue(), "два\tдва\tNUM\nдвух\tдва\tNUM\n"
                         "второго\tвторой\tANUM\nвторой\tвторой\tANUM\n")
        self.assertEqual(words.getvalue(), held.getvalue() + "стол\tстол\tS\nстола\tстол\tS\n")
        # The choice hangs on the seed and the lexeme alone, and takes about its share.
        lexemes = [azdicts.Lexeme(p, "ст", []) for p in range(4000)]
        chosen = [x.paradigm for x in lexemes if convert.is_held_out(x, "18", 0.05)]
        self.assertTrue(150 < len(chosen) < 250, len(chosen))
        self.assertEqual(chosen, [x.paradigm for x in reversed(lexemes)
                                  if convert.is_held_out(x, "18", 0.05)][::-1])
        self.assertNotEqual(chosen, [x.paradigm for x in lexemes
                                     if convert.is_held_out(x, "19", 0.05)])

    def test_lexeme_sample_lists_whole_lexemes_by_seed_alone(self):
        lexemes = [azdicts.Lexeme(p, "ст", []) for p in range(400)]
        chosen = [x.paradigm for x in lexemes if convert.lexeme_sample(lexemes, "18", 30)(x)]
        self.assertEqual(len(chosen), 30)
        self.assertEqual(chosen, [x.paradigm for x in lexemes
                                  if convert.lexeme_sample(lexemes[::-1], "18", 30)(x)])
        self.assertNotEqual(chosen, [x.paradigm for x in lexemes
                                     if convert.lexeme_sample(lexemes, "19", 30)(x)])
        held = [x.paradigm for x in sorted(
            lexemes, key=lambda x: convert.lexeme_hash(x, "18"))[:30]]
        self.assertNotEqual(sorted(chosen), sorted(held))
        self.assertEqual(len([x for x in lexemes if convert.lexeme_sample(lexemes, "18",
                                                                          999)(x)]), 400)
        # All entries of a sampled lexeme (D1) go to the sample list.
        two = azdicts.Lexeme(7, "", lexeme(("два", "NUMR masc,nomn"),
                                           ("второй", "ADJF,Anum masc,sing,nomn")))
        table = azdicts.Lexeme(0, "стол", lexeme(("стол", "NOUN,inan,masc sing,nomn"),))
        sample = io.StringIO()
        convert.convert([two, table], entries.EntryMaker(MAPPER), io.StringIO(),
                        sampled=lambda x: x is two, sample_list=sample)
        self.assertEqual(sample.getvalue(), "два\tдва\tNUM\nвторой\tвторой\tANUM\n")

    def test_word_sample_is_seeded_in_list_order_and_leaves_out_long_compounds(self):
        lines = ["слово%d\tслово\tS" % i for i in range(50)] + ["а-а-а-а\tа-а-а-а\tINTJ"]
        first = sample_words.sample(lines, 10, 18)
        self.assertEqual(first, sample_words.sample(lines, 10, 18))
        self.assertNotEqual(first, sample_words.sample(lines, 10, 19))
        self.assertEqual(len(first), 10)
        self.assertEqual(first, sorted(first, key=lambda x: int(x.split("\t")[0][5:])))
        self.assertTrue(all(x.endswith("\tслово\n") for x in first))
        everything = sample_words.sample(lines, 100, 18)
        self.assertEqual(len(everything), 50)
        self.assertNotIn("а-а-а-а\tа-а-а-а\n", everything)


def build_dawg(keys):
    """A double array with a completion guide for {key bytes: value}, laid out naively."""
    trie = {}
    for key, value in keys.items():
        node = trie
        for c in key:
            node = node.setdefault(c, {})
        node[None] = value
    units, guide, used = {0: 0}, {}, {0}
    queue = [(trie, 0)]
    while queue:
        node, index = queue.pop(0)
        labels = sorted(c for c in node if c is not None)
        slots = labels + ([0] if None in node else [])
        base = 1  # children at base ^ label, the value at base; stored relative to index
        while any((base ^ c) in used for c in slots):
            base += 1
        units[index] |= ((base ^ index) << 10) | (0x100 if None in node else 0)
        if None in node:
            units[base] = node[None] | 0x80000000
            used.add(base)
        guide[2 * index] = labels[0] if labels else 0
        for c, after in zip(labels, labels[1:] + [0]):
            units[base ^ c] = c
            used.add(base ^ c)
            guide[2 * (base ^ c) + 1] = after
            queue.append((node[c], base ^ c))
    n = max(units) + 1
    data = struct.pack("<I", n) + b"".join(struct.pack("<I", units.get(i, 0)) for i in range(n))
    return data + struct.pack("<I", n) + bytes(guide.get(i, 0) for i in range(2 * n))


class Reader(unittest.TestCase):
    def test_dawg_walk_lists_every_key_in_byte_order(self):
        keys = {b"a": 1, b"ab": 2, b"abc": 3, b"b": 4, b"ba\x01\x03": 5, b"ca": 6, b"cb": 7}
        dawg = azdicts.Dawg(build_dawg(keys))
        self.assertEqual(list(dawg.keys()), sorted(keys.items()))
        self.assertEqual(list(azdicts.Dawg(build_dawg({})).keys()), [])
        for broken in (build_dawg(keys)[:-3], struct.pack("<II", 0, 0)):
            with self.assertRaises(azdicts.DictsError):
                azdicts.Dawg(broken)

    def test_payload_numbers(self):
        for payload, expected in [(b"\x01\x01\x01\x01", (0, 0)), (b"\x23\x91\x03\x09", (2248, 132)),
                                  (b"\xff\xff\x01\x03", (16383, 1))]:
            self.assertEqual(azdicts.decode_payload(payload), expected)
        with self.assertRaises(azdicts.DictsError):
            azdicts.decode_payload(b"\x01")

    def test_paradigm_array(self):
        data = bytes([2, 0, 3, 0, 7, 0, 8, 0, 1, 0, 0, 0])
        self.assertEqual(azdicts.read_paradigms(data), [([7], [8], [1]), ([], [], [])])
        with self.assertRaises(azdicts.DictsError):
            azdicts.read_paradigms(bytes([1, 0, 6, 0, 1, 0]))


class Prefixes(unittest.TestCase):
    def test_beginnings_that_make_lemmas_of_lemmas(self):
        source = "".join("%s\n[%s]\t%s\n\n" % (w, w, g) for w, g in [
            ("остров", "S,m"), ("полуостров", "S,m"), ("круг", "S,m"), ("полукруг", "S,m"),
            ("большой", "A"), ("небольшой", "A"), ("полный", "A"), ("неполный", "A"),
            ("небо", "S,n"), ("неделя", "S,f"), ("иван", "S,persn"), ("неиван", "S,persn"),
            ("президент", "S,m"), ("вице-президент", "S,m")])
        lemmas = propose_prefixes.read_lemmas(io.StringIO(source))
        self.assertNotIn(("иван", "S"), lemmas)
        rows = {r[0]: r[1:4] for r in propose_prefixes.propose(lemmas, 1, 0.0)}
        self.assertEqual(rows["полу"], (2, 2, 1.0))
        self.assertEqual(rows["не"], (2, 3, 2 / 3))
        self.assertEqual(rows["вице"][0], 1)

    def test_measured_beginnings_count_losses_and_gains(self):
        # A wordform missed only with the list counts against the longest listed beginning it
        # starts with; one missed only without the list counts for it; the worst come first.
        with_list = {("закрутила", "закрутить"), ("подшила", "подшить"),
                     ("подпилом", "подпил"), ("стол", "стол")}
        without_list = {("небелый", "небелый"), ("неумный", "неумный"),
                        ("подпилом", "подпил"), ("стол", "стол"), ("заом", "заом")}
        rows = measure_prefixes.measure(["не", "по", "под", "за"], with_list, without_list)
        self.assertEqual(rows, [("за", 1, 0), ("под", 1, 0), ("не", 0, 2)])


if __name__ == "__main__":
    unittest.main()
