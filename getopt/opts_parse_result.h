// A whole parse at once: runs a parser to its end and keeps every value it delivered, with
// queries by option, by short character and by long name.
//
//     TOptsParseResult result(&opts, argc, argv);  // an option error ends the process
//     const char* level = result.GetOrElse("level", "1");
#pragma once

#include "getopt/opts.h"
#include "getopt/opts_parser.h"
#include "util/generic/string.h"

#include <memory>
#include <vector>

namespace NLastGetopt {

// The values of one option: one pointer per occurrence that carried a value, in argv order.
// They point into argv or into the option set and are never copied.
struct TOptValues {
    const TOpt* Opt = nullptr;  // null for the free arguments delivered in order
    std::vector<const char*> Values;
};

// Not copyable; argv and the option set must outlive it. An option error met by the
// constructor goes to HandleError, which here writes the message and the usage text to
// standard error and ends the process with status 1.
class TOptsParseResult {
public:
    TOptsParseResult(const TOpts* opts, int argc, const char** argv);
    TOptsParseResult(const TOpts* opts, int argc, char** argv);
    TOptsParseResult(const TOptsParseResult&) = delete;
    TOptsParseResult& operator=(const TOptsParseResult&) = delete;
    virtual ~TOptsParseResult();

    // Parses anew; the errors of the set and of argv propagate.
    void Init(const TOpts* opts, int argc, const char** argv);

    // Called inside the handler of an option error.
    virtual void HandleError() const;

    // Given values; the default entry only with includeDefault and when the option was not
    // given at all. By character or long name the option is looked up first (TException).
    const TOptValues* FindResult(const TOpt* option, bool includeDefault = false) const;
    const TOptValues* FindResult(char c, bool includeDefault = false) const;
    const TOptValues* FindResult(const Stroka& name, bool includeDefault = false) const;
    bool Has(const TOpt* option, bool includeDefault = false) const;
    bool Has(char c, bool includeDefault = false) const;
    bool Has(const Stroka& name, bool includeDefault = false) const;
    // The last value; TUsageException "option ... is unspecified" without one.
    const char* Get(const TOpt* option, bool includeDefault = true) const;
    const char* Get(char c, bool includeDefault = true) const;
    const char* Get(const Stroka& name, bool includeDefault = true) const;
    // The last given value, else the default argument.
    const char* GetOrElse(const TOpt* option, const char* defaultValue) const;
    const char* GetOrElse(char c, const char* defaultValue) const;
    const char* GetOrElse(const Stroka& name, const char* defaultValue) const;

    const std::vector<TOptValues>& GivenResults() const noexcept { return GivenResults_; }
    const std::vector<TOptValues>& DefaultResults() const noexcept { return DefaultResults_; }
    size_t GetFreeArgsPos() const noexcept { return Parser_ ? Parser_->Pos() : 0; }
    std::vector<Stroka> GetFreeArgs() const;
    Stroka GetProgramName() const { return Parser_ ? Parser_->ProgramName() : Stroka(); }

protected:
    TOptsParseResult() = default;
    // Init, handing an option error to HandleError.
    void InitOrHandleError(const TOpts* opts, int argc, const char** argv);

private:
    TOptValues& ResultForCurrent();
    const TOpt* KeptUnknown(char c) const noexcept;

    std::unique_ptr<TOptsParser> Parser_;
    std::vector<TOptValues> GivenResults_;
    std::vector<TOptValues> DefaultResults_;
    // Options made for accepted unknown characters outlive the parser's step in these copies.
    std::vector<std::unique_ptr<TOpt>> UnknownOpts_;
};

// The same, except that an option error propagates to the caller.
class TOptsParseResultException : public TOptsParseResult {
public:
    TOptsParseResultException(const TOpts* opts, int argc, const char** argv);
    TOptsParseResultException(const TOpts* opts, int argc, char** argv);

    void HandleError() const override;
};

// An option handler for a help option: the usage text of the parser's set to standard error,
// then the end of the process with status 0.
[[noreturn]] void PrintUsageAndExit(const TOptsParser* parser);

}  // namespace NLastGetopt
