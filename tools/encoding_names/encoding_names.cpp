// encoding_names
//
// Prints, as Markdown, every charset code that `lemmix -e` takes with its names and aliases,
// read from the code-page table itself. docs/encodings.md is its output; a test compares the
// two, so the list cannot drift from the table.
#include "tools/tool_main.h"
#include "util/charset/codepage.h"
#include "util/stream/std_stream.h"

namespace {

// What a user should know of a code beyond its kind. The internal codes are in the table for
// the system's own use and hold no text encoding.
struct TNote {
    ECharset Code;
    bool Internal;
    const char* Text;
};

const TNote Notes[] = {
    {CODES_WIN, false, "the default"},
    {1, false,
     "`KOI8-R` names this page too, so its box-drawing bytes A4, A6, A7, AD, B4, B6, B7 and "
     "BD read as the Ukrainian letters of KOI8-U"},
    {5, false,
     "`ASCII`, `latin1`, `ISO-8859-1` and the other aliases name this page too, so bytes 80 to "
     "9F read as the characters of windows-1252, and no byte above 7F is refused"},
    {6, true, "reserved; bytes 80 to FF have no character"},
    {CODES_KORVEL, true, "the page that holds the grammeme names"},
    {CODES_UTF16LE, false, "`UTF-16` is little-endian too, and a byte-order mark is read as text"},
    {CODES_UNKNOWNPLANE, true, "carries raw bytes as the characters U+F001 to U+F0FF"},
    {80, true, "reserved; a Mac-style Cyrillic layout"},
};

const TNote* NoteOf(ECharset code) {
    for (const TNote& note : Notes) {
        if (note.Code == code) {
            return &note;
        }
    }
    return nullptr;
}

void PrintKind(const CodePage& page, TOutputStream& out) {
    const TNote* note = NoteOf(page.Code);
    if (note && note->Internal) {
        out << "internal: " << note->Text;
        return;
    }
    if (page.Code == CODES_UTF8) {
        out << "UTF-8";
    } else if (page.Code == CODES_UTF16BE || page.Code == CODES_UTF16LE) {
        out << "UTF-16, through iconv";
    } else {
        out << (page.SingleByte() ? "single byte" : "multibyte, through iconv");
    }
    if (note) {
        out << "; " << note->Text;
    }
}

const char Heading[] =
    "<!-- Made by tools/encoding_names from the code-page table; do not edit it by hand. -->\n"
    "# The encodings of `lemmix -e`\n"
    "\n"
    "`lemmix -e NAME` reads its input and writes its output in the encoding NAME; without `-e` "
    "both are\n"
    "windows-1251. NAME is any name or alias below, or the code's decimal number (`-e 13` is "
    "`-e utf-8`),\n"
    "without regard to case; blanks around it are ignored. A name is also taken after `x-`, and "
    "each of\n"
    "these in three rewritten forms: with every `-` and `_` left out (`utf8`, `xutf8`), with "
    "every `-`\n"
    "written `_` (`X_UTF_8`), or with every `_` written `-`. Mixed forms such as `x-utf8` are "
    "not names,\n"
    "and any other name ends lemmix with `Unrecognized encoding`.\n"
    "\n"
    "The four codes marked internal are in the table for the analyser's own use: `-e` takes "
    "them, but\n"
    "they are not text encodings and no text should be read or written in them.\n"
    "\n"
    "| code | name | aliases | kind |\n"
    "| ---: | --- | --- | --- |\n";

void PrintList(TOutputStream& out) {
    out << Heading;
    const CodePageRegistry& registry = CodePageRegistry::Instance();
    for (ECharset code = 0; code < CODES_MAX; ++code) {
        const CodePage& page = registry[code];
        out << "| " << code << " | `" << page.Name() << "` | ";
        for (size_t i = 1; i < CODEPAGE_NAME_SLOTS && page.Names[i]; ++i) {
            out << (i > 1 ? ", `" : "`") << page.Names[i] << "`";
        }
        out << " | ";
        PrintKind(page, out);
        out << " |\n";
    }
}

}  // namespace

int main(int argc, char**) {
    if (argc != 1) {
        StdErrStream() << "usage: encoding_names > docs/encodings.md\n";
        StdErrStream().Flush();
        return 2;
    }
    return RunTool("encoding_names: ", [] {
        PrintList(StdOutStream());
        StdOutStream().Flush();
        return 0;
    });
}
