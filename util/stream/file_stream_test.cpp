// File and standard streams: byte-exact buffered copies, open errors, and failures of the final
// write-out (full disk, closed pipe) that must reach a caller who finishes explicitly.
#include "util/stream/file_stream.h"

#include "util/generic/exception.h"
#include "util/stream/random_bytes_test_helpers.h"
#include "util/stream/std_stream.h"
#include "util/system/sigpipe.h"
#include "util/testing/exception_matchers.h"
#include "util/testing/scratch_dir.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteWhole(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary);
    out << data;
}

using NStreamTest::RandomBytes;

// Runs the body in a child process and returns its exit status (the body's result: 0 for
// success, or a small code saying which check failed).
int InChild(const std::function<int()>& body) {
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
            code = 98;
        }
        _exit(code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

class TFileStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ForceSigPipeGuard(); }

    std::string Path(const char* name) const { return Dir + "/" + name; }

    TScratchDir Scratch;
    const std::string Dir = Scratch.Path();
};

const size_t CopySizes[] = {0, 1, 8191, 8192, 8193, 3 * 1024 * 1024 + 17};

TEST_F(TFileStreamTest, BufferedCopyIsByteExact) {
    for (size_t size : CopySizes) {
        const std::string data = RandomBytes(size, unsigned(size));
        WriteWhole(Path("src"), data);
        // Small scratch reads go through the input buffer, large ones bypass it.
        for (size_t scratch : {size_t(1000), size_t(65536)}) {
            SCOPED_TRACE(testing::Message() << size << " bytes, scratch " << scratch);
            {
                TBufferedFileInput in(Stroka(Path("src").c_str()), 8192);
                TBufferedFileOutput out(Stroka(Path("dst").c_str()), 8192);
                EXPECT_EQ(TransferData(&in, &out, scratch), size);
                out.Finish();
            }
            EXPECT_EQ(ReadWhole(Path("dst")) == data, true);
        }
    }
}

TEST_F(TFileStreamTest, StandardInputCopyIsByteExact) {
    for (size_t size : CopySizes) {
        SCOPED_TRACE(size);
        const std::string data = RandomBytes(size, unsigned(size) + 1);
        WriteWhole(Path("src"), data);
        const std::string src = Path("src");
        const std::string dst = Path("dst");
        EXPECT_EQ(InChild([&] {
                      const int fd = open(src.c_str(), O_RDONLY);
                      if (fd < 0 || dup2(fd, 0) != 0) {
                          return 1;
                      }
                      TBufferedInput in(&StdInStream(), 8192);
                      TBufferedFileOutput out(Stroka(dst.c_str()), 8192);
                      if (TransferData(&in, &out, 3000) != data.size()) {
                          return 2;
                      }
                      out.Finish();
                      return StdInStream().Read(nullptr, 0) == 0 ? 0 : 3;
                  }),
                  0);
        EXPECT_EQ(ReadWhole(dst) == data, true);
    }
}

TEST_F(TFileStreamTest, OpenErrors) {
    try {
        TFileInput in(Stroka(Path("missing").c_str()));
        FAIL();
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), SystemErrorPrefix(ENOENT) + "can't open \"" +
                                             Path("missing") + "\" with mode RdOnly|Seq (0x28)");
    }
    try {
        TFileOutput out(Stroka(Path("no/dir").c_str()));
        FAIL();
    } catch (const TFileError& e) {
        EXPECT_EQ(std::string(e.what()), SystemErrorPrefix(ENOENT) + "can't open \"" +
                                             Path("no/dir") +
                                             "\" with mode CreateAlways|WrOnly|Seq (0x34)");
    }
    EXPECT_THAT([&] { TFileInput in{TFile()}; }, RaisesMessage<TIoException>("file () not open"));
    EXPECT_THAT([&] { TFileOutput out{TFile()}; },
                RaisesMessage<TIoException>("closed file() passed"));
}

TEST_F(TFileStreamTest, OutputTruncatesAndSharedFileKeepsPosition) {
    WriteWhole(Path("f"), "old contents");
    {
        TFileOutput out(Stroka(Path("f").c_str()));
        out << "new";
    }
    EXPECT_EQ(ReadWhole(Path("f")), "new");

    TFile file(Stroka(Path("f").c_str()), RdOnly);
    file.Seek(1, 0);
    TFileInput in(file);
    EXPECT_EQ(in.ReadAll(), "ew");
}

TEST_F(TFileStreamTest, FullDiskReachesExplicitFinish) {
    auto out = std::make_unique<TBufferedFileOutput>(Stroka("/dev/full"), 8192);
    out->Write("abc", 3);  // buffered: nothing has failed yet
    EXPECT_THAT([&] { out->Finish(); },
                RaisesMessage<TFileError>(SystemErrorPrefix(ENOSPC) +
                                          "can't write 3 bytes to \"/dev/full\""))
        << "a write-out to a full disk must fail";
    EXPECT_NO_THROW(out.reset());

    // Without an explicit finish the error is swallowed.
    {
        TBufferedFileOutput silent(Stroka("/dev/full"), 8192);
        silent.Write("x", 1);
    }
}

TEST_F(TFileStreamTest, FlushThatFailsRaises) {
    TBufferedFileOutput out(Stroka("/dev/full"), 8192);
    out.Write("abc", 3);
    EXPECT_THROW(out.Flush(), TFileError);
    // A large write goes to the file at once.
    const std::string big(20000, 'x');
    EXPECT_THROW(out.Write(big.data(), big.size()), TFileError);
}

TEST_F(TFileStreamTest, FinishOnFileThatCannotSyncSucceeds) {
    TBufferedFileOutput out(Stroka("/dev/null"), 8192);
    out.Write("abc", 3);
    EXPECT_NO_THROW(out.Finish());
}

TEST_F(TFileStreamTest, ClosedPipeRaisesWriteError) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    TFileOutput out{TFile(fds[1])};
    EXPECT_THAT([&] { out.Write("hello", 5); },
                RaisesMessage<TFileError>(SystemErrorPrefix(EPIPE) + "can't write 5 bytes to \"\""))
        << "the pipe has no reader";
}

TEST_F(TFileStreamTest, StandardOutputReportsWriteAndFlushFailures) {
    // A closed pipe: fwrite reports the short count once the C library passes its buffer on.
    EXPECT_EQ(InChild([] {
                  int fds[2];
                  if (pipe(fds) != 0 || dup2(fds[1], 1) != 1) {
                      return 1;
                  }
                  close(fds[0]);
                  const std::string big(1 << 20, 'x');
                  try {
                      StdOutStream().Write(big.data(), big.size());
                      return 2;
                  } catch (const TSystemError& e) {
                      return std::string(e.what()) == SystemErrorPrefix(EPIPE) + "write failed" ? 0
                                                                                                : 3;
                  }
              }),
              0);
    // A full disk that only fflush sees.
    EXPECT_EQ(
        InChild([] {
            const int fd = open("/dev/full", O_WRONLY);
            if (fd < 0 || dup2(fd, 1) != 1) {
                return 1;
            }
            StdOutStream() << "a line";
            try {
                StdOutStream().Flush();
                return 2;
            } catch (const TSystemError& e) {
                return std::string(e.what()) == SystemErrorPrefix(ENOSPC) + "flush failed" ? 0 : 3;
            }
        }),
        0);
    // Standard error with a short write.
    EXPECT_EQ(
        InChild([] {
            const int fd = open("/dev/full", O_WRONLY);
            if (fd < 0 || dup2(fd, 2) != 2) {
                return 1;
            }
            try {
                StdErrStream().Write("unbuffered", 10);
                return 2;
            } catch (const TSystemError& e) {
                return std::string(e.what()) == SystemErrorPrefix(ENOSPC) + "write failed" ? 0 : 3;
            }
        }),
        0);
}

TEST_F(TFileStreamTest, StandardStreamsAreSingletons) {
    EXPECT_EQ(&StdOutStream(), &StdOutStream());
    EXPECT_NE(static_cast<void*>(&StdOutStream()), static_cast<void*>(&StdErrStream()));
    EXPECT_EQ(&StdInStream(), &StdInStream());
    EXPECT_EQ(InChild([] {
                  const int fd = open("/dev/null", O_RDONLY);
                  if (fd < 0 || dup2(fd, 0) != 0) {
                      return 1;
                  }
                  char c;
                  return StdInStream().Read(&c, 1) == 0 ? 0 : 2;
              }),
              0);
}

}  // namespace
