// The walk over a single root.
#include "util/system/dir_iterator.h"

#include <cerrno>

TDirIterator::TDirIterator(const Stroka& path, int options, int maxDepth)
    : Walk_(nullptr), MaxDepth_(static_cast<size_t>(static_cast<long>(maxDepth))) {
    errno = 0;
    char* roots[] = {const_cast<char*>(path.c_str()), nullptr};
    Walk_ = NFts::fts_open(roots, options, nullptr);
    const int status = errno;
    if (status != 0 || Walk_ == nullptr) {
        if (Walk_ != nullptr) {
            NFts::fts_close(Walk_);
        }
        throw TError(status) << "can not open '" << path << "'";
    }
}

TDirIterator::~TDirIterator() {
    NFts::fts_close(Walk_);
}

NFts::FTSENT* TDirIterator::Next() {
    NFts::FTSENT* entry = NFts::fts_read(Walk_);
    if (entry != nullptr && static_cast<size_t>(entry->fts_level + 1) > MaxDepth_) {
        NFts::fts_set(Walk_, entry, NFts::FTS_SKIP);
    }
    return entry;
}
