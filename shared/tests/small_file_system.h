// A file system of a few pages that only this process sees, for saves on a
// full disk: in a mount namespace of its own, which an unprivileged run gets
// with a user namespace in which it is root.
#ifndef TORNEL_TESTS_SMALL_FILE_SYSTEM_H
#define TORNEL_TESTS_SMALL_FILE_SYSTEM_H

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

// Mounts a tmpfs of `size` ("4k") on `folder`: an empty text, or why it
// could not.
inline std::string mountSmallFileSystem(const std::string& folder, const char* size)
{
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    if (unshare(CLONE_NEWNS) != 0) {
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("no mount namespace: ") + std::strerror(errno);
        const auto write = [](const char* file, const std::string& text) {
            const int fd = open(file, O_WRONLY | O_CLOEXEC);
            const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
            if (fd >= 0)
                close(fd);
            return written;
        };
        if (!write("/proc/self/setgroups", "deny") || !write("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !write("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
            return std::string("no user namespace map: ") + std::strerror(errno);
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", folder.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) != 0)
        return std::string("no tmpfs: ") + std::strerror(errno);
    return {};
}

#endif
