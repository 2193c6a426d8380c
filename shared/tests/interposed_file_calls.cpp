#include "interposed_file_calls.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

std::atomic<const InterposedFileCall*> armed{nullptr};
std::atomic<ChosenRandomBytes*> chosenRandom{nullptr};

// The definition this executable's hides: the C library's, or the
// sanitizer's interceptor in front of it.
template <typename Call>
Call next(const char* name)
{
    return reinterpret_cast<Call>(dlsym(RTLD_NEXT, name));
}

bool inFolder(int fd, const std::string& folder)
{
    char link[32];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char path[PATH_MAX];
    const ssize_t length = ::readlink(link, path, sizeof path);
    if (length <= static_cast<ssize_t>(folder.size()) || static_cast<size_t>(length) == sizeof path ||
        path[folder.size()] != '/' || std::memcmp(path, folder.data(), folder.size()) != 0)
        return false;
    return std::memchr(path + folder.size() + 1, '/', static_cast<size_t>(length) - folder.size() - 1) == nullptr;
}

// The errno value `call` on fd is to fail with, or 0.
int interposed(FileCall call, int fd)
{
    const InterposedFileCall* active = armed.load();
    if (!active || active->call != call || !inFolder(fd, active->folder))
        return 0;
    return active->action(fd);
}

std::string canonical(const std::string& folder)
{
    const std::unique_ptr<char, decltype(&free)> resolved(realpath(folder.c_str(), nullptr), &free);
    return resolved ? resolved.get() : folder;
}

}  // namespace

InterposedFileCall::InterposedFileCall(FileCall call, const std::string& folder, std::function<int(int fd)> action)
    : call(call), folder(canonical(folder)), action(std::move(action))
{
    armed.store(this);
}

InterposedFileCall::InterposedFileCall(FileCall call, const std::string& folder, std::function<int()> action)
    : InterposedFileCall(call, folder, [action = std::move(action)](int) { return action(); })
{
}

InterposedFileCall::~InterposedFileCall()
{
    armed.store(nullptr);
}

ChosenRandomBytes::ChosenRandomBytes(std::vector<unsigned char> bytes) : bytes_(std::move(bytes))
{
    chosenRandom.store(this);
}

ChosenRandomBytes::~ChosenRandomBytes()
{
    chosenRandom.store(nullptr);
}

unsigned char ChosenRandomBytes::next()
{
    const unsigned char byte = bytes_.at(used_ < bytes_.size() ? used_ : bytes_.size() - 1);
    ++used_;
    return byte;
}

extern "C" ssize_t write(int fd, const void* bytes, size_t size)
{
    using Call = ssize_t (*)(int, const void*, size_t);
    static const Call nextWrite = next<Call>("write");
    if (const int error = interposed(FileCall::Write, fd)) {
        errno = error;
        return -1;
    }
    return nextWrite(fd, bytes, size);
}

extern "C" int fsync(int fd)
{
    using Call = int (*)(int);
    static const Call nextFsync = next<Call>("fsync");
    if (const int error = interposed(FileCall::Fsync, fd)) {
        errno = error;
        return -1;
    }
    return nextFsync(fd);
}

extern "C" int close(int fd)
{
    using Call = int (*)(int);
    static const Call nextClose = next<Call>("close");
    const int error = interposed(FileCall::Close, fd);
    const int result = nextClose(fd);
    if (error == 0)
        return result;
    errno = error;
    return -1;
}

extern "C" ssize_t getrandom(void* buffer, size_t size, unsigned int flags)
{
    using Call = ssize_t (*)(void*, size_t, unsigned int);
    static const Call nextGetrandom = next<Call>("getrandom");
    ChosenRandomBytes* chosen = chosenRandom.load();
    if (!chosen)
        return nextGetrandom(buffer, size, flags);
    std::memset(buffer, chosen->next(), size);
    return static_cast<ssize_t>(size);
}
