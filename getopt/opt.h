// One command-line option: its short characters and long names, whether it takes an argument,
// the texts of its usage line, its optional and default values, and the handlers that run each
// time the parser delivers it.
//
//     TOpt opt;
//     opt.AddShortName('o').AddLongName("output");
//     opt.ArgTitle = "FILE";
#pragma once

#include "util/generic/string.h"

#include <memory>
#include <vector>

namespace NLastGetopt {

class TOptsParser;

enum EHasArg : int {
    NoArgument = 0,
    RequiredArgument = 1,
    OptionalArgument = 2,
};

// Runs when the parser delivers its option; the parser is the one that delivered it.
class IOptHandler {
public:
    virtual void HandleOpt(const TOptsParser* parser) = 0;
    virtual ~IOptHandler() = default;
};

namespace NPrivate {
// A handler that calls a function with the parser.
template <class TFunc, class TArg>
class THandlerFunctor1 : public IOptHandler {
public:
    explicit THandlerFunctor1(TFunc func) : Func_(func) {}

    void HandleOpt(const TOptsParser* parser) override { Func_(static_cast<TArg>(parser)); }

private:
    TFunc Func_;
};
}  // namespace NPrivate

// A plain value: copying an option copies its names and texts and shares its handlers. The
// name checks raise TUsageException and leave the option unchanged; GetName and GetChar raise
// TConfException.
class TOpt {
public:
    using THandlerFunc = void (*)(const TOptsParser*);

    // Printable ASCII (0x21 to 0x7E) other than '=' and '-'.
    TOpt& AddShortName(char c);
    // Every byte printable ASCII (0x21 to 0x7E) other than '='; the empty name passes.
    TOpt& AddLongName(const Stroka& name);

    const std::vector<char>& Chars() const noexcept { return Chars_; }
    const std::vector<Stroka>& LongNames() const noexcept { return LongNames_; }
    bool HasChar(char c) const noexcept;
    bool HasLongName(const Stroka& name) const noexcept;

    // The first long name / the first character.
    Stroka GetName() const;
    char GetChar() const;
    // The first character, or 0 when there is none.
    char GetCharOr0() const noexcept;
    // "--" + the first long name, else "-" + the first character, else "?".
    Stroka ToShortString() const;

    // Given without its optional argument, the option records this value in a parse result.
    TOpt& SetOptionalValue(const Stroka& value);
    // Not given at all, the option is delivered once after argv with this value.
    TOpt& SetDefaultValue(const Stroka& value);

    TOpt& AddHandler(std::shared_ptr<IOptHandler> handler);
    TOpt& AddHandler(THandlerFunc func);
    const std::vector<std::shared_ptr<IOptHandler>>& Handlers() const noexcept { return Handlers_; }

    EHasArg HasArg = RequiredArgument;
    Stroka ArgTitle;  // the usage text says "VAL" when it is empty
    Stroka Help;
    bool Required = false;      // the parser reports it when it is not given
    bool Hidden = false;        // parsed, but left out of the usage text
    void* UserValue = nullptr;  // the caller's own; the library never reads it
    Stroka OptionalValue;
    bool HasOptionalValue = false;
    Stroka DefaultValue;
    bool HasDefaultValue = false;

private:
    std::vector<char> Chars_;
    std::vector<Stroka> LongNames_;
    std::vector<std::shared_ptr<IOptHandler>> Handlers_;
};

}  // namespace NLastGetopt
