#include "util/system/program_name.h"

#include "util/system/exec_path.h"
#include "util/system/fs.h"
#include "util/system/singleton.h"

#include <atomic>

namespace {
std::atomic<const char*> ProgramNameOverride{nullptr};

struct TProgramName {
    Stroka Name;

    TProgramName() {
        const char* override = ProgramNameOverride.load();
        Name = GetBaseName(override ? override : GetExecPath().c_str());
    }
};
}  // namespace

void SetProgramName(const char* name) noexcept {
    ProgramNameOverride.store(name);
}

const Stroka& GetProgramName() {
    return Singleton<TProgramName>()->Name;
}
