#include "interposed_file_calls.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<const InterposedFileCall*> armed{nullptr};

using Call = int (*)(int);

// The definition this executable's hides: the C library's, or the
// sanitizer's interceptor in front of it.
Call next(const char* name)
{
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

bool inFolder(int fd, const QByteArray& folder)
{
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t length = ::readlink(link, path, sizeof path);
    if (length <= folder.size() || static_cast<size_t>(length) == sizeof path || path[folder.size()] != '/' ||
        std::memcmp(path, folder.constData(), static_cast<size_t>(folder.size())) != 0)
        return false;
    return std::memchr(path + folder.size() + 1, '/', static_cast<size_t>(length - folder.size() - 1)) == nullptr;
}

// The errno value `call` on fd is to fail with, or 0.
int interposed(FileCall call, int fd)
{
    const InterposedFileCall* active = armed.load();
    if (!active || active->call != call || !inFolder(fd, active->folder))
        return 0;
    return active->action();
}

}  // namespace

InterposedFileCall::InterposedFileCall(FileCall call, const QString& folder, std::function<int()> action)
    : call(call), folder(QFile::encodeName(QFileInfo(folder).canonicalFilePath())), action(std::move(action))
{
    armed.store(this);
}

InterposedFileCall::~InterposedFileCall()
{
    armed.store(nullptr);
}

extern "C" int fsync(int fd)
{
    static const Call nextFsync = next("fsync");
    if (const int error = interposed(FileCall::Fsync, fd)) {
        errno = error;
        return -1;
    }
    return nextFsync(fd);
}

extern "C" int close(int fd)
{
    static const Call nextClose = next("close");
    const int error = interposed(FileCall::Close, fd);
    const int result = nextClose(fd);
    if (error == 0)
        return result;
    errno = error;
    return -1;
}
