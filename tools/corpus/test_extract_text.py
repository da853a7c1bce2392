"""Tests of the corpus extractor: gettext catalogues read in both byte orders, markup and
formats removed from the strings, manual pages and help pages reduced to their Russian text,
boilerplate kept once, and the licence read from both kinds of copyright file."""

import gzip
import os
import struct
import tempfile
import unittest

import extract_text


def mo_bytes(pairs, order='<'):
    """A gettext catalogue of (original, translation) byte strings, header first."""
    count = len(pairs)
    originals = 28
    translations = originals + 8 * count
    data = translations + 8 * count
    blob = b''
    table_o, table_t = b'', b''
    for original, _ in pairs:
        table_o += struct.pack(order + '2I', len(original), data + len(blob))
        blob += original + b'\0'
    for _, translation in pairs:
        table_t += struct.pack(order + '2I', len(translation), data + len(blob))
        blob += translation + b'\0'
    head = struct.pack(order + '7I', 0x950412de, 0, count, originals, translations, 0, 0)
    return head + table_o + table_t + blob


class ExtractTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name

    def tearDown(self):
        self.dir.cleanup()

    def write(self, relative, data):
        path = os.path.join(self.root, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'wb') as stream:
            stream.write(data)

    def run_kind(self, kind):
        out = os.path.join(self.root, 'out.txt')
        self.assertEqual(extract_text.main(['x', kind, self.root, out]), 0)
        with open(out, encoding='utf-8') as stream:
            return stream.read()

    def test_catalogues_give_every_translation_in_both_byte_orders(self):
        pairs = [(b'', 'Content-Type: text/plain; charset=UTF-8\n'.encode()),
                 (b'ctx\x04Castle', 'Замок'.encode()),
                 (b'unit\0units', '%d боец\0%d бойца'.encode()),
                 (b'Plain', b'Latin only')]
        for order in '<>':
            strings = list(extract_text.mo_strings(mo_bytes(pairs, order)))
            self.assertEqual(strings, ['Замок', '%d боец', '%d бойца', 'Latin only'], order)
        with self.assertRaises(ValueError):
            list(extract_text.mo_strings(b'\0' * 28))

    def test_catalogue_strings_lose_markup_formats_and_variables(self):
        text = ("<span color='red'>Конрад</span> получает %d золота, $name|; "
                "<ref>dst='units' text='бойцов'</ref> и %1$s.")
        pairs = [(b'', b'header'), (b'a', text.encode()), (b'b', '?unit:Воин'.encode()),
                 (b'c', b'no Cyrillic here')]
        self.write('usr/share/locale/ru/LC_MESSAGES/game.mo', mo_bytes(pairs))
        self.write('usr/share/locale/de/LC_MESSAGES/game.mo', mo_bytes([(b'x', 'Чужой'.encode())]))
        self.assertEqual(self.run_kind('mo'),
                         'Конрад получает золота, ; бойцов и .\n\nВоин\n\n')

    def test_manual_pages_keep_their_russian_text(self):
        page = '\n'.join([
            '.\\" комментарий',
            '.TH CAT 1 "Сентябрь" "coreutils"',
            '.SH ИМЯ',
            'cat \\- объединяет \\fBфайлы\\fP',
            '.SH СИНТАКСИС',
            '#include <unistd.h>',
            '.PP',
            'Выводит \\(lqданные\\(rq на \\fIвыход\\fR.',
            '.SH ПЕРЕВОД',
            'Этот перевод сделан переводчиками.',
        ]).encode()
        self.write('usr/share/man/ru/man1/cat.1.gz', gzip.compress(page))
        self.assertEqual(self.run_kind('man'),
                         'ИМЯ\ncat - объединяет файлы\n\nСИНТАКСИС\n\n'
                         'Выводит "данные" на выход.\n\n')

    def test_help_pages_keep_the_body_text_by_paragraph(self):
        self.write('usr/share/help/ru/page.html', '''<html><head><title>Заголовок</title>
            <script>var x = "скрипт";</script></head><body><nav>Меню сайта</nav>
            <h1>Раздел</h1><p>Первый   абзац &amp; <b>жирный</b>
            текст.</p><pre>код программы</pre><p>Second</p></body></html>'''.encode())
        self.assertEqual(self.run_kind('html'), 'Раздел\n\nПервый абзац & жирный текст.\n\n')

    def test_fortunes_split_at_percent_lines_and_long_repeats_are_kept_once(self):
        long = 'Это длинный абзац из восьми слов или больше.'
        self.write('usr/share/games/fortunes/ru/set',
                   f'Раз\n%\nРаз\n%\n{long}\n%\n{long}\n%\nLatin\n'.encode())
        self.write('usr/share/games/fortunes/ru/set.dat', b'\0\0\0\2')
        self.assertEqual(self.run_kind('fortune'), f'Раз\n\nРаз\n\n{long}\n\n')

    def test_licence_of_the_main_files(self):
        cases = [
            ('Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n\n'
             'Files: debian/*\nLicense: GPL-2+\n\nFiles: *\nCopyright: 2003 A\n'
             'License: MPL-2.0\n', 'MPL-2.0'),
            ('Upstream Author: X\n\nLicense:\n  This program is free software; ...\n'
             '  GNU General Public License version 2\n  or at your option any later version.\n',
             'GPL-2+'),
        ]
        for text, expected in cases:
            path = os.path.join(self.root, 'copyright')
            with open(path, 'w', encoding='utf-8') as stream:
                stream.write(text)
            self.assertEqual(extract_text.licence(path), expected)


if __name__ == '__main__':
    unittest.main()
