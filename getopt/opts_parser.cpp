#include "getopt/opts_parser.h"

#include "getopt/exception.h"
#include "util/string/escape.h"

#include <algorithm>
#include <cstring>

namespace NLastGetopt {

TOptsParser::TOptsParser(const TOpts* opts, int argc, const char** argv) {
    Init(opts, argc, argv);
}

TOptsParser::TOptsParser(const TOpts* opts, int argc, char** argv) {
    Init(opts, argc, argv);
}

void TOptsParser::Init(const TOpts* opts, int argc, const char** argv) {
    opts->Validate();
    if (argc < 1) {
        throw TUsageException() << "argv must have at least one argument";
    }
    Opts_ = opts;
    Argc_ = static_cast<size_t>(argc);
    Argv_ = argv;
    ProgramName_ = Stroka(argv[0]);
    TempOpt_.reset();
    State_ = TState();
    State_.ArgLimit = Argc_;
}

void TOptsParser::Init(const TOpts* opts, int argc, char** argv) {
    Init(opts, argc, const_cast<const char**>(argv));
}

TOptsParser::EKind TOptsParser::IsOpt(const char* s) const noexcept {
    if (!s || !s[0] || !s[1]) {
        return NotOption;
    }
    if (s[0] == '+') {
        return Opts_->LongWithPlus ? PlusLong : NotOption;
    }
    if (s[0] == '-' && s[1] != '-') {
        return ShortOrSingleDash;
    }
    if (s[0] == '-' && s[2]) {
        return DoubleDashLong;
    }
    return NotOption;
}

bool TOptsParser::Commit(const TOpt* option, const char* value, size_t pos, size_t sop) {
    State_.Pos = pos;
    State_.Sop = sop;
    State_.CurrentOpt = option;
    State_.CurrentValue = value;
    if (option) {
        State_.SeenOpts.insert(option);
    }
    return true;
}

bool TOptsParser::EndOptions(size_t pos) {
    State_.Pos = pos;
    State_.Sop = 0;
    const size_t count = Argc_ - pos;
    const uint32_t min = Opts_->FreeArgsMin;
    const uint32_t max = Opts_->FreeArgsMax;
    if (min == max && count != min) {
        throw TUsageException() << "required exactly " << min << " free args";
    }
    if (count < min) {
        throw TUsageException() << "required at least " << min << " free args";
    }
    if (count > max) {
        throw TUsageException() << "required at most " << max << " free args";
    }
    return false;
}

bool TOptsParser::DoNext() {
    TState& s = State_;
    if (s.Pos == Argc_) {
        return EndOptions(s.Pos);
    }
    if (s.GotMinusMinus && Opts_->FreeArgOrder == FreeArgsInOrder) {
        return Commit(nullptr, Argv_[s.Pos], s.Pos + 1, 0);
    }
    if (s.Sop != 0) {
        return ParseShortOption(s.Pos, s.Sop);
    }
    s.ArgLimit = Argc_;
    const char* element = Argv_[s.Pos];
    if (IsOpt(element) != NotOption) {
        return ParseOption(s.Pos);
    }
    if (element && std::strcmp(element, "--") == 0) {
        if (Opts_->FreeArgOrder != FreeArgsInOrder) {
            return EndOptions(s.Pos + 1);
        }
        if (s.Pos + 1 == Argc_) {
            return EndOptions(Argc_);
        }
        s.GotMinusMinus = true;
        return Commit(nullptr, Argv_[s.Pos + 1], s.Pos + 2, 0);
    }
    switch (Opts_->FreeArgOrder) {
        case FreeArgsInOrder:
            return Commit(nullptr, element, s.Pos + 1, 0);
        case PermuteFreeArgs:
            return PermuteAndParse();
        case StopAtFreeArg:
            break;
    }
    return EndOptions(s.Pos);
}

bool TOptsParser::ParseOption(size_t pos) {
    const char* s = Argv_[pos];
    const EKind kind = IsOpt(s);
    if (kind == ShortOrSingleDash && !Opts_->LongWithSingleDash && Opts_->HasAnyShortOption()) {
        return ParseShortOption(pos, 1);
    }
    const char* rest = s + (kind == DoubleDashLong ? 2 : 1);
    const char* equals = std::strchr(rest, '=');
    const Stroka name = equals ? Stroka(rest, static_cast<size_t>(equals - rest)) : Stroka(rest);
    const char* value = equals ? equals + 1 : nullptr;
    const TOpt* option = Opts_->FindLongOption(name);
    if (option && !value) {
        return ParseOptionArgument(option, pos + 1);
    }
    if (option && option->HasArg == NoArgument) {
        throw TUsageException() << "option " << name << " must have no arg";
    }
    if (option) {
        return Commit(option, value, pos + 1, 0);
    }
    if (kind != DoubleDashLong && !value) {
        return ParseShortOption(pos, 1);
    }
    throw TUsageException() << "unknown option '" << name << "' in '" << s << "'";
}

bool TOptsParser::ParseShortOption(size_t pos, size_t sop) {
    const char* s = Argv_[pos];
    const size_t length = std::strlen(s);
    const char c = sop < length ? s[sop] : 0;
    const TOpt* option = Opts_->FindCharOption(c);
    if (!option) {
        return ParseUnknownShortOption(pos, sop);
    }
    if (sop + 1 >= length) {
        return ParseOptionArgument(option, pos + 1);
    }
    if (option->HasArg != NoArgument) {
        return Commit(option, s + sop + 1, pos + 1, 0);
    }
    return Commit(option, nullptr, pos, sop + 1);
}

bool TOptsParser::ParseOptionArgument(const TOpt* option, size_t next) {
    if (option->HasArg == NoArgument) {
        return Commit(option, nullptr, next, 0);
    }
    if (next >= State_.ArgLimit) {
        if (option->HasArg == OptionalArgument) {
            return Commit(option, nullptr, next, 0);
        }
        throw TUsageException() << "option " << option->ToShortString() << " must have arg";
    }
    const char* t = Argv_[next];
    if (t && t[0] == '-' && option->HasArg == OptionalArgument) {
        return Commit(option, nullptr, next, 0);
    }
    return Commit(option, t, next + 1, 0);
}

bool TOptsParser::ParseUnknownShortOption(size_t pos, size_t sop) {
    const char* s = Argv_[pos];
    const size_t length = std::strlen(s);
    const char c = sop < length ? s[sop] : 0;
    if (!Opts_->AcceptUnknownChars) {
        Stroka escaped;
        EscapeC(&c, 1, escaped);
        throw TUsageException() << "unknown option '" << escaped << "' in '" << s << "'";
    }
    auto option = std::make_unique<TOpt>();
    option->AddShortName(c);
    TempOpt_ = std::move(option);
    if (sop + 1 < length) {
        return Commit(TempOpt_.get(), nullptr, pos, sop + 1);
    }
    if (pos + 1 >= State_.ArgLimit || IsOpt(Argv_[pos + 1]) != NotOption) {
        return Commit(TempOpt_.get(), nullptr, pos + 1, 0);
    }
    return Commit(TempOpt_.get(), Argv_[pos + 1], pos + 2, 0);
}

bool TOptsParser::PermuteAndParse() {
    const size_t start = State_.Pos;
    size_t i = start;
    while (i < Argc_ && IsOpt(Argv_[i]) == NotOption) {
        ++i;
    }
    if (i == Argc_) {
        return EndOptions(start);
    }
    // Run through the whole option element and its argument to find where they end.
    State_.Pos = i;
    ParseOption(i);
    while (State_.Pos == i) {
        ParseShortOption(i, State_.Sop);
    }
    const size_t j = State_.Pos;
    std::rotate(Argv_ + start, Argv_ + i, Argv_ + j);
    State_.ArgLimit = start + (j - i);
    return ParseOption(start);
}

void TOptsParser::Finish() {
    const auto& all = Opts_->Opts();
    std::vector<Stroka> missingNames;
    std::vector<char> missingChars;
    for (const auto& holder : all) {
        const TOpt* option = holder.get();
        if (State_.SeenOpts.count(option)) {
            continue;
        }
        if (option->Required) {
            if (!option->LongNames().empty()) {
                missingNames.push_back(option->LongNames().front());
            } else {
                missingChars.push_back(option->GetChar());
            }
        } else if (option->HasDefaultValue) {
            State_.PendingDefaults.push_back(option);
        }
    }
    State_.SeenOpts.clear();
    const size_t missing = missingNames.size() + missingChars.size();
    if (missing == 0) {
        return;
    }
    TUsageException error;
    error << "The following option" << (missing == 1 ? " is" : "s are") << " required:";
    for (const Stroka& name : missingNames) {
        error << " --" << name;
    }
    for (char c : missingChars) {
        error << " -" << c;
    }
    throw error;
}

void TOptsParser::DeliverDefault() {
    const TOpt* option = State_.PendingDefaults.front();
    State_.PendingDefaults.pop_front();
    State_.CurrentOpt = option;
    State_.CurrentValue = option->DefaultValue.c_str();
    RunHandlers();
}

void TOptsParser::RunHandlers() {
    if (!State_.CurrentOpt) {
        return;
    }
    // The handlers are shared with the set; holding them keeps each alive through its call.
    const auto handlers = State_.CurrentOpt->Handlers();
    for (const auto& handler : handlers) {
        handler->HandleOpt(this);
    }
}

bool TOptsParser::Next() {
    if (!State_.PendingDefaults.empty()) {
        DeliverDefault();
        return true;
    }
    TempOpt_.reset();
    State_.CurrentOpt = nullptr;
    State_.CurrentValue = nullptr;
    if (State_.Stopped) {
        return false;
    }
    TState saved = State_;
    bool delivered;
    try {
        delivered = DoNext();
    } catch (...) {
        State_ = std::move(saved);
        TempOpt_.reset();
        throw;
    }
    if (delivered) {
        RunHandlers();
        return true;
    }
    State_.Stopped = true;
    Finish();
    if (State_.PendingDefaults.empty()) {
        return false;
    }
    DeliverDefault();
    return true;
}

}  // namespace NLastGetopt
