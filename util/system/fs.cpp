// File-system utilities. Paths are copied into buffers only after their length is checked.
#include "util/system/fs.h"

#include "util/generic/exception.h"
#include "util/generic/temp_buf.h"
#include "util/string/escape.h"
#include "util/system/dir_iterator.h"
#include "util/system/file_ops.h"

#include <dirent.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Longest base + path that ResolvePath joins.
constexpr size_t MaxJoinedPath = 2047;
// Room MakeTempDir keeps free behind the template.
constexpr size_t TempDirReserve = 100;

int ErrnoOr(int fallback) {
    return errno != 0 ? errno : fallback;
}

bool EndsWithSlash(const std::string& s) {
    return !s.empty() && s.back() == '/';
}

// Copies `text` (and a '/' when asked) into the MaxPathBuffer-byte output.
int Emit(char* out, const std::string& text, bool slash) {
    const bool addSlash = slash && !EndsWithSlash(text);
    if (text.size() + (addSlash ? 1 : 0) + 1 > MaxPathBuffer) {
        return ENAMETOOLONG;
    }
    memcpy(out, text.data(), text.size());
    size_t n = text.size();
    if (addSlash) {
        out[n++] = '/';
    }
    out[n] = '\0';
    return 0;
}

std::string RealPathOf(const std::string& text, int* error) {
    char* real = realpath(text.c_str(), nullptr);
    if (real == nullptr) {
        *error = ErrnoOr(ENOENT);
        return std::string();
    }
    std::string result(real);
    free(real);
    *error = 0;
    return result;
}

}  // namespace

const char* GetTempDir() noexcept {
    const char* dir = getenv("TMPDIR");
    return dir != nullptr ? dir : "/tmp";
}

const char* GetBaseName(const char* path) noexcept {
    const char* slash = strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

int IsDir(const char* path) noexcept {
    if (path == nullptr || *path == '\0') {
        return ENOENT;
    }
    struct stat st;
    if (stat(path, &st) != 0) {
        return errno;
    }
    return S_ISDIR(st.st_mode) ? 0 : ENOENT;
}

bool PathExists(const char* path) noexcept {
    return access(path, F_OK) == 0;
}

int MakePath(char* path, int mode) noexcept {
    char* p = path;
    for (;;) {
        while (*p == '/') {
            ++p;
        }
        if (*p == '\0') {
            return 0;
        }
        char* end = p;
        while (*end != '\0' && *end != '/') {
            ++end;
        }
        const char saved = *end;
        *end = '\0';
        int result = 0;
        struct stat st;
        if (stat(path, &st) != 0) {
            if (errno != ENOENT || (mkdir(path, mode_t(mode)) != 0 && errno != EEXIST)) {
                result = -1;
            }
        } else if (!S_ISDIR(st.st_mode)) {
            errno = EEXIST;
            result = -1;
        }
        *end = saved;
        if (result != 0) {
            return result;
        }
        p = end;
    }
}

int RemoveDirTree(const char* dir) noexcept {
    errno = 0;
    DIR* d = opendir(dir);
    if (d == nullptr) {
        return ErrnoOr(ENOENT);
    }
    char path[MaxPathBuffer];
    size_t prefix = strlen(dir);
    const bool addSlash = prefix == 0 || dir[prefix - 1] != '/';
    if (prefix + (addSlash ? 1 : 0) + 1 > sizeof(path)) {
        closedir(d);
        return ENAMETOOLONG;
    }
    memcpy(path, dir, prefix);
    if (addSlash) {
        path[prefix++] = '/';
    }
    int result = 0;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(d);
        if (entry == nullptr) {
            result = errno;
            break;
        }
        if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0) {
            continue;
        }
        const size_t length = strlen(entry->d_name);
        if (prefix + length + 1 > sizeof(path)) {
            result = ENAMETOOLONG;
            break;
        }
        memcpy(path + prefix, entry->d_name, length + 1);
        bool isDir = entry->d_type == DT_DIR;
        struct stat st;
        if (entry->d_type == DT_UNKNOWN && lstat(path, &st) == 0) {
            isDir = S_ISDIR(st.st_mode);
        }
        if (isDir) {
            result = ENOTEMPTY;
            break;
        }
        errno = 0;
        if (unlink(path) != 0) {
            result = ErrnoOr(ENOENT);
            break;
        }
    }
    closedir(d);
    if (result != 0) {
        return result;
    }
    errno = 0;
    return rmdir(dir) == 0 ? 0 : ErrnoOr(ENOTEMPTY);
}

int ResolvePath(const char* path, const char* base, char* out, bool isDir) noexcept {
    *out = '\0';
    if (path == nullptr || *path == '\0') {
        return EINVAL;
    }
    try {
        std::string text;
        if (base != nullptr && path[0] != '/' && base[0] == '/') {
            text = base;
            if (text.size() > MaxJoinedPath) {
                return EINVAL;
            }
            if (!EndsWithSlash(text)) {
                text += '/';
            }
            text += path;
            if (text.size() > MaxJoinedPath) {
                return EINVAL;
            }
        } else {
            text = path;
        }
        if (isDir && !EndsWithSlash(text)) {
            text += '/';
        }

        errno = 0;
        int error = 0;
        const std::string real = RealPathOf(text, &error);
        if (error == 0) {
            return Emit(out, real, isDir);
        }
        if (isDir) {
            return error;
        }
        // A file that does not exist yet: resolve its directory and keep its name.
        const size_t slash = text.rfind('/');
        std::string dir = slash == std::string::npos ? "." : text.substr(0, slash);
        if (dir.empty()) {
            dir.push_back('/');  // the file lies in the root
        }
        errno = 0;
        std::string resolved = RealPathOf(dir, &error);
        if (error != 0) {
            return error;
        }
        if (!EndsWithSlash(resolved)) {
            resolved += '/';
        }
        resolved += slash == std::string::npos ? text : text.substr(slash + 1);
        return Emit(out, resolved, false);
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

int MakeTempDir(char* out, const char* parent) noexcept {
    if (parent == nullptr) {
        parent = GetTempDir();
    }
    int result = ResolvePath(parent, nullptr, out, true);
    if (result == 0) {
        result = IsDir(out);
    }
    if (result != 0) {
        return result;
    }
    static constexpr char Template[] = "tmpXXXXXX";
    const size_t length = strlen(out);
    if (length + sizeof(Template) - 1 > MaxPathBuffer - TempDirReserve) {
        return EINVAL;
    }
    memcpy(out + length, Template, sizeof(Template));
    errno = 0;
    if (mkdtemp(out) == nullptr) {
        return ErrnoOr(EINVAL);
    }
    strcat(out, "/");
    return 0;
}

bool IsDir(const Stroka& path) noexcept {
    return IsDir(path.c_str()) == 0;
}

bool EnsureExists(const Stroka& path) {
    if (!PathExists(path.c_str())) {
        throw kexception() << "File or dir " << path << " does not exist";
    }
    return true;
}

Stroka GetDirName(const Stroka& path) {
    if (!path.empty() && path.back() == '/') {
        return path.substr(0, path.size() - 1);
    }
    const size_t slash = path.rfind('/');
    if (slash == Stroka::npos) {
        return Stroka(".");
    }
    return path.substr(0, slash);
}

void AppendSlash(Stroka& path) {
    if (!path.empty() && path.back() != '/') {
        path.append('/');
    }
}

Stroka ResolvePath(const char* path, bool isDir) {
    char out[MaxPathBuffer];
    if (ResolvePath(path, nullptr, out, isDir) != 0) {
        throw kexception() << "cannot resolve path: \"" << path << "\"";
    }
    return Stroka(out);
}

Stroka RealPath(const Stroka& path) {
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        const int status = errno;
        throw TFileError(status) << "RealPath failed \"" << path << "\"";
    }
    Stroka result(real);
    free(real);
    return result;
}

Stroka GetCwd() {
    TTempBuf buffer;
    if (getcwd(buffer.Data(), buffer.Size()) == nullptr) {
        const int status = errno;
        throw TIoSystemError(status) << "failed to getcwd";
    }
    return Stroka(buffer.Data());
}

void ChangeDir(const Stroka& path) {
    if (chdir(path.c_str()) != 0) {
        const int status = errno;
        throw TSystemError(status) << "failed to change directory to "
                                   << "\"" << EscapeC(path) << "\"";
    }
}

void MakeDir(const Stroka& path, int mode) {
    if (mkdir(path.c_str(), mode_t(mode)) != 0) {
        const int status = errno;
        if (status != EEXIST) {
            throw TSystemError(status) << "failed to create directory " << path;
        }
        errno = 0;
    }
}

void MakePathIfNotExist(const char* path, int mode) {
    std::vector<char> copy(path, path + strlen(path) + 1);
    if (MakePath(copy.data(), mode) == 0) {
        errno = 0;
        return;
    }
    const int status = errno;
    if (status == EEXIST) {
        struct stat st;
        if (stat(path, &st) == 0 && S_ISDIR(st.st_mode)) {
            errno = 0;
            return;
        }
        throw kexception() << path << " already exists and is not a directory";
    }
    throw TSystemError(status) << "failed to create directory " << path;
}

void RemoveDirWithContents(const Stroka& dir) {
    Stroka root = dir;
    AppendSlash(root);
    errno = 0;
    TDirIterator walk(root, NFts::FTS_NOCHDIR | NFts::FTS_PHYSICAL);
    while (const NFts::FTSENT* entry = walk.Next()) {
        switch (entry->fts_info) {
            case NFts::FTS_DEFAULT:
            case NFts::FTS_DP:
            case NFts::FTS_F:
            case NFts::FTS_SL:
            case NFts::FTS_SLNONE:
                if (RemovePath(entry->fts_path) != 0) {
                    const int status = errno;
                    throw TSystemError(status) << "error while removing " << entry->fts_path;
                }
                break;
            default:
                break;
        }
    }
    if (errno != 0) {
        const int status = errno;
        throw TDirIterator::TError(status) << "error while iterating " << dir;
    }
}

Stroka GetHomeDir() {
    const char* home = getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return Stroka(home);
    }
    const char* user = getenv("USER");
    const passwd* entry = user != nullptr && *user != '\0' ? getpwnam(user) : getpwuid(getuid());
    if (entry != nullptr && entry->pw_dir != nullptr) {
        return Stroka(entry->pw_dir);
    }
    char* cwd = getcwd(nullptr, 0);
    Stroka result(cwd);
    free(cwd);
    return result;
}

bool NormalizePath(Stroka& path, const Stroka& base) {
    if (path.empty()) {
        return false;
    }
    std::string p(path.data(), path.size());
    for (char& c : p) {
        if (c == '\\') {
            c = '/';
        }
    }
    if (p[0] == '~') {
        if (p.size() == 1 || p[1] == '/') {
            const Stroka home = GetHomeDir();
            p = std::string(home.data(), home.size()) + p.substr(1);
        } else {
            const size_t slash = p.find('/');
            const std::string user = p.substr(1, slash == std::string::npos ? slash : slash - 1);
            const passwd* entry = getpwnam(user.c_str());
            if (entry == nullptr || entry->pw_dir == nullptr) {
                return false;
            }
            p = std::string(entry->pw_dir) + "/" +
                (slash == std::string::npos ? std::string() : p.substr(slash + 1));
        }
    }
    if (p.empty() || p[0] != '/') {
        const size_t slash = base.rfind('/');
        if (slash == Stroka::npos) {
            return false;
        }
        p = std::string(base.data(), slash + 1) + p;
    }

    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = p.find('/', start);
        parts.push_back(p.substr(start, slash == std::string::npos ? slash : slash - start));
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    std::vector<std::string> kept = {parts[0]};
    for (size_t i = 1; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const bool last = i + 1 == parts.size();
        if (part.empty() || part == ".") {
            if (last) {
                kept.emplace_back();
            }
        } else if (part == "..") {
            if (kept.size() == 1) {
                if (last) {
                    kept.emplace_back();
                }
            } else if (last) {
                kept.back().clear();
            } else {
                kept.pop_back();
            }
        } else {
            kept.push_back(part);
        }
    }
    std::string joined = kept[0];
    for (size_t i = 1; i < kept.size(); ++i) {
        joined += '/';
        joined += kept[i];
    }
    path = Stroka(joined.data(), joined.size());
    return true;
}
