// A fresh directory for one test, removed with everything in it when the test ends.
//
//     TScratchDir scratch;
//     WriteFile(scratch.File("data.bin"), ...);
#pragma once

#include <string>

// Created under $TMPDIR (or /tmp) by the constructor, which aborts the test run when it
// cannot. The destructor removes the tree through the standard library, not through the
// library under test, making directories it meets writable first, so a test that takes
// permissions away still cleans up. Not copyable.
class TScratchDir {
public:
    TScratchDir();
    ~TScratchDir();
    TScratchDir(const TScratchDir&) = delete;
    TScratchDir& operator=(const TScratchDir&) = delete;

    // The directory's path, without a final '/'.
    const std::string& Path() const { return Path_; }
    // Path() + "/" + name.
    std::string File(const std::string& name) const { return Path_ + "/" + name; }

private:
    std::string Path_;
};
