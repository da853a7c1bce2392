#include "getopt/opts_parse_result.h"

#include "getopt/exception.h"
#include "util/generic/exception.h"
#include "util/stream/std_stream.h"

#include <cstdlib>

namespace NLastGetopt {

TOptsParseResult::TOptsParseResult(const TOpts* opts, int argc, const char** argv) {
    InitOrHandleError(opts, argc, argv);
}

TOptsParseResult::TOptsParseResult(const TOpts* opts, int argc, char** argv) {
    InitOrHandleError(opts, argc, const_cast<const char**>(argv));
}

TOptsParseResult::~TOptsParseResult() = default;

void TOptsParseResult::InitOrHandleError(const TOpts* opts, int argc, const char** argv) {
    try {
        Init(opts, argc, argv);
    } catch (const TException&) {
        HandleError();
    }
}

void TOptsParseResult::Init(const TOpts* opts, int argc, const char** argv) {
    auto parser = std::make_unique<TOptsParser>(opts, argc, argv);
    Parser_ = std::move(parser);
    GivenResults_.clear();
    DefaultResults_.clear();
    UnknownOpts_.clear();
    while (Parser_->Next()) {
        TOptValues& entry = ResultForCurrent();
        const TOpt* option = Parser_->CurrentOpt();
        if (Parser_->CurrentValue()) {
            entry.Values.push_back(Parser_->CurrentValue());
        } else if (option && option->HasArg == OptionalArgument && option->HasOptionalValue &&
                   !option->OptionalValue.empty()) {
            entry.Values.push_back(option->OptionalValue.c_str());
        }
    }
}

TOptValues& TOptsParseResult::ResultForCurrent() {
    const TOpt* option = Parser_->CurrentOpt();
    if (option && option->LongNames().empty() &&
        Parser_->Opts()->FindCharOption(option->GetCharOr0()) != option) {
        // An accepted unknown character: its option dies with the step, so keep a copy.
        const TOpt* kept = KeptUnknown(option->GetCharOr0());
        if (!kept) {
            UnknownOpts_.push_back(std::make_unique<TOpt>(*option));
            kept = UnknownOpts_.back().get();
        }
        option = kept;
    }
    if (Parser_->Stopped()) {
        DefaultResults_.push_back(TOptValues{option, {}});
        return DefaultResults_.back();
    }
    for (TOptValues& entry : GivenResults_) {
        if (entry.Opt == option) {
            return entry;
        }
    }
    GivenResults_.push_back(TOptValues{option, {}});
    return GivenResults_.back();
}

const TOpt* TOptsParseResult::KeptUnknown(char c) const noexcept {
    for (const auto& option : UnknownOpts_) {
        if (option->HasChar(c)) {
            return option.get();
        }
    }
    return nullptr;
}

void TOptsParseResult::HandleError() const {
    TOutputStream& err = StdErrStream();
    err << CurrentExceptionMessage() << "\n";
    err.Flush();
    if (Parser_) {
        Parser_->Opts()->PrintUsage(Parser_->ProgramName().AsRange(), err);
    }
    std::exit(1);
}

const TOptValues* TOptsParseResult::FindResult(const TOpt* option, bool includeDefault) const {
    for (const TOptValues& entry : GivenResults_) {
        if (entry.Opt == option) {
            return &entry;
        }
    }
    if (includeDefault) {
        for (const TOptValues& entry : DefaultResults_) {
            if (entry.Opt == option) {
                return &entry;
            }
        }
    }
    return nullptr;
}

const TOptValues* TOptsParseResult::FindResult(char c, bool includeDefault) const {
    if (const TOpt* kept = KeptUnknown(c)) {
        return FindResult(kept, includeDefault);
    }
    return FindResult(&Parser_->Opts()->GetCharOption(c), includeDefault);
}

const TOptValues* TOptsParseResult::FindResult(const Stroka& name, bool includeDefault) const {
    return FindResult(&Parser_->Opts()->GetLongOption(name), includeDefault);
}

bool TOptsParseResult::Has(const TOpt* option, bool includeDefault) const {
    return FindResult(option, includeDefault) != nullptr;
}

bool TOptsParseResult::Has(char c, bool includeDefault) const {
    return FindResult(c, includeDefault) != nullptr;
}

bool TOptsParseResult::Has(const Stroka& name, bool includeDefault) const {
    return FindResult(name, includeDefault) != nullptr;
}

const char* TOptsParseResult::Get(const TOpt* option, bool includeDefault) const {
    const TOptValues* entry = FindResult(option, includeDefault);
    if (!entry || entry->Values.empty()) {
        throw TUsageException() << "option " << option->ToShortString() << " is unspecified";
    }
    return entry->Values.back();
}

const char* TOptsParseResult::Get(char c, bool includeDefault) const {
    const TOpt* kept = KeptUnknown(c);
    return Get(kept ? kept : &Parser_->Opts()->GetCharOption(c), includeDefault);
}

const char* TOptsParseResult::Get(const Stroka& name, bool includeDefault) const {
    return Get(&Parser_->Opts()->GetLongOption(name), includeDefault);
}

const char* TOptsParseResult::GetOrElse(const TOpt* option, const char* defaultValue) const {
    const TOptValues* entry = FindResult(option, false);
    return entry && !entry->Values.empty() ? entry->Values.back() : defaultValue;
}

const char* TOptsParseResult::GetOrElse(char c, const char* defaultValue) const {
    return Has(c, false) ? Get(c, true) : defaultValue;
}

const char* TOptsParseResult::GetOrElse(const Stroka& name, const char* defaultValue) const {
    return Has(name, false) ? Get(name, true) : defaultValue;
}

std::vector<Stroka> TOptsParseResult::GetFreeArgs() const {
    std::vector<Stroka> args;
    if (!Parser_) {
        return args;
    }
    for (size_t i = Parser_->Pos(); i < Parser_->Argc(); ++i) {
        args.emplace_back(Parser_->Argv()[i]);
    }
    return args;
}

TOptsParseResultException::TOptsParseResultException(const TOpts* opts, int argc,
                                                     const char** argv) {
    InitOrHandleError(opts, argc, argv);
}

TOptsParseResultException::TOptsParseResultException(const TOpts* opts, int argc, char** argv) {
    InitOrHandleError(opts, argc, const_cast<const char**>(argv));
}

void TOptsParseResultException::HandleError() const {
    throw;
}

void PrintUsageAndExit(const TOptsParser* parser) {
    parser->Opts()->PrintUsage(parser->ProgramName().AsRange(), StdErrStream());
    std::exit(0);
}

}  // namespace NLastGetopt
