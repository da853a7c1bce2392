// The MIME rows and their two look-up maps, built on first use.
#include "util/charset/mime.h"

#include "util/digest/city_hash.h"
#include "util/system/singleton.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// Each list is a run of NUL-terminated texts ended by an empty text; null when absent.
struct TMimeRow {
    const char* Types;
    const char* Extensions;
};

const TMimeRow MIME_ROWS[] = {
    {nullptr, nullptr},                            // 0
    {"text/plain\0", "asc\0txt\0"},                // 1
    {"text/html\0", "html\0htm\0shtml\0"},         // 2
    {"application/pdf\0", "pdf\0"},                // 3
    {"text/rtf\0", "rtf\0"},                       // 4
    {"application/msword\0", "doc\0"},             // 5
    {"audio/mpeg\0", nullptr},                     // 6
    {"text/xml\0", "xml\0"},                       // 7
    {"text/vnd.wap.wml\0", "wml\0"},               // 8
    {"application/x-shockwave-flash\0", "swf\0"},  // 9
    {"application/vnd.ms-excel\0", "xls\0"},       // 10
    {"application/vnd.ms-powerpoint\0", "ppt\0"},  // 11
    {"image/jpeg\0image/jpg\0", "jpeg\0jpg\0"},    // 12
    {"image/pjpeg\0", "pjpeg\0"},                  // 13
    {"image/png\0", "png\0"},                      // 14
    {"image/gif\0", "gif\0"},                      // 15
    {"application/vnd.openxmlformats-officedocument.wordprocessingml.document\0", nullptr},
    {"application/vnd.oasis.opendocument.text\0", nullptr},          // 17
    {"application/vnd.oasis.opendocument.presentation\0", nullptr},  // 18
    {"application/vnd.oasis.opendocument.spreadsheet\0", nullptr},   // 19
    {nullptr, nullptr},                                              // 20
    {"image/x-ms-bmp\0", nullptr},                                   // 21
    {"audio/x-wav\0", nullptr},                                      // 22
    {"application/x-archive\0", nullptr},                            // 23
    {"application/x-dosexec\0", nullptr},                            // 24
    {"application/vnd.oasis.opendocument.graphics\0", nullptr},      // 25
    {"application/x-gzip\0", nullptr},                               // 26
    {"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet\0", nullptr},
    {"application/vnd.openxmlformats-officedocument.presentationml.presentation\0", nullptr},
    {"application/javascript\0text/javascript\0", "js\0"},  // 29
    {"application/epub+zip\0", "epub\0"},                   // 30
    {"application/tex\0", "tex\0"},                         // 31
    {nullptr, nullptr},                                     // 32
    {"application/xhtml+xml\0", "xhtml\0"},                 // 33
    {"text/css\0", "css\0"},                                // 34
    {"image/x-icon\0", "ico\0"},                            // 35
    {"application/zip\0", "zip\0"},                         // 36
};
static_assert(sizeof(MIME_ROWS) / sizeof(MIME_ROWS[0]) == MIME_MAX);

constexpr int LAST_CHECKED_ID = 32;
constexpr size_t MAX_EXTENSION_LENGTH = 5;

struct TCityHash {
    size_t operator()(std::string_view s) const { return CityHash64(s.data(), s.size()); }
};

using TMimeMap = std::unordered_map<std::string_view, EMimeType, TCityHash>;

// Built once; read-only afterwards.
struct TMimeMaps {
    TMimeMap ByType;
    TMimeMap ByExtension;

    TMimeMaps() {
        for (int id = 0; id < MIME_MAX; ++id) {
            AddAll(MIME_ROWS[id].Types, static_cast<EMimeType>(id), &ByType);
            AddAll(MIME_ROWS[id].Extensions, static_cast<EMimeType>(id), &ByExtension);
        }
    }

    // A later row replaces an earlier one's mapping of the same text.
    static void AddAll(const char* list, EMimeType id, TMimeMap* map) {
        for (const char* p = list; p && *p; p += std::strlen(p) + 1) {
            (*map)[p] = id;
        }
    }
};

const TMimeMaps& Maps() {
    return *Singleton<TMimeMaps>();
}

// The lower-cased extension of a file name; false when it has none or it is too long.
bool Extension(const char* fileName, std::string* ext) {
    if (fileName == nullptr) {
        return false;
    }
    const char* dot = std::strrchr(fileName, '.');
    if (dot == nullptr) {
        return false;
    }
    ext->assign(dot + 1);
    if (ext->size() > MAX_EXTENSION_LENGTH) {
        return false;
    }
    for (char& c : *ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return true;
}

}  // namespace

const char* MimeByIndex(int mime) {
    return mime > LAST_CHECKED_ID ? nullptr : MimeByIndexUnchecked(mime);
}

const char* MimeByIndexUnchecked(int mime) {
    if (mime < 0 || mime >= MIME_MAX) {
        return nullptr;
    }
    return MIME_ROWS[mime].Types;
}

EMimeType MimeByName(const char* mimeType) {
    if (mimeType == nullptr) {
        return MIME_UNKNOWN;
    }
    const auto it = Maps().ByType.find(mimeType);
    return it == Maps().ByType.end() ? MIME_UNKNOWN : it->second;
}

EMimeType MimeByExt(const char* fileName) {
    std::string ext;
    if (!Extension(fileName, &ext)) {
        return MIME_UNKNOWN;
    }
    const auto it = Maps().ByExtension.find(ext);
    return it == Maps().ByExtension.end() ? MIME_UNKNOWN : it->second;
}

const char* MimeByExt(const char* fileName, const char* expectedExt) {
    std::string ext;
    if (expectedExt == nullptr || !Extension(fileName, &ext)) {
        return nullptr;
    }
    return ext == expectedExt ? expectedExt : nullptr;
}
