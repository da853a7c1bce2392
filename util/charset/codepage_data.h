// Hand-kept data of the code-page table: the names of every page, the replacement-byte tables
// and the byte-to-Unicode tables of the pages that no published mapping covers (the system's
// own "korvel", the reserved planes and the regional variants of windows-1251 and
// windows-1252). Only the code-page registry reads it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace NCodePageData {

constexpr size_t MAX_NAMES = 30;  // name slots of one record, the closing null included
constexpr size_t CATEGORY_COUNT = 57;

struct TPageNames {
    int Code;
    bool SingleByte;
    const char* Names[MAX_NAMES];  // canonical name first, ended by a null pointer
};

// One entry per charset code 0 to 112, in code order.
extern const TPageNames PageNames[];
extern const size_t PageNamesCount;

// Replacement bytes by Unicode category: "?" for every category, and the table of code 9.
extern const char QuestionReplacement[CATEGORY_COUNT];
extern const char KorvelReplacement[CATEGORY_COUNT];

// Fills the 256 characters of a hand-kept single-byte page; `base` gives the characters of a
// generated page (by code) that a variant is defined against. Returns false when `code` is
// not a hand-kept page.
bool FillHandKeptPage(int code, const uint32_t* (*base)(int code), uint32_t* unicode);

}  // namespace NCodePageData
