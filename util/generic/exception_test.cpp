#include "util/generic/exception.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <functional>
#include <string>

TEST(Exceptions, MessagesAreStreamedFromTextsAndNumbers) {
    const struct {
        const char* name;
        std::function<void(kexception&)> stream;
        std::string expected;
    } cases[] = {
        {"nothing", [](kexception&) {}, ""},
        {"text number text", [](kexception& e) { e << "a" << 5 << "b"; }, "a5b"},
        {"negative and unsigned",
         [](kexception& e) {
             e << -42 << "/" << 42u << "/" << -7L << "/" << 18446744073709551615UL;
         },
         "-42/42/-7/18446744073709551615"},
        {"extremes",
         [](kexception& e) {
             e << LLONG_MIN << " " << (short)-32768 << " " << (unsigned short)65535;
         },
         "-9223372036854775808 -32768 65535"},
        {"strings", [](kexception& e) { e << Stroka("str") << TCharRange("range!", 5) << 'c'; },
         "strrangec"},
        {"null text", [](kexception& e) { e << static_cast<const char*>(nullptr); }, "(null)"},
        {"utf16 as utf8", [](kexception& e) { e << TUtf16String(u"\u00E9\u20AC"); },
         "\xC3\xA9\xE2\x82\xAC"},
        {"bool", [](kexception& e) { e << true << false; }, "10"},
    };
    for (const auto& c : cases) {
        kexception e;
        c.stream(e);
        EXPECT_EQ(std::string(e.what()), c.expected) << c.name;
    }
}

TEST(Exceptions, TheThrownCopyCarriesTheMessage) {
    try {
        throw kexception() << "can't read " << 10 << " bytes at offset " << 20u;
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "can't read 10 bytes at offset 20");
    }
}

TEST(Exceptions, StreamingAfterWhatContinuesOverTheTerminator) {
    kexception e;
    e << "abc";
    EXPECT_STREQ(e.what(), "abc");
    e << "def";
    EXPECT_STREQ(e.what(), "abcdef");
}

TEST(Exceptions, CopiesShareTheMessage) {
    kexception a;
    a << "one";
    kexception b(a);
    b << " two";
    EXPECT_STREQ(a.what(), "one two");
    kexception c;
    c = b;
    c << " three";
    EXPECT_STREQ(a.what(), "one two three");
    EXPECT_EQ(a.what(), c.what());
}

TEST(Exceptions, AFullMessageLosesItsLastByteToTheTerminator) {
    const std::string full(65536, 'x');
    kexception e;
    e << full.c_str();
    const std::string text = e.what();
    EXPECT_EQ(text.size(), 65535u);
    EXPECT_EQ(text, full.substr(0, 65535));

    try {
        e << "y";
        ADD_FAILURE();
    } catch (const kexception& overflow) {
        EXPECT_STREQ(overflow.what(), "temp buf exhausted(0, 1)");
    }
}

TEST(Exceptions, AMessageLongerThanTheBufferIsReplacedByTheOverflowError) {
    const std::string text(70000, 'z');
    try {
        throw kexception() << "start " << text.c_str();
    } catch (const kexception& e) {
        EXPECT_STREQ(e.what(), "temp buf exhausted(65530, 70000)");
    }
}

TEST(Exceptions, SystemErrorsStartWithTheErrnoText) {
    const int statuses[] = {ENOENT, EACCES, EPIPE, EINTR, 0};
    for (int status : statuses) {
        const std::string prefix = std::string("(") + std::strerror(status) + ") ";
        errno = status;
        TSystemError fromErrno;
        errno = 0;  // the status was taken when the exception was made
        fromErrno << "call failed";
        EXPECT_EQ(std::string(fromErrno.what()), prefix + "call failed");
        EXPECT_EQ(fromErrno.Status(), status);

        const TFileError explicitStatus(status);
        EXPECT_EQ(std::string(explicitStatus.what()), prefix);
        EXPECT_EQ(explicitStatus.Status(), status);
    }
}

TEST(Exceptions, SystemErrorFamilyIsCaughtThroughEveryBase) {
    errno = ENOENT;
    const std::string expected =
        std::string("(") + std::strerror(ENOENT) + ") can not read data from f.txt";
    const auto throwFileError = [] {
        throw TFileError() << "can not read data from " << Stroka("f.txt");
    };
    try {
        throwFileError();
    } catch (const TIoException& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    try {
        throwFileError();
    } catch (const TSystemError& e) {
        EXPECT_EQ(e.Status(), ENOENT);
    }
    try {
        throwFileError();
    } catch (const kexception& e) {
        EXPECT_EQ(std::string(e.what()), expected);
    }
    EXPECT_THROW(throwFileError(), TIoSystemError);
    EXPECT_THROW(throw TIoException() << "x", kexception);
}

TEST(Exceptions, CurrentExceptionMessageNamesTheHandledException) {
    const struct {
        const char* name;
        std::function<void()> thrower;
        const char* expected;
    } cases[] = {
        {"kexception", [] { throw kexception() << "ours " << 1; }, "ours 1"},
        {"standard", [] { throw std::runtime_error("theirs"); }, "theirs"},
        {"not an exception", [] { throw 5; }, "unknown error"},
        {"length error", [] { ThrowLengthError("Allocate() will fail"); }, "Allocate() will fail"},
    };
    for (const auto& c : cases) {
        try {
            c.thrower();
        } catch (...) {
            EXPECT_EQ(CurrentExceptionMessage(), c.expected) << c.name;
            // The handling goes on: the same exception can still be rethrown.
            EXPECT_ANY_THROW(throw);
        }
    }
}

TEST(Exceptions, StandardErrorThrowers) {
    EXPECT_THROW(ThrowLengthError("x"), NStl::length_error);
    EXPECT_THROW(ThrowBadAlloc(), std::bad_alloc);
    try {
        ThrowRangeError("bitset");
    } catch (const NStl::out_of_range& e) {
        EXPECT_STREQ(e.what(), "bitset");
    }
}

namespace {
struct TUnwindProbe {
    bool* Seen;
    ~TUnwindProbe() { *Seen = UncaughtException(); }
};
}  // namespace

TEST(Exceptions, UncaughtExceptionIsTrueOnlyDuringUnwinding) {
    EXPECT_FALSE(UncaughtException());
    bool seen = false;
    try {
        TUnwindProbe probe{&seen};
        throw 1;
    } catch (int) {
        EXPECT_FALSE(UncaughtException());
    }
    EXPECT_TRUE(seen);
}

TEST(Exceptions, SourceLocationDropsTheFirstFiftyCharacters) {
    const std::string longName = std::string(50, '/') + "util/x.cpp";
    const struct {
        const char* file;
        int line;
        const char* expected;
    } cases[] = {
        {longName.c_str(), 17, "util/x.cpp:17: "},
        {"short.cpp", 3, ":3: "},
    };
    for (const auto& c : cases) {
        kexception e;
        e.MessageStream() << TSourceLocation{c.file, c.line};
        EXPECT_STREQ(e.what(), c.expected);
    }
}
