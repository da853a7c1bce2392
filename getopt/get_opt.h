// The classic getopt calling pattern over the option library:
//
//     TGetOpt opt(argc, argv, "ab:");
//     for (int c; (c = opt.Get()) != -1;) {
//         'a', 'b' (with opt.Arg), or '?' after an option error, which is already reported
//     }
//     free arguments: argv[opt.Ind] .. argv[argc - 1]
//
// Options may stand anywhere unless the getopt string begins with '+' (stop at the first free
// argument) or '-' (free arguments come back in order as 1). An element of two or more
// characters that begins with '+' is an option too. Every set answers "svnrevision".
#pragma once

#include "getopt/opts.h"
#include "getopt/opts_parser.h"
#include "util/stream/output.h"

#include <memory>

namespace NLastGetopt {

// One record of a long-option table; the table ends with a record whose Name is null.
struct TLongOption {
    const char* Name;  // without dashes
    int HasArg;        // EHasArg
    int* Flag;         // never read or written
    // An ASCII letter or digit makes the long option a second name of that short option;
    // any other value is what Get returns for it.
    int Val;
};

}  // namespace NLastGetopt

// Works on the caller's argv, which it reorders in place; argv and the long-option table must
// outlive it. Not thread-safe. The constructor raises the errors of the option set
// (NLastGetopt::TUsageException, TConfException) and "argv must have at least one argument".
class TGetOpt {
public:
    TGetOpt(int argc, char** argv, const char* optString,
            const NLastGetopt::TLongOption* longOptions = nullptr, bool longOnly = false,
            bool acceptUnknown = false);
    TGetOpt(const TGetOpt&) = delete;
    TGetOpt& operator=(const TGetOpt&) = delete;
    ~TGetOpt();

    void Init(int argc, char** argv, const char* optString,
              const NLastGetopt::TLongOption* longOptions = nullptr, bool longOnly = false,
              bool acceptUnknown = false);

    // The next option: its first short character, else its record's Val; 1 for a free
    // argument delivered in order (Arg points at it); '?' after an option error, whose message
    // went to standard error when Err is set; -1 at the end, and from then on after an error.
    // longIndex, when not null, receives the position of the option's record in the table.
    // Exceptions other than the library's own pass through.
    int Get(int* longIndex = nullptr);

    // The usage text of the option set for the running program's name.
    void PrintUsage(TOutputStream& out) const;

    // True once Get has met an option error.
    bool Finished() const noexcept { return Finished_; }

    // The value of the last option, or the free argument returned; null without one.
    const char* Arg = nullptr;
    // The next element to be read; after -1 the first free argument not delivered.
    int Ind = 1;
    // Whether option errors are written to standard error.
    bool Err = true;

private:
    std::unique_ptr<NLastGetopt::TOpts> Opts_;
    std::unique_ptr<NLastGetopt::TOptsParser> Parser_;
    const NLastGetopt::TLongOption* LongOptions_ = nullptr;
    bool Finished_ = false;
};

// Takes the first element made of '-' and a decimal number (such as -25) out of argv, before
// option parsing, and returns the number; -1 and nothing changed when there is none. Digits
// followed by more characters leave those behind the '-' (-12ab becomes -ab).
int GetNumberOption(int* argc, char** argv);
