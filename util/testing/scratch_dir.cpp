// Scratch directories for tests.
#include "util/testing/scratch_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {
// A test that cannot have its directory must not run on in some other place.
[[noreturn]] void Fail(const std::string& what) {
    std::perror(what.c_str());
    std::abort();
}
}  // namespace

TScratchDir::TScratchDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/lemmix-test-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        Fail("cannot create a scratch directory from " + pattern);
    }
    Path_ = pattern;
}

TScratchDir::~TScratchDir() {
    namespace fs = std::filesystem;
    std::error_code error;
    // Give back what a test took away, so that every entry can be listed and removed.
    fs::permissions(Path_, fs::perms::owner_all, fs::perm_options::add, error);
    for (auto it = fs::recursive_directory_iterator(Path_, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    error.clear();
    fs::remove_all(Path_, error);
    if (error) {
        Fail("cannot remove the scratch directory " + Path_);
    }
}
