// A token handler that records every token, and readable dumps of what it recorded.
#pragma once

#include "lemmer/token/token.h"
#include "tokenizer/tokenizer.h"
#include "util/charset/utf8.h"

#include <string>
#include <vector>

namespace NTokenizerTest {

struct TRecordedToken {
    int32_t Type;
    std::u16string Text;
    size_t Source;
    std::vector<TTokenPart> Parts;
};

class TRecorder : public ITokenHandler {
public:
    void OnToken(const TTokenView& token, size_t sourceLength, int32_t type) override {
        Tokens.push_back({type, std::u16string(token.Text, token.Length), sourceLength,
                          std::vector<TTokenPart>(token.Parts.begin(), token.Parts.end())});
        if (Tokens.size() == StopAfter) {
            throw TAllDoneException();
        }
    }

    std::vector<TRecordedToken> Tokens;
    size_t StopAfter = 0;  // throw TAllDoneException after this many tokens; 0 never
};

inline std::u16string U16(const std::string& utf8) {
    const TUtf16String s = DecodeUtf8(utf8.data(), utf8.size());
    return std::u16string(s.data(), s.size());
}

inline std::string U8(const std::u16string& text) {
    std::string out;
    for (char16_t u : text) {
        if (u == u'\n') {
            out += "\\n";
        } else if (u == u'\r') {
            out += "\\r";
        } else if (u < 0x20 || (u >= 0xD800 && u <= 0xDFFF) || u == 0x2028 || u == 0xAD) {
            char buf[16];
            snprintf(buf, sizeof(buf), "\\u%04X", static_cast<unsigned>(u));
            out += buf;
        } else {
            uint8_t bytes[4];
            const size_t n = WriteUtf8Char(u, bytes);
            out.append(reinterpret_cast<const char*>(bytes), n);
        }
    }
    return out;
}

// "type'text'" per token, with "/source" when the source length differs from the text's.
inline std::string Dump(const std::vector<TRecordedToken>& tokens) {
    std::string out;
    for (const TRecordedToken& t : tokens) {
        if (!out.empty()) {
            out += ' ';
        }
        out += std::to_string(t.Type) + "'" + U8(t.Text) + "'";
        if (t.Source != t.Text.size()) {
            out += "/" + std::to_string(t.Source);
        }
    }
    return out;
}

// "{pos,len,kind}" per part with " p", " s", " j", " d" and their values when not zero.
inline std::string DumpParts(const std::vector<TTokenPart>& parts) {
    std::string out;
    for (const TTokenPart& p : parts) {
        out += "{" + std::to_string(p.Pos) + "," + std::to_string(p.Len) + ",k" +
               std::to_string(p.Kind);
        if (p.PrefixLen != 0) {
            out += " p" + std::to_string(p.PrefixLen);
        }
        if (p.SuffixLen != 0) {
            out += " s" + std::to_string(p.SuffixLen);
        }
        if (p.Join != 0) {
            out += " j" + std::to_string(p.Join);
        }
        if (p.Delim != 0) {
            out += " d" + std::to_string(p.Delim);
        }
        out += "}";
    }
    return out;
}

inline std::vector<TRecordedToken> Tokenize(const std::u16string& text, bool split = true,
                                            bool paragraphs = false, int32_t mode = 0) {
    TRecorder recorder;
    TTokenizerConfig config;
    config.Handler = &recorder;
    config.SplitTokens = split;
    TokenizeWide(config, text.data(), text.size(), paragraphs, mode);
    return recorder.Tokens;
}

inline std::string DumpText(const std::string& utf8, bool split = true, bool paragraphs = false,
                            int32_t mode = 0) {
    return Dump(Tokenize(U16(utf8), split, paragraphs, mode));
}

}  // namespace NTokenizerTest
