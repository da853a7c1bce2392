#include "util/charset/iconv.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TConversion {
    TIconvConverter::EStatus Status;
    size_t Read;
    std::string Out;
};

TConversion Convert(const char* to, const char* from, const std::string& src, size_t room) {
    TIconvConverter converter(to, from);
    EXPECT_TRUE(converter.Valid()) << from << " -> " << to;
    std::string out(room, '\0');
    const char* in = src.data();
    size_t inLeft = src.size();
    char* dst = out.data();
    size_t dstLeft = room;
    const TIconvConverter::EStatus status = converter.Convert(in, inLeft, dst, dstLeft);
    EXPECT_EQ(in, src.data() + (src.size() - inLeft));
    return {status, src.size() - inLeft, out.substr(0, room - dstLeft)};
}

TEST(IconvConverter, LeavesOutInvalidInputAndGoesOn) {
    const TConversion r = Convert("UTF-8", "EUC-JP", "\xC6\xFC\xFF\xCB\xDC\xFFz", 64);
    EXPECT_EQ(r.Status, TIconvConverter::Done);
    EXPECT_EQ(r.Read, 7u);
    EXPECT_EQ(r.Out,
              "\xE6\x97\xA5\xE6\x9C\xAC"
              "z");
}

TEST(IconvConverter, LeavesOutCharactersTheTargetLacks) {
    const TConversion r = Convert("SHIFT_JIS", "UTF-16LE",
                                  std::string("A\0\x27\x06"
                                              "B\0\x3D\xD8\x00\xDE"
                                              "C\0",
                                              12),
                                  64);
    EXPECT_EQ(r.Status, TIconvConverter::Done);
    EXPECT_EQ(r.Read, 12u);
    EXPECT_EQ(r.Out, "ABC");
}

// glibc's readers of ISO-2022-CN-EXT (a shift-out with no designation before it) and of UHC
// (the bytes A2 E8) step past the end of the input when told to skip errors: the bytes after
// the input must stay unread, and the counts within it.
TEST(IconvConverter, NeverReadsPastTheInput) {
    const struct {
        const char* From;
        const char* Buffer;
        size_t Length;
        TIconvConverter::EStatus Status;
        size_t Read;
    } cases[] = {
        {"ISO-2022-CN-EXT", "A\x0EZZZZZZZZ", 2, TIconvConverter::Done, 2},
        {"CP949", "A\xA2\xE8ZZZZZZZZ", 3, TIconvConverter::Done, 3},
        {"CP949", "\xA2\xE8ZZZZZZZZ", 2, TIconvConverter::Done, 2},
    };
    for (const auto& c : cases) {
        for (const char* target : {"UTF-16LE", "UTF-8", "ISO-2022-KR"}) {
            TIconvConverter converter(target, c.From);
            ASSERT_TRUE(converter.Valid());
            std::string out(64, '\0');
            const char* in = c.Buffer;
            size_t inLeft = c.Length;
            char* dst = out.data();
            size_t dstLeft = out.size();
            EXPECT_EQ(converter.Convert(in, inLeft, dst, dstLeft), c.Status) << c.From << target;
            EXPECT_EQ(in, c.Buffer + c.Read) << c.From << " -> " << target;
            EXPECT_EQ(inLeft, c.Length - c.Read) << c.From << " -> " << target;
            EXPECT_EQ(out.substr(0, out.size() - dstLeft).find('Z'), std::string::npos)
                << c.From << " -> " << target;
        }
    }
}

TEST(IconvConverter, ReportsAnIncompleteTailAndAFullOutput) {
    const TConversion tail = Convert("UTF-8", "GB18030", "\xD6\xD0\x81\x30\x81", 64);
    EXPECT_EQ(tail.Status, TIconvConverter::Incomplete);
    EXPECT_EQ(tail.Read, 2u);
    EXPECT_EQ(tail.Out, "\xE4\xB8\xAD");

    const TConversion full = Convert("UTF-16LE", "BIG5", "\xA4\xA4\xA4\xE5", 3);
    EXPECT_EQ(full.Status, TIconvConverter::OutputFull);
    EXPECT_EQ(full.Read, 2u);
    EXPECT_EQ(full.Out, std::string("\x2D\x4E", 2));
}

TEST(IconvConverter, FinishesAStatefulTargetInItsInitialState) {
    TIconvConverter converter("ISO-2022-JP", "UTF-8");
    ASSERT_TRUE(converter.Valid());
    char out[16];
    char* dst = out;
    size_t left = sizeof(out);
    EXPECT_EQ(converter.Finish(dst, left), TIconvConverter::Done);  // nothing to undo
    EXPECT_EQ(dst, out);
    const char* src = "\xE3\x81\x82";
    size_t srcLeft = 3;
    ASSERT_EQ(converter.Convert(src, srcLeft, dst, left), TIconvConverter::Done);
    size_t none = 0;
    char* full = dst;
    EXPECT_EQ(converter.Finish(full, none), TIconvConverter::OutputFull);
    EXPECT_EQ(full, dst);
    EXPECT_EQ(converter.Finish(dst, left), TIconvConverter::Done);
    EXPECT_EQ(std::string(out, dst), "\x1B$B\x24\x22\x1B(B");
}

TEST(IconvConverter, KnowsWhichNamesItCanOpen) {
    const struct {
        const char* Name;
        bool Valid;
    } cases[] = {
        {"BIG5-HKSCS", true}, {"BIG5-HKSCS:1999", true}, {"BIG5-HKSCS:2001", true},
        {"EUC-TW", true},     {"ISO-2022-CN-EXT", true}, {"JOHAB", true},
        {"HZ", true},         {"ISO-2022-JP-1", true},   {"korvel", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TIconvConverter("UTF-16LE", c.Name).Valid(), c.Valid) << c.Name;
        EXPECT_EQ(TIconvConverter(c.Name, "UTF-16LE").Valid(), c.Valid) << c.Name;
    }
    EXPECT_TRUE(TIconvHandle(11, 93).Valid());
    EXPECT_TRUE(TIconvHandle(104, 13).Valid());
    EXPECT_FALSE(TIconvHandle(9, 13).Valid());
}

}  // namespace
