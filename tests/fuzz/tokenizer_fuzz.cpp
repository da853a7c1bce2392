// Any UTF-16 text (or UTF-8 through the decoder) is cut into tokens whose source lengths add up
// to the text, whose parts lie inside their text in order, and whose words keep the limits.
// Handed on whole, each word is the one that a scan starting where it starts gives: what the
// tokeniser knows of the text before a word changes nothing.
#include "tokenizer/tokenizer.h"
#include "util/charset/utf8.h"
#include "util/generic/exception.h"

#include <algorithm>
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
        if (KeepWords && type <= TOKEN_MIXED) {
            Words.push_back({Source, sourceLength, type,
                             std::vector<wchar16>(token.Text, token.Text + token.Length),
                             std::vector<TTokenPart>(token.Parts.begin(), token.Parts.end())});
        }
        Source += sourceLength;
        if (++Count == StopAfter)
            throw TAllDoneException();
    }

    struct TWord {
        size_t At;
        size_t Source;
        int32_t Type;
        std::vector<wchar16> Text;
        std::vector<TTokenPart> Parts;
        bool operator==(const TWord&) const = default;
    };

    size_t Source = 0;
    size_t Count = 0;
    size_t StopAfter = 0;
    bool KeepWords = false;
    std::vector<TWord> Words;
};

void CheckWordsFromTheirStart(const std::vector<wchar16>& text, bool paragraphs, int32_t mode,
                              const std::vector<TCheckingHandler::TWord>& words) {
    for (const TCheckingHandler::TWord& word : words) {
        TCheckingHandler alone;
        alone.StopAfter = 1;
        alone.KeepWords = true;
        TTokenizerConfig config;
        config.Handler = &alone;
        config.SplitTokens = false;
        TokenizeWide(config, text.data() + word.At, text.size() - word.At, paragraphs, mode);
        if (alone.Words.size() != 1)
            std::abort();
        TCheckingHandler::TWord first = alone.Words[0];
        first.At = word.At;
        if (!(first == word))
            std::abort();
    }
}

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
    // Decoded percent escapes are tokenised apart, with positions of their own.
    handler.KeepWords = (flags & 2) != 0 && std::find(text.begin(), text.end(), u'%') == text.end();
    TTokenizerConfig config;
    config.Handler = &handler;
    config.SplitTokens = (flags & 2) == 0;
    const bool paragraphs = (flags & 4) != 0;
    const int32_t mode = (flags & 8) ? 1 : 0;
    TokenizeWide(config, text.data(), text.size(), paragraphs, mode);
    if (handler.StopAfter == 0 && handler.Source != text.size())
        std::abort();
    CheckWordsFromTheirStart(text, paragraphs, mode, handler.Words);
    return 0;
}
