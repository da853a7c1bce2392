#include "util/stream/blob.h"

#include "util/generic/exception.h"
#include "util/stream/memory.h"
#include "util/stream/random_bytes_test_helpers.h"
#include "util/testing/exception_matchers.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Bytes(const TBlob& b) {
    return std::string(b.AsCharPtr(), b.Size());
}

using NStreamTest::RandomBytes;

// A file in the test's temporary directory, removed at the end of the test.
class TTempFile {
public:
    TTempFile(const char* name, const std::string& contents)
        : Name_(Stroka(::testing::TempDir().c_str()) + name) {
        TFile file(Name_, CreateAlways | WrOnly);
        file.Write(contents.data(), contents.size());
    }
    ~TTempFile() { std::remove(Name_.c_str()); }
    const Stroka& Name() const { return Name_; }

private:
    Stroka Name_;
};

TEST(Blob, EveryStorageKindHoldsItsBytes) {
    const std::string data = RandomBytes(100000, 1);
    const TTempFile file("blob_test_kinds.bin", data);
    const TFile opened(file.Name(), RdOnly);
    const TMemoryMap map(file.Name());

    struct TCase {
        const char* Name;
        std::function<TBlob()> Make;
    };
    const std::vector<TCase> cases = {
        {"Copy", [&] { return TBlob::Copy(data.data(), data.size()); }},
        {"CopySingleThreaded", [&] { return TBlob::CopySingleThreaded(data.data(), data.size()); }},
        {"FromString", [&] { return TBlob::FromString(Stroka(data.data(), data.size())); }},
        {"FromStringSingleThreaded",
         [&] { return TBlob::FromStringSingleThreaded(Stroka(data.data(), data.size())); }},
        {"FromBuffer",
         [&] {
             TBuffer b;
             b.Append(data.data(), data.size());
             return TBlob::FromBuffer(b);
         }},
        {"FromStream",
         [&] {
             TMemoryInput in(data.data(), data.size());
             return TBlob::FromStream(in);
         }},
        {"FromStreamSingleThreaded",
         [&] {
             TMemoryInput in(data.data(), data.size());
             return TBlob::FromStreamSingleThreaded(in);
         }},
        {"FromFileContent(path)", [&] { return TBlob::FromFileContent(file.Name()); }},
        {"FromFileContent(file)", [&] { return TBlob::FromFileContent(opened); }},
        {"FromFileContentSingleThreaded",
         [&] { return TBlob::FromFileContentSingleThreaded(file.Name()); }},
        {"FromFile(path)", [&] { return TBlob::FromFile(file.Name()); }},
        {"FromFile(file)", [&] { return TBlob::FromFile(opened); }},
        {"FromFileSingleThreaded", [&] { return TBlob::FromFileSingleThreaded(file.Name()); }},
        {"PrechargedFromFile", [&] { return TBlob::PrechargedFromFile(opened); }},
        {"PrechargedFromFileSingleThreaded",
         [&] { return TBlob::PrechargedFromFileSingleThreaded(file.Name()); }},
        {"FromMemoryMap", [&] { return TBlob::FromMemoryMap(map, 0, data.size()); }},
    };
    for (const auto& c : cases) {
        TBlob blob = c.Make();
        EXPECT_EQ(Bytes(blob), data) << c.Name;
        // Copies share the bytes, and a copy outlives the original handle.
        TBlob copy = blob;
        EXPECT_EQ(copy.Data(), blob.Data()) << c.Name;
        blob = TBlob();
        EXPECT_EQ(Bytes(copy), data) << c.Name;
        // A slice keeps the whole storage alive.
        const TBlob slice = copy.SubBlob(50000, 50010);
        copy = TBlob();
        EXPECT_EQ(Bytes(slice), data.substr(50000, 10)) << c.Name;
    }
}

TEST(Blob, PartialFileContentAndMapWindows) {
    const std::string data = RandomBytes(3 * 4096 + 123, 2);
    const TTempFile file("blob_test_windows.bin", data);
    const TFile opened(file.Name(), RdOnly);
    const TMemoryMap map(file.Name());
    // Offsets that are not page-aligned exercise the window's head.
    for (const auto& [offset, length] : std::vector<std::pair<size_t, size_t>>{
             {0, 10}, {5000, 100}, {4095, 2}, {4096, 4096}, {data.size() - 7, 7}}) {
        EXPECT_EQ(Bytes(TBlob::FromFileContent(opened, offset, length)),
                  data.substr(offset, length))
            << offset;
        EXPECT_EQ(Bytes(TBlob::FromMemoryMap(map, offset, length)), data.substr(offset, length))
            << offset;
    }
    // Reading past the end is the file layer's error.
    EXPECT_THROW(TBlob::FromFileContent(opened, data.size() - 1, 2), TFileError);
}

TEST(Blob, EmptyFileGivesEmptyBlob) {
    const TTempFile file("blob_test_empty.bin", "");
    EXPECT_TRUE(TBlob::FromFile(file.Name()).Empty());
    EXPECT_TRUE(TBlob::PrechargedFromFile(file.Name()).Empty());
    EXPECT_TRUE(TBlob::FromFileContent(file.Name()).Empty());
}

TEST(Blob, MissingFileRaisesTheFileError) {
    const Stroka name = Stroka(::testing::TempDir().c_str()) + "blob_test_missing.bin";
    EXPECT_THROW(TBlob::FromFileContent(name), TFileError);
    EXPECT_ANY_THROW(TBlob::FromFile(name));
}

TEST(Blob, SubBlobChecksItsRange) {
    const char text[] = "0123456789";
    const TBlob blob = TBlob::NoCopy(text, 10);
    EXPECT_EQ(blob.Data(), text);
    EXPECT_EQ(Bytes(blob.SubBlob(2, 5)), "234");
    EXPECT_EQ(Bytes(blob.SubBlob(4)), "0123");
    EXPECT_TRUE(blob.SubBlob(10, 10).Empty());
    EXPECT_EQ(Bytes(blob.SubBlob(3, 8).SubBlob(1, 2)), "4");

    struct TCase {
        size_t Begin, End;
        const char* Message;
    };
    const std::vector<TCase> bad = {
        {0, 11, "incorrect subblob (0, 11, outer length = 10)"},
        {3, 2, "incorrect subblob (3, 2, outer length = 10)"},
        {11, 11, "incorrect subblob (11, 11, outer length = 10)"},
    };
    for (const auto& c : bad) {
        EXPECT_THAT([&] { blob.SubBlob(c.Begin, c.End); }, RaisesMessage<kexception>(c.Message))
            << c.Message;
    }
    EXPECT_THAT([&] { TBlob().SubBlob(1); },
                RaisesMessage<kexception>("incorrect subblob (0, 1, outer length = 0)"))
        << "empty blob";
}

TEST(Blob, FromBufferTakesTheBlockWithoutCopying) {
    TBuffer buffer;
    buffer.Append("abcdef", 6);
    const char* block = buffer.Data();
    const TBlob blob = TBlob::FromBuffer(buffer);
    EXPECT_EQ(blob.AsCharPtr(), block);
    EXPECT_EQ(Bytes(blob), "abcdef");
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Capacity(), 0u);
    EXPECT_EQ(buffer.Size(), 0u);
}

TEST(Blob, CopiesOwnTheirBytes) {
    std::string data = "mutable";
    const TBlob copy = TBlob::Copy(data.data(), data.size());
    const TBlob deep = TBlob::NoCopy(data.data(), data.size()).DeepCopy();
    data[0] = 'X';
    EXPECT_EQ(Bytes(copy), "mutable");
    EXPECT_EQ(Bytes(deep), "mutable");
    // An empty copy still has its own storage, and so a data pointer.
    const TBlob empty = TBlob::Copy(nullptr, 0);
    EXPECT_TRUE(empty.Empty());
    EXPECT_NE(empty.Data(), nullptr);
    EXPECT_EQ(TBlob().Data(), nullptr);
}

TEST(Blob, StringStorageSharesTheStringBlock) {
    Stroka s("shared text");
    ASSERT_EQ(s.RefCount(), 1u);
    {
        const TBlob blob = TBlob::FromString(s);
        EXPECT_EQ(blob.AsCharPtr(), s.data());
        EXPECT_EQ(s.RefCount(), 2u);
        const TBlob copy = blob;
        EXPECT_EQ(s.RefCount(), 2u);
    }
    EXPECT_EQ(s.RefCount(), 1u);

    // Assign moves a handle from one storage to another, and onto its own storage.
    {
        TBlob blob = TBlob::FromString(s);
        Stroka other("other text");
        blob.Assign(TBlob::FromString(other));
        EXPECT_EQ(s.RefCount(), 1u);
        EXPECT_EQ(other.RefCount(), 2u);
        EXPECT_EQ(Bytes(blob), "other text");
        blob.Assign(blob);
        EXPECT_EQ(other.RefCount(), 2u);
        blob.Assign(blob.SubBlob(6, 10));
        EXPECT_EQ(Bytes(blob), "text");
        EXPECT_EQ(other.RefCount(), 2u);
    }

    // The blob keeps the block when the string goes.
    TBlob survivor;
    {
        Stroka temporary("only the blob keeps me");
        survivor = TBlob::FromStringSingleThreaded(temporary);
    }
    EXPECT_EQ(Bytes(survivor), "only the blob keeps me");
    EXPECT_TRUE(TBlob::FromString(Stroka()).Empty());
}

}  // namespace
