#include "regular_file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr size_t kBlockSize = 64 * 1024;

#ifdef _WIN32
using FileStatus = struct _stat64;
int statusOf(const char* path, FileStatus& status)
{
    return _stat64(path, &status);
}
int statusOf(int fd, FileStatus& status)
{
    return _fstat64(fd, &status);
}
int openForReading(const char* path)
{
    return _open(path, _O_RDONLY | _O_BINARY);
}
long readBlock(int fd, char* block)
{
    return _read(fd, block, kBlockSize);
}
int closeFile(int fd)
{
    return _close(fd);
}
#else
using FileStatus = struct stat;
int statusOf(const char* path, FileStatus& status)
{
    return stat(path, &status);
}
int statusOf(int fd, FileStatus& status)
{
    return fstat(fd, &status);
}
// Non-blocking: a FIFO put in the file's place since it was looked at must
// not hold the open.
int openForReading(const char* path)
{
    return open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
long readBlock(int fd, char* block)
{
    ssize_t count;
    do {
        count = read(fd, block, kBlockSize);
    } while (count < 0 && errno == EINTR);
    return static_cast<long>(count);
}
int closeFile(int fd)
{
    return close(fd);
}
#endif

// What a file that is not a regular one is, for the message.
const char* whyNotRegular(const FileStatus& status)
{
    if (S_ISREG(status.st_mode))
        return nullptr;
    if (S_ISDIR(status.st_mode))
        return "a folder, not a regular file";
    if (S_ISFIFO(status.st_mode))
        return "a FIFO, not a regular file";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode))
        return "a device, not a regular file";
#ifdef S_ISSOCK
    if (S_ISSOCK(status.st_mode))
        return "a socket, not a regular file";
#endif
    return "not a regular file";
}

}  // namespace

RegularFileReader::RegularFileReader(const char* path)
{
    // Looked at before it is opened: opening some devices acts on them.
    FileStatus status;
    if (statusOf(path, status) != 0) {
        problem_ = std::strerror(errno);
        return;
    }
    if ((problem_ = whyNotRegular(status)) != nullptr)
        return;
    // Before the open: a constructor that throws leaves no destructor to
    // close the file.
    block_.resize(kBlockSize);
    fd_ = openForReading(path);
    if (fd_ < 0) {
        problem_ = std::strerror(errno);
        return;
    }
    if (statusOf(fd_, status) != 0)
        problem_ = std::strerror(errno);
    else
        problem_ = whyNotRegular(status);
}

RegularFileReader::~RegularFileReader()
{
    if (fd_ >= 0)
        closeFile(fd_);
}

bool RegularFileReader::available()
{
    if (next_ < length_)
        return true;
    if (fd_ < 0 || problem_ != nullptr)
        return false;
    const long count = readBlock(fd_, block_.data());
    if (count < 0)
        problem_ = std::strerror(errno);
    next_ = 0;
    length_ = count > 0 ? static_cast<size_t>(count) : 0;
    return length_ > 0;
}
