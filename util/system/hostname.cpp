// The host name as a lazily built singleton.
#include "util/system/hostname.h"

#include "util/generic/exception.h"
#include "util/generic/string.h"
#include "util/generic/temp_buf.h"
#include "util/system/singleton.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

class THostName {
public:
    THostName() {
        TTempBuf buffer;
        if (gethostname(buffer.Data(), buffer.Size() - 1) != 0) {
            const int status = errno;
            throw TSystemError(status) << "can not get host name";
        }
        buffer.Data()[buffer.Size() - 1] = '\0';
        Name_.assign(buffer.Data(), strlen(buffer.Data()));
    }

    const char* Get() const noexcept { return Name_.c_str(); }

private:
    Stroka Name_;
};

}  // namespace

const char* GetHostName() {
    return Singleton<THostName>()->Get();
}
