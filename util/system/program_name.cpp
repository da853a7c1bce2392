#include "util/system/program_name.h"

#include "util/system/exec_path.h"
#include "util/system/singleton.h"

#include <atomic>

namespace {
std::atomic<const char*> ProgramNameOverride{nullptr};

struct TProgramName {
    Stroka Name;

    TProgramName() {
        const char* override = ProgramNameOverride.load();
        const Stroka path = override ? Stroka(override) : GetExecPath();
        const size_t slash = path.rfind('/');
        Name = slash == Stroka::npos ? path : path.substr(slash + 1);
    }
};
}  // namespace

void SetProgramName(const char* name) noexcept {
    ProgramNameOverride.store(name);
}

const Stroka& GetProgramName() {
    return Singleton<TProgramName>()->Name;
}
