#include "util/charset/mime.h"

#include <gtest/gtest.h>

namespace {

TEST(MimeTable, TypeOfAFileName) {
    struct TCase {
        const char* FileName;
        EMimeType Mime;
    };
    const TCase cases[] = {
        {"index.HTM", MIME_HTML},    {"a.b.html", MIME_HTML},      {"style.css", MIME_CSS},
        {"notes.txt", MIME_TEXT},    {"notes.asc", MIME_TEXT},     {"photo.JpG", MIME_IMAGE_JPG},
        {"x.jpeg", MIME_IMAGE_JPG},  {"x.pjpeg", MIME_IMAGE_PJPG}, {"book.epub", MIME_EPUB},
        {"lib.js", MIME_JAVASCRIPT}, {"pack.zip", MIME_ZIP},       {"page.xhtml", MIME_XHTML},
        {"data.gz", MIME_UNKNOWN},   {"x.shtmlx", MIME_UNKNOWN},   {"README", MIME_UNKNOWN},
        {"", MIME_UNKNOWN},          {"trailing.", MIME_UNKNOWN},  {nullptr, MIME_UNKNOWN},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(MimeByExt(c.FileName), c.Mime) << (c.FileName ? c.FileName : "(null)");
    }
}

TEST(MimeTable, ExpectedExtension) {
    const char* html = "html";
    EXPECT_EQ(MimeByExt("INDEX.HTML", html), html);
    EXPECT_EQ(MimeByExt("index.htm", html), nullptr);
    EXPECT_EQ(MimeByExt("index", html), nullptr);
    EXPECT_EQ(MimeByExt("x.abcdef", "abcdef"), nullptr);  // longer than 5 characters
    EXPECT_EQ(MimeByExt("x.gz", "gz"), "gz");             // need not be in the table
    EXPECT_EQ(MimeByExt("x.gz", nullptr), nullptr);
}

TEST(MimeTable, TypeTextsAndIds) {
    EXPECT_EQ(MimeByName("text/html"), MIME_HTML);
    EXPECT_EQ(MimeByName("image/jpg"), MIME_IMAGE_JPG);
    EXPECT_EQ(MimeByName("text/javascript"), MIME_JAVASCRIPT);
    EXPECT_EQ(MimeByName("text/css"), MIME_CSS);
    EXPECT_EQ(MimeByName("TEXT/HTML"), MIME_UNKNOWN);  // compared exactly
    EXPECT_EQ(MimeByName("text/unknown"), MIME_UNKNOWN);
    EXPECT_EQ(MimeByName(nullptr), MIME_UNKNOWN);

    EXPECT_STREQ(MimeByIndex(MIME_IMAGE_JPG), "image/jpeg");
    EXPECT_STREQ(MimeByIndex(MIME_TEX), "application/tex");
    EXPECT_EQ(MimeByIndex(MIME_UNKNOWN), nullptr);
    EXPECT_EQ(MimeByIndex(MIME_RESERVED_32), nullptr);
    EXPECT_EQ(MimeByIndex(MIME_CSS), nullptr);
    EXPECT_EQ(MimeByIndex(-1), nullptr);
    EXPECT_STREQ(MimeByIndexUnchecked(MIME_CSS), "text/css");
    EXPECT_EQ(MimeByIndexUnchecked(MIME_MAX), nullptr);
    EXPECT_EQ(MimeByIndexUnchecked(-5), nullptr);

    // Every listed type text finds its own id.
    for (int id = 0; id < MIME_MAX; ++id) {
        if (const char* text = MimeByIndexUnchecked(id)) {
            EXPECT_EQ(MimeByName(text), id) << text;
        }
    }
}

}  // namespace
