// Shared files: piecewise reads and writes, sharing, and the exact error texts.
#include "util/system/file.h"

#include "util/generic/exception.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>

namespace {

// Runs the call and returns what() of the TFileError it raises ("" when it raises nothing).
std::string FileErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const TFileError& e) {
        return e.what();
    }
    return "";
}

class TFileTest : public ::testing::Test {
protected:
    TScratchDir Scratch;
    const std::string Dir = Scratch.Path();

    Stroka Path(const char* name) const { return Stroka((Dir + "/" + name).c_str()); }
    std::string Quoted(const char* name) const { return "\"" + Dir + "/" + name + "\""; }
};

TEST_F(TFileTest, OpenFailureNamesFileAndMode) {
    const Stroka name = Path("missing");
    EXPECT_EQ(FileErrorOf([&] { TFile(name, RdOnly | Seq); }),
              SystemErrorPrefix(ENOENT) + "can't open " + Quoted("missing") +
                  " with mode RdOnly|Seq (0x28)");

    TFile(Path("exists"), CreateAlways);
    EXPECT_EQ(FileErrorOf([&] { TFile(Path("exists"), CreateNew | RdWr | ARW); }),
              SystemErrorPrefix(EEXIST) + "can't open " + Quoted("exists") +
                  " with mode RdWr|CreateNew|AR|AW (0x664001B)");

    // The name is escaped inside the quotes.
    EXPECT_EQ(
        FileErrorOf([&] { TFile(Path("a\"b\n"), RdOnly); }),
        SystemErrorPrefix(ENOENT) + "can't open \"" + Dir + "/a\\\"b\\n\" with mode RdOnly (0x8)");
}

TEST_F(TFileTest, ReadLoadAndPload) {
    TFile f(Path("ten"), CreateAlways | RdWr);
    f.Write("0123456789", 10);
    EXPECT_EQ(f.GetLength(), 10);
    EXPECT_EQ(f.GetPosition(), 10);
    EXPECT_EQ(f.Seek(0, 0), 0);

    char buf[100];
    EXPECT_EQ(f.Read(buf, 100), 10u);
    EXPECT_EQ(std::string(buf, 10), "0123456789");
    EXPECT_EQ(f.Pread(buf, 4, 8), 2u);
    f.Pload(buf, 3, 7);
    EXPECT_EQ(std::string(buf, 3), "789");

    f.Seek(0, 0);
    const std::string loadError = FileErrorOf([&] { f.Load(buf, 100); });
    EXPECT_NE(loadError.find(") can't read 100 bytes from " + Quoted("ten")), std::string::npos)
        << loadError;
    const std::string ploadError = FileErrorOf([&] { f.Pload(buf, 5, 8); });
    EXPECT_NE(ploadError.find(") can't read 5 bytes at offset 8 from " + Quoted("ten")),
              std::string::npos)
        << ploadError;

    f.Pwrite("AB", 2, 20);
    EXPECT_EQ(f.GetLength(), 22);
    EXPECT_EQ(f.Pread(buf, 2, 20), 2u);
    EXPECT_EQ(std::string(buf, 2), "AB");
}

TEST_F(TFileTest, FailingCallsReportTheirErrno) {
    TFile readOnly(Path("ro"), CreateAlways | RdOnly);
    EXPECT_EQ(FileErrorOf([&] { readOnly.Write("x", 1); }),
              SystemErrorPrefix(EBADF) + "can't write 1 bytes to " + Quoted("ro"));
    EXPECT_EQ(FileErrorOf([&] { readOnly.Seek(-5, 0); }),
              SystemErrorPrefix(EINVAL) + "can't seek -5 bytes in " + Quoted("ro"));
    EXPECT_EQ(FileErrorOf([&] { readOnly.Resize(7); }),
              SystemErrorPrefix(EINVAL) + "can't resize " + Quoted("ro") + " to size 7");
    TFile holder(Path("ro"), RdOnly);
    holder.Flock(LOCK_EX);
    EXPECT_EQ(FileErrorOf([&] { readOnly.Flock(LOCK_EX | LOCK_NB); }),
              SystemErrorPrefix(EWOULDBLOCK) + "can't flock " + Quoted("ro"));

    TFile dir(Stroka(Dir.c_str()), RdOnly);
    char c;
    EXPECT_EQ(FileErrorOf([&] { dir.Read(&c, 1); }),
              SystemErrorPrefix(EISDIR) + "can not read data from \"" + Dir + "\"");
}

TEST_F(TFileTest, ClosedFileFailsEveryOperation) {
    TFile f(Path("c"), CreateAlways);
    TFile copy = f;
    copy.Close();  // copies share one descriptor
    EXPECT_FALSE(f.IsOpen());
    EXPECT_NO_THROW(f.Close());

    const std::string q = Quoted("c");
    const std::string bad = SystemErrorPrefix(EBADF);
    char c;
    struct TCase {
        std::function<void()> Call;
        std::string Text;
    };
    const TCase cases[] = {
        {[&] { f.Read(&c, 1); }, bad + "can not read data from " + q},
        {[&] { f.Pread(&c, 1, 0); }, bad + "can not read data from " + q},
        {[&] { f.Write("x", 1); }, bad + "can't write 1 bytes to " + q},
        {[&] { f.Pwrite("x", 1, 0); }, bad + "can't write 1 bytes to " + q},
        {[&] { f.Seek(0, 0); }, bad + "can't seek 0 bytes in " + q},
        {[&] { f.Flush(); }, bad + "can't flush " + q},
        {[&] { f.FlushData(); }, bad + "can't flush data " + q},
        {[&] { f.Flock(LOCK_SH); }, bad + "can't flock " + q},
        {[&] { f.Resize(3); }, bad + "can't resize " + q + " to size 3"},
        {[&] { f.Reserve(3); }, bad + "can't reserve 3 for file " + q},
        {[&] { f.Duplicate(); }, bad + "can't duplicate the handle of " + q},
        {[&] { f.LinkTo(TFile(Path("other"), CreateAlways)); },
         bad + "can not link fd(" + Dir + "/c -> " + Dir + "/other)"},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(FileErrorOf(test.Call), test.Text);
    }
    // A zero length makes no call and cannot fail.
    EXPECT_EQ(f.Read(&c, 0), 0u);
    EXPECT_NO_THROW(f.Write("", 0));
}

TEST_F(TFileTest, DuplicateAndLinkShareData) {
    TFile a(Path("a"), CreateAlways | RdWr);
    TFile dup = a.Duplicate();
    EXPECT_EQ(dup.GetName(), a.GetName());
    EXPECT_NE(dup.GetHandle(), a.GetHandle());
    dup.Write("abc", 3);
    EXPECT_EQ(a.GetPosition(), 3);  // one open file, one offset
    a.Close();
    EXPECT_TRUE(dup.IsOpen());

    TFile b(Path("b"), CreateAlways | RdWr);
    b.LinkTo(dup);
    b.Write("d", 1);
    EXPECT_EQ(dup.GetLength(), 4);

    TFile adopted = DuplicateFile(dup.GetHandle());
    EXPECT_TRUE(adopted.IsOpen());
    EXPECT_EQ(adopted.GetLength(), 4);
    EXPECT_TRUE(adopted.GetName().empty());
    EXPECT_FALSE(DuplicateFile(-1).IsOpen());
    EXPECT_FALSE(TFile().IsOpen());

    b.Reserve(2);
    EXPECT_EQ(b.GetLength(), 4);
    b.Reserve(6);
    EXPECT_EQ(b.GetLength(), 6);
    b.Resize(1);
    EXPECT_EQ(TFileStat(b).Size, 1u);
}

TEST_F(TFileTest, TemporaryFilesLeaveNoName) {
    const std::string prefix = Dir + "/tmp";
    TFile t1 = TFile::CreateTemporary(prefix.c_str());
    TFile t2 = TFile::CreateTemporary(prefix.c_str());
    EXPECT_NE(t1.GetName(), t2.GetName());
    EXPECT_TRUE(t1.GetName().StartsWith(prefix.c_str()));
    EXPECT_EQ(access(t1.GetName().c_str(), F_OK), -1);
    t1.Write("x", 1);
    EXPECT_EQ(t1.GetLength(), 1);
    EXPECT_EQ(system(("test -z \"$(ls -A " + Dir + ")\"").c_str()), 0) << "a name was left";
}

}  // namespace
