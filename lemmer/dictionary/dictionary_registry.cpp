// The registry of additional dictionaries and the slot of the one in force.
#include "lemmer/dictionary/dictionary_registry.h"

#include "lemmer/dictionary/dictionary_loader.h"
#include "util/system/singleton.h"

#include <atomic>
#include <mutex>
#include <utility>
#include <vector>

namespace NByk {
namespace {

// The registry in force and every registry it replaced. A reader takes no lock and may keep a
// dictionary it found for as long as it likes, so a replaced registry is freed only at exit.
class TRegistrySlot {
public:
    const TDictionaryRegistry* Current() const { return Current_.load(std::memory_order_acquire); }

    void Install(std::unique_ptr<TDictionaryRegistry> registry) {
        std::lock_guard<std::mutex> guard(Lock_);
        All_.reserve(All_.size() + 1);
        Current_.store(registry.get(), std::memory_order_release);
        All_.push_back(std::move(registry));
    }

private:
    std::atomic<const TDictionaryRegistry*> Current_{nullptr};
    std::mutex Lock_;
    std::vector<std::unique_ptr<TDictionaryRegistry>> All_;
};

}  // namespace

TDictionaryRegistry::TDictionaryRegistry() : Pool_(524288, TMemoryPool::TLinearGrow::Instance()) {}

TDictionaryRegistry::~TDictionaryRegistry() = default;

void TDictionaryRegistry::Add(uint32_t language, std::unique_ptr<TDictionary> dictionary,
                              std::unique_ptr<IDictionaryMemory> memory) {
    TEntry& entry = Entries_[language];
    entry.Dictionary.reset();
    entry.Memory = std::move(memory);
    entry.Dictionary = std::move(dictionary);
}

void TDictionaryRegistry::Load(uint32_t language, TInputStream& in) {
    auto dictionary = std::make_unique<TDictionary>();
    LoadDictionary(*dictionary, in, Pool_);
    Add(language, std::move(dictionary));
}

const TDictionary* TDictionaryRegistry::Find(uint32_t language) const {
    const auto it = Entries_.find(language);
    return it == Entries_.end() ? nullptr : it->second.Dictionary.get();
}

const TDictionaryRegistry* GetDictionaryRegistry() {
    return Singleton<TRegistrySlot>()->Current();
}

void InstallDictionaryRegistry(std::unique_ptr<TDictionaryRegistry> registry) {
    Singleton<TRegistrySlot>()->Install(std::move(registry));
}

}  // namespace NByk
