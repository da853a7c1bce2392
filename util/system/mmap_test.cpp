// Memory maps: window placement and bounds, sharing, precharging, replacement of a mapped file,
// anonymous allocations, and the mapped-file input stream.
#include "util/system/mmap.h"

#include "util/generic/exception.h"
#include "util/stream/mapped_file_input.h"
#include "util/system/sys_info.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string KExceptionOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const kexception& e) {
        return e.what();
    }
    return "";
}

std::string MappedPattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        s[i] = char(i * 7 + i / 4096);
    }
    return s;
}

class TMemoryMapTest : public ::testing::Test {
protected:
    TScratchDir Scratch;
    const std::string Dir = Scratch.Path();

    Stroka Make(const char* name, const std::string& data) {
        const std::string path = Dir + "/" + name;
        std::ofstream(path, std::ios::binary) << data;
        return Stroka(path.c_str());
    }
};

TEST_F(TMemoryMapTest, WindowsStartAtPageAndCarryHead) {
    const std::string data = MappedPattern(10000);
    const Stroka name = Make("f", data);
    const int64_t page = int64_t(NSystemInfo::PageSize());
    for (uint32_t mode :
         {uint32_t(TMemoryMap::oRdOnly), TMemoryMap::oRdOnly | TMemoryMap::oNotGreedy}) {
        SCOPED_TRACE(mode);
        TFileMap map(name, mode);
        EXPECT_EQ(map.Length(), 10000);
        struct TCase {
            int64_t Offset;
            uint64_t Size;
        };
        for (const TCase c : {TCase{0, 10000}, TCase{page + 5, 100}, TCase{9999, 1},
                              TCase{10000, 0}, TCase{page, 0}}) {
            const TMapResult r = map.Map(c.Offset, c.Size);
            EXPECT_EQ(r.Head, c.Offset % page);
            EXPECT_EQ(r.Size, uint64_t(r.Head) + c.Size);
            EXPECT_EQ(reinterpret_cast<uintptr_t>(r.Ptr) % page, 0u);
            EXPECT_EQ(map.MappedSize(), c.Size);
            if (c.Size != 0) {
                EXPECT_EQ(std::string(static_cast<const char*>(map.Ptr()), c.Size),
                          data.substr(size_t(c.Offset), c.Size));
            }
        }
        map.Unmap();
        EXPECT_EQ(map.Ptr(), nullptr);
    }
}

TEST_F(TMemoryMapTest, WindowsOutsideTheFileAreRefused) {
    const Stroka name = Make("f", MappedPattern(10000));
    TMemoryMap map(name);
    EXPECT_EQ(KExceptionOf([&] { map.Map(10001, 0); }), "Can't map something at offset 10001 of '" +
                                                            std::string(name.c_str()) +
                                                            "' with length 10000");
    errno = EDOM;
    EXPECT_EQ(KExceptionOf([&] { map.Map(9999, 2); }), "Can't map 2 bytes at offset 9999 of '" +
                                                           std::string(name.c_str()) +
                                                           "': " + strerror(EDOM));
    EXPECT_NE(KExceptionOf([&] { map.Map(1, uint64_t(-1)); }), "");
    EXPECT_EQ(KExceptionOf([&] { map.Map(-1, 1); }), "Can't map something at offset -1 of '" +
                                                         std::string(name.c_str()) +
                                                         "' with length 10000");
}

TEST_F(TMemoryMapTest, EmptyFileMapsWhole) {
    const Stroka name = Make("empty", "");
    for (uint32_t mode :
         {uint32_t(TMemoryMap::oRdOnly), TMemoryMap::oRdOnly | TMemoryMap::oNotGreedy}) {
        TFileMap map(name, mode);
        const TMapResult r = map.Map(0, 0);
        EXPECT_EQ(r.Size, 0u);
        EXPECT_NE(KExceptionOf([&] { map.Map(0, 1); }), "");
    }
    TMappedFile whole(name);
    EXPECT_EQ(whole.Length(), 0u);
}

TEST_F(TMemoryMapTest, WholeMappingLivesWithLastHandle) {
    const std::string data = MappedPattern(5000);
    const Stroka name = Make("f", data);
    auto first = std::make_unique<TMemoryMap>(name);
    TMemoryMap second = *first;
    const TMapResult r = first->Map(100, 50);
    EXPECT_TRUE(first->Unmap(r));  // a slice of the whole mapping: nothing to do
    first.reset();
    EXPECT_TRUE(second.IsOpen());
    EXPECT_EQ(std::string(static_cast<const char*>(r.Ptr) + r.Head, 50), data.substr(100, 50));
    EXPECT_NO_THROW(second.SetSequential());
    EXPECT_NO_THROW(second.Evict());
    EXPECT_EQ(std::string(static_cast<const char*>(r.Ptr) + r.Head, 50), data.substr(100, 50));

    const std::string error =
        KExceptionOf([&] { second.Evict(static_cast<char*>(r.Ptr) + 1, 10); });
    EXPECT_EQ(error.rfind("error evecting {0x", 0), 0u) << error;
    EXPECT_NE(error.find(", 10} with MADV_FREE: " + std::string(strerror(EINVAL))),
              std::string::npos)
        << error;
}

TEST_F(TMemoryMapTest, ClosedFileIsRefused) {
    const std::string closed = KExceptionOf([] {
        const TFile file;
        errno = EDOM;
        TMemoryMap map(file);
    });
    EXPECT_EQ(closed,
              std::string("TMemoryMap: TFile 'Unknown_file_name' is not open, ") + strerror(EDOM));

    FILE* stream = fopen(Make("s", "x").c_str(), "r");
    ASSERT_NE(stream, nullptr);
    close(fileno(stream));  // the stream's descriptor cannot be duplicated any more
    EXPECT_EQ(KExceptionOf([&] { TMemoryMap map(stream, TMemoryMap::oRdOnly, "stdio"); }),
              std::string("TMemoryMap: FILE 'stdio' is not open, ") + strerror(EBADF));
    fclose(stream);

    EXPECT_THROW(TMemoryMap(Stroka((Dir + "/none").c_str())), TFileError);
}

TEST_F(TMemoryMapTest, MapsOverStdioStreamAndSharedFile) {
    const std::string data = MappedPattern(3000);
    const Stroka name = Make("s", data);
    FILE* stream = fopen(name.c_str(), "r");
    ASSERT_NE(stream, nullptr);
    TFileMap overStream(stream);
    fclose(stream);  // the map keeps its own descriptor
    overStream.Map(0, 3000);
    EXPECT_EQ(std::string(static_cast<const char*>(overStream.Ptr()), 3000), data);

    const TFile file(name, RdOnly);
    TMappedFile whole(file);
    EXPECT_EQ(std::string(static_cast<const char*>(whole.Data()), whole.Length()), data);
    EXPECT_EQ(whole.Precharge(), 0);
    TFileMap copy(overStream);
    EXPECT_EQ(copy.Ptr(), nullptr);  // a copy starts without a window
    EXPECT_EQ(copy.Length(), 3000);
}

TEST_F(TMemoryMapTest, WritableMapReachesTheFile) {
    const Stroka name = Make("w", "");
    {
        TMappedFile map(name, 8192, TMemoryMap::oRdWr);
        ASSERT_EQ(map.Length(), 8192u);
        memcpy(map.Data(), "written", 7);
        map.Flush();
    }
    TFile file(name, RdOnly);
    EXPECT_EQ(file.GetLength(), 8192);
    char buf[7];
    file.Load(buf, 7);
    EXPECT_EQ(std::string(buf, 7), "written");

    // A longer file is not shortened.
    TMemoryMap shorter(name, 100, TMemoryMap::oRdWr);
    EXPECT_EQ(shorter.Length(), 100);
    EXPECT_EQ(file.GetLength(), 8192);
}

TEST_F(TMemoryMapTest, InitReplacesOnlyAfterSuccess) {
    const Stroka a = Make("a", "first file");
    const Stroka b = Make("b", "second");
    TMappedFile map(a);
    const void* before = map.Data();
    EXPECT_THROW(map.Init(Stroka((Dir + "/missing").c_str())), TFileError);
    EXPECT_EQ(map.Data(), before);
    EXPECT_EQ(std::string(static_cast<const char*>(map.Data()), map.Length()), "first file");
    map.Init(b);
    EXPECT_EQ(std::string(static_cast<const char*>(map.Data()), map.Length()), "second");
    map.Term();
    EXPECT_EQ(map.Data(), nullptr);
    EXPECT_EQ(map.Precharge(), 0);
}

// Drops the file's pages from the page cache; false when the file system keeps them anyway.
bool DropCache(const Stroka& name, size_t length) {
    const int fd = open(name.c_str(), O_RDONLY);
    fdatasync(fd);
    posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    void* p = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    unsigned char first;
    const bool dropped = mincore(p, 1, &first) == 0 && (first & 1) == 0;
    munmap(p, length);
    return dropped;
}

// Residency of the file's pages in [from, to) as seen through a fresh mapping.
size_t ResidentPages(const Stroka& name, size_t length, size_t from, size_t to) {
    const int fd = open(name.c_str(), O_RDONLY);
    void* p = mmap(nullptr, length, PROT_READ, MAP_SHARED, fd, 0);
    close(fd);
    const size_t page = NSystemInfo::PageSize();
    std::vector<unsigned char> v((length + page - 1) / page);
    mincore(p, length, v.data());
    munmap(p, length);
    size_t resident = 0;
    for (size_t i = from / page; i < (to + page - 1) / page; ++i) {
        resident += v[i] & 1;
    }
    return resident;
}

TEST_F(TMemoryMapTest, PrechargeReadsTheWindowsOwnChunks) {
    const size_t length = 16 << 20;
    const Stroka name = Make("big", MappedPattern(length));
    if (!DropCache(name, length)) {
        GTEST_SKIP() << "the file system keeps file pages in memory";
    }
    const size_t page = NSystemInfo::PageSize();
    TFileMap map(name, TMemoryMap::oRdOnly | TMemoryMap::oNotGreedy);
    map.Map(8 << 20, 4 << 20);
    EXPECT_EQ(map.Precharge(), 0);
    EXPECT_EQ(ResidentPages(name, length, 8 << 20, 12 << 20), (4u << 20) / page);
    EXPECT_EQ(ResidentPages(name, length, 0, 4 << 20), 0u) << "pages before the window were read";

    // Beyond the size: nothing to do.
    EXPECT_EQ(map.Precharge(uint64_t(5) << 20, -1), 0);

    // A map in precharge mode precharges each window as it maps it.
    ASSERT_TRUE(DropCache(name, length));
    TFileMap eager(name, TMemoryMap::oRdOnly | TMemoryMap::oNotGreedy | TMemoryMap::oPrecharge);
    eager.Map(1 << 20, 1 << 20);
    EXPECT_EQ(ResidentPages(name, length, 1 << 20, 2 << 20), (1u << 20) / page);
}

// Untouched anonymous memory is never resident, so every chunk is read from the file: the file
// pages that come into the cache show which offsets were read.
TEST_F(TMemoryMapTest, PrechargeReadsTheChunkItTested) {
    const size_t length = 16 << 20;
    const Stroka name = Make("big", MappedPattern(length));
    if (!DropCache(name, length)) {
        GTEST_SKIP() << "the file system keeps file pages in memory";
    }
    const size_t page = NSystemInfo::PageSize();
    TMappedAllocation fresh(8 << 20);
    ASSERT_NE(fresh.Data(), nullptr);
    const TFile file(name, RdOnly);
    // The memory stands for the file from 8 MiB on; precharge its second and third MiB.
    EXPECT_EQ(Precharge(file, fresh.Data(), 8 << 20, 1 << 20, 2 << 20, 8 << 20), 0);
    EXPECT_EQ(ResidentPages(name, length, 9 << 20, 11 << 20), (2u << 20) / page);
    EXPECT_EQ(ResidentPages(name, length, 0, 2 << 20), 0u) << "read from the file's start";
    EXPECT_EQ(file.GetPosition(), 0) << "the shared file offset is not moved";
}

TEST(TMappedAllocationTest, AllocSwapAndRelease) {
    TMappedAllocation a(10000);
    ASSERT_NE(a.Data(), nullptr);
    EXPECT_EQ(a.Size(), 10000u);
    memset(a.Data(), 0x5A, 10000);
    TMappedAllocation b(0, true);
    EXPECT_EQ(b.Data(), nullptr);
    a.Swap(b);
    EXPECT_EQ(a.Data(), nullptr);
    ASSERT_EQ(b.Size(), 10000u);
    EXPECT_EQ(static_cast<unsigned char*>(b.Data())[9999], 0x5A);
    b.Dealloc();
    EXPECT_EQ(b.Data(), nullptr);
    EXPECT_EQ(b.Alloc(uint64_t(1) << 62), nullptr);
}

TEST_F(TMemoryMapTest, MappedFileInputReadsLines) {
    const Stroka name = Make("lines", "one\ntwo\r\nthree");
    TMappedFileInput in(name);
    Stroka line;
    std::string all;
    while (in.ReadLine(line)) {
        all += std::string(line.data(), line.size()) + "|";
    }
    EXPECT_EQ(all, "one|two|three|");
    EXPECT_THROW(TMappedFileInput(Stroka((Dir + "/none").c_str())), TFileError);

    // The mapping outlives the file handle it came from, and an empty file reads as empty.
    {
        TFile file(name, RdOnly);
        TMappedFileInput shared(file);
        file.Close();
        char head[3];
        ASSERT_EQ(shared.Read(head, sizeof(head)), 3u);
        EXPECT_EQ(std::string(head, 3), "one");
    }
    TMappedFileInput empty(Make("empty", ""));
    char c;
    EXPECT_EQ(empty.Read(&c, 1), 0u);
    EXPECT_FALSE(empty.ReadLine(line));
}

}  // namespace
