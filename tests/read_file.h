// Reads a whole file of the sources for the end-to-end tests.
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

// Raises std::runtime_error when the file cannot be read.
inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.good()) {
        throw std::runtime_error("cannot read " + path);
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}
