#include "analyzer/lemmix_main.h"

#include "analyzer/analyzer_options.h"
#include "analyzer/driver.h"
#include "analyzer/standard_input.h"
#include "analyzer/usage.h"
#include "getopt/get_opt.h"
#include "util/charset/charset_names.h"
#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/stream/file_stream.h"
#include "util/stream/std_stream.h"
#include "util/system/file.h"
#include "util/system/file_identity.h"
#include "util/system/last_error.h"

#include <cstring>
#include <memory>

namespace {

constexpr char OptString[] = "?hvcnwlfsige:";
constexpr size_t FileBufferLength = 8192;
constexpr int StandardInputHandle = 0;

// Standard error is where failures go; when writing there fails too, nothing is left to tell.
void ReportLine(const Stroka& text) noexcept {
    try {
        StdErrStream() << text << Endl;
    } catch (...) {
    }
}

// The charset code of an -e argument; blanks around the name do not count.
ECharset ResolveEncoding(const char* argument) {
    const char* begin = argument;
    const char* end = argument + std::strlen(argument);
    auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (begin != end && blank(*begin)) {
        ++begin;
    }
    while (end != begin && blank(end[-1])) {
        --end;
    }
    return CharsetByName(Stroka(begin, static_cast<size_t>(end - begin)).c_str());
}

bool IsFileName(const Stroka& name) {
    return !(name == "-");
}

// A missing name, like "-", stands for the standard stream.
bool IsNamed(const Stroka& name) {
    return !name.empty() && IsFileName(name);
}

Stroka ShownName(const Stroka& name) {
    return IsNamed(name) ? name : Stroka("-");
}

bool SetFlag(int option, TAnalyzerOptions& options) {
    struct TFlag {
        char Option;
        bool TAnalyzerOptions::*Field;
    };
    static constexpr TFlag Flags[] = {
        {'c', &TAnalyzerOptions::CopyAll},        {'n', &TAnalyzerOptions::WordPerLine},
        {'w', &TAnalyzerOptions::DictionaryOnly}, {'l', &TAnalyzerOptions::LemmasOnly},
        {'f', &TAnalyzerOptions::Frequency},      {'s', &TAnalyzerOptions::SentenceMark},
        {'i', &TAnalyzerOptions::GrammarInfo},    {'g', &TAnalyzerOptions::GlueGrammar},
    };
    for (const TFlag& flag : Flags) {
        if (flag.Option == option) {
            options.*flag.Field = true;
            return true;
        }
    }
    return false;
}

// The first free argument names the input, the second the output; more are ignored.
struct TFileNames {
    Stroka Input;
    Stroka Output;
};

TFileNames FreeArguments(int ind, int argc, char** argv) {
    TFileNames names;
    if (ind < argc) {
        names.Input = Stroka(argv[ind++]);
    }
    if (ind < argc) {
        names.Output = Stroka(argv[ind]);
    }
    return names;
}

// Returns the exit status; -1 when the options ask for a run.
int ParseOptions(TGetOpt& getOpt, const char* programPath, TAnalyzerOptions& options) {
    for (int c; (c = getOpt.Get()) != -1;) {
        if (SetFlag(c, options)) {
            continue;
        }
        switch (c) {
            case '?':
            case 'h':
                // '?' is also what an option error gives, after its line went to standard error.
                PrintUsage(programPath, StdErrStream());
                return getOpt.Finished() ? 1 : 0;
            case 'v':
                StdOutStream() << "Lemmix " << LemmixVersion << Endl;
                return 0;
            case 'e': {
                const ECharset code = ResolveEncoding(getOpt.Arg);
                if (code == CODES_UNKNOWN) {
                    ReportLine(Stroka("Unrecognized encoding: \"") + getOpt.Arg + "\"");
                    return 1;
                }
                options.Encoding = code;
                break;
            }
            default:
                break;
        }
    }
    return -1;
}

int RunCommandLine(int argc, char** argv) {
    TGetOpt getOpt(argc, argv, OptString);
    TAnalyzerOptions options;
    if (const int status = ParseOptions(getOpt, argv[0], options); status >= 0) {
        return status;
    }
    const TFileNames names = FreeArguments(getOpt.Ind, argc, argv);

    // The input is opened first, so that a bad input name leaves an existing output untouched.
    std::unique_ptr<TBufferedFileInput> inputFile;
    TFileIdentity inputIdentity = TFileIdentity::OfStandardInput();
    int readError = 0;
    if (!IsNamed(names.Input)) {
        readError = KnownReadError(StandardInputHandle);
    } else {
        try {
            const TFile file(names.Input, RdOnly | Seq);
            inputIdentity = TFileIdentity::OfDescriptor(file.GetHandle());
            readError = KnownReadError(file.GetHandle());
            inputFile = std::make_unique<TBufferedFileInput>(file, FileBufferLength);
        } catch (...) {
            ReportLine(CurrentExceptionMessage() + ": " + names.Input);
            return 1;
        }
    }
    // An input that opens but cannot be read (a directory, a closed standard input) would
    // fail only at its first read, once the output file had been created or emptied.
    if (readError != 0) {
        ReportLine("the input file \"" + ShownName(names.Input) + "\" cannot be read (" +
                   SystemErrorText(readError) + "); nothing was written");
        return 1;
    }
    const TFileIdentity outputIdentity = IsNamed(names.Output)
                                             ? TFileIdentity::OfPath(names.Output.c_str())
                                             : TFileIdentity::OfStandardOutput();
    // Opening a named output truncates it, and an output opened to append (the shell's >>)
    // would be read back and analysed again without end: one regular file may not be both,
    // whichever of them is a standard stream. A terminal, a pipe or a device may well be both.
    if (inputIdentity.Regular && inputIdentity.SameFile(outputIdentity)) {
        ReportLine("the output file \"" + ShownName(names.Output) + "\" is the input file \"" +
                   ShownName(names.Input) + "\"; nothing was written");
        return 1;
    }
    std::unique_ptr<TBufferedFileOutput> outputFile;
    if (IsNamed(names.Output)) {
        try {
            outputFile = std::make_unique<TBufferedFileOutput>(names.Output, FileBufferLength);
        } catch (...) {
            ReportLine(CurrentExceptionMessage() + ": " + names.Output);
            return 1;
        }
    }
    TStandardInput standardInput;
    TInputStream& input = inputFile ? static_cast<TInputStream&>(*inputFile) : standardInput;
    TOutputStream& output = outputFile ? static_cast<TOutputStream&>(*outputFile) : StdOutStream();
    try {
        RunAnalysis(input, output, &options);
        // Finished here, not by a destructor that would swallow the error of a full disk.
        output.Finish();
    } catch (...) {
        ReportLine(CurrentExceptionMessage());
        ReportLine("Aborted.");
        return 1;
    }
    return 0;
}

}  // namespace

int LemmixMain(int argc, char** argv) {
    try {
        return RunCommandLine(argc, argv);
    } catch (...) {
        // An empty argument vector, or a standard stream that cannot be written.
        ReportLine(CurrentExceptionMessage());
        return 1;
    }
}
