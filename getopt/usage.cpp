// The usage text of an option set.

#include "getopt/opts.h"

#include "util/string/escape.h"

#include <algorithm>

namespace NLastGetopt {

namespace {

constexpr size_t MaxOptionColumn = 20;
constexpr size_t MaxFreeArgColumn = 30;

// "-v", "{-o|--output} FILE", "--level [VAL:3]".
Stroka LeftColumn(const TOpt& option) {
    Stroka column;
    const size_t names = option.Chars().size() + option.LongNames().size();
    if (names > 1) {
        column += '{';
    }
    bool first = true;
    for (char c : option.Chars()) {
        column += first ? "-" : "|-";
        column += c;
        first = false;
    }
    for (const Stroka& name : option.LongNames()) {
        column += first ? "--" : "|--";
        column += name;
        first = false;
    }
    if (names > 1) {
        column += '}';
    }
    const Stroka title = option.ArgTitle.empty() ? Stroka("VAL") : option.ArgTitle;
    if (option.HasArg == OptionalArgument) {
        column += " [";
        column += title;
        if (option.HasOptionalValue) {
            column += ':';
            column += option.OptionalValue;
        }
        column += ']';
    } else if (option.HasArg == RequiredArgument) {
        column += ' ';
        column += title;
    }
    return column;
}

bool IsDecimal(const Stroka& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void Pad(TOutputStream& out, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        out << ' ';
    }
}

void PrintOptionLine(const TOpt& option, const Stroka& column, size_t width, TOutputStream& out) {
    out << "  " << column;
    if (column.size() > width) {
        out << Endl;
        Pad(out, 2 + MaxOptionColumn + 1);
    } else {
        Pad(out, width - column.size() + 1);
    }
    if (!option.Help.empty()) {
        out << ' ' << option.Help;
    }
    if (option.HasDefaultValue) {
        out << " (default: "
            << (IsDecimal(option.DefaultValue) ? option.DefaultValue
                                               : QuoteString(option.DefaultValue))
            << ")";
    }
    out << Endl;
}

}  // namespace

void TOpts::PrintUsage(const TCharRange& programName, TOutputStream& out) const {
    out << "Usage: " << programName << " [OPTIONS]";
    for (uint32_t i = 0; i < FreeArgsMin; ++i) {
        out << " " << GetFreeArgTitle(i);
    }
    if (FreeArgsMin < FreeArgsMax) {
        if (FreeArgsMax == UINT32_MAX) {
            out << " [" << GetFreeArgTitle(FreeArgsMin) << "]...";
        } else {
            for (uint32_t i = FreeArgsMin; i < FreeArgsMax; ++i) {
                out << " [" << GetFreeArgTitle(i) << "]";
            }
        }
    }
    out << Endl;

    std::vector<Stroka> columns(Opts_.size());
    size_t width = 0;
    size_t required = 0;
    for (size_t i = 0; i < Opts_.size(); ++i) {
        if (Opts_[i]->Hidden) {
            continue;
        }
        columns[i] = LeftColumn(*Opts_[i]);
        width = std::max(width, columns[i].size());
        required += Opts_[i]->Required ? 1 : 0;
    }
    width = std::min(width, MaxOptionColumn);

    auto printGroup = [&](bool wantRequired) {
        for (size_t i = 0; i < Opts_.size(); ++i) {
            if (!Opts_[i]->Hidden && Opts_[i]->Required == wantRequired) {
                PrintOptionLine(*Opts_[i], columns[i], width, out);
            }
        }
    };
    if (required > 0) {
        out << Endl << "Required parameters:" << Endl;
        printGroup(true);
    }
    if (required != Opts_.size()) {
        out << Endl << (required == 0 ? "Options:" : "Optional parameters:") << Endl;
        printGroup(false);
    }

    if (FreeArgsMax != 0) {
        out << Endl << "Free args: min " << FreeArgsMin << ", max " << FreeArgsMax
            << " (listed described args only)" << Endl;
        size_t titleWidth = 0;
        for (size_t i = 0; i < FreeArgDescriptions_.size(); ++i) {
            titleWidth = std::max(titleWidth, GetFreeArgTitle(i).size());
        }
        titleWidth = std::min(titleWidth, MaxFreeArgColumn);
        for (size_t i = 0; i < FreeArgDescriptions_.size(); ++i) {
            const Stroka title = GetFreeArgTitle(i);
            out << "  " << title;
            Pad(out, title.size() < titleWidth ? titleWidth - title.size() : 0);
            out << "  " << GetFreeArgHelp(i) << Endl;
        }
    }
}

}  // namespace NLastGetopt
