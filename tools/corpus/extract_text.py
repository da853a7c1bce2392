#!/usr/bin/env python3
"""Turns the files of an extracted Debian package into Russian running text.

    extract_text.py KIND ROOT OUT

KIND says how the package keeps its text:
  fortune  fortune files (records split by lines "%"), *.dat indexes skipped
  mo       gettext catalogues under .../locale/ru/LC_MESSAGES: every translated string
  man      manual pages under usr/share/man/ru (groff, gzip-compressed)
  html     help pages (*.html) under a .../help/ru folder
Paragraphs are written to OUT separated by blank lines; a paragraph with no Cyrillic letter
(code, option lists, file names) is dropped. Files are visited in sorted order so the output
depends only on the package's contents.

    extract_text.py licence COPYRIGHT_FILE

prints the licence of the package's main files (the first "License:" of a machine-readable
copyright file; the GPL wording for an older free-form one).
"""

import gzip
import html
import html.parser
import os
import re
import struct
import sys

CYRILLIC = re.compile('[\u0400-\u04ff]')


def sorted_files(root):
    found = []
    for folder, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            path = os.path.join(folder, name)
            if not os.path.islink(path):
                found.append(path)
    return found


def clean_paragraph(text):
    text = re.sub(r'[ \t\r\f\v\u00a0]+', ' ', text)
    lines = [line.strip() for line in text.split('\n')]
    return '\n'.join(line for line in lines if line)


def keep(paragraphs):
    """Paragraphs with Cyrillic text; a long paragraph repeated in a package is boilerplate
    (page headers, notices) and is kept once."""
    seen = set()
    for paragraph in paragraphs:
        paragraph = clean_paragraph(paragraph)
        if not paragraph or not CYRILLIC.search(paragraph):
            continue
        if len(paragraph.split()) >= 8:
            if paragraph in seen:
                continue
            seen.add(paragraph)
        yield paragraph


# --- fortunes -------------------------------------------------------------------------------

def fortune_paragraphs(root):
    for path in sorted_files(root):
        if '/fortunes/' not in path or path.endswith('.dat'):
            continue
        with open(path, encoding='utf-8', errors='replace') as stream:
            text = stream.read()
        yield from re.split(r'^%\s*$', text, flags=re.M)


# --- gettext catalogues ---------------------------------------------------------------------

def mo_strings(data):
    """The translated strings of a .mo catalogue (all plural forms), header skipped."""
    if len(data) < 20:
        raise ValueError('truncated catalogue')
    magic = struct.unpack('<I', data[:4])[0]
    order = '<' if magic == 0x950412de else '>'
    if struct.unpack(order + 'I', data[:4])[0] != 0x950412de:
        raise ValueError('not a gettext catalogue')
    count, originals, translations = struct.unpack(order + '3I', data[8:20])
    for index in range(count):
        length, offset = struct.unpack(order + '2I',
                                       data[translations + 8 * index:translations + 8 * index + 8])
        olength, _ = struct.unpack(order + '2I', data[originals + 8 * index:originals + 8 * index + 8])
        if olength == 0:
            continue  # the catalogue's header
        text = data[offset:offset + length].decode('utf-8', errors='replace')
        yield from text.split('\0')


MO_MARKUP = [
    (re.compile(r"\btext='([^']*)'"), r' \1 '),       # help markup keeps its visible text
    (re.compile(r"\b[a-z_]+='[^']*'"), ' '),          # and drops its other attributes
    (re.compile(r'<[^<>]*>'), ' '),                  # Pango and help markup
    (re.compile(r'%(\d+\$)?[-+ #0]*\d*(\.\d+)?[hlLqjzt]*[diouxXeEfgGcsp%]'), ' '),  # printf
    (re.compile(r'\$[A-Za-z_][\w.|\[\]]*\|?'), ' '),  # game variables
    (re.compile(r'@\{[^}]*\}|\{[A-Z_0-9]+\}'), ' '),  # macro references
    (re.compile(r'^\?[^:\s]*:'), ''),                # freeciv qualifiers
]


def mo_paragraphs(root):
    for path in sorted_files(root):
        if '/locale/ru/LC_MESSAGES/' not in path or not path.endswith('.mo'):
            continue
        with open(path, 'rb') as stream:
            data = stream.read()
        for text in mo_strings(data):
            for pattern, replacement in MO_MARKUP:
                text = pattern.sub(replacement, text)
            yield text


# --- manual pages ---------------------------------------------------------------------------

TEXT_MACROS = {'B', 'I', 'BR', 'BI', 'IB', 'IR', 'RB', 'RI', 'SB', 'SM', 'SH', 'SS', 'IP', 'UR',
               'MT', 'Nm', 'Nd', 'Sh', 'Ss', 'Em', 'Sy', 'Dq', 'Qq', 'Pa', 'Xr'}
PARAGRAPH_MACROS = {'PP', 'P', 'LP', 'TP', 'IP', 'SH', 'SS', 'sp', 'Pp', 'Sh', 'Ss', 'HP'}
GROFF_ESCAPES = [
    (re.compile(r'\\".*$'), ''),
    (re.compile(r'\\f(\[[^\]]*\]|\(..|.)'), ''),
    (re.compile(r'\\s[-+]?\d+'), ''),
    (re.compile(r'\\\*(\[[^\]]*\]|\(..|.)'), ''),
    (re.compile(r'\\\((em|en)'), ' — '),
    (re.compile(r'\\\((lq|rq|Fo|Fc)'), '"'),
    (re.compile(r'\\\((aq|oq|cq)'), "'"),
    (re.compile(r'\\(\(..|\[[^\]]*\])'), ' '),
    (re.compile(r'\\-'), '-'),
    (re.compile(r'\\[ ~0|^]'), ' '),
    (re.compile(r'\\[&/,c:%]'), ''),
    (re.compile(r'\\e'), r'\\'),
]


def groff_text(line):
    for pattern, replacement in GROFF_ESCAPES:
        line = pattern.sub(replacement, line)
    return line


def man_paragraphs(root):
    for path in sorted_files(root):
        if '/man/ru/' not in path:
            continue
        opener = gzip.open if path.endswith('.gz') else open
        with opener(path, 'rt', encoding='utf-8', errors='replace') as stream:
            current = []
            skipping = False
            for line in stream:
                line = line.rstrip('\n')
                if line.startswith(('.', "'")):
                    parts = line[1:].split(None, 1)
                    name = parts[0] if parts else ''
                    if name in PARAGRAPH_MACROS:
                        yield '\n'.join(current)
                        current = []
                    if name == 'SH':
                        # Every translated page ends with the same translators' notice.
                        skipping = len(parts) > 1 and 'ПЕРЕВОД' in parts[1]
                    if skipping:
                        continue
                    if name in TEXT_MACROS and len(parts) > 1:
                        current.append(groff_text(parts[1].replace('"', ' ')))
                    continue
                if not skipping and CYRILLIC.search(line):  # drops code and option lists
                    current.append(groff_text(line))
            yield '\n'.join(current)


# --- help pages -----------------------------------------------------------------------------

class HelpPage(html.parser.HTMLParser):
    SKIPPED = {'head', 'script', 'style', 'noscript', 'header', 'footer', 'nav', 'aside', 'pre',
               'code', 'svg'}
    BLOCKS = {'p', 'div', 'li', 'td', 'th', 'tr', 'h1', 'h2', 'h3', 'h4', 'h5', 'h6', 'br',
              'table', 'ul', 'ol', 'dl', 'dt', 'dd', 'section', 'article', 'blockquote', 'title'}

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.skipping = 0
        self.paragraphs = []
        self.current = []

    def flush(self):
        self.paragraphs.append(''.join(self.current))
        self.current = []

    def handle_starttag(self, tag, attrs):
        if tag in self.SKIPPED:
            self.skipping += 1
        elif tag in self.BLOCKS:
            self.flush()

    def handle_endtag(self, tag):
        if tag in self.SKIPPED:
            self.skipping = max(0, self.skipping - 1)
        elif tag in self.BLOCKS:
            self.flush()

    def handle_data(self, data):
        if not self.skipping:
            self.current.append(data.replace('\n', ' '))


def html_paragraphs(root):
    for path in sorted_files(root):
        if '/help/ru/' not in path or not path.endswith('.html'):
            continue
        with open(path, encoding='utf-8', errors='replace') as stream:
            page = HelpPage()
            page.feed(stream.read())
            page.close()
            page.flush()
        yield from page.paragraphs


# --- licences -------------------------------------------------------------------------------

def licence(path):
    with open(path, encoding='utf-8', errors='replace') as stream:
        text = stream.read()
    if text.startswith('Format:'):
        for stanza in re.split(r'\n\s*\n', text):
            if re.search(r'^Files:\s*\*\s*$', stanza, flags=re.M):
                found = re.search(r'^License:\s*(\S.*)$', stanza, flags=re.M)
                if found:
                    return found.group(1).strip()
    flat = ' '.join(text.split())
    if re.search(r'GNU General Public License version 2 or at your option any later', flat):
        return 'GPL-2+'
    found = re.search(r'^License:\s*(\S.*)$', text, flags=re.M)
    return found.group(1).strip() if found else 'unknown (see copyright)'


KINDS = {'fortune': fortune_paragraphs, 'mo': mo_paragraphs, 'man': man_paragraphs,
         'html': html_paragraphs}


def main(argv):
    if len(argv) == 3 and argv[1] == 'licence':
        print(licence(argv[2]))
        return 0
    if len(argv) != 4 or argv[1] not in KINDS:
        sys.stderr.write(__doc__)
        return 2
    kind, root, out = argv[1:]
    with open(out, 'w', encoding='utf-8', newline='\n') as stream:
        for paragraph in keep(KINDS[kind](root)):
            stream.write(html.unescape(paragraph) if kind == 'mo' else paragraph)
            stream.write('\n\n')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
