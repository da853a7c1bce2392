#include "util/string/printf.h"

#include "util/generic/exception.h"
#include "util/stream/string_stream.h"
#include "util/testing/utf.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Records every write it receives.
class TWriteList : public TOutputStream {
public:
    std::vector<std::string> Writes;

protected:
    void DoWrite(const void* data, size_t length) override {
        Writes.emplace_back(static_cast<const char*>(data), length);
    }
};

}  // namespace

// Texts around the size of the default scratch buffer: each is written whole, with one write.
TEST(Printf, WritesAnyLengthInOneWrite) {
    for (size_t length : {size_t(0), size_t(1), size_t(65535), size_t(65536), size_t(200000)}) {
        const std::string text(length, 'x');
        TWriteList out;
        EXPECT_EQ(Printf(out, "%s", text.c_str()), length);
        if (length == 0) {
            EXPECT_TRUE(out.Writes.empty());
        } else {
            ASSERT_EQ(out.Writes.size(), 1u) << length;
            EXPECT_EQ(out.Writes[0], text);
        }
    }
    TWriteList out;
    EXPECT_EQ(Printf(out, "%d:%05.1f:%s:%c", -42, 3.14159, "abc", 'z'), 15u);
    EXPECT_EQ(out.Writes.at(0), "-42:003.1:abc:z");
}

// A conversion that the C library refuses at every buffer size (a wide character without a
// form in the "C" locale) must end with an error instead of growing the buffer until memory
// runs out.
TEST(Printf, UnformattableArgumentsRaiseInsteadOfGrowingForEver) {
    const wchar_t wide[] = {0x00E9, 0};
    TWriteList out;
    try {
        Printf(out, "%ls", wide);
        FAIL() << "no exception";
    } catch (const TSystemError& e) {
        EXPECT_EQ(std::string(e.what()),
                  std::string("(") + strerror(EILSEQ) + ") vsnprintf failed");
    }
    EXPECT_TRUE(out.Writes.empty());

    Stroka s("kept");
    EXPECT_THROW(AppendFormatted(s, "%ls", wide), TSystemError);
    EXPECT_EQ(NTesting::Std(s), "kept");
}

TEST(Sprintf, ReplacesOrAppends) {
    EXPECT_EQ(NTesting::Std(Sprintf("%s-%u", "mode", 0x40u)), "mode-64");

    Stroka s("old text");
    const Stroka shared = s;
    EXPECT_EQ(SprintfInto(s, "%x", 255u), 2);
    EXPECT_EQ(NTesting::Std(s), "ff");
    EXPECT_EQ(NTesting::Std(shared), "old text");  // the other holder keeps its text

    EXPECT_EQ(AppendFormatted(s, "/%03d", 7), 4);
    EXPECT_EQ(NTesting::Std(s), "ff/007");

    const std::string big(100000, 'q');
    EXPECT_EQ(SprintfInto(s, "<%s>", big.c_str()), 100002);
    EXPECT_EQ(NTesting::Std(s), "<" + big + ">");
}
