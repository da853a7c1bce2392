// The text form of a lemma-frequency table ("key TAB value" lines), read back for the tests
// that compare what lemmix prints with the committed table.
#pragma once

#include <fstream>
#include <map>
#include <string>

inline std::map<std::string, long> ReadLemmaFrequencyTsv(const char* path) {
    std::map<std::string, long> rows;
    std::ifstream in(path, std::ios::binary);
    std::string key;
    long value = 0;
    while (std::getline(in, key, '\t') && in >> value) {
        rows[key] = value;
        in.ignore(1);
    }
    return rows;
}
