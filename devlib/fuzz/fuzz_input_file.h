// The file each fuzz input is written to, for readers that open a file by
// name: a regular file in memory, named /proc/self/fd/N, so that no input
// waits for the disk. It goes with the process.
#ifndef DRAVIK_FUZZ_INPUT_FILE_H
#define DRAVIK_FUZZ_INPUT_FILE_H

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

class FuzzInputFile {
public:
    explicit FuzzInputFile(const char* name) : fd_(memfd_create(name, MFD_CLOEXEC))
    {
        if (fd_ < 0) {
            std::perror("memfd_create");
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }

    const std::string& path() const { return path_; }

    void write(const uint8_t* data, size_t size) const
    {
        for (size_t done = 0; done < size;) {
            const ssize_t count = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                std::abort();
            done += static_cast<size_t>(count);
        }
        if (ftruncate(fd_, static_cast<off_t>(size)) != 0)
            std::abort();
    }

private:
    int fd_;
    std::string path_;
};

#endif
