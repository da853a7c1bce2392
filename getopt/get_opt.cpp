#include "getopt/get_opt.h"

#include "getopt/exception.h"
#include "util/generic/exception.h"
#include "util/stream/std_stream.h"
#include "util/system/program_name.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

using namespace NLastGetopt;

TGetOpt::TGetOpt(int argc, char** argv, const char* optString, const TLongOption* longOptions,
                 bool longOnly, bool acceptUnknown) {
    Init(argc, argv, optString, longOptions, longOnly, acceptUnknown);
}

TGetOpt::~TGetOpt() {
    Parser_.reset();
    Opts_.reset();
}

void TGetOpt::Init(int argc, char** argv, const char* optString, const TLongOption* longOptions,
                   bool longOnly, bool acceptUnknown) {
    LongOptions_ = longOptions;
    Err = true;
    Finished_ = false;
    Parser_.reset();
    Opts_ = std::make_unique<TOpts>(TCharRange(optString));
    for (const TLongOption* record = longOptions; record && record->Name; ++record) {
        TOpt* option = nullptr;
        if (record->Val >= 0 && record->Val < 128 && std::isalnum(record->Val)) {
            const char c = static_cast<char>(record->Val);
            option = Opts_->FindCharOption(c);
            if (!option) {
                TOpt fresh;
                fresh.AddShortName(c);
                Opts_->AddOption(fresh);
                option = &Opts_->GetCharOption(c);
            }
            option->AddLongName(record->Name);
        } else {
            TOpt fresh;
            fresh.AddLongName(record->Name);
            Opts_->AddOption(fresh);
            option = &Opts_->GetLongOption(record->Name);
        }
        option->UserValue = const_cast<TLongOption*>(record);
        option->HasArg = static_cast<EHasArg>(record->HasArg);
    }
    Opts_->LongWithPlus = true;
    Opts_->LongWithSingleDash = longOnly;
    Opts_->AcceptUnknownChars = acceptUnknown;
    Parser_ = std::make_unique<TOptsParser>(Opts_.get(), argc, argv);
}

int TGetOpt::Get(int* longIndex) {
    if (Finished_) {
        return -1;
    }
    Arg = nullptr;
    try {
        const bool delivered = Parser_->Next();
        Ind = static_cast<int>(Parser_->Pos());
        if (!delivered) {
            return -1;
        }
    } catch (const TException&) {
        Finished_ = true;
        if (Err) {
            StdErrStream() << CurrentExceptionMessage() << Endl;
        }
        return '?';
    }
    Arg = Parser_->CurrentValue();
    const TOpt* option = Parser_->CurrentOpt();
    if (!option) {
        return 1;
    }
    const auto* record = static_cast<const TLongOption*>(option->UserValue);
    if (longIndex && record) {
        *longIndex = static_cast<int>(record - LongOptions_);
    }
    if (const char c = option->GetCharOr0()) {
        return static_cast<unsigned char>(c);
    }
    return record ? record->Val : 0;
}

void TGetOpt::PrintUsage(TOutputStream& out) const {
    Opts_->PrintUsage(GetProgramName().AsRange(), out);
}

int GetNumberOption(int* argc, char** argv) {
    if (*argc < 2) {
        return -1;
    }
    for (int i = 1; i < *argc; ++i) {
        char* element = argv[i];
        if (element[0] != '-' || element[1] < '0' || element[1] > '9') {
            continue;
        }
        char* end = nullptr;
        const int n = static_cast<int>(std::strtol(element + 1, &end, 10));
        if (*end) {
            std::memmove(element + 1, end, std::strlen(end) + 1);
        } else {
            std::memmove(argv + i, argv + i + 1,
                         static_cast<size_t>(*argc - i - 1) * sizeof(char*));
            --*argc;
        }
        return n;
    }
    return -1;
}
