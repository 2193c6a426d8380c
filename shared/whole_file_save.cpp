#include "whole_file_save.h"

#include "descriptor.h"

#include <fcntl.h>
#include <limits.h>
#include <linux/magic.h>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit
constexpr int kMaxNameAttempts = 100;
constexpr std::size_t kRandomLetters = 6;

// Adds the components of `text` to `pending`, which is walked from its back.
// A trailing slash asks for a folder: "x/" is walked as "x/.".
void pushComponents(const std::string& text, std::vector<std::string>& pending)
{
    std::vector<std::string> components;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('/', start);
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

bool onProcFileSystem(int folder)
{
    struct statfs info {};
    return fstatfs(folder, &info) == 0 && info.f_type == PROC_SUPER_MAGIC;
}

// Where a path leads: the folder that holds the file, open for the *at calls,
// and the file's name in it. The file need not exist.
class SaveTarget {
public:
    // 0, an errno value or kForeignLinkInSharedFolder.
    int find(const char* path);

    int folder() const { return folder_.get(); }
    const char* name() const { return name_.c_str(); }
    // The name is a link the kernel resolves by itself (/proc/self/fd/N): the
    // file it leads to may have no name at all to be replaced under.
    bool resolvedByTheKernel() const { return resolvedByTheKernel_; }

private:
    bool openStart(bool absolute)
    {
        folder_.reset(open(absolute ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        return folder_.valid();
    }
    bool enter(const std::string& name, int followFlag)
    {
        const int next = openat(folder(), name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | followFlag);
        if (next < 0)
            return false;
        folder_.reset(next);
        return true;
    }

    Descriptor folder_;
    std::string name_;
    bool resolvedByTheKernel_ = false;
};

int SaveTarget::find(const char* path)
{
    if (*path == '\0')
        return ENOENT;
    std::vector<std::string> pending;
    pushComponents(path, pending);
    if (!openStart(*path == '/'))
        return errno;
    for (int links = 0;;) {
        std::string name = std::move(pending.back());
        pending.pop_back();
        struct stat status {};
        if (fstatat(folder(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT || !pending.empty())
                return errno;
        } else if (S_ISLNK(status.st_mode)) {
            if (++links > kMaxLinks)
                return ELOOP;
            // Their text need not be a path at all ("memfd:cfg (deleted)").
            if (onProcFileSystem(folder())) {
                if (pending.empty()) {
                    name_ = std::move(name);
                    resolvedByTheKernel_ = true;
                    return 0;
                }
                if (!enter(name, 0))
                    return errno;
                continue;
            }
            struct stat folderStatus {};
            if (fstat(folder(), &folderStatus) != 0)
                return errno;
            if (!mayFollowLink(folderStatus.st_mode, folderStatus.st_uid, status.st_uid, geteuid()))
                return kForeignLinkInSharedFolder;
            char text[PATH_MAX];
            const ssize_t length = readlinkat(folder(), name.c_str(), text, sizeof text);
            if (length <= 0)
                return length < 0 ? errno : ENOENT;
            if (static_cast<std::size_t>(length) == sizeof text)
                return ENAMETOOLONG;
            if (text[0] == '/' && !openStart(true))
                return errno;
            pushComponents(std::string(text, static_cast<std::size_t>(length)), pending);
            continue;
        }
        if (pending.empty()) {
            name_ = std::move(name);
            return 0;
        }
        if (!enter(name, O_NOFOLLOW))
            return errno;
    }
}

// While it lives, SIGTERM, SIGINT and SIGHUP, unless ignored, are only noted.
// Each noted one is raised again at the end, for the disposition it had
// before.
class NotedEndSignals {
public:
    NotedEndSignals()
    {
        noted_ = 0;
        struct sigaction noting {};
        noting.sa_handler = [](int signal) { noted_ = signal; };
        noting.sa_flags = SA_RESTART;
        sigfillset(&noting.sa_mask);
        for (std::size_t index = 0; index < std::size(kSignals); ++index) {
            sigaction(kSignals[index], nullptr, &previous_[index]);
            if (previous_[index].sa_handler != SIG_IGN)
                sigaction(kSignals[index], &noting, nullptr);
        }
    }
    ~NotedEndSignals()
    {
        for (std::size_t index = 0; index < std::size(kSignals); ++index)
            sigaction(kSignals[index], &previous_[index], nullptr);
        if (noted_ != 0)
            raise(noted_);
    }
    NotedEndSignals(const NotedEndSignals&) = delete;
    NotedEndSignals& operator=(const NotedEndSignals&) = delete;

    bool any() const { return noted_ != 0; }

private:
    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
    // Set by whichever thread the signal reaches.
    static inline std::atomic<int> noted_{0};
    struct sigaction previous_[std::size(kSignals)]{};
};

using NotedSignals = std::optional<NotedEndSignals>;

bool stopsTheSave(const NotedSignals& noted)
{
    return noted && noted->any();
}

// Letters nobody can tell in advance, so that nobody can take the name first.
std::string randomLetters()
{
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomLetters];
    if (getrandom(bytes, sizeof bytes, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bytes)) {
        // Early at boot the kernel may have no random bytes yet.
        timespec now{};
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

// "<name>.", the name shortened as far as the folder's limit needs for the
// letters that follow.
std::string temporaryStem(const SaveTarget& target)
{
    long longest = fpathconf(target.folder(), _PC_NAME_MAX);
    if (longest < 0)
        longest = NAME_MAX;
    const long kept = longest - static_cast<long>(kRandomLetters) - 1;
    return std::string(target.name()).substr(0, static_cast<std::size_t>(kept > 0 ? kept : 0)) + ".";
}

// The new file beside the target, under a name the folder takes however long
// the target's is; removed on every way out but its rename.
class Replacement {
public:
    // Until it has the old file's attributes only this user may open it.
    Replacement(const SaveTarget& target, bool replacing) : target_(target)
    {
        const std::string stem = temporaryStem(target);
        for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
            name_ = stem + randomLetters();
            fd_.reset(openat(target.folder(), name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC,
                             replacing ? 0600 : 0666));
            if (fd_.valid())
                return;
            if (errno != EEXIST)
                break;
        }
        error_ = errno;
        name_.clear();
    }
    ~Replacement()
    {
        fd_.reset();
        if (!name_.empty())
            unlinkat(target_.folder(), name_.c_str(), 0);
    }
    Replacement(const Replacement&) = delete;
    Replacement& operator=(const Replacement&) = delete;

    // 0 once the file is made, else why not.
    int error() const { return error_; }
    Descriptor& fd() { return fd_; }
    int renameOverTarget()
    {
        if (renameat(target_.folder(), name_.c_str(), target_.folder(), target_.name()) != 0)
            return errno;
        name_.clear();
        return 0;
    }

private:
    const SaveTarget& target_;
    std::string name_;
    Descriptor fd_;
    int error_ = 0;
};

using Attributes = std::vector<std::pair<std::string, std::string>>;

// What `call` reads into a buffer as large as it first asks for, again while
// the text grows meanwhile.
template <typename Call>
bool readSized(Call call, std::string& text)
{
    for (;;) {
        const ssize_t needed = call(nullptr, 0);
        if (needed < 0)
            return false;
        text.resize(static_cast<std::size_t>(needed));
        const ssize_t length = call(text.data(), text.size());
        if (length >= 0) {
            text.resize(static_cast<std::size_t>(length));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// The extended attributes of the file open on fd that this caller can see,
// its ACL among them, sorted by name; false when one can't be read.
bool readAttributes(int fd, Attributes& attributes)
{
    attributes.clear();
    std::string names;
    if (!readSized([fd](char* buffer, std::size_t size) { return flistxattr(fd, buffer, size); }, names))
        return errno == ENOTSUP;
    for (std::size_t start = 0; start < names.size();) {
        std::string name(names.c_str() + start);
        start += name.size() + 1;
        std::string value;
        if (!readSized([fd, &name](char* buffer,
                                   std::size_t size) { return fgetxattr(fd, name.c_str(), buffer, size); },
                       value))
            return false;
        attributes.emplace_back(std::move(name), std::move(value));
    }
    std::sort(attributes.begin(), attributes.end());
    return true;
}

bool hasAttribute(const Attributes& attributes, const std::string& name)
{
    return std::any_of(attributes.begin(), attributes.end(),
                       [&name](const auto& entry) { return entry.first == name; });
}

bool carries(int fd, const struct stat& old, const Attributes& oldAttributes)
{
    struct stat status {};
    Attributes attributes;
    return fstat(fd, &status) == 0 && status.st_uid == old.st_uid && status.st_gid == old.st_gid &&
           (status.st_mode & 07777) == (old.st_mode & 07777) && readAttributes(fd, attributes) &&
           attributes == oldAttributes;
}

// Gives the new file on fd all that the old file on `oldFd` has: first its
// extended attributes and mode, while this caller still owns the new file,
// then its owner and group, so that nothing of it needs CAP_FOWNER. False
// when the new file can't carry all of it.
bool carryOver(int fd, int oldFd, const struct stat& old)
{
    Attributes wanted;
    Attributes present;
    if (!readAttributes(oldFd, wanted) || !readAttributes(fd, present))
        return false;
    // Such as the ACL a folder's default ACL gave the new file.
    for (const auto& [name, value] : present)
        if (!hasAttribute(wanted, name) && fremovexattr(fd, name.c_str()) != 0)
            return false;
    for (const auto& [name, value] : wanted)
        if (fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0)
            return false;
    const mode_t mode = old.st_mode & 07777;
    struct stat status {};
    if (fchmod(fd, mode) != 0 || fstat(fd, &status) != 0)
        return false;
    if ((status.st_uid != old.st_uid || status.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    // A new owner costs the file its set-user-ID and set-group-ID bits.
    if (fstat(fd, &status) != 0 || ((status.st_mode & 07777) != mode && fchmod(fd, mode) != 0))
        return false;
    return carries(fd, old, wanted);
}

int writeAll(int fd, const char* bytes, std::size_t size)
{
    for (std::size_t written = 0; written < size;) {
        const ssize_t count = write(fd, bytes + written, size - written);
        if (count >= 0)
            written += static_cast<std::size_t>(count);
        else if (errno != EINTR)
            return errno;
    }
    return 0;
}

// Flushes what was written on fd to the disk and closes it, whatever failed
// before: `error`, or the first failure.
int flushAndClose(Descriptor& fd, int error)
{
    if (error == 0 && fsync(fd.get()) != 0)
        error = errno;
    const int closed = fd.close();
    return error != 0 ? error : closed;
}

// Makes the regular file open on fd hold the bytes, taking the room for them
// before its first byte changes: on a full disk it stays as it was.
int writeInPlace(Descriptor fd, const char* bytes, std::size_t size, const NotedSignals& noted)
{
    struct stat status {};
    if (fstat(fd.get(), &status) != 0)
        return errno;
    if (stopsTheSave(noted))
        return EINTR;
    const bool grows = size > static_cast<std::size_t>(status.st_size);
    if (size > 0 && fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0 &&
        (errno != EOPNOTSUPP || grows))
        return errno;
    int error = writeAll(fd.get(), bytes, size);
    if (error == 0 && !grows && ftruncate(fd.get(), static_cast<off_t>(size)) != 0)
        error = errno;
    return flushAndClose(fd, error);
}

// Past the limit a write would raise SIGXFSZ, which ends a process that does
// not ignore it, with a new file cut short beside the old one.
bool beyondFileSizeLimit(std::size_t size)
{
    rlimit limit{};
    return getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur;
}

// Opens the regular file the target names for writing without changing it,
// so that the kernel decides whether this caller may write it (its bits, its
// ACL, a read-only mount). Non-blocking, so that a FIFO put there since can't
// hold the caller. `status` becomes the open file's.
int openForWriting(const SaveTarget& target, struct stat& status, Descriptor& fd)
{
    const int follow = target.resolvedByTheKernel() ? 0 : O_NOFOLLOW;
    fd.reset(openat(target.folder(), target.name(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | follow));
    if (!fd.valid() || fstat(fd.get(), &status) != 0)
        return errno;
    return S_ISREG(status.st_mode) ? 0 : kNotARegularFile;
}

}  // namespace

bool mayFollowLink(mode_t folderMode, uid_t folderOwner, uid_t linkOwner, uid_t caller)
{
    const bool shared = (folderMode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
    return !shared || linkOwner == caller || linkOwner == folderOwner;
}

int saveWholeFile(const char* path, const char* bytes, std::size_t size, EndSignals endSignals)
{
    SaveTarget target;
    if (const int found = target.find(path))
        return found;
    if (beyondFileSizeLimit(size))
        return EFBIG;
    struct stat status {};
    const int follow = target.resolvedByTheKernel() ? 0 : AT_SYMLINK_NOFOLLOW;
    const bool replacing = fstatat(target.folder(), target.name(), &status, follow) == 0;
    if (!replacing && (errno != ENOENT || target.resolvedByTheKernel()))
        return errno;
    if (replacing && !S_ISREG(status.st_mode))
        return kNotARegularFile;
    Descriptor old;
    if (replacing)
        if (const int error = openForWriting(target, status, old))
            return error;

    NotedSignals noted;
    if (endSignals == EndSignals::NotedUntilTheSaveEnds)
        noted.emplace();
    if (target.resolvedByTheKernel())
        return writeInPlace(std::move(old), bytes, size, noted);
    Replacement replacement(target, replacing);
    if (replacement.error() != 0) {
        // The folder takes no new files.
        if (replacing && (replacement.error() == EACCES || replacement.error() == EPERM))
            return writeInPlace(std::move(old), bytes, size, noted);
        return replacement.error();
    }
    int error = writeAll(replacement.fd().get(), bytes, size);
    if (error == 0 && replacing && !carryOver(replacement.fd().get(), old.get(), status))
        return writeInPlace(std::move(old), bytes, size, noted);
    error = flushAndClose(replacement.fd(), error);
    if (error == 0 && stopsTheSave(noted))
        error = EINTR;
    if (error != 0)
        return error;
    error = replacement.renameOverTarget();
    // A sticky folder lets only the owners of the file or of the folder
    // replace the file.
    if (error == EPERM && replacing)
        return writeInPlace(std::move(old), bytes, size, noted);
    return error;
}
