// MD5 message digests (RFC 1321) of memory, input streams and files, given as 32 lowercase
// hexadecimal digits or as base64.
//
// The analyser fingerprints its embedded dictionary with it: every inflated byte goes through
// MD5::Update and the hex digest becomes the dictionary's fingerprint text.
//
//     MD5 md5;                     // ready to use: the constructor calls Init
//     md5.Update(data, length);
//     char hex[33];
//     md5.End(hex);
#pragma once

#include <cstddef>
#include <cstdint>

class TInputStream;

// One digest context. Final, End and EndBase64 leave it all zeros, so Init must run again
// before reuse. Not thread-safe; plain data, freely copyable.
class MD5 {
public:
    MD5() noexcept { Init(); }

    void Init() noexcept;
    // Hashes `length` bytes; callers with more than 4 GiB at once split the data.
    void Update(const void* data, uint32_t length) noexcept;
    // Hashes everything the stream yields until it ends; passes its exceptions on.
    void Update(TInputStream& in);

    // Pads, writes the 16-byte digest and clears the context.
    void Final(unsigned char digest[16]) noexcept;
    // Final, then the digest as 32 lowercase hex digits and a NUL. A null buffer is replaced by
    // 33 bytes from malloc that the caller frees; when they cannot be had the result is null and
    // the context is left as it was.
    char* End(char* buffer);
    // Final, then the digest in standard base64: 22 characters, "==" and a NUL (25 bytes from
    // malloc for a null buffer, as End).
    char* EndBase64(char* buffer);

    // Hex digest of a memory range.
    static char* Data(const void* data, uint32_t length, char* buffer);
    // Hex digest of everything the stream yields; passes the stream's exceptions on.
    static char* Stream(TInputStream* in, char* buffer);
    // Hex digest of a file's contents; null when anything fails (nothing is raised).
    static char* File(const char* fileName, char* buffer) noexcept;

    // The four state words and the two words of the bit count (low word first).
    const uint32_t* StateWords() const noexcept { return State_; }
    const uint32_t* BitCount() const noexcept { return Count_; }

private:
    void Transform(const unsigned char block[64]) noexcept;

    uint32_t State_[4];
    uint32_t Count_[2];
    unsigned char Buffer_[64];
};
