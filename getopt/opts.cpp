#include "getopt/opts.h"

#include "getopt/exception.h"
#include "getopt/svn_revision.h"

namespace NLastGetopt {

TOpts::TOpts(const TCharRange& optString) {
    if (!optString.empty()) {
        AddCharOptions(optString);
    }
    AddSvnRevisionOption();
}

void TOpts::AddCharOptions(const TCharRange& optString) {
    const char* p = optString.Data;
    const char* const end = p + optString.Length;
    if (p != end && *p == '+') {
        FreeArgOrder = StopAtFreeArg;
        ++p;
    } else if (p != end && *p == '-') {
        FreeArgOrder = FreeArgsInOrder;
        ++p;
    }
    while (p != end) {
        TOpt option;
        option.AddShortName(*p++);
        option.HasArg = NoArgument;
        if (p != end && *p == ':') {
            option.HasArg = RequiredArgument;
            ++p;
            if (p != end && *p == ':') {
                option.HasArg = OptionalArgument;
                ++p;
            }
        }
        AddOption(option);
    }
}

TOpt& TOpts::AddOption(const TOpt& option) {
    if (option.Chars().empty() && option.LongNames().empty()) {
        throw TConfException() << "bad option: no chars, no long names";
    }
    Opts_.push_back(std::make_unique<TOpt>(option));
    return *Opts_.back();
}

void TOpts::AddSvnRevisionOption() {
    TOpt option;
    option.AddLongName("svnrevision");
    option.Help = "print svn version";
    option.HasArg = NoArgument;
    option.AddHandler(&PrintSvnRevisionAndExit);
    AddOption(option);
}

const TOpt* TOpts::FindCharOption(char c) const noexcept {
    for (const auto& option : Opts_) {
        if (option->HasChar(c)) {
            return option.get();
        }
    }
    return nullptr;
}

TOpt* TOpts::FindCharOption(char c) noexcept {
    return const_cast<TOpt*>(static_cast<const TOpts*>(this)->FindCharOption(c));
}

const TOpt* TOpts::FindLongOption(const Stroka& name) const noexcept {
    for (const auto& option : Opts_) {
        if (option->HasLongName(name)) {
            return option.get();
        }
    }
    return nullptr;
}

TOpt* TOpts::FindLongOption(const Stroka& name) noexcept {
    return const_cast<TOpt*>(static_cast<const TOpts*>(this)->FindLongOption(name));
}

const TOpt& TOpts::GetCharOption(char c) const {
    const TOpt* option = FindCharOption(c);
    if (!option) {
        throw TException() << "unknown char option '" << c << "'";
    }
    return *option;
}

TOpt& TOpts::GetCharOption(char c) {
    return const_cast<TOpt&>(static_cast<const TOpts*>(this)->GetCharOption(c));
}

const TOpt& TOpts::GetLongOption(const Stroka& name) const {
    const TOpt* option = FindLongOption(name);
    if (!option) {
        throw TException() << "unknown option " << name;
    }
    return *option;
}

TOpt& TOpts::GetLongOption(const Stroka& name) {
    return const_cast<TOpt&>(static_cast<const TOpts*>(this)->GetLongOption(name));
}

size_t TOpts::IndexOf(const TOpt* option) const {
    for (size_t i = 0; i < Opts_.size(); ++i) {
        if (Opts_[i].get() == option) {
            return i;
        }
    }
    throw TException() << "unknown option";
}

bool TOpts::HasAnyShortOption() const noexcept {
    for (const auto& option : Opts_) {
        if (!option->Chars().empty()) {
            return true;
        }
    }
    return false;
}

bool TOpts::HasAnyLongOption() const noexcept {
    for (const auto& option : Opts_) {
        if (!option->LongNames().empty()) {
            return true;
        }
    }
    return false;
}

void TOpts::SetFreeArgTitle(size_t position, const Stroka& title, const Stroka& help) {
    if (FreeArgDescriptions_.size() <= position) {
        FreeArgDescriptions_.resize(position + 1);
    }
    FreeArgDescriptions_[position].Title = title;
    FreeArgDescriptions_[position].Help = help;
}

Stroka TOpts::GetFreeArgTitle(size_t position) const {
    if (position < FreeArgDescriptions_.size() && !FreeArgDescriptions_[position].Title.empty()) {
        return FreeArgDescriptions_[position].Title;
    }
    return "ARG";
}

Stroka TOpts::GetFreeArgHelp(size_t position) const {
    if (position < FreeArgDescriptions_.size() && !FreeArgDescriptions_[position].Help.empty()) {
        return FreeArgDescriptions_[position].Help;
    }
    return "No help, sorry";
}

void TOpts::Validate() const {
    for (size_t i = 0; i < Opts_.size(); ++i) {
        const TOpt& option = *Opts_[i];
        for (char c : option.Chars()) {
            for (size_t j = i + 1; j < Opts_.size(); ++j) {
                if (Opts_[j]->HasChar(c)) {
                    throw TConfException() << "option -" << c << " is defined more than once";
                }
            }
        }
        for (const Stroka& name : option.LongNames()) {
            for (size_t j = i + 1; j < Opts_.size(); ++j) {
                if (Opts_[j]->HasLongName(name)) {
                    throw TConfException() << "option --" << name << " is defined more than once";
                }
            }
        }
    }
    if (FreeArgsMax < FreeArgsMin) {
        throw TConfException() << "FreeArgsMax must be >= FreeArgsMin";
    }
    if (FreeArgDescriptions_.size() > FreeArgsMax) {
        throw TConfException() << "Described args count is greater than FreeArgsMax. Either "
                                  "increase FreeArgsMax or remove unreachable descriptions";
    }
}

}  // namespace NLastGetopt
