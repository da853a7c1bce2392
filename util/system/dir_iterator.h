// TDirIterator: the directory walker as an object over one root path, with a depth limit.
#pragma once

#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/system/dir_walker.h"

#include <cstddef>

// Returns the walk's entries one by one (see dir_walker.h for their kinds). Entries deeper than
// the limit are returned but not descended into. Not copyable; one thread at a time.
class TDirIterator {
public:
    // Raised with "can not open '" + path + "'" when the walk cannot start.
    class TError : public TSystemError {
    public:
        TError() = default;
        explicit TError(int status) : NPrivate::TSystemErrorStatus(status), TSystemError(status) {}
    };

    // maxDepth -1: no limit.
    explicit TDirIterator(const Stroka& path, int options = NFts::FTS_PHYSICAL, int maxDepth = -1);
    TDirIterator(const TDirIterator&) = delete;
    TDirIterator& operator=(const TDirIterator&) = delete;
    ~TDirIterator();

    // The next entry, or null at the end (errno 0) or after a walk error (errno set).
    NFts::FTSENT* Next();

private:
    NFts::FTS* Walk_;
    size_t MaxDepth_;
};
