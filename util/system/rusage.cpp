#include "util/system/rusage.h"

#include "util/generic/exception.h"
#include "util/system/time.h"

#include <sys/resource.h>

void TRusage::Fill() {
    *this = TRusage();
    rusage ru;
    if (getrusage(RUSAGE_SELF, &ru) != 0) {
        throw TSystemError() << "rusage failed";
    }
    MaxRss = static_cast<uint64_t>(ru.ru_maxrss) << 10;  // reported in kilobytes
    Utime = TimeValToMicroSeconds(ru.ru_utime);
    Stime = TimeValToMicroSeconds(ru.ru_stime);
}
