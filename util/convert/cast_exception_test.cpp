#include "util/convert/cast_exception.h"

#include <gtest/gtest.h>

#include <string>

TEST(CastExceptions, MessagesReachEveryHandlerUnchanged) {
    const char* messages[] = {"overflow", "cannot parse empty string as number",
                              "cannot parse string \"+\" as number"};
    for (const char* message : messages) {
        try {
            throw TFromStringException() << message;
        } catch (const kexception& e) {
            EXPECT_STREQ(e.what(), message);
        }
        try {
            throw TFromStringException() << message;
        } catch (const TBadCastException& e) {
            EXPECT_STREQ(e.what(), message);
        }
        try {
            throw TFromStringException() << message;
        } catch (const std::exception& e) {
            EXPECT_STREQ(e.what(), message);
        }
    }
}

TEST(CastExceptions, PiecesAndCopiesShareOneMessage) {
    TFromStringException e;
    e << "Unexpected symbol \"" << 'x' << "\" at pos " << 3u << " in string " << Stroka("\"1x\"");
    TFromStringException copy(e);
    EXPECT_STREQ(copy.what(), "Unexpected symbol \"x\" at pos 3 in string \"1x\"");
    copy << "!";
    EXPECT_STREQ(e.what(), "Unexpected symbol \"x\" at pos 3 in string \"1x\"!");

    TBadCastException* base = new TFromStringException(e);  // destroyed through its base
    EXPECT_STREQ(base->what(), e.what());
    delete base;
}
