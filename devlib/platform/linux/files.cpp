// Whole-file reading and writing over POSIX calls.
#include "../files.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr int kMaxLinkDepth = 40;  // the kernel's own limit
constexpr int kMaxTemporaryAttempts = 100;
constexpr size_t kMaxNameInTemporary = 32;

// Replaces path, as long as it names a symbolic link, by the path the link
// names. False on a loop or a link that can't be read.
bool followLinks(std::string& path)
{
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        char link[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), link, sizeof link);
        if (length < 0 || static_cast<size_t>(length) == sizeof link)
            return false;
        const std::string target(link, static_cast<size_t>(length));
        if (target[0] == '/') {
            path = target;
        } else {
            const size_t slash = path.rfind('/');
            path = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + target;
        }
    }
    return false;
}

bool writeAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// Flushes and closes fd; false when either fails.
bool finish(int fd)
{
    bool ok = fsync(fd) == 0;
    if (close(fd) != 0)
        ok = false;
    return ok;
}

// Writes over the regular file open on fd, which must be shortened first.
bool writeInPlace(int fd, const std::string& bytes)
{
    return ftruncate(fd, 0) == 0 && writeAll(fd, bytes);
}

// Opens the existing regular file at path for writing without changing it,
// which tells whether its permissions let the caller write it. Non-blocking,
// so that a FIFO put there meanwhile can't hold the caller.
int openExistingForWriting(const std::string& path, struct stat& info)
{
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Creates a new file beside `name` in `folder`, never opening one that
// exists; -1 with errno set when the folder refuses it.
int createTemporary(const std::string& folder, const std::string& name, std::string& temporary)
{
    static unsigned counter = 0;
    const std::string stem = folder + "." + name.substr(0, kMaxNameInTemporary) + "." + std::to_string(getpid()) + ".";
    for (int attempt = 0; attempt < kMaxTemporaryAttempts; ++attempt) {
        temporary = stem + std::to_string(counter++) + ".tmp";
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}  // namespace

std::FILE* openRegularFileForReading(const char* path)
{
    // Non-blocking so that a FIFO is refused instead of waiting for a writer.
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr)
        close(fd);
    return file;
}

bool writeWholeFile(const char* path, const std::string& bytes)
{
    std::string target = path;
    if (!followLinks(target))
        return false;
    struct stat info;
    const bool exists = stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT)
        return false;
    // A FIFO, device, socket or folder is never opened: it could block,
    // or take the bytes somewhere no file keeps them.
    if (exists && !S_ISREG(info.st_mode))
        return false;

    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = target.substr(folder.size());
    if (name.empty())
        return false;

    // The replacement would get past the file's own protection.
    const int existing = exists ? openExistingForWriting(target, info) : -1;
    if (exists && existing < 0)
        return false;

    std::string temporary;
    int fd;
    try {
        fd = createTemporary(folder, name, temporary);
    } catch (...) {
        // Memory ran out naming the temporary file.
        if (existing >= 0)
            close(existing);
        throw;
    }
    if (fd < 0) {
        if (!exists)
            return false;
        if (errno != EACCES && errno != EPERM) {
            close(existing);
            return false;
        }
        const bool written = writeInPlace(existing, bytes);
        return finish(existing) && written;
    }
    bool ok = true;
    if (exists) {
        close(existing);
        const bool foreignOwner = info.st_uid != geteuid() || info.st_gid != getegid();
        if (foreignOwner && fchown(fd, info.st_uid, info.st_gid) != 0) {
            // Only a privileged caller can hand the file back to its owner;
            // otherwise the replacement is the caller's, as a new file would be.
        }
        ok = fchmod(fd, info.st_mode & 07777) == 0;
    }
    ok = ok && writeAll(fd, bytes);
    ok = finish(fd) && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        unlink(temporary.c_str());
    return ok;
}
