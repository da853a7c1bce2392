#include "lemmer/alphabet/char_map_table.h"
#include "lemmer/alphabet/char_maps.h"

#include <gtest/gtest.h>

#include <string>

namespace NCharMapTableTest {
using namespace NLemmer;
using namespace NLemmer::NDetail;

namespace {

struct TOutcome {
    std::u16string Text;
    TCharMapTranslation R;
};

TOutcome TranslateInto(const TCharMapTable& table, const std::u16string& src, size_t room) {
    std::u16string out(room + 1, u'#');
    TOutcome o;
    o.R = table.Translate(src.data(), src.size(), out.data(), room);
    o.Text = out.substr(0, o.R.Length);
    if (o.R.Length < room) {
        EXPECT_EQ(out[o.R.Length], 0) << "no terminator";
    } else {
        EXPECT_EQ(out[room], u'#') << "wrote past the room";
    }
    return o;
}

std::u16string Translate(const TCharMapTable* table, const std::u16string& src) {
    return TranslateInto(*table, src, 64).Text;
}

}  // namespace

TEST(CharMapTable, LaterRulesOverrideEarlierOnes) {
    static const wchar16* const replacements[] = {u"XY", u"Z"};
    // 'b' is paired, then made an exception, then deleted: deletion wins. 'c' pairs with
    // nothing (the shorter string ends the pairing).
    const TCharMapTable table(u"abc", u"AB", u"b", u"bq", replacements);
    EXPECT_EQ(table.Map(u'a'), u'A');
    EXPECT_EQ(table.Map(u'b'), 0);
    EXPECT_EQ(table.Map(u'c'), u'c');
    EXPECT_EQ(table.Map(u'q'), 0xFFFF);
    EXPECT_EQ(table.Map(0xFFFF), 0);  // the marker itself can never pass
    EXPECT_EQ(table.ExceptionCount(), 2u);
    EXPECT_EQ(std::u16string(table.Exception(u'q')), u"Z");
    EXPECT_EQ(table.Exception(u'a'), nullptr);

    const TOutcome o = TranslateInto(table, u"abcq\uFFFF", 16);
    EXPECT_EQ(o.Text, u"AcZ");
    EXPECT_EQ(o.R.Consumed, 5u);
    EXPECT_TRUE(o.R.Complete);
    EXPECT_TRUE(o.R.Changed);

    const TOutcome same = TranslateInto(table, u"cc", 16);
    EXPECT_EQ(same.Text, u"cc");
    EXPECT_FALSE(same.R.Changed);
}

TEST(CharMapTable, StopsAtTheRoomAndAtAZeroUnit) {
    const TCharMapTable* german = TGermanConverter::Table();
    // straße grows by one unit: with room for the source length the last unit is lost.
    TOutcome o = TranslateInto(*german, u"straße", 6);
    EXPECT_EQ(o.Text, u"strass");
    EXPECT_FALSE(o.R.Complete);
    EXPECT_TRUE(o.R.Changed);
    EXPECT_EQ(TranslateInto(*german, u"straße", 7).Text, u"strasse");
    // An exception string is cut to the room as well.
    EXPECT_EQ(TranslateInto(*german, u"aß", 2).Text, u"as");

    const TCharMapTable plain(nullptr, nullptr);
    const std::u16string withZero(u"ab\0cd", 5);
    o = TranslateInto(plain, withZero, 16);
    EXPECT_EQ(o.Text, u"ab");
    EXPECT_EQ(o.R.Consumed, 2u);
    EXPECT_FALSE(o.R.Complete);
    EXPECT_TRUE(o.R.Changed);

    struct TEdge {
        std::u16string Src;
        size_t Room;
        bool Complete;
        bool Changed;
    } edges[] = {
        {u"", 4, true, false},
        {u"ab", 0, false, true},
        {std::u16string(u"\0a", 2), 4, false, true},
    };
    for (const TEdge& e : edges) {
        o = TranslateInto(plain, e.Src, e.Room);
        EXPECT_EQ(o.R.Length, 0u);
        EXPECT_EQ(o.R.Consumed, 0u);
        EXPECT_EQ(o.R.Complete, e.Complete);
        EXPECT_EQ(o.R.Changed, e.Changed);
    }
}

TEST(CharMapTable, UnboundedFormTranslatesUpToTheTerminator) {
    wchar16 out[16];
    EXPECT_EQ(TGermanConverter::Table()->Translate(u"für", out), 4u);
    EXPECT_EQ(std::u16string(out), u"fuer");
}

TEST(CharMaps, EasternSlavicDerenyxerHasItsFiftyNinePairs) {
    const TCharMapTable* t = TEasternSlavicDerenyxer::Table();
    size_t mapped = 0;
    for (uint32_t u = 1; u < 0xFFFF; ++u) {
        mapped += t->Map(static_cast<wchar16>(u)) != u;
    }
    EXPECT_EQ(mapped, 59u);
    EXPECT_EQ(Translate(t, u"ABE g"), u"АВЕ д");
    EXPECT_EQ(Translate(t, u"nubIi"), u"пивІі");
    EXPECT_EQ(Translate(t, u"ѢѲѴѣѳѵ"), u"ЕФИефи");
    EXPECT_EQ(Translate(t, u"ÄÖÜĄĆĘŁäöüąćęłŃÓŚŻŹńóśżź"), u"AOUACELaouacelNOSZZnoszz");
    // Letters without a Cyrillic look-alike stay.
    EXPECT_EQ(Translate(t, u"dfjlqrsvwz"), u"dfjlqrsvwz");
}

TEST(CharMaps, LanguageConverters) {
    struct TCase {
        const TCharMapTable* Table;
        std::u16string In;
        std::u16string Out;
    } cases[] = {
        {TRomanianDerenyxer::Table(), u"ȘșȚț\u0301a", u"ŞşŢţa"},
        {TGeneralCyrilicConverter::Table(), u"\u2019ЁёҐґ\u0301", u"'ЕеГг"},
        {TBelarusianConverter::Table(), u"\u2019Ёёґ\u0301", u"'Ёёг"},
        {TApostropheConverter::Table(), u"o\u2019clock\u0301", u"o'clock\u0301"},
        {TSpanishConverter::Table(), u"ÁáÉéÍíÓóÚúÜüÑ", u"AaEeIiOoUuUuÑ"},
        {TPortugueseConverter::Table(), u"ÇçÀàÁáÂâÃãÉéÊêÍíÓóÔôÕõÚú\u2019",
         u"CcAaAaAaAaEeEeIiOoOoOoUu'"},
        {TItalianConverter::Table(), u"ÀàÁáÈèÉéÌìÍíÎîÒòÓóÙùÚú", u"AaAaEeEeIiIiIiOoOoUuUu"},
        {TGermanConverter::Table(), u"Straße Ärger für öl\u2019", u"Strasse Ärger fuer oel'"},
        // Apostrophes are deleted, joining a Turkish suffix to its stem.
        {TTurkishConverter::Table(), u"İstanbul'da Ankara\u2019ya âîû", u"İstanbulda Ankaraya aiu"},
        {TTurkishPreLower::Table(), u"İIiı", u"iıiı"},
        {TTurkishPreUpper::Table(), u"İIiı", u"İIİI"},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(Translate(c.Table, c.In), c.Out) << std::string(c.In.begin(), c.In.end());
    }
    EXPECT_EQ(TEmptyConverter::Table(), nullptr);
    // Policies share one process-wide table.
    EXPECT_EQ(TGermanConverter::Table(), TGermanConverter::Table());
}

}  // namespace NCharMapTableTest
