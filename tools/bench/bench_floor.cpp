// The floor of the analysis run's speed: reads a text in blocks and writes each of its words,
// with a line feed, in one write call, as lemmix must for every word it prints. Nothing is
// analysed, so no analyser that keeps that interface can be faster.
//
//   bench_floor [--utf8] INPUT OUTPUT
//
// A word is a run of letters and digits: ASCII ones and, in a Windows-1251 text (the default),
// the bytes of Cyrillic letters; in a UTF-8 text (--utf8), the code points of the Cyrillic
// block. Prints the number of words to standard error.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool IsAsciiWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Length of the word character at p (0 when it is no word character); p < end.
size_t WordCharLength(const unsigned char* p, const unsigned char* end, bool utf8) {
    if (IsAsciiWordByte(*p)) {
        return 1;
    }
    if (!utf8) {
        return *p >= 0xC0 || *p == 0xA8 || *p == 0xB8 ? 1 : 0;
    }
    // U+0400..U+04FF: lead bytes D0..D3 and one continuation byte.
    if (*p >= 0xD0 && *p <= 0xD3 && end - p >= 2 && (p[1] & 0xC0) == 0x80) {
        return 2;
    }
    return 0;
}

void WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("write");
            std::exit(1);
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

}  // namespace

int main(int argc, char** argv) {
    bool utf8 = false;
    int arg = 1;
    if (arg < argc && std::strcmp(argv[arg], "--utf8") == 0) {
        utf8 = true;
        ++arg;
    }
    if (argc - arg != 2) {
        std::fprintf(stderr, "usage: %s [--utf8] INPUT OUTPUT\n", argv[0]);
        return 2;
    }
    const int in = open(argv[arg], O_RDONLY);
    const int out = open(argv[arg + 1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) {
        std::perror("open");
        return 1;
    }
    // The block keeps the unfinished word of the previous read at its start.
    std::vector<unsigned char> block(1 << 16);
    std::string word;
    size_t kept = 0;
    unsigned long long words = 0;
    for (;;) {
        if (kept == block.size()) {
            block.resize(block.size() * 2);
        }
        const ssize_t n = read(in, block.data() + kept, block.size() - kept);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::perror("read");
            return 1;
        }
        const bool last = n == 0;
        const unsigned char* p = block.data();
        const unsigned char* end = p + kept + static_cast<size_t>(n);
        const unsigned char* wordBegin = nullptr;
        while (p < end) {
            const size_t length = WordCharLength(p, end, utf8);
            if (length == 0 && utf8 && !last && end - p < 2 && *p >= 0xD0 && *p <= 0xD3) {
                break;  // a character cut by the end of the block
            }
            if (length != 0) {
                if (!wordBegin) {
                    wordBegin = p;
                }
                p += length;
                continue;
            }
            if (wordBegin) {
                word.assign(reinterpret_cast<const char*>(wordBegin), p - wordBegin);
                word.push_back('\n');
                WriteAll(out, word.data(), word.size());
                ++words;
                wordBegin = nullptr;
            }
            ++p;
        }
        if (last) {
            if (wordBegin) {
                word.assign(reinterpret_cast<const char*>(wordBegin), end - wordBegin);
                word.push_back('\n');
                WriteAll(out, word.data(), word.size());
                ++words;
            }
            break;
        }
        const unsigned char* keep = wordBegin ? wordBegin : p;
        kept = static_cast<size_t>(end - keep);
        std::memmove(block.data(), keep, kept);
    }
    close(in);
    if (close(out) != 0) {
        std::perror("close");
        return 1;
    }
    std::fprintf(stderr, "%llu\n", words);
    return 0;
}
