#include "file_replacement.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <tuple>
#include <vector>

namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit
constexpr int kMaxNameAttempts = 100;
constexpr size_t kRandomLetters = 6;

// Adds the components of `text` to `pending`, which is walked from its back.
// A trailing slash asks for a folder: "x/" is walked as "x/.".
void pushComponents(const std::string& text, std::vector<std::string>& pending)
{
    std::vector<std::string> components;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            components.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    if (components.empty() || text.back() == '/')
        components.emplace_back(".");
    pending.insert(pending.end(), components.rbegin(), components.rend());
}

bool mayFollow(int folder, const struct stat& link)
{
    struct stat status;
    if (fstat(folder, &status) != 0)
        return false;
    const bool shared = (status.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || link.st_uid == geteuid() || link.st_uid == status.st_uid;
}

// Closes `previous` and opens the folder a walk starts from: the root for an
// absolute path, else the current folder.
int openStart(int previous, bool absolute)
{
    if (previous >= 0)
        close(previous);
    return open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Letters nobody can tell in advance, so that nobody can take the name first.
std::string randomLetters()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomLetters];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Early at boot the kernel may have no random bytes yet.
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        uint64_t mixed = static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30) ^
                         (static_cast<uint64_t>(getpid()) << 8);
        for (unsigned char& byte : bytes) {
            byte = static_cast<unsigned char>(mixed);
            mixed >>= 8;
        }
    }
    std::string letters;
    for (const unsigned char byte : bytes)
        letters += kLetters[byte % (sizeof kLetters - 1)];
    return letters;
}

// "<name>.XXXXXX", the name shortened as far as the folder's limit needs.
std::string temporaryStem(const SaveTarget& target)
{
    long longest = fpathconf(target.folder(), _PC_NAME_MAX);
    if (longest < 0)
        longest = NAME_MAX;
    const long kept = longest - static_cast<long>(kRandomLetters) - 1;
    return std::string(target.name()).substr(0, static_cast<size_t>(kept > 0 ? kept : 0)) + ".";
}

bool takeOver(int fd, const struct stat& existing)
{
    // A part this user may not set stays this user's, as on a new file.
    if (fchown(fd, existing.st_uid, existing.st_gid) != 0)
        std::ignore = fchown(fd, static_cast<uid_t>(-1), existing.st_gid);
    return fchmod(fd, existing.st_mode & 07777) == 0;
}

}  // namespace

SaveTarget::~SaveTarget()
{
    if (folder_ >= 0)
        close(folder_);
}

int SaveTarget::find(const char* path)
{
    if (*path == '\0')
        return ENOENT;
    std::vector<std::string> pending;
    pushComponents(path, pending);
    folder_ = openStart(folder_, *path == '/');
    if (folder_ < 0)
        return errno;
    for (int links = 0;;) {
        std::string name = std::move(pending.back());
        pending.pop_back();
        struct stat status;
        if (fstatat(folder_, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !pending.empty())
                return errno;
        } else if (S_ISLNK(status.st_mode)) {
            if (++links > kMaxLinks)
                return ELOOP;
            if (!mayFollow(folder_, status))
                return kForeignLinkInSharedFolder;
            char text[PATH_MAX];
            const ssize_t length = readlinkat(folder_, name.c_str(), text, sizeof text);
            if (length <= 0)
                return length < 0 ? errno : ENOENT;
            if (static_cast<size_t>(length) == sizeof text)
                return ENAMETOOLONG;
            if (text[0] == '/' && (folder_ = openStart(folder_, true)) < 0)
                return errno;
            pushComponents(std::string(text, static_cast<size_t>(length)), pending);
            continue;
        }
        if (pending.empty()) {
            name_ = std::move(name);
            return 0;
        }
        const int next = openat(folder_, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0)
            return errno;
        close(folder_);
        folder_ = next;
    }
}

int createReplacement(const SaveTarget& target, const struct stat* existing, std::string& temporary)
{
    const std::string stem = temporaryStem(target);
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        temporary = stem + randomLetters();
        // Only this user may open it until it has the old file's owner and bits.
        const int fd = openat(target.folder(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                              existing ? 0600 : 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0 || !existing || takeOver(fd, *existing))
            return fd;
        const int error = errno;
        close(fd);
        unlinkat(target.folder(), temporary.c_str(), 0);
        errno = error;
        return -1;
    }
    errno = EEXIST;
    return -1;
}

int writeFlushAndClose(int fd, const char* bytes, size_t size)
{
    int error = 0;
    for (size_t written = 0; error == 0 && written < size;) {
        const ssize_t count = write(fd, bytes + written, size - written);
        if (count >= 0)
            written += static_cast<size_t>(count);
        else if (errno != EINTR)
            error = errno;
    }
    if (error == 0 && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

int finishReplacement(const SaveTarget& target, const std::string& temporary, int error)
{
    if (error == 0 && renameat(target.folder(), temporary.c_str(), target.folder(), target.name()) != 0)
        error = errno;
    if (error != 0)
        unlinkat(target.folder(), temporary.c_str(), 0);
    return error;
}
