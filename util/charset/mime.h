// A small table of document MIME types with their file extensions: the MIME type of a file
// name's extension, the id of a MIME type text and the text of an id.
#pragma once

#include <cstddef>

// MIME ids: the row index of the table.
enum EMimeType : int {
    MIME_UNKNOWN = 0,
    MIME_TEXT = 1,
    MIME_HTML = 2,
    MIME_PDF = 3,
    MIME_RTF = 4,
    MIME_DOC = 5,
    MIME_MPEG = 6,
    MIME_XML = 7,
    MIME_WML = 8,
    MIME_SWF = 9,
    MIME_XLS = 10,
    MIME_PPT = 11,
    MIME_IMAGE_JPG = 12,
    MIME_IMAGE_PJPG = 13,
    MIME_IMAGE_PNG = 14,
    MIME_IMAGE_GIF = 15,
    MIME_DOCX = 16,
    MIME_ODT = 17,
    MIME_ODP = 18,
    MIME_ODS = 19,
    MIME_RESERVED_20 = 20,
    MIME_IMAGE_BMP = 21,
    MIME_WAV = 22,
    MIME_ARCHIVE = 23,
    MIME_EXE = 24,
    MIME_ODG = 25,
    MIME_GZIP = 26,
    MIME_XLSX = 27,
    MIME_PPTX = 28,
    MIME_JAVASCRIPT = 29,
    MIME_EPUB = 30,
    MIME_TEX = 31,
    MIME_RESERVED_32 = 32,
    MIME_XHTML = 33,
    MIME_CSS = 34,
    MIME_ICON = 35,
    MIME_ZIP = 36,
    MIME_MAX = 37,  // number of rows
};

// The first MIME type text of an id; null for an id outside 0 to 32 or a row without one.
const char* MimeByIndex(int mime);
// The same for every row of the table (ids 33 to 36 included); null outside the table.
const char* MimeByIndexUnchecked(int mime);

// The id of a MIME type text (compared exactly); MIME_UNKNOWN when unknown or null.
EMimeType MimeByName(const char* mimeType);

// The id of a file name's extension (the text after the last '.', lower-cased, at most 5
// characters); MIME_UNKNOWN for a null or empty name, a name without '.', a longer extension or
// an unknown one.
EMimeType MimeByExt(const char* fileName);
// expectedExt when it equals the file name's lower-cased extension (by the rules above), else
// null.
const char* MimeByExt(const char* fileName, const char* expectedExt);
