// The printed form of words, analyses, copied text and sentence marks, and its encodings.
#include "analyzer/analysis_printer.h"

#include "analyzer/analysis_test_helpers.h"
#include "util/charset/charset_names.h"
#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char G[] = "\x88";       // S
const char F1[] = "\xa6\xae";  // gen,sg
const char F2[] = "\xae";      // sg
const char H[] = "\x89";       // V
const char F3[] = "\xc4";      // ipf

TAnalyzerOptions PrinterOptions(const std::string& flags, ECharset encoding = CODES_UTF8) {
    TAnalyzerOptions o;
    for (char f : flags) {
        switch (f) {
            case 'c':
                o.CopyAll = true;
                break;
            case 'n':
                o.WordPerLine = true;
                break;
            case 'l':
                o.LemmasOnly = true;
                break;
            case 'f':
                o.Frequency = true;
                break;
            case 's':
                o.SentenceMark = true;
                break;
            case 'i':
                o.GrammarInfo = true;
                break;
            case 'g':
                o.GlueGrammar = true;
                break;
            default:
                break;
        }
    }
    o.Encoding = encoding;
    return o;
}

TPrintedAnalysis View(const std::u16string& lemma, uint32_t flags, const char* grammar,
                      const char* const* forms, size_t count) {
    TPrintedAnalysis a;
    a.Lemma = reinterpret_cast<const wchar16*>(lemma.data());
    a.LemmaLength = lemma.size();
    a.Flags = flags;
    a.Grammar = grammar;
    a.FormGrammars = forms;
    a.FormGrammarCount = count;
    return a;
}

// The word W with L (dictionary; G with F1 and F2) and M (a hypothesis; H with F3).
std::string PrintWordW(const std::string& flags) {
    const TAnalyzerOptions options = PrinterOptions(flags);
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const std::u16string w = u"W", l = u"L", m = u"M";
    const char* lForms[] = {F1, F2};
    const char* mForms[] = {F3};
    printer.BeginAnalyses(w.data(), w.size());
    printer.PrintAnalysis(View(l, 0, G, lForms, 2), 1.5);
    printer.PrintAnalysis(View(m, 1, H, mForms, 1), 0.0);
    printer.EndAnalyses();
    printer.Flush();
    return out.Trace;
}

TEST(AnalysisPrinterTest, PrintsAWordInEveryOptionCombination) {
    const struct {
        const char* Flags;
        const char* Output;
    } cases[] = {
        {"", "W{L|M?}|F|"},
        {"i", "W{L=S=род,ед|=S=ед|M?=V=несов}|F|"},
        {"ig", "W{L=S=(род,ед|ед)|M?=V=несов}|F|"},
        {"f", "W{L:1.50|M?:0.00}|F|"},
        {"fi", "W{L:1.50=S=род,ед|=S=ед|M?:0.00=V=несов}|F|"},
        {"l", "{L|M?}|F|"},
        {"n", "W{L|M?}\n|F||F|"},
        {"ln", "L|M?\n|F||F|"},
        {"g", "W{L|M?}|F|"},  // -g without -i changes nothing
        {"s", "W{L|M?}|F|"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintWordW(c.Flags), c.Output) << "-" << c.Flags;
    }
}

TEST(AnalysisPrinterTest, RepeatsTheHypothesisMarkBeforeEveryGrammarVariant) {
    const TAnalyzerOptions options = PrinterOptions("i");
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const std::u16string w = u"W", l = u"L", m = u"M";
    const char* forms[] = {F1, F2};
    printer.BeginAnalyses(w.data(), w.size());
    printer.PrintAnalysis(View(l, 2, G, forms, 2), 0);
    printer.PrintAnalysis(View(m, 0, H, nullptr, 0), 0);  // no form grammars: nothing after it
    printer.EndAnalyses();
    printer.WritePending();
    const TAnalyzerOptions glued = PrinterOptions("ig");
    TAnalysisPrinter gluedPrinter(&glued, &out);
    gluedPrinter.BeginAnalyses(w.data(), w.size());
    gluedPrinter.PrintAnalysis(View(m, 0, H, nullptr, 0), 0);
    gluedPrinter.EndAnalyses();
    gluedPrinter.WritePending();
    EXPECT_EQ(out.Text, "W{L?=S=род,ед|?=S=ед|M}W{M=V=}");
}

// The hypothesis, second-dictionary and placeholder flags each make a record uncertain; no other
// flag does. The mark follows the lemma and, with -i, begins every further grammar variant.
TEST(AnalysisPrinterTest, MarksEveryUncertainRecordAndNoOther) {
    const struct {
        uint32_t Flags;
        bool Uncertain;
    } cases[] = {
        {AF_HYPOTHESIS, true},
        {AF_SECOND_DICTIONARY, true},
        {AF_PLACEHOLDER, true},
        {AF_HYPOTHESIS | AF_KNOWN_BEGINNING, true},
        {0, false},
        {AF_KNOWN_BEGINNING, false},
        {AF_RARE_FORM, false},
        {AF_TRANSLIT_MASK | AF_LEMMA_FROM_WORD | AF_REGISTRY_DICTIONARY, false},
    };
    const char* forms[] = {F1, F2};
    const std::u16string w = u"W", l = u"L";
    for (const auto& c : cases) {
        const std::string mark = c.Uncertain ? "?" : "";
        for (const char* flags : {"", "i"}) {
            const TAnalyzerOptions options = PrinterOptions(flags);
            TTraceOutput out;
            TAnalysisPrinter printer(&options, &out);
            printer.BeginAnalyses(w.data(), w.size());
            printer.PrintAnalysis(View(l, c.Flags, G, forms, 2), 0);
            printer.EndAnalyses();
            printer.WritePending();
            const std::string expected =
                *flags == '\0' ? "W{L" + mark + "}" : "W{L" + mark + "=S=род,ед|" + mark + "=S=ед}";
            EXPECT_EQ(out.Text, expected) << "flags 0x" << std::hex << c.Flags << " -" << flags;
        }
    }
}

TEST(AnalysisPrinterTest, PrintsUnknownWords) {
    const struct {
        const char* Flags;
        const char* Output;
    } cases[] = {{"", "U{U??}"}, {"l", "{U??}"}, {"ln", "U??\n"}};
    for (const auto& c : cases) {
        const TAnalyzerOptions options = PrinterOptions(c.Flags);
        TTraceOutput out;
        TAnalysisPrinter printer(&options, &out);
        const std::u16string u = u"U";
        printer.BeginAnalyses(u.data(), u.size());
        printer.PrintUnknownWord(u.data(), u.size());
        printer.EndAnalyses();
        printer.WritePending();
        EXPECT_EQ(out.Text, c.Output) << c.Flags;
    }
}

// W1 (L1), ", ", W2 (L2), ". ", a sentence mark, W3 (L3), a line feed.
std::string PrintSequence(const std::string& flags) {
    const TAnalyzerOptions options = PrinterOptions(flags);
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    auto word = [&](const std::u16string& w, const std::u16string& l) {
        printer.BeginAnalyses(w.data(), w.size());
        printer.PrintAnalysis(View(l, 0, "", nullptr, 0), 0);
        printer.EndAnalyses();
        printer.Flush();
    };
    auto text = [&](const std::u16string& t) { printer.PrintText(t.data(), t.size()); };
    word(u"W1", u"L1");
    text(u", ");
    word(u"W2", u"L2");
    text(u". ");
    printer.PrintSentenceEnd();
    word(u"W3", u"L3");
    text(u"\n");
    printer.WritePending();
    return out.Text;
}

TEST(AnalysisPrinterTest, CopiesTextAndMarksSentencesBetweenWords) {
    const struct {
        const char* Flags;
        const char* Output;
    } cases[] = {
        {"", "W1{L1}W2{L2}W3{L3}"},
        {"s", "W1{L1}W2{L2}W3{L3}"},
        {"n", "W1{L1}\nW2{L2}\nW3{L3}\n"},
        {"c", "W1{L1}, W2{L2}. W3{L3}\n"},
        {"cs", "W1{L1}, W2{L2}. {\\s}W3{L3}\n"},
        {"cn", "W1{L1}\n,_\nW2{L2}\n._\nW3{L3}\n\\n"},
        {"csn", "W1{L1}\n,_\nW2{L2}\n._\\s\nW3{L3}\n\\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintSequence(c.Flags), c.Output) << "-" << c.Flags;
    }
}

// Runs a script with -c -n -s: 'w' prints the word w (lemma l); 'k' prints it too and keeps
// what it printed; 'r' replays what was kept (as the word cache does, in the state it was kept
// in); 'e' copies an empty text; 's' marks a sentence end; any other character is copied text.
std::string PrintScript(const std::string& script) {
    const TAnalyzerOptions options = PrinterOptions("cns");
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    TPrintedStretch kept;
    for (const char event : script) {
        const std::u16string text(event == 'e' ? 0 : 1, static_cast<char16_t>(event));
        switch (event) {
            case 'w':
            case 'k':
                if (event == 'k') {
                    printer.StartRecording(&kept);
                }
                printer.BeginAnalyses(u"w", 1);
                printer.PrintAnalysis(View(u"l", 0, "", nullptr, 0), 0);
                printer.EndAnalyses();
                printer.Flush();
                printer.StopRecording();
                break;
            case 'r': {
                std::vector<uint32_t> flushes(kept.Flushes.begin(), kept.Flushes.end());
                printer.Replay({kept.Bytes, reinterpret_cast<const char*>(flushes.data()),
                                flushes.size(), kept.LinePendingAfter});
                break;
            }
            case 's':
                printer.PrintSentenceEnd();
                break;
            default:
                printer.PrintText(text.data(), text.size());
                break;
        }
    }
    printer.WritePending();
    return out.Text;
}

// In word-per-line mode a line feed comes before a word when text or a mark was written since
// the last word, and never between pieces of copied text; a replayed word leaves the state its
// first printing left, so no blank line follows it.
TEST(AnalysisPrinterTest, StartsALineOnlyWhereAWordFollowsCopiedText) {
    const struct {
        const char* Script;
        const char* Output;
    } cases[] = {
        {"w, (sw\n", "w{l}\n,_(\\s\nw{l}\n\\n"},
        {"w,e,w", "w{l}\n,,\nw{l}\n"},
        {"krw", "w{l}\nw{l}\nw{l}\n"},
        {",k,rw", ",\nw{l}\n,\nw{l}\nw{l}\n"},
        {",k,r)w", ",\nw{l}\n,\nw{l}\n)\nw{l}\n"},
        {"ew", "\nw{l}\n"},  // the empty gap before a word printed part by part
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PrintScript(c.Script), c.Output) << c.Script;
    }
}

TEST(AnalysisPrinterTest, EscapesCopiedTextInWordPerLineMode) {
    const TAnalyzerOptions options = PrinterOptions("cn");
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const std::u16string text = u"a_b \"\\\t\x01\x7f\u2014";
    printer.PrintText(text.data(), text.size());
    printer.PrintText(nullptr, 0);  // nothing written, yet the next word starts a line
    const std::u16string w = u"w";
    printer.BeginAnalyses(w.data(), w.size());
    printer.WritePending();
    EXPECT_EQ(out.Text, "a\\_b_\\\"\\\\\\t\\1\\x7F\\u2014\nw{");
}

TEST(AnalysisPrinterTest, WritesEachWordWithOneWriteAndFlushesAfterIt) {
    const TAnalyzerOptions options = PrinterOptions("c");
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const std::u16string gap = u" - ", w = u"слово", l = u"слово";
    printer.PrintText(gap.data(), gap.size());
    printer.BeginAnalyses(w.data(), w.size());
    printer.PrintAnalysis(View(l, 0, G, nullptr, 0), 0);
    printer.EndAnalyses();
    EXPECT_EQ(out.Writes, 0u);
    printer.Flush();
    EXPECT_EQ(out.Writes, 1u);
    EXPECT_EQ(out.Trace, " - слово{слово}|F|");
}

TEST(AnalysisPrinterTest, LimitsAGrammarToItsFirst255CodesAndDropsOneReservedCode) {
    std::string many(300, '\xae');                // sg
    const std::string reserved = "\x90\x88\x90";  // reserved, S, reserved
    const TAnalyzerOptions options = PrinterOptions("ig");
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    const std::u16string w = u"w";
    printer.BeginAnalyses(w.data(), w.size());
    printer.PrintAnalysis(View(w, 0, reserved.c_str(), nullptr, 0), 0);
    printer.PrintAnalysis(View(w, 0, many.c_str(), nullptr, 0), 0);
    printer.EndAnalyses();
    printer.WritePending();
    std::string names = "ед";
    for (int i = 1; i < 255; ++i) {
        names += ",ед";
    }
    EXPECT_EQ(out.Text, "w{w=S,reserved=|w=" + names + "=}");
}

std::string PrintInEncoding(const char* encoding, const std::u16string& word, const char* grammar) {
    TAnalyzerOptions options = PrinterOptions("ig", CharsetByName(encoding));
    TTraceOutput out;
    TAnalysisPrinter printer(&options, &out);
    printer.BeginAnalyses(word.data(), word.size());
    printer.PrintAnalysis(View(word, 0, grammar, nullptr, 0), 0);
    printer.EndAnalyses();
    printer.WritePending();
    return out.Text;
}

TEST(AnalysisPrinterTest, WritesTextAndGrammarInTheOutputEncoding) {
    using namespace std::string_literals;
    const struct {
        const char* Encoding;
        std::u16string Word;
        std::string Output;
    } cases[] = {
        {"windows-1251", u"Ёж", "\xa8\xe6{\xa8\xe6=S,\xe5\xe4=}"},
        {"windows-1251", u"a\u4e00", "a?{a?=S,\xe5\xe4=}"},           // unmappable: the page's '?'
        {"utf-8", u"a\xd800", "a\xef\xbf\xbd{a\xef\xbf\xbd=S,ед=}"},  // broken surrogate
        {"korvel", u"Ж", "\xc6{\xc6=S,\xe5\xe4=}"},
        // UTF-16: the marks of the format are two bytes a unit like the text.
        {"utf-16le", u"я", "\x4f\x04{\0\x4f\x04=\0S\0,\0\x35\x04\x34\x04=\0}\0"s},
        {"utf-16be", u"я", "\x04\x4f\0{\x04\x4f\0=\0S\0,\x04\x35\x04\x34\0=\0}"s},
        // ISO-2022-KR writes a header before every piece, and ASCII one byte a character.
        {"iso-2022-kr", u"a", "\x1b$)Ca{\x1b$)Ca=\x1b$)CS,\x0e,V,U\x0f=}"},
        // GB18030's four-byte characters need more than three bytes a unit.
        {"gb18030", u"\U00010000\U00010000",
         "\x90\x30\x81\x30\x90\x30\x81\x30{\x90\x30\x81\x30\x90\x30\x81\x30=S,\xa7\xd6\xa7\xd5=}"},
        // Every piece of a stateful encoding ends in the initial shift state.
        {"iso-2022-jp", u"я", "\x1b$B'q\x1b(B{\x1b$B'q\x1b(B=S,\x1b$B'V'U\x1b(B=}"},
    };
    const char grammar[] = "\x88\xae";  // S,sg
    for (const auto& c : cases) {
        EXPECT_EQ(PrintInEncoding(c.Encoding, c.Word, grammar), c.Output) << c.Encoding;
    }
}

}  // namespace
