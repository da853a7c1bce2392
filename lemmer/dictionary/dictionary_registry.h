// The process-wide registry of additional dictionaries, one per language id. The dictionary
// compiler fills a registry from a text source and installs it; a binary dictionary from a
// user's file can be added as well. Languages ask it for their id when the recognition options
// ask for additional dictionaries.
//
//     auto registry = std::make_unique<NByk::TDictionaryRegistry>();
//     registry->Load(1, stream);                      // or Add() what the compiler built
//     NByk::InstallDictionaryRegistry(std::move(registry));
//     ...
//     const NByk::TDictionary* d =
//         NByk::TDictionaryRegistry::Find(NByk::GetDictionaryRegistry(), 1);
#pragma once

#include "lemmer/dictionary/dictionary.h"
#include "util/generic/memory_pool.h"
#include "util/stream/input.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace NByk {

// Whatever keeps a registered dictionary's tables alive beside the registry's pool (the
// compiler's storage with its heap-built stem blocks). Destroyed after its dictionary.
class IDictionaryMemory {
public:
    virtual ~IDictionaryMemory() = default;
};

// A registry is filled by one thread and then installed; once installed it is never changed
// again, so any number of threads may Find in it without a lock. It owns its dictionaries, the
// memory each was registered with, and one pool for the tables of all of them.
class TDictionaryRegistry {
public:
    TDictionaryRegistry();
    ~TDictionaryRegistry();
    TDictionaryRegistry(const TDictionaryRegistry&) = delete;
    TDictionaryRegistry& operator=(const TDictionaryRegistry&) = delete;

    // The pool that the dictionaries of this registry take their tables from.
    TMemoryPool& Pool() { return Pool_; }

    // Registers a dictionary for a language, replacing (and freeing) the one it had. `memory`
    // may be null when everything is in Pool(). REQUIRES: the registry is not installed.
    void Add(uint32_t language, std::unique_ptr<TDictionary> dictionary,
             std::unique_ptr<IDictionaryMemory> memory = nullptr);

    // Loads a binary dictionary into Pool() and registers it; raises what LoadDictionary
    // raises, and then registers nothing. REQUIRES: the registry is not installed.
    void Load(uint32_t language, TInputStream& in);

    // The dictionary of a language, null when there is none.
    const TDictionary* Find(uint32_t language) const;
    // The same through a registry pointer that may be null (no registry installed).
    static const TDictionary* Find(const TDictionaryRegistry* registry, uint32_t language) {
        return registry ? registry->Find(language) : nullptr;
    }

    size_t Size() const { return Entries_.size(); }

private:
    struct TEntry {
        std::unique_ptr<IDictionaryMemory> Memory;
        std::unique_ptr<TDictionary> Dictionary;  // declared last: destroyed first
    };

    TMemoryPool Pool_;
    std::unordered_map<uint32_t, TEntry> Entries_;
};

// The registry in force, null before the first installation. Takes no lock.
const TDictionaryRegistry* GetDictionaryRegistry();

// Makes `registry` the one in force. The registry it replaces is not freed before the process
// ends, since readers may still hold dictionaries of it; installations are serialised.
void InstallDictionaryRegistry(std::unique_ptr<TDictionaryRegistry> registry);

}  // namespace NByk
