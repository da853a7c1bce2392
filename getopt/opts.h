// An option set: the options a program accepts and the rules for its free arguments (the
// elements of argv that are not options). A set is built from a getopt(3)-style string, from
// options added one by one, or both; every set built by the constructor also answers the long
// option "svnrevision" with the build's revision line (svn_revision.h).
//
//     TOpts opts(TCharRange("ab:c::"));  // a without, b with, c with an optional argument
//     opts.AddOption(TOpt().AddLongName("level")).ArgTitle = "N";
#pragma once

#include "getopt/opt.h"
#include "util/generic/string.h"
#include "util/stream/output.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace NLastGetopt {

enum EFreeArgOrder : int {
    StopAtFreeArg = 0,    // the options end at the first free argument
    PermuteFreeArgs = 1,  // options behind free arguments are moved in front of them
    FreeArgsInOrder = 2,  // free arguments are delivered one by one between the options
};

// Owns its options; a pointer or reference to a stored option stays valid as long as the set.
// Not copyable. Lookups take the first match in the order of addition: Validate rejects the
// duplicates that would make that order matter.
class TOpts {
public:
    // The options of a getopt string (see AddCharOptions), then "svnrevision".
    explicit TOpts(const TCharRange& optString = TCharRange());
    TOpts(const TOpts&) = delete;
    TOpts& operator=(const TOpts&) = delete;

    // A leading '+' selects StopAtFreeArg, a leading '-' FreeArgsInOrder; every further
    // character is a short option, with a required argument when one ':' follows it and an
    // optional one when two follow. A character AddShortName refuses raises its error; the
    // options before it stay.
    void AddCharOptions(const TCharRange& optString);
    // Stores a copy; raises TConfException for an option without any name.
    TOpt& AddOption(const TOpt& option);
    void AddSvnRevisionOption();

    const std::vector<std::unique_ptr<TOpt>>& Opts() const noexcept { return Opts_; }

    // Null when no option has the name.
    const TOpt* FindCharOption(char c) const noexcept;
    TOpt* FindCharOption(char c) noexcept;
    const TOpt* FindLongOption(const Stroka& name) const noexcept;
    TOpt* FindLongOption(const Stroka& name) noexcept;
    // The same, raising TException for a name of no option.
    const TOpt& GetCharOption(char c) const;
    TOpt& GetCharOption(char c);
    const TOpt& GetLongOption(const Stroka& name) const;
    TOpt& GetLongOption(const Stroka& name);
    // The position of a stored option; TException "unknown option" for any other pointer.
    size_t IndexOf(const TOpt* option) const;

    bool HasAnyShortOption() const noexcept;
    bool HasAnyLongOption() const noexcept;

    // Describes free argument `position` for the usage text.
    void SetFreeArgTitle(size_t position, const Stroka& title, const Stroka& help = Stroka());
    // "ARG" and "No help, sorry" stand in for an undescribed or empty title and help.
    Stroka GetFreeArgTitle(size_t position) const;
    Stroka GetFreeArgHelp(size_t position) const;
    size_t FreeArgDescriptionCount() const noexcept { return FreeArgDescriptions_.size(); }

    // Raises TConfException for names defined twice and for inconsistent free-argument limits.
    void Validate() const;
    // The usage text, line by line, each line flushed.
    void PrintUsage(const TCharRange& programName, TOutputStream& out) const;

    EFreeArgOrder FreeArgOrder = PermuteFreeArgs;
    bool LongWithSingleDash = false;  // -name is a long option
    bool LongWithPlus = false;        // +name is a long option
    bool AcceptUnknownChars = false;  // an unknown short character is delivered, not refused
    uint32_t FreeArgsMin = 0;
    uint32_t FreeArgsMax = UINT32_MAX;  // unlimited

private:
    struct TFreeArgDescription {
        Stroka Title;
        Stroka Help;
    };

    std::vector<std::unique_ptr<TOpt>> Opts_;
    std::vector<TFreeArgDescription> FreeArgDescriptions_;
};

}  // namespace NLastGetopt
