// The option parser: walks an argument vector against an option set and delivers one option
// occurrence, default value or in-order free argument per call of Next.
//
//     TOptsParser parser(&opts, argc, argv);
//     while (parser.Next()) {
//         use parser.CurrentOpt() and parser.CurrentValue();
//     }
//     free arguments: argv[parser.Pos()] .. argv[argc - 1]
//
// An element is an option when it has two or more characters and begins with "-" (a cluster of
// short options, or a long option in the single-dash mode), "--" followed by a name, or "+"
// (only with LongWithPlus: a long name, else a cluster of short ones). "-", "" and "--" are not.
#pragma once

#include "getopt/opts.h"
#include "util/generic/string.h"

#include <deque>
#include <memory>
#include <unordered_set>

namespace NLastGetopt {

// Neither the option set nor argv is owned; both must outlive the parser, since the delivered
// values point into them. With PermuteFreeArgs the parser reorders the pointers of argv in
// place. Not thread-safe.
class TOptsParser {
public:
    TOptsParser() = default;
    // Init.
    TOptsParser(const TOpts* opts, int argc, const char** argv);
    TOptsParser(const TOpts* opts, int argc, char** argv);

    // Validates the set (TConfException) and refuses argc < 1 (TUsageException "argv must have
    // at least one argument"); then starts at argv[1].
    void Init(const TOpts* opts, int argc, const char** argv);
    void Init(const TOpts* opts, int argc, char** argv);

    // True when a step delivered something: read CurrentOpt and CurrentValue. False when
    // nothing is left: Pos is then the first free argument. The handlers of a delivered option
    // run inside the call. A user error raises TUsageException and leaves the parser as it was
    // before the call, so the next call meets the same element again.
    bool Next();

    const TOpts* Opts() const noexcept { return Opts_; }
    size_t Argc() const noexcept { return Argc_; }
    const char** Argv() const noexcept { return Argv_; }
    const Stroka& ProgramName() const noexcept { return ProgramName_; }
    // The next element to read.
    size_t Pos() const noexcept { return State_.Pos; }
    // Null for a free argument. An option made for an accepted unknown character lives only
    // until the next call of Next.
    const TOpt* CurrentOpt() const noexcept { return State_.CurrentOpt; }
    // NUL-terminated, pointing into argv or into a default value; null when the step carried
    // no value, "" for an element that ends in '='.
    const char* CurrentValue() const noexcept { return State_.CurrentValue; }
    // True once the options of argv are over; the steps after that deliver default values.
    bool Stopped() const noexcept { return State_.Stopped; }

private:
    enum EKind { NotOption = 0, ShortOrSingleDash = 1, DoubleDashLong = 2, PlusLong = 3 };

    struct TState {
        size_t Pos = 1;
        size_t Sop = 0;  // the next character inside an open cluster, 0 when none is open
        // An option's argument may come from the elements before this one only. Behind the
        // option moved in front of free arguments it is the end of what moved, so that a free
        // argument never becomes the value of an optional argument or an unknown character.
        size_t ArgLimit = 0;
        bool Stopped = false;
        bool GotMinusMinus = false;
        const TOpt* CurrentOpt = nullptr;
        const char* CurrentValue = nullptr;
        std::unordered_set<const TOpt*> SeenOpts;
        std::deque<const TOpt*> PendingDefaults;
    };

    EKind IsOpt(const char* s) const noexcept;
    bool Commit(const TOpt* option, const char* value, size_t pos, size_t sop);
    bool EndOptions(size_t pos);
    bool DoNext();
    bool ParseOption(size_t pos);
    bool ParseShortOption(size_t pos, size_t sop);
    bool ParseOptionArgument(const TOpt* option, size_t next);
    bool ParseUnknownShortOption(size_t pos, size_t sop);
    bool PermuteAndParse();
    void Finish();
    void DeliverDefault();
    void RunHandlers();

    const TOpts* Opts_ = nullptr;
    size_t Argc_ = 0;
    const char** Argv_ = nullptr;
    Stroka ProgramName_;
    std::unique_ptr<TOpt> TempOpt_;
    TState State_;
};

}  // namespace NLastGetopt
