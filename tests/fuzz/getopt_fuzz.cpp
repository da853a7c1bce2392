// Parsing any argument vector against an option set in any mode, compared step by step with a
// plain model of the parse rules written apart from the parser: the option each step delivers,
// its value (the very pointer into argv or into a default), the position, every error message,
// the steps after an error, the final order of argv, the handlers run once per delivery, and
// what a parse result keeps of the same argv.
//
// Input: a mode byte (option string, flags, free-argument limits, required options), then the
// argument elements separated by NUL bytes.
#include "getopt/exception.h"
#include "getopt/opts.h"
#include "getopt/opts_parse_result.h"
#include "getopt/opts_parser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace NLastGetopt;

constexpr int FreeArgument = -1;
// Options made for accepted unknown characters are named by 1000 + the character's byte.
constexpr int MadeUp = 1000;

// What one call of Next gives.
struct TStep {
    bool Thrown = false;
    std::string Error = {};
    bool Delivered = false;
    int Option = FreeArgument;  // the position in the set, FreeArgument or MadeUp + byte
    const char* Value = nullptr;
    size_t Pos = 0;
    bool Stopped = false;  // the options of argv are over: what follows are default values

    bool operator==(const TStep&) const = default;
};

std::string Show(const TStep& step) {
    if (step.Thrown) {
        return "error '" + step.Error + "' pos " + std::to_string(step.Pos);
    }
    if (!step.Delivered) {
        return "end pos " + std::to_string(step.Pos);
    }
    return "option " + std::to_string(step.Option) + " value " +
           (step.Value ? "'" + std::string(step.Value) + "'" : std::string("none")) + " pos " +
           std::to_string(step.Pos) + (step.Stopped ? " stopped" : "");
}

[[noreturn]] void Mismatch(const std::vector<const char*>& argv, const std::string& what) {
    std::fprintf(stderr, "mismatch: %s\nargv:", what.c_str());
    for (const char* element : argv) {
        std::fprintf(stderr, " [%s]", element);
    }
    std::fprintf(stderr, "\n");
    std::abort();
}

struct TModelError {
    std::string Text;
};

// The parse rules read directly, with plain strings and indices. An option moved in front of
// free arguments is read at its own place and what it delivers is replayed at the place it moves
// to, so no free argument can become its value.
class TModel {
public:
    TModel(const TOpts& opts, std::vector<const char*>& argv) : Opts_(opts), Argv_(argv) {}

    TStep Next() {
        TStep step = Step();
        step.Stopped = S_.Stopped;
        return step;
    }

private:
    TStep Step() {
        if (!S_.Defaults.empty()) {
            return Default();
        }
        if (S_.Stopped) {
            return TStep{.Pos = S_.Pos};
        }
        const TState saved = S_;
        std::optional<TCommit> commit;
        try {
            commit = DoNext();
        } catch (const TModelError& e) {
            S_ = saved;
            return TStep{.Thrown = true, .Error = e.Text, .Pos = S_.Pos};
        }
        if (commit) {
            return Delivered(commit->Option, commit->Value);
        }
        S_.Stopped = true;
        std::string names;
        std::string chars;
        size_t missing = 0;
        for (int i = 0; i < static_cast<int>(Opts_.Opts().size()); ++i) {
            const TOpt& option = *Opts_.Opts()[static_cast<size_t>(i)];
            if (S_.Seen.count(i)) {
                continue;
            }
            if (option.Required) {
                ++missing;
                if (!option.LongNames().empty()) {
                    names += " --" + std::string(option.LongNames()[0].c_str());
                } else {
                    chars += " -" + std::string(1, option.Chars()[0]);
                }
            } else if (option.HasDefaultValue) {
                S_.Defaults.push_back(i);
            }
        }
        S_.Seen.clear();
        if (missing) {
            return TStep{.Thrown = true,
                         .Error = std::string("The following option") +
                                  (missing == 1 ? " is" : "s are") + " required:" + names + chars,
                         .Pos = S_.Pos};
        }
        return S_.Defaults.empty() ? TStep{.Pos = S_.Pos} : Default();
    }

    struct TCommit {
        int Option;
        const char* Value;
        size_t Pos;
        size_t Sop;
    };
    struct TState {
        size_t Pos = 1;
        size_t Sop = 0;
        bool Stopped = false;
        bool GotMinusMinus = false;
        std::set<int> Seen;
        std::deque<int> Defaults;
        std::deque<TCommit> Replay;  // the rest of an option moved in front of free arguments
    };

    TStep Delivered(int option, const char* value) {
        return TStep{.Delivered = true, .Option = option, .Value = value, .Pos = S_.Pos};
    }

    TStep Default() {
        const int option = S_.Defaults.front();
        S_.Defaults.pop_front();
        return Delivered(option, Opts_.Opts()[static_cast<size_t>(option)]->DefaultValue.c_str());
    }

    size_t Argc() const { return Argv_.size(); }

    // 0 not an option, 1 a cluster or one-dash long option, 2 "--name", 3 "+name".
    int Kind(const char* s) const {
        const size_t n = std::strlen(s);
        if (n < 2) {
            return 0;
        }
        if (s[0] == '+') {
            return Opts_.LongWithPlus ? 3 : 0;
        }
        if (s[0] == '-') {
            return s[1] != '-' ? 1 : n > 2 ? 2 : 0;
        }
        return 0;
    }

    int ByChar(char c) const {
        for (size_t i = 0; i < Opts_.Opts().size(); ++i) {
            const auto& chars = Opts_.Opts()[i]->Chars();
            if (std::count(chars.begin(), chars.end(), c)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    int ByName(const std::string& name) const {
        for (size_t i = 0; i < Opts_.Opts().size(); ++i) {
            for (const Stroka& longName : Opts_.Opts()[i]->LongNames()) {
                if (name == longName.c_str()) {
                    return static_cast<int>(i);
                }
            }
        }
        return -1;
    }

    bool AnyChar() const {
        for (const auto& option : Opts_.Opts()) {
            if (!option->Chars().empty()) {
                return true;
            }
        }
        return false;
    }

    EHasArg Mode(int option) const {
        return option >= MadeUp ? RequiredArgument
                                : Opts_.Opts()[static_cast<size_t>(option)]->HasArg;
    }

    std::string ShortForm(int option) const {
        const TOpt& o = *Opts_.Opts()[static_cast<size_t>(option)];
        if (!o.LongNames().empty()) {
            return "--" + std::string(o.LongNames()[0].c_str());
        }
        return o.Chars().empty() ? "?" : "-" + std::string(1, o.Chars()[0]);
    }

    // One character escaped as in messages, with nothing after it.
    static std::string Escaped(char c) {
        const auto u = static_cast<unsigned char>(c);
        char buffer[8];
        if (c == '"' || c == '\\') {
            return std::string("\\") + c;
        }
        if (u >= 0x20 && u <= 0x7E) {
            return std::string(1, c);
        }
        if (c == '\r' || c == '\n' || c == '\t') {
            return c == '\r' ? "\\r" : c == '\n' ? "\\n" : "\\t";
        }
        if (u < 8) {
            std::snprintf(buffer, sizeof(buffer), "\\%o", u);
        } else {
            std::snprintf(buffer, sizeof(buffer), "\\x%02X", u);
        }
        return buffer;
    }

    std::optional<TCommit> Commit(int option, const char* value, size_t pos, size_t sop) {
        S_.Pos = pos;
        S_.Sop = sop;
        if (option != FreeArgument && option < MadeUp) {
            S_.Seen.insert(option);
        }
        return TCommit{option, value, pos, sop};
    }

    std::optional<TCommit> End(size_t pos) {
        S_.Pos = pos;
        S_.Sop = 0;
        const size_t count = Argc() - pos;
        const std::string min = std::to_string(Opts_.FreeArgsMin);
        const std::string max = std::to_string(Opts_.FreeArgsMax);
        if (Opts_.FreeArgsMin == Opts_.FreeArgsMax && count != Opts_.FreeArgsMin) {
            throw TModelError{"required exactly " + min + " free args"};
        }
        if (count < Opts_.FreeArgsMin) {
            throw TModelError{"required at least " + min + " free args"};
        }
        if (count > Opts_.FreeArgsMax) {
            throw TModelError{"required at most " + max + " free args"};
        }
        return std::nullopt;
    }

    std::optional<TCommit> DoNext() {
        if (!S_.Replay.empty()) {
            const TCommit next = S_.Replay.front();
            S_.Replay.pop_front();
            return Commit(next.Option, next.Value, next.Pos, next.Sop);
        }
        if (S_.Pos == Argc()) {
            return End(S_.Pos);
        }
        const bool inOrder = Opts_.FreeArgOrder == FreeArgsInOrder;
        if (S_.GotMinusMinus && inOrder) {
            return Commit(FreeArgument, Argv_[S_.Pos], S_.Pos + 1, 0);
        }
        if (S_.Sop != 0) {
            return Short(S_.Pos, S_.Sop);
        }
        const char* s = Argv_[S_.Pos];
        if (Kind(s)) {
            return Option(S_.Pos);
        }
        if (std::string(s) == "--") {
            if (!inOrder) {
                return End(S_.Pos + 1);
            }
            if (S_.Pos + 1 == Argc()) {
                return End(Argc());
            }
            S_.GotMinusMinus = true;
            return Commit(FreeArgument, Argv_[S_.Pos + 1], S_.Pos + 2, 0);
        }
        if (inOrder) {
            return Commit(FreeArgument, s, S_.Pos + 1, 0);
        }
        if (Opts_.FreeArgOrder == StopAtFreeArg) {
            return End(S_.Pos);
        }
        return Permute();
    }

    std::optional<TCommit> Option(size_t pos) {
        const char* s = Argv_[pos];
        const int kind = Kind(s);
        if (kind == 1 && !Opts_.LongWithSingleDash && AnyChar()) {
            return Short(pos, 1);
        }
        const char* rest = s + (kind == 2 ? 2 : 1);
        const char* equals = std::strchr(rest, '=');
        const std::string name = equals ? std::string(rest, equals) : std::string(rest);
        const char* value = equals ? equals + 1 : nullptr;
        const int option = ByName(name);
        if (option >= 0 && !value) {
            return Argument(option, pos + 1);
        }
        if (option >= 0 && Mode(option) == NoArgument) {
            throw TModelError{"option " + name + " must have no arg"};
        }
        if (option >= 0) {
            return Commit(option, value, pos + 1, 0);
        }
        if (kind != 2 && !value) {
            return Short(pos, 1);
        }
        throw TModelError{"unknown option '" + name + "' in '" + s + "'"};
    }

    std::optional<TCommit> Short(size_t pos, size_t sop) {
        const char* s = Argv_[pos];
        const size_t n = std::strlen(s);
        const char c = sop < n ? s[sop] : 0;
        const int option = ByChar(c);
        if (option < 0) {
            return Unknown(pos, sop);
        }
        if (sop == n - 1) {
            return Argument(option, pos + 1);
        }
        if (Mode(option) != NoArgument) {
            return Commit(option, s + sop + 1, pos + 1, 0);
        }
        return Commit(option, nullptr, pos, sop + 1);
    }

    std::optional<TCommit> Argument(int option, size_t next) {
        const EHasArg mode = Mode(option);
        if (mode == NoArgument) {
            return Commit(option, nullptr, next, 0);
        }
        if (next == Argc()) {
            if (mode == OptionalArgument) {
                return Commit(option, nullptr, next, 0);
            }
            throw TModelError{"option " + ShortForm(option) + " must have arg"};
        }
        const char* t = Argv_[next];
        if (t[0] == '-' && mode == OptionalArgument) {
            return Commit(option, nullptr, next, 0);
        }
        return Commit(option, t, next + 1, 0);
    }

    std::optional<TCommit> Unknown(size_t pos, size_t sop) {
        const char* s = Argv_[pos];
        const size_t n = std::strlen(s);
        const char c = s[sop];
        if (!Opts_.AcceptUnknownChars) {
            throw TModelError{"unknown option '" + Escaped(c) + "' in '" + s + "'"};
        }
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x21 || u > 0x7E || c == '=' || c == '-') {
            throw TModelError{std::string("option char '") + c + "' is not allowed"};
        }
        const int option = MadeUp + u;
        if (sop + 1 < n) {
            return Commit(option, nullptr, pos, sop + 1);
        }
        if (pos + 1 == Argc() || Kind(Argv_[pos + 1])) {
            return Commit(option, nullptr, pos + 1, 0);
        }
        return Commit(option, Argv_[pos + 1], pos + 2, 0);
    }

    std::optional<TCommit> Permute() {
        const size_t start = S_.Pos;
        size_t i = start;
        while (i < Argc() && !Kind(Argv_[i])) {
            ++i;
        }
        if (i == Argc()) {
            return End(start);
        }
        std::vector<TCommit> commits{*Option(i)};
        while (S_.Pos == i) {
            commits.push_back(*Short(i, S_.Sop));
        }
        const size_t j = S_.Pos;
        std::rotate(Argv_.begin() + static_cast<ptrdiff_t>(start),
                    Argv_.begin() + static_cast<ptrdiff_t>(i),
                    Argv_.begin() + static_cast<ptrdiff_t>(j));
        for (TCommit& commit : commits) {
            commit.Pos = commit.Pos - i + start;
        }
        S_.Replay.assign(commits.begin() + 1, commits.end());
        return Commit(commits[0].Option, commits[0].Value, commits[0].Pos, commits[0].Sop);
    }

    const TOpts& Opts_;
    std::vector<const char*>& Argv_;
    TState S_;
};

int Identify(const TOpts& opts, const TOpt* option) {
    if (!option) {
        return FreeArgument;
    }
    for (size_t i = 0; i < opts.Opts().size(); ++i) {
        if (opts.Opts()[i].get() == option) {
            return static_cast<int>(i);
        }
    }
    return MadeUp + static_cast<unsigned char>(option->GetChar());
}

size_t LevelHandled = 0;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint8_t mode = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    // The build-information option ends the process by design.
    if (text.find("svnrevision") != std::string::npos) {
        return 0;
    }
    std::vector<std::string> elements{"prog"};
    size_t begin = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\0') {
            elements.push_back(text.substr(begin, i - begin));
            begin = i + 1;
        }
    }
    std::vector<const char*> original;
    for (const std::string& element : elements) {
        original.push_back(element.c_str());
    }

    static const char* const OptStrings[] = {"?hvcnwlfsige:o::", "+ab:c::", "-ab:c::", ""};
    const bool required = mode & 128;
    TOpts opts{TCharRange(OptStrings[mode & 3])};
    TOpt level;
    level.AddLongName("level").SetDefaultValue("1");
    level.AddHandler([](const TOptsParser*) { ++LevelHandled; });
    opts.AddOption(level);
    TOpt name;
    name.AddLongName("name").HasArg = NoArgument;
    name.Required = required;
    opts.AddOption(name);
    TOpt optional;
    optional.AddLongName("opt").SetOptionalValue("auto").HasArg = OptionalArgument;
    opts.AddOption(optional);
    TOpt both;  // without characters when the string gave none, so -name reads as long
    if ((mode & 3) != 3) {
        both.AddShortName('X').AddShortName('Y');
    }
    both.AddLongName("both").AddLongName("b2").SetDefaultValue("").HasArg = NoArgument;
    both.Required = required && (mode & 3) != 3;
    opts.AddOption(both);
    opts.LongWithPlus = mode & 4;
    opts.LongWithSingleDash = mode & 8;
    opts.AcceptUnknownChars = mode & 16;
    // Free-argument limits: none, at most 2, at least 1, exactly 1.
    const uint32_t limits[][2] = {{0, UINT32_MAX}, {0, 2}, {1, UINT32_MAX}, {1, 1}};
    opts.FreeArgsMin = limits[(mode >> 5) & 3][0];
    opts.FreeArgsMax = limits[(mode >> 5) & 3][1];

    // The parser against the model, step by step, and a second time after each error.
    std::vector<const char*> argv = original;
    std::vector<const char*> modelArgv = original;
    TModel model(opts, modelArgv);
    std::vector<TStep> steps;
    size_t levelDelivered = 0;
    LevelHandled = 0;
    TOptsParser parser(&opts, static_cast<int>(argv.size()), argv.data());
    for (size_t calls = 0; calls < text.size() + elements.size() + 8; ++calls) {
        TStep real;
        try {
            real.Delivered = parser.Next();
        } catch (const TUsageException& e) {
            real.Thrown = true;
            real.Error = e.what();
        }
        real.Pos = parser.Pos();
        real.Stopped = parser.Stopped();
        real.Option = Identify(opts, parser.CurrentOpt());
        real.Value = parser.CurrentValue();
        if (!real.Delivered && (real.Option != FreeArgument || real.Value)) {
            Mismatch(original, "a step that delivered nothing left an option or a value");
        }
        if (!real.Delivered) {
            real.Option = FreeArgument;
        }
        const TStep expected = model.Next();
        if (!(real == expected)) {
            Mismatch(original, "step " + std::to_string(calls) + ": parser " + Show(real) +
                                   ", model " + Show(expected));
        }
        steps.push_back(real);
        const bool repeated = steps.size() >= 2 && steps[steps.size() - 2] == real && real.Thrown;
        const bool ended = !real.Delivered && !real.Thrown && steps.size() >= 2 &&
                           !steps[steps.size() - 2].Delivered && !steps[steps.size() - 2].Thrown;
        if (repeated || ended) {
            break;
        }
    }
    if (argv != modelArgv) {
        Mismatch(original, "argv orders differ");
    }
    const int levelIndex = Identify(opts, &opts.GetLongOption("level"));
    for (const TStep& step : steps) {
        levelDelivered += step.Delivered && step.Option == levelIndex;
    }
    if (LevelHandled != levelDelivered) {
        Mismatch(original, "the handler ran " + std::to_string(LevelHandled) + " times for " +
                               std::to_string(levelDelivered) + " deliveries");
    }

    // A parse result over the same argv keeps every delivered value, or raises the first error.
    const auto firstError =
        std::find_if(steps.begin(), steps.end(), [](const TStep& step) { return step.Thrown; });
    std::vector<const char*> resultArgv = original;
    try {
        const TOptsParseResultException result(&opts, static_cast<int>(resultArgv.size()),
                                               resultArgv.data());
        if (firstError != steps.end()) {
            Mismatch(original, "the parse result missed '" + firstError->Error + "'");
        }
        struct TEntry {
            int Option;
            std::vector<const char*> Values;
        };
        std::vector<TEntry> given;
        std::vector<TEntry> defaults;
        for (const TStep& step : steps) {
            if (!step.Delivered) {
                continue;
            }
            const bool stopped = step.Stopped;
            const char* value = step.Value;
            if (!value && step.Option == Identify(opts, &opts.GetLongOption("opt"))) {
                value = opts.GetLongOption("opt").OptionalValue.c_str();
            }
            std::vector<TEntry>& entries = stopped ? defaults : given;
            auto entry = std::find_if(entries.begin(), entries.end(),
                                      [&](const TEntry& e) { return e.Option == step.Option; });
            if (stopped || entry == entries.end()) {
                entries.push_back({step.Option, {}});
                entry = entries.end() - 1;
            }
            if (value) {
                entry->Values.push_back(value);
            }
        }
        auto same = [&](const std::vector<TOptValues>& kept, const std::vector<TEntry>& model) {
            if (kept.size() != model.size()) {
                return false;
            }
            for (size_t i = 0; i < kept.size(); ++i) {
                const int option = Identify(opts, kept[i].Opt);
                if (option != model[i].Option || kept[i].Values != model[i].Values) {
                    return false;
                }
            }
            return true;
        };
        if (!same(result.GivenResults(), given) || !same(result.DefaultResults(), defaults)) {
            Mismatch(original, "the parse result keeps other values than were delivered");
        }
        const std::vector<Stroka> free = result.GetFreeArgs();
        if (free.size() != argv.size() - parser.Pos()) {
            Mismatch(original, "the parse result has another number of free arguments");
        }
        for (size_t i = 0; i < free.size(); ++i) {
            if (free[i] != Stroka(argv[parser.Pos() + i])) {
                Mismatch(original, "the parse result has other free arguments");
            }
        }
    } catch (const TUsageException& e) {
        if (firstError == steps.end() || firstError->Error != e.what()) {
            Mismatch(original, std::string("the parse result raised '") + e.what() + "'");
        }
    }
    return 0;
}
