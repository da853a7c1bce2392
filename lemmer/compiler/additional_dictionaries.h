// Additional dictionaries from a source file: articles (one dictionary entry each, UTF-8)
// grouped under "@language: name" lines, with "#" comment lines. Every language gets its own
// compiler (UTF-8, the language's word normaliser, tuples of 2); the dictionaries built become
// a new registry that replaces the one in force as a whole.
//
//     # comment
//     @language: ru
//     стол
//     [стол]	S,m,inan=nom,sg
//     ...
//     (blank line ends the article)
//
// Loads are quiet: rejected entries and languages without entries only leave a dictionary
// smaller or missing.
#pragma once

#include "lemmer/dictionary/dictionary_registry.h"
#include "util/stream/input.h"

#include <memory>

// Reads the source file into a new registry. Raises kexception "Unknown language \"name\""
// for a language line naming no language, "Bad (or uknown) language for article \"line\""
// for an article before a language line (or under the unknown language), the file's errors,
// and what building a dictionary raises; nothing is kept then.
std::unique_ptr<NByk::TDictionaryRegistry> ReadAdditionalDictionaries(TInputStream& in);
std::unique_ptr<NByk::TDictionaryRegistry> ReadAdditionalDictionaries(const char* path);

// Reads the file and installs the result as the registry in force. On failure the registry in
// force stays unchanged. A replaced registry is kept until the process ends, since readers of
// the registry take no lock. Loads are serialised. Returns 0.
int LoadAdditionalDictionaries(const char* path);
