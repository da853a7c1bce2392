// The MD5 compression function, the buffering of partial blocks and the digest texts.
#include "util/digest/md5.h"

#include "util/stream/file_stream.h"
#include "util/stream/input.h"
#include "util/stream/output.h"
#include "util/string/base64.h"

#include <cstdlib>
#include <cstring>

namespace {

// floor(|sin(i + 1)| * 2^32), the additive constants of the 64 steps.
constexpr uint32_t StepConstants[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
constexpr unsigned Shifts[4][4] = {
    {7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t RotateLeft(uint32_t x, unsigned n) noexcept {
    return (x << n) | (x >> (32 - n));
}

inline uint32_t LoadLittleEndian(const unsigned char* p) noexcept {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void StoreLittleEndian(uint32_t x, unsigned char* p) noexcept {
    p[0] = static_cast<unsigned char>(x);
    p[1] = static_cast<unsigned char>(x >> 8);
    p[2] = static_cast<unsigned char>(x >> 16);
    p[3] = static_cast<unsigned char>(x >> 24);
}

// Feeds what is written to it into a digest context it does not own.
class TMd5Stream : public TOutputStream {
public:
    explicit TMd5Stream(MD5* md5) noexcept : Md5_(md5) {}

protected:
    void DoWrite(const void* data, size_t length) override {
        const auto* p = static_cast<const char*>(data);
        // The context counts 32-bit lengths; larger writes go in pieces.
        while (length > 0) {
            const uint32_t piece =
                length > 0x80000000u ? 0x80000000u : static_cast<uint32_t>(length);
            Md5_->Update(p, piece);
            p += piece;
            length -= piece;
        }
    }

private:
    MD5* Md5_;
};

// The caller's buffer, or `size` bytes from malloc (null when there are none).
char* OutputBuffer(char* buffer, size_t size) noexcept {
    return buffer ? buffer : static_cast<char*>(std::malloc(size));
}

}  // namespace

void MD5::Init() noexcept {
    State_[0] = 0x67452301;
    State_[1] = 0xEFCDAB89;
    State_[2] = 0x98BADCFE;
    State_[3] = 0x10325476;
    Count_[0] = Count_[1] = 0;
}

void MD5::Transform(const unsigned char block[64]) noexcept {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) {
        x[i] = LoadLittleEndian(block + 4 * i);
    }
    uint32_t a = State_[0], b = State_[1], c = State_[2], d = State_[3];
    for (unsigned i = 0; i < 64; ++i) {
        const unsigned round = i / 16;
        uint32_t f;
        unsigned word;
        switch (round) {
            case 0:
                f = (b & c) | (~b & d);
                word = i;
                break;
            case 1:
                f = (b & d) | (c & ~d);
                word = (5 * i + 1) % 16;
                break;
            case 2:
                f = b ^ c ^ d;
                word = (3 * i + 5) % 16;
                break;
            default:
                f = c ^ (b | ~d);
                word = (7 * i) % 16;
                break;
        }
        const uint32_t rotated =
            RotateLeft(a + f + StepConstants[i] + x[word], Shifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    State_[0] += a;
    State_[1] += b;
    State_[2] += c;
    State_[3] += d;
}

void MD5::Update(const void* data, uint32_t length) noexcept {
    // Nothing to hash; the pointer of an empty range may be null, which memcpy must not see.
    if (length == 0) {
        return;
    }
    const auto* input = static_cast<const unsigned char*>(data);
    const uint32_t index = (Count_[0] >> 3) & 0x3F;
    const uint32_t bits = length << 3;
    Count_[0] += bits;
    if (Count_[0] < bits) {
        ++Count_[1];
    }
    Count_[1] += length >> 29;

    const uint32_t room = 64 - index;
    uint32_t i = 0;
    if (length >= room) {
        std::memcpy(Buffer_ + index, input, room);
        Transform(Buffer_);
        for (i = room; i + 63 < length; i += 64) {
            Transform(input + i);
        }
        std::memcpy(Buffer_, input + i, length - i);
    } else {
        std::memcpy(Buffer_ + index, input, length);
    }
}

void MD5::Update(TInputStream& in) {
    TMd5Stream out(this);
    TransferData(&in, &out);
}

void MD5::Final(unsigned char digest[16]) noexcept {
    unsigned char count[8];
    StoreLittleEndian(Count_[0], count);
    StoreLittleEndian(Count_[1], count + 4);

    static const unsigned char Padding[64] = {0x80};
    const uint32_t index = (Count_[0] >> 3) & 0x3F;
    Update(Padding, index < 56 ? 56 - index : 120 - index);
    Update(count, 8);

    for (int i = 0; i < 4; ++i) {
        StoreLittleEndian(State_[i], digest + 4 * i);
    }
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

char* MD5::End(char* buffer) {
    char* out = OutputBuffer(buffer, 33);
    if (!out) {
        return nullptr;
    }
    unsigned char digest[16];
    Final(digest);
    static const char Digits[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        out[2 * i] = Digits[digest[i] >> 4];
        out[2 * i + 1] = Digits[digest[i] & 0x0F];
    }
    out[32] = '\0';
    return out;
}

char* MD5::EndBase64(char* buffer) {
    char* out = OutputBuffer(buffer, 25);
    if (!out) {
        return nullptr;
    }
    unsigned char digest[16];
    Final(digest);
    Base64Encode(out, digest, sizeof(digest));
    return out;
}

char* MD5::Data(const void* data, uint32_t length, char* buffer) {
    MD5 md5;
    md5.Update(data, length);
    return md5.End(buffer);
}

char* MD5::Stream(TInputStream* in, char* buffer) {
    MD5 md5;
    md5.Update(*in);
    return md5.End(buffer);
}

char* MD5::File(const char* fileName, char* buffer) noexcept {
    try {
        TFileInput in{Stroka(fileName)};
        return Stream(&in, buffer);
    } catch (...) {
        return nullptr;
    }
}
