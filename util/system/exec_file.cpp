#include "util/system/exec_file.h"

#include "util/generic/exception.h"
#include "util/system/exec_path.h"
#include "util/system/mmap.h"

#include <memory>

TMappedFile* OpenExecFile() {
    const Stroka first = ResolveExecPath();
    std::unique_ptr<TMappedFile> file(new TMappedFile(first, TMemoryMap::oRdOnly));
    const Stroka second = ResolveExecPath();
    if (!(second == first)) {
        throw kexception() << "OpenExecFile(): something happened to the binary while we were "
                              "opening it";
    }
    return file.release();
}
