#include "getopt/opt.h"

#include "getopt/exception.h"

#include <algorithm>

namespace NLastGetopt {

namespace {
bool IsPrintableNonBlank(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x21 && u <= 0x7E;
}
}  // namespace

TOpt& TOpt::AddShortName(char c) {
    if (!IsPrintableNonBlank(c) || c == '=' || c == '-') {
        throw TUsageException() << "option char '" << c << "' is not allowed";
    }
    Chars_.push_back(c);
    return *this;
}

TOpt& TOpt::AddLongName(const Stroka& name) {
    for (char c : name) {
        if (!IsPrintableNonBlank(c) || c == '=') {
            throw TUsageException()
                << "option char '" << c << "' in long '" << name << "' is not allowed";
        }
    }
    LongNames_.push_back(name);
    return *this;
}

bool TOpt::HasChar(char c) const noexcept {
    return std::find(Chars_.begin(), Chars_.end(), c) != Chars_.end();
}

bool TOpt::HasLongName(const Stroka& name) const noexcept {
    return std::find(LongNames_.begin(), LongNames_.end(), name) != LongNames_.end();
}

Stroka TOpt::GetName() const {
    if (LongNames_.empty()) {
        throw TConfException() << "no name for option " << ToShortString();
    }
    return LongNames_.front();
}

char TOpt::GetChar() const {
    if (Chars_.empty()) {
        throw TConfException() << "no char for option " << ToShortString();
    }
    return Chars_.front();
}

char TOpt::GetCharOr0() const noexcept {
    return Chars_.empty() ? 0 : Chars_.front();
}

Stroka TOpt::ToShortString() const {
    if (!LongNames_.empty()) {
        return "--" + LongNames_.front();
    }
    if (!Chars_.empty()) {
        return Stroka("-") + Chars_.front();
    }
    return "?";
}

TOpt& TOpt::SetOptionalValue(const Stroka& value) {
    OptionalValue = value;
    HasOptionalValue = true;
    return *this;
}

TOpt& TOpt::SetDefaultValue(const Stroka& value) {
    DefaultValue = value;
    HasDefaultValue = true;
    return *this;
}

TOpt& TOpt::AddHandler(std::shared_ptr<IOptHandler> handler) {
    Handlers_.push_back(std::move(handler));
    return *this;
}

TOpt& TOpt::AddHandler(THandlerFunc func) {
    return AddHandler(
        std::make_shared<NPrivate::THandlerFunctor1<THandlerFunc, const TOptsParser*>>(func));
}

}  // namespace NLastGetopt
