// Matchers for what a call raises (the exception type and its exact message), and the prefix
// of the message of a system error.
//
//     EXPECT_THAT([&] { FromString<int>("x"); }, RaisesMessage<TFromStringException>("..."));
#pragma once

#include <gmock/gmock.h>

#include <cstring>
#include <string>

// Matches a callable that raises T (or a type derived from it) whose what() is `message`.
template <class T>
auto RaisesMessage(const std::string& message) {
    return ::testing::ThrowsMessage<T>(::testing::StrEq(message));
}

// Matches a callable that raises T whose what() starts with `prefix`.
template <class T>
auto RaisesMessageStartingWith(const std::string& prefix) {
    return ::testing::ThrowsMessage<T>(::testing::StartsWith(prefix));
}

// How the message of a system error raised with `code` begins: "(" + strerror + ") ".
inline std::string SystemErrorPrefix(int code) {
    return std::string("(") + std::strerror(code) + ") ";
}
