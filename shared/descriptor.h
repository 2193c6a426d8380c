// A file descriptor that is closed on every way out.
#ifndef TORNEL_DESCRIPTOR_H
#define TORNEL_DESCRIPTOR_H

#include <unistd.h>

#include <cerrno>

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor&& other) noexcept : fd_(other.release()) {}
    Descriptor& operator=(Descriptor&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    // Closes it now: 0, or the errno value of a close that failed (a disk
    // may report a failed write only here).
    int close()
    {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

#endif
