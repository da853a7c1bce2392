#include "util/system/backtrace.h"

#include "util/stream/string_stream.h"
#include "util/system/demangle.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

// Exported with a plain C name: dladdr finds it but it does not demangle.
extern "C" __attribute__((noinline)) size_t LemmixPlainCaptureFrames(void** buf, size_t cap) {
    size_t n = BackTrace(buf, cap);
    asm volatile("" ::: "memory");  // keeps the call from becoming a tail call
    return n;
}

namespace NBackTraceTest {
__attribute__((noinline)) size_t Capture(void** buf, size_t cap) {
    size_t n = LemmixPlainCaptureFrames(buf, cap);
    asm volatile("" ::: "memory");  // keeps the call from becoming a tail call
    return n;
}

// Recurses `depth` times before capturing, to build a stack deeper than the capacity.
__attribute__((noinline)) size_t CaptureDeep(int depth, void** buf, size_t cap) {
    size_t n = depth == 0 ? Capture(buf, cap) : CaptureDeep(depth - 1, buf, cap);
    asm volatile("" ::: "memory");
    return n;
}

std::string Line(void* address) {
    Stroka printed;
    TStringOutput out(printed);
    FormatBackTrace(out, &address, 1);
    return std::string(printed.data(), printed.size());
}
}  // namespace NBackTraceTest

// The innermost frames are the capturing functions in call order: plain C names unchanged,
// C++ names demangled, each with the offset of the return address inside the function.
TEST(BackTrace, NamesCallersInnermostFirst) {
    void* frames[16];
    const size_t n = NBackTraceTest::Capture(frames, 16);
    ASSERT_GE(n, 3u);
    const std::string first = NBackTraceTest::Line(frames[0]);
    const std::string second = NBackTraceTest::Line(frames[1]);
    EXPECT_EQ(first.rfind("LemmixPlainCaptureFrames+", 0), 0u) << first;
    EXPECT_EQ(second.rfind("NBackTraceTest::Capture(void**, unsigned long)+", 0), 0u) << second;

    const uintptr_t start = reinterpret_cast<uintptr_t>(&LemmixPlainCaptureFrames);
    const uintptr_t offset = reinterpret_cast<uintptr_t>(frames[0]) - start;
    EXPECT_EQ(first, "LemmixPlainCaptureFrames+" + std::to_string(offset) + "\n");
    EXPECT_GT(offset, 0u);
}

// The stream form prints the same lines as the line formatter, one per frame.
TEST(BackTrace, CapturedTracePrintsOneLinePerFrame) {
    TBackTrace empty;
    EXPECT_EQ(empty.Size(), 0u);
    EXPECT_TRUE(empty.PrintAsString().empty());

    TBackTrace trace;
    trace.Capture();
    ASSERT_GE(trace.Size(), 2u);
    std::string expected;
    for (size_t i = 0; i < trace.Size(); ++i) {
        expected += NBackTraceTest::Line(trace.Addresses()[i]);
    }
    const Stroka printed = trace.PrintAsString();
    EXPECT_EQ(std::string(printed.data(), printed.size()), expected);
    EXPECT_EQ(expected.rfind("TBackTrace::Capture()+", 0), 0u) << expected;
    EXPECT_NE(expected.find("\nBackTrace_CapturedTracePrintsOneLinePerFrame_Test::TestBody()+"),
              std::string::npos)
        << expected;
}

// A stack deeper than the capacity gives exactly 300 lines.
TEST(BackTrace, DeepStackPrintsExactly300Lines) {
    struct TDeep {
        static __attribute__((noinline)) void Run(int depth, Stroka& out) {
            if (depth == 0) {
                TStringOutput stream(out);
                FormatBackTrace(stream);
            } else {
                Run(depth - 1, out);
            }
            asm volatile("" ::: "memory");
        }
    };
    Stroka printed;
    TDeep::Run(400, printed);
    size_t lines = 0;
    for (size_t i = 0; i < printed.size(); ++i) {
        lines += printed[i] == '\n';
    }
    EXPECT_EQ(lines, 300u);
    EXPECT_EQ(
        std::string(printed.data(), printed.size()).rfind("FormatBackTrace(TOutputStream&)+", 0),
        0u);
}

TEST(BackTrace, StopsAtCapacity) {
    void* frames[300];
    EXPECT_EQ(NBackTraceTest::CaptureDeep(400, frames, 300), 300u);
    EXPECT_EQ(NBackTraceTest::CaptureDeep(400, frames, 0), 0u);
    void* few[2];
    EXPECT_EQ(NBackTraceTest::CaptureDeep(10, few, 2), 2u);
}

TEST(BackTrace, AddressWithoutSymbolPrintsQuestionMarks) {
    char buf[64];
    const TResolvedSymbol sym = ResolveSymbol(reinterpret_cast<void*>(0x10), buf, sizeof(buf));
    EXPECT_STREQ(sym.Name, "??");
    EXPECT_EQ(sym.NearestSymbol, reinterpret_cast<void*>(0x10));
    EXPECT_EQ(NBackTraceTest::Line(reinterpret_cast<void*>(0x10)), "??+0\n");
}

TEST(BackTrace, ResolvedNameIsCutToTheBuffer) {
    char buf[8];
    const TResolvedSymbol sym =
        ResolveSymbol(reinterpret_cast<void*>(&LemmixPlainCaptureFrames), buf, sizeof(buf));
    EXPECT_STREQ(sym.Name, "LemmixP");
    EXPECT_EQ(sym.NearestSymbol, reinterpret_cast<void*>(&LemmixPlainCaptureFrames));
}

TEST(Demangler, DemanglesOrReturnsTheSameName) {
    TDemangler demangler;
    EXPECT_STREQ(demangler.Demangle("_ZN3Foo3BarEi"), "Foo::Bar(int)");
    EXPECT_STREQ(demangler.Demangle("_ZNK1A1fEv"), "A::f() const");
    const char* plain = "main";
    EXPECT_EQ(demangler.Demangle(plain), plain);
}
