// Whole-file reading and writing over POSIX calls.
#include "../files.h"

#include "file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// Opens the existing regular file of target for writing without changing it,
// which tells whether its permissions let the caller write it. Non-blocking,
// so that a FIFO put there meanwhile can't hold the caller.
int openExistingForWriting(const SaveTarget& target)
{
    const int fd = openat(target.folder(), target.name(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

// Writes over the regular file open on fd, and closes it.
bool writeInPlace(int fd, const std::string& bytes)
{
    if (ftruncate(fd, 0) != 0) {
        close(fd);
        return false;
    }
    return writeFlushAndClose(fd, bytes.data(), bytes.size()) == 0;
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
    SaveTarget target;
    if (target.find(path) != 0)
        return false;
    struct stat info;
    const bool exists = fstatat(target.folder(), target.name(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return false;
    // A FIFO, device, socket or folder is never opened: it could block,
    // or take the bytes somewhere no file keeps them.
    if (exists && !S_ISREG(info.st_mode))
        return false;

    // The replacement would get past the file's own protection.
    const int existing = exists ? openExistingForWriting(target) : -1;
    if (exists && existing < 0)
        return false;

    std::string temporary;
    int fd;
    try {
        fd = createReplacement(target, exists ? &info : nullptr, temporary);
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
        return writeInPlace(existing, bytes);
    }
    if (exists)
        close(existing);
    return finishReplacement(target, temporary, writeFlushAndClose(fd, bytes.data(), bytes.size())) == 0;
}
