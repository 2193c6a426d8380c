// Whole-file reading and writing over POSIX calls.
#include "../files.h"

#include "whole_file_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    return saveWholeFile(path, bytes.data(), bytes.size(), EndSignals::LeftToCaller) == 0;
}
