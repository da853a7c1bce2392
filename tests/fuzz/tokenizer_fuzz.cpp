// Any UTF-16 text (or UTF-8 through the decoder) is cut into tokens whose source lengths add up
// to the text, whose parts lie inside their text in order, and whose words keep the limits.
#include "tokenizer/tokenizer.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class TCheckingHandler : public ITokenHandler {
public:
    void OnToken(const TTokenView& token, size_t sourceLength, int32_t type) override {
        if (type < TOKEN_WORD || type > TOKEN_OTHER)
            std::abort();
        if (token.Parts.size() > MAX_TOKEN_PARTS)
            std::abort();
        uint64_t end = 0;
        for (const TTokenPart& p : token.Parts) {
            if (p.Pos < end || p.Pos > token.Length || p.Len > token.Length - p.Pos)
                std::abort();
            end = p.End() + p.SuffixLen;
            if (end > token.Length)
                std::abort();
        }
        if (type <= TOKEN_MIXED && (token.Parts.empty() || token.Length > MAX_WORD_TOKEN_LENGTH))
            std::abort();
        // The text must be readable throughout.
        volatile wchar16 sink = 0;
        for (size_t i = 0; i < token.Length; ++i)
            sink = sink ^ token.Text[i];
        Source += sourceLength;
        if (++Count == StopAfter)
            throw TAllDoneException();
    }

    size_t Source = 0;
    size_t Count = 0;
    size_t StopAfter = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const uint8_t flags = data[0];
    const uint8_t stop = data[1];
    data += 2;
    size -= 2;
    std::vector<wchar16> text;
    if (flags & 1) {
        try {
            const TUtf16String decoded = DecodeUtf8(reinterpret_cast<const char*>(data), size);
            text.assign(decoded.data(), decoded.data() + decoded.size());
        } catch (const kexception&) {
            return 0;
        }
    } else {
        text.resize(size / 2);
        if (!text.empty())
            std::memcpy(text.data(), data, text.size() * 2);
    }
    TCheckingHandler handler;
    handler.StopAfter = (flags & 16) ? stop : 0;
    TTokenizerConfig config;
    config.Handler = &handler;
    config.SplitTokens = (flags & 2) == 0;
    TokenizeWide(config, text.data(), text.size(), (flags & 4) != 0, (flags & 8) ? 1 : 0);
    if (handler.StopAfter == 0 && handler.Source != text.size())
        std::abort();
    return 0;
}
