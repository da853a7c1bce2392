#include "util/generic/memory_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// Records every block it hands out and takes back; can add slack to each block or fail.
class TRecordingAllocator : public IAllocator {
public:
    TBlock Allocate(size_t len) override {
        if (FailNext) {
            FailNext = false;
            throw std::bad_alloc();
        }
        TBlock block{std::malloc(len + Slack), len + Slack};
        Requested.push_back(len);
        return block;
    }

    void Release(const TBlock& block) override {
        Released.push_back(block.Len);
        std::free(block.Data);
    }

    size_t Slack = 0;
    bool FailNext = false;
    std::vector<size_t> Requested;
    std::vector<size_t> Released;
};

struct TGrowthCase {
    const char* Name;
    size_t BlockSize;
    bool Exponential;
    size_t Request;
    std::vector<size_t> ExpectedChunks;
};

TEST(MemoryPoolTest, ChunkSizesFollowTheGrowthPolicy) {
    const std::vector<TGrowthCase> cases = {
        // Hints 80, 160, 320 plus the 32-byte header, rounded up to powers of two.
        {"exp80", 80, true, 80, {128, 256, 512}},
        {"linear80", 80, false, 80, {128, 128, 128}},
        // 8192 + 32 rounds up to 16384; the block size then doubles from 8192.
        {"exp8192", 8192, true, 100, {16384, 32768, 65536}},
        {"linear8192", 8192, false, 4000, {16384, 16384, 16384}},
        // A request above the block size gets a chunk sized from the request; the block size
        // then doubles from the request.
        {"exp_large_request", 80, true, 1000, {2048, 2048, 4096}},
    };
    for (const TGrowthCase& c : cases) {
        TRecordingAllocator alloc;
        TMemoryPool::IGrowPolicy* grow = c.Exponential ? TMemoryPool::TExpGrow::Instance()
                                                       : TMemoryPool::TLinearGrow::Instance();
        TMemoryPool pool(c.BlockSize, grow, &alloc);
        while (alloc.Requested.size() < c.ExpectedChunks.size()) {
            pool.Allocate(c.Request);
        }
        EXPECT_EQ(alloc.Requested, c.ExpectedChunks) << c.Name;
    }
}

TEST(MemoryPoolTest, BlockSizeHintComesFromTheLargerOfRequestAndBlockSize) {
    TRecordingAllocator alloc;
    TMemoryPool pool(100, TMemoryPool::TExpGrow::Instance(), &alloc);
    EXPECT_EQ(pool.BlockSize(), 100u);
    pool.Allocate(10);
    EXPECT_EQ(alloc.Requested.back(), 256u);  // 100 + 32 -> 256
    EXPECT_EQ(pool.BlockSize(), 200u);        // the hint is doubled, not the chunk size
    pool.Allocate(500);                       // does not fit the 224 usable bytes
    EXPECT_EQ(alloc.Requested.back(), 1024u);
    EXPECT_EQ(pool.BlockSize(), 1008u);  // 500 rounded up to 504, doubled
}

TEST(MemoryPoolTest, RoundsRequestsToEightBytes) {
    TRecordingAllocator alloc;
    TMemoryPool pool(80, TMemoryPool::TLinearGrow::Instance(), &alloc);

    char* first = static_cast<char*>(pool.Allocate(1));
    char* second = static_cast<char*>(pool.Allocate(0));  // the current position, nothing used
    char* third = static_cast<char*>(pool.Allocate(9));
    char* fourth = static_cast<char*>(pool.Allocate(8));
    EXPECT_EQ(second - first, 8);
    EXPECT_EQ(third, second);
    EXPECT_EQ(fourth - third, 16);
    for (char* p : {first, third, fourth}) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
    }
    EXPECT_EQ(alloc.Requested.size(), 1u);
}

TEST(MemoryPoolTest, RequestOfExactlyTheBytesLeftIsServedFromTheCurrentChunk) {
    TRecordingAllocator alloc;
    TMemoryPool pool(80, TMemoryPool::TExpGrow::Instance(), &alloc);
    char* first = static_cast<char*>(pool.Allocate(8));  // chunk of 128: 96 usable, 88 left
    char* rest = static_cast<char*>(pool.Allocate(88));
    EXPECT_EQ(rest, first + 8);
    EXPECT_EQ(alloc.Requested.size(), 1u);
    std::memset(rest, 0xAB, 88);  // the whole rest belongs to the caller
    pool.Allocate(1);
    EXPECT_EQ(alloc.Requested.size(), 2u);
}

TEST(MemoryPoolTest, UsesTheWholeBlockTheAllocatorGives) {
    TRecordingAllocator alloc;
    alloc.Slack = 64;
    TMemoryPool pool(80, TMemoryPool::TExpGrow::Instance(), &alloc);
    pool.Allocate(96);
    pool.Allocate(64);  // fits only in the slack beyond the 128 bytes asked for
    EXPECT_EQ(alloc.Requested.size(), 1u);
}

TEST(MemoryPoolTest, ClearReleasesEveryChunkWholeAndStartsOver) {
    TRecordingAllocator alloc;
    alloc.Slack = 8;
    TMemoryPool pool(80, TMemoryPool::TExpGrow::Instance(), &alloc);
    for (int i = 0; i < 6; ++i) {
        pool.Allocate(80);
    }
    ASSERT_EQ(alloc.Requested, (std::vector<size_t>{128, 256, 512}));
    pool.Clear();
    // Newest first, each with the full length the allocator gave.
    EXPECT_EQ(alloc.Released, (std::vector<size_t>{520, 264, 136}));
    EXPECT_EQ(pool.BlockSize(), 80u);

    pool.Allocate(80);
    EXPECT_EQ(alloc.Requested.back(), 128u);
}

TEST(MemoryPoolTest, DestructionReleasesEveryChunk) {
    TRecordingAllocator alloc;
    {
        TMemoryPool pool(80, TMemoryPool::TLinearGrow::Instance(), &alloc);
        for (int i = 0; i < 5; ++i) {
            pool.Allocate(96);
        }
    }
    EXPECT_EQ(alloc.Released.size(), alloc.Requested.size());
    EXPECT_EQ(alloc.Released.size(), 5u);
}

TEST(MemoryPoolTest, AllocatorFailureLeavesThePoolUsable) {
    TRecordingAllocator alloc;
    TMemoryPool pool(80, TMemoryPool::TExpGrow::Instance(), &alloc);
    alloc.FailNext = true;
    EXPECT_THROW(pool.Allocate(8), std::bad_alloc);
    EXPECT_EQ(pool.BlockSize(), 80u);  // the hint changes only after a successful allocation
    pool.Allocate(8);
    EXPECT_EQ(alloc.Requested, (std::vector<size_t>{128}));
}

TEST(MemoryPoolTest, ImpossibleSizesAreAllocationFailures) {
    TRecordingAllocator alloc;
    TMemoryPool pool(80, TMemoryPool::TExpGrow::Instance(), &alloc);
    for (size_t len : {SIZE_MAX, SIZE_MAX - 3, SIZE_MAX / 2 + 1}) {
        EXPECT_THROW(pool.Allocate(len), std::bad_alloc) << len;
    }
    EXPECT_TRUE(alloc.Requested.empty());
    TMemoryPool hugeBlocks(SIZE_MAX / 2, TMemoryPool::TExpGrow::Instance(), &alloc);
    EXPECT_THROW(hugeBlocks.Allocate(8), std::bad_alloc);
}

TEST(MemoryPoolTest, AllocationsDoNotOverlap) {
    // The sanitizer build catches a write past a chunk; the pattern check catches overlap.
    TMemoryPool pool(64);
    std::vector<std::pair<unsigned char*, size_t>> pieces;
    for (size_t i = 0; i < 300; ++i) {
        const size_t len = (i * 37) % 700;
        auto* p = static_cast<unsigned char*>(pool.Allocate(len));
        std::memset(p, static_cast<int>(i & 0xFF), len);
        pieces.emplace_back(p, len);
    }
    for (size_t i = 0; i < pieces.size(); ++i) {
        for (size_t j = 0; j < pieces[i].second; ++j) {
            ASSERT_EQ(pieces[i].first[j], i & 0xFF) << i;
        }
    }
}

TEST(MemoryPoolTest, NewBuildsObjectsInPoolMemory) {
    struct TPoint {
        int X = 1;
        int Y = 2;
    };
    TMemoryPool pool(128);
    TPoint* point = pool.New<TPoint>();
    EXPECT_EQ(point->X + point->Y, 3);
    uint64_t* zeros = pool.NewArray<uint64_t>(10);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(zeros[i], 0u);
    }
    EXPECT_THROW(pool.NewArray<uint64_t>(SIZE_MAX / 4), std::bad_alloc);
}

TEST(MemoryPoolTest, ProcessWideInstances) {
    EXPECT_EQ(TMemoryPool::TExpGrow::Instance(), TMemoryPool::TExpGrow::Instance());
    EXPECT_EQ(TMemoryPool::TLinearGrow::Instance(), TMemoryPool::TLinearGrow::Instance());
    EXPECT_EQ(TMemoryPool::TExpGrow::Instance()->Next(40), 80u);
    EXPECT_EQ(TMemoryPool::TLinearGrow::Instance()->Next(40), 40u);

    IAllocator* alloc = TDefaultAllocator::Instance();
    EXPECT_EQ(alloc, TDefaultAllocator::Instance());
    IAllocator::TBlock block = alloc->Allocate(100);
    ASSERT_NE(block.Data, nullptr);
    EXPECT_EQ(block.Len, 100u);
    alloc->Release(block);
}

}  // namespace
