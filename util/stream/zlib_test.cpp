#include "util/stream/zlib.h"

#include "util/stream/memory.h"
#include "util/stream/string_stream.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/utf.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {
using NTesting::Std;

// Text with repeats (compresses well) followed by noise (does not).
std::string SampleData(size_t length, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < length / 2) {
        s += "word " + std::to_string(rng() % 1000) + " ";
    }
    while (s.size() < length) {
        s += static_cast<char>(rng());
    }
    s.resize(length);
    return s;
}

std::string Compress(const std::string& data, EZLibStreamType type, uint64_t level = 6,
                     uint64_t bufLen = 8192) {
    Stroka out;
    TStringOutput sink(out);
    TZLibCompress z(&sink, type, level, bufLen);
    z.Write(data.data(), data.size());
    z.Finish();
    return Std(out);
}

// Reads the whole decompressed stream in reads of at most `step` bytes.
std::string Decompress(const std::string& packed, EZLibStreamType type = EZLibStreamType::Auto,
                       size_t bufLen = 8192, size_t step = 65536) {
    TMemoryInput in(packed.data(), packed.size());
    TZLibDecompress z(&in, type, bufLen);
    std::string out;
    std::vector<char> buf(step);
    while (const size_t n = z.Read(buf.data(), buf.size())) {
        EXPECT_LE(n, step);
        out.append(buf.data(), n);
    }
    EXPECT_EQ(z.Read(buf.data(), buf.size()), 0u);
    return out;
}

template <class F>
std::string DecompressorError(F f) {
    try {
        f();
    } catch (const TZLibDecompressorError& e) {
        return e.what();
    }
    return "";
}

TEST(ZLib, RoundTripsEveryStreamType) {
    struct TCase {
        EZLibStreamType Type;
        EZLibStreamType ReadAs;
    };
    const std::vector<TCase> cases = {
        {EZLibStreamType::ZLib, EZLibStreamType::ZLib},
        {EZLibStreamType::ZLib, EZLibStreamType::Auto},
        {EZLibStreamType::GZip, EZLibStreamType::GZip},
        {EZLibStreamType::GZip, EZLibStreamType::Auto},
        {EZLibStreamType::Raw, EZLibStreamType::Raw},
        {EZLibStreamType::Auto, EZLibStreamType::ZLib},
    };
    for (const size_t length : {0, 1, 1000, 300000}) {
        const std::string data = SampleData(length, static_cast<unsigned>(length));
        for (const auto& c : cases) {
            const std::string packed = Compress(data, c.Type);
            EXPECT_EQ(Decompress(packed, c.ReadAs), data)
                << length << " " << int(c.Type) << " " << int(c.ReadAs);
        }
    }
}

TEST(ZLib, HeadersFollowTheStreamType) {
    // Level 9 with a 32 KiB window: the zlib header is 78 DA; a gzip member starts 1F 8B 08.
    EXPECT_EQ(Compress("abc", EZLibStreamType::Auto, 9).substr(0, 2), "\x78\xDA");
    EXPECT_EQ(Compress("abc", EZLibStreamType::ZLib, 9).substr(0, 2), "\x78\xDA");
    EXPECT_EQ(Compress("abc", EZLibStreamType::GZip, 9).substr(0, 3), "\x1F\x8B\x08");
    // A level above 9 compresses as 9.
    const std::string data = SampleData(50000, 3);
    EXPECT_EQ(Compress(data, EZLibStreamType::ZLib, 12), Compress(data, EZLibStreamType::ZLib, 9));
    EXPECT_NE(Compress(data, EZLibStreamType::ZLib, 1), Compress(data, EZLibStreamType::ZLib, 9));
}

TEST(ZLib, TinyBuffersAndReadsGiveTheSameBytes) {
    const std::string data = SampleData(20000, 4);
    const std::string packed = Compress(data, EZLibStreamType::GZip, 6, 1);
    EXPECT_EQ(packed, Compress(data, EZLibStreamType::GZip));
    EXPECT_EQ(packed, Compress(data, EZLibStreamType::GZip, 6, 0));  // a buffer of 0 is taken as 1
    EXPECT_EQ(Decompress(packed, EZLibStreamType::Auto, 1, 1), data);
    EXPECT_EQ(Decompress(packed, EZLibStreamType::Auto, 7, 13), data);
}

TEST(ZLib, DecodesConcatenatedMembersAsOneStream) {
    const std::string a = SampleData(5000, 5), b = SampleData(7000, 6), c = SampleData(1, 7);
    const std::string gz = Compress(a, EZLibStreamType::GZip) + Compress(b, EZLibStreamType::GZip) +
                           Compress(c, EZLibStreamType::GZip);
    EXPECT_EQ(Decompress(gz), a + b + c);
    EXPECT_EQ(Decompress(gz, EZLibStreamType::GZip), a + b + c);
    // Small input chunks make members end and start in the middle of a chunk and across chunks.
    EXPECT_EQ(Decompress(gz, EZLibStreamType::Auto, 5, 100), a + b + c);

    const std::string zz = Compress(a, EZLibStreamType::ZLib) + Compress(b, EZLibStreamType::ZLib);
    EXPECT_EQ(Decompress(zz), a + b);
    const std::string mixed =
        Compress(a, EZLibStreamType::ZLib) + Compress(b, EZLibStreamType::GZip);
    EXPECT_EQ(Decompress(mixed), a + b);
    // An empty member in between contributes nothing.
    const std::string withEmpty = Compress(a, EZLibStreamType::GZip) +
                                  Compress("", EZLibStreamType::GZip) +
                                  Compress(b, EZLibStreamType::ZLib);
    EXPECT_EQ(Decompress(withEmpty), a + b);
}

TEST(ZLib, KnowsTheCrc32OfTheFinishedGZipMembers) {
    const std::string a = SampleData(5000, 9), b = SampleData(70000, 10);
    auto crc = [](const std::string& s) {
        return static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(s.data()), static_cast<uInt>(s.size())));
    };
    auto gz = [](const std::string& s) { return Compress(s, EZLibStreamType::GZip); };
    auto zl = [](const std::string& s) { return Compress(s, EZLibStreamType::ZLib); };
    const std::optional<uint32_t> unknown;
    struct TCase {
        const char* Name;
        std::string Packed;
        EZLibStreamType ReadAs;
        std::string Data;
        std::optional<uint32_t> Crc;
    };
    const std::vector<TCase> cases = {
        {"one gzip member", gz(a), EZLibStreamType::Auto, a, crc(a)},
        {"one gzip member read as gzip", gz(a), EZLibStreamType::GZip, a, crc(a)},
        {"gzip members, an empty one among them", gz(a) + gz("") + gz(b), EZLibStreamType::Auto,
         a + b, crc(a + b)},
        {"no member", "", EZLibStreamType::Auto, "", crc("")},
        {"a zlib stream", zl(a), EZLibStreamType::Auto, a, unknown},
        {"a zlib stream after a gzip member", gz(a) + zl(b), EZLibStreamType::Auto, a + b, unknown},
        {"a zlib stream read as zlib", zl(a), EZLibStreamType::ZLib, a, unknown},
        {"raw deflate data", Compress(a, EZLibStreamType::Raw), EZLibStreamType::Raw, a, unknown},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryInput in(c.Packed.data(), c.Packed.size());
        // Small input buffers make members end in the middle of one and across them.
        TZLibDecompress z(&in, c.ReadAs, 7);
        EXPECT_EQ(Std(z.ReadAll()), c.Data);
        EXPECT_EQ(z.FinishedMembersCrc32(), c.Crc);
    }
    // Inside the second member only the first one counts.
    const std::string packed = gz(a) + gz(b);
    TMemoryInput in(packed.data(), packed.size());
    TZLibDecompress z(&in);
    std::vector<char> buffer(a.size() + 100);
    size_t got = 0;
    while (got < buffer.size()) {
        got += z.Read(buffer.data() + got, buffer.size() - got);
    }
    EXPECT_EQ(z.FinishedMembersCrc32(), crc(a));
}

TEST(ZLib, SourceEndingInsideAMemberRaises) {
    const std::string data = SampleData(3000, 8);
    for (const EZLibStreamType type : {EZLibStreamType::ZLib, EZLibStreamType::GZip}) {
        const std::string packed = Compress(data, type);
        for (size_t cut = 1; cut < packed.size(); ++cut) {
            const std::string truncated = packed.substr(0, cut);
            TMemoryInput in(truncated.data(), truncated.size());
            TZLibDecompress z(&in);
            std::string out;
            const std::string message = DecompressorError([&] {
                char buf[512];
                while (const size_t n = z.Read(buf, sizeof(buf))) {
                    out.append(buf, n);
                }
            });
            EXPECT_EQ(message, "inflate error(compressed data ends inside a member)")
                << int(type) << " cut at " << cut;
            // What came out before the error is the start of the data.
            EXPECT_EQ(out, data.substr(0, out.size()));
        }
        // With only the trailer cut, every byte of the data comes out before the error, also
        // in small reads.
        const size_t trailer = type == EZLibStreamType::ZLib ? 4 : 8;
        const std::string noTrailer = packed.substr(0, packed.size() - trailer);
        TMemoryInput in(noTrailer.data(), noTrailer.size());
        TZLibDecompress z(&in);
        std::string out;
        EXPECT_EQ(DecompressorError([&] {
                      char buf[16];
                      while (const size_t n = z.Read(buf, sizeof(buf))) {
                          out.append(buf, n);
                      }
                  }),
                  "inflate error(compressed data ends inside a member)");
        EXPECT_EQ(out, data) << int(type);
        // A second complete member cut short raises too.
        const std::string two = packed + packed.substr(0, packed.size() - 1);
        EXPECT_NE(DecompressorError([&] { Decompress(two); }), "") << int(type);
    }
}

TEST(ZLib, CorruptDataRaisesWithZLibsMessage) {
    const std::string packed = Compress(SampleData(2000, 9), EZLibStreamType::ZLib);
    struct TCase {
        std::string Input;
        EZLibStreamType Type;
        std::string Message;
    };
    const std::vector<TCase> cases = {
        {"not compressed at all", EZLibStreamType::ZLib, "inflate error(incorrect header check)"},
        {"not compressed at all", EZLibStreamType::Auto, "inflate error(incorrect header check)"},
        {packed, EZLibStreamType::GZip, "inflate error(incorrect header check)"},
        // Bytes after the last member are read as a further member.
        {packed + "garbage", EZLibStreamType::Auto, "inflate error(incorrect header check)"},
        {packed.substr(0, packed.size() - 1) + char(packed.back() ^ 1), EZLibStreamType::ZLib,
         "inflate error(incorrect data check)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecompressorError([&] { Decompress(c.Input, c.Type); }), c.Message) << c.Message;
    }
    // A preset dictionary the reader lacks: zlib gives no message.
    std::string dict = "common words";
    TZLibCompressParams params(nullptr);
    Stroka out;
    TStringOutput sink(out);
    params.Out = &sink;
    params.Dict = dict.data();
    params.DictLen = dict.size();
    {
        TZLibCompress z(params);
        z.Write("common words and more common words", 34);
    }
    EXPECT_EQ(DecompressorError([&] { Decompress(Std(out)); }), "inflate error(unknown error)");
}

TEST(ZLib, PresetDictionaryIsUsed) {
    const std::string dict = "the quick brown fox jumps over the lazy dog";
    const std::string data = "the lazy dog and the quick brown fox";
    Stroka out;
    TStringOutput sink(out);
    TZLibCompressParams params(&sink, EZLibStreamType::ZLib, 9);
    params.Dict = dict.data();
    params.DictLen = dict.size();
    TZLibCompress z(params);
    z.Write(data.data(), data.size());
    z.Finish();

    // Read back with zlib itself, giving it the same dictionary.
    z_stream s;
    std::memset(&s, 0, sizeof(s));
    ASSERT_EQ(inflateInit(&s), Z_OK);
    char buf[256];
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(out.data()));
    s.avail_in = static_cast<uInt>(out.size());
    s.next_out = reinterpret_cast<Bytef*>(buf);
    s.avail_out = sizeof(buf);
    ASSERT_EQ(inflate(&s, Z_NO_FLUSH), Z_NEED_DICT);
    ASSERT_EQ(inflateSetDictionary(&s, reinterpret_cast<const Bytef*>(dict.data()),
                                   static_cast<uInt>(dict.size())),
              Z_OK);
    ASSERT_EQ(inflate(&s, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(std::string(buf, s.total_out), data);
    inflateEnd(&s);
}

TEST(ZLib, ZeroLengthInputBufferReadsAsEmpty) {
    const std::string packed = Compress("data", EZLibStreamType::ZLib);
    EXPECT_EQ(Decompress(packed, EZLibStreamType::Auto, 0), "");
    EXPECT_EQ(Decompress("", EZLibStreamType::Auto), "");
}

TEST(ZLib, ReadsFromAZeroCopySource) {
    const std::string data = SampleData(40000, 10);
    const std::string packed =
        Compress(data, EZLibStreamType::GZip) + Compress(data, EZLibStreamType::ZLib);
    TMemoryInput source(packed.data(), packed.size());
    TZLibDecompress z(static_cast<IZeroCopyInput*>(&source));
    EXPECT_EQ(Std(z.ReadAll()), data + data);
}

// A zero-copy source may hand out empty chunks between full ones; they carry no input and
// are no end of it.
class TEmptyChunksBetween : public IZeroCopyInput {
public:
    explicit TEmptyChunksBetween(const std::string& data) : Data_(data) {}

protected:
    bool DoNext(const void** data, size_t* length) override {
        if (Pos_ == Data_.size()) {
            *length = 0;
            return false;
        }
        *data = Data_.data() + Pos_;
        *length = (Calls_++ % 2 == 0) ? 0 : std::min<size_t>(100, Data_.size() - Pos_);
        Pos_ += *length;
        return true;
    }

private:
    const std::string& Data_;
    size_t Pos_ = 0;
    size_t Calls_ = 0;
};

TEST(ZLib, EmptyZeroCopyChunksAreSkipped) {
    const std::string data = SampleData(5000, 11);
    const std::string packed = Compress(data, EZLibStreamType::GZip);
    TEmptyChunksBetween source(packed);
    TZLibDecompress z(&source);
    EXPECT_EQ(Std(z.ReadAll()), data);
}

// A refused engine frees what was allocated for it (LeakSanitizer watches the buffered form,
// whose buffer shares the engine's allocation).
TEST(ZLib, UnknownStreamTypeIsRefusedWithoutLeaks) {
    const auto bad = static_cast<EZLibStreamType>(7);
    TMemoryInput in("", 0);
    EXPECT_EQ(DecompressorError([&] { TZLibDecompress z(&in, bad, 8192); }),
              "can not init inflate engine");
    EXPECT_EQ(DecompressorError([&] { TZLibDecompress z(static_cast<IZeroCopyInput*>(&in), bad); }),
              "can not init inflate engine");
    Stroka out;
    TStringOutput sink(out);
    EXPECT_THROW(TZLibCompress(&sink, bad), TZLibCompressorError);
}

TEST(ZLib, CompressorFinishesOnceAndRefusesLaterWrites) {
    Stroka out;
    TStringOutput sink(out);
    TZLibCompress z(&sink, EZLibStreamType::GZip);
    z.Write("hello", 5);
    // Neither a flush nor a small write pushes anything to the slave.
    z.Flush();
    EXPECT_EQ(out.size(), 0u);
    z.Finish();
    const size_t finished = out.size();
    EXPECT_GT(finished, 0u);
    z.Finish();
    EXPECT_EQ(out.size(), finished);
    EXPECT_THAT([&] { z.Write("x", 1); },
                RaisesMessage<TZLibCompressorError>("can not write to finished zlib stream"))
        << "write after finish accepted";
    EXPECT_EQ(Decompress(Std(out)), "hello");
}

TEST(ZLib, DestructorFinishesTheStream) {
    const std::string data = SampleData(100000, 11);
    Stroka out;
    {
        TStringOutput sink(out);
        TZLibCompress z(&sink, EZLibStreamType::ZLib, 6, 100);
        z.Write(data.data(), data.size());
    }
    EXPECT_EQ(Decompress(Std(out)), data);
}

// A slave that refuses every write.
class TFailingOutput : public TOutputStream {
protected:
    void DoWrite(const void*, size_t) override { throw kexception() << "slave refused"; }
};

TEST(ZLib, SlaveErrorsPassThroughAndFinishTheStream) {
    TFailingOutput failing;
    TZLibCompress z(&failing, EZLibStreamType::ZLib, 6, 16);
    const std::string data = SampleData(300000, 12);
    try {
        z.Write(data.data(), data.size());
        ADD_FAILURE() << "slave error swallowed";
    } catch (const TZLibError&) {
        ADD_FAILURE() << "slave error turned into a zlib error";
    } catch (const kexception& e) {
        EXPECT_STREQ(e.what(), "slave refused");
    }
    EXPECT_THROW(z.Finish(), kexception);
    // The failed finish still ends the stream.
    EXPECT_THROW(z.Write("x", 1), TZLibCompressorError);
}

}  // namespace
