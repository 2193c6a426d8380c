#include "save_cases.h"

#include "capabilities.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;
// Debian's "users".
constexpr gid_t kUsers = 100;

enum class Saver {
    // The test's own user.
    Caller,
    // "nobody" in a root run, else the test's own user.
    Unprivileged,
    // "nobody", a member of the group "users".
    UsersMember,
    RootWithoutFowner,
};

// What a case saves over: the path to give the writer and the file it leads
// to, by its path or, where it has none, by a descriptor.
struct Prepared {
    std::string path;
    std::string file;
    int fd = -1;
    // Why the case can't run here; empty when it can.
    std::string unready;
};

enum class SizeLimit { None, BelowTheNewBytes, Zero };

struct SaveCase {
    const char* name;
    bool needsRoot;
    Saver saver;
    SizeLimit sizeLimit;
    // Makes the folder `folder` and the old file in it.
    Prepared (*prepare)(const std::string& folder);
    // Why the save is refused; null when it succeeds.
    const char* cause;
    // The old file is written in place, or refused: its inode stays.
    bool sameInode;
};

std::string oldBytes()
{
    std::string bytes;
    while (bytes.size() < 2151)
        bytes += "old line " + std::to_string(bytes.size()) + "\r\n";
    bytes.resize(2151);
    return bytes;
}

std::string made(const std::string& path)
{
    return "cannot make " + path + ": " + std::strerror(errno);
}

Prepared folderWithFile(const std::string& folder, mode_t folderMode, uid_t owner, gid_t group, mode_t mode)
{
    Prepared prepared;
    prepared.file = prepared.path = folder + "/cfg";
    if (mkdir(folder.c_str(), 0700) != 0)
        return {{}, {}, -1, made(folder)};
    if (!writeFile(prepared.file, oldBytes(), mode) || chown(prepared.file.c_str(), owner, group) != 0 ||
        chmod(folder.c_str(), folderMode) != 0)
        return {{}, {}, -1, made(prepared.file)};
    return prepared;
}

// user::rw- user:nobody:rw- group::--- mask::rw- other::---
std::string aclGivingNobodyWhatTheGroupHasNot()
{
    struct Entry {
        uint16_t tag;
        uint16_t perm;
        uint32_t id;
    };
    constexpr uint32_t kUndefined = 0xFFFFFFFF;
    const Entry entries[] = {
        {0x01, 6, kUndefined}, {0x02, 6, kNobody}, {0x04, 0, kUndefined}, {0x10, 6, kUndefined}, {0x20, 0, kUndefined}};
    const uint32_t version = 2;
    std::string value(reinterpret_cast<const char*>(&version), sizeof version);
    value.append(reinterpret_cast<const char*>(entries), sizeof entries);
    return value;
}

Prepared withAttributes(const std::string& folder, bool trusted)
{
    Prepared prepared = folderWithFile(folder, 0755, geteuid(), getegid(), 0600);
    const std::string acl = aclGivingNobodyWhatTheGroupHasNot();
    const char* file = prepared.file.c_str();
    if (prepared.unready.empty() && (setxattr(file, "system.posix_acl_access", acl.data(), acl.size(), 0) != 0 ||
                                     setxattr(file, "user.note", "kept", 4, 0) != 0 ||
                                     (trusted && setxattr(file, "trusted.note", "kept", 4, 0) != 0)))
        prepared.unready = std::string("no ACL or extended attributes here: ") + std::strerror(errno);
    return prepared;
}

Prepared throughDescriptor(const std::string& folder, const char* prefix, bool memory)
{
    Prepared prepared;
    if (mkdir(folder.c_str(), 0755) != 0)
        return {{}, {}, -1, made(folder)};
    const std::string gone = folder + "/gone";
    prepared.fd = memory ? memfd_create("cfg", MFD_CLOEXEC) : open(gone.c_str(), O_RDWR | O_CREAT, 0600);
    const std::string bytes = oldBytes();
    if (prepared.fd < 0 || ::write(prepared.fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        (!memory && unlink(gone.c_str()) != 0))
        return {{}, {}, -1, made(gone)};
    // Inherited by the saver's process, where it names the same file.
    fcntl(prepared.fd, F_SETFD, 0);
    prepared.path = prefix + std::to_string(prepared.fd);
    return prepared;
}

const SaveCase kSaveCases[] = {
    {"an ACL that gives a user what the group has not, and an attribute", false, Saver::Caller, SizeLimit::None,
     [](const std::string& folder) { return withAttributes(folder, false); }, nullptr, false},
    {"an attribute only root may set", true, Saver::Caller, SizeLimit::None,
     [](const std::string& folder) { return withAttributes(folder, true); }, nullptr, false},
    {"a file the saver may not write", false, Saver::Unprivileged, SizeLimit::None,
     [](const std::string& folder) { return folderWithFile(folder, 0777, geteuid(), getegid(), 0444); },
     "Permission denied", true},
    {"a file of the saver's group, whose owner the saver may not give a file", true, Saver::UsersMember,
     SizeLimit::None, [](const std::string& folder) { return folderWithFile(folder, 0777, 0, kUsers, 0660); }, nullptr,
     true},
    {"another user's file in a sticky folder, saved by root without CAP_FOWNER", true, Saver::RootWithoutFowner,
     SizeLimit::None, [](const std::string& folder) { return folderWithFile(folder, 01777, kNobody, kNogroup, 0644); },
     nullptr, false},
    {"a folder that takes no new files, under a file-size limit below the new size", false, Saver::Unprivileged,
     SizeLimit::BelowTheNewBytes,
     [](const std::string& folder) { return folderWithFile(folder, 0555, geteuid(), getegid(), 0666); },
     "File too large", true},
    {"a file-size limit of 0", false, Saver::Caller, SizeLimit::Zero,
     [](const std::string& folder) { return folderWithFile(folder, 0755, geteuid(), getegid(), 0644); },
     "File too large", true},
    {"/proc/self/fd of a deleted file", false, Saver::Caller, SizeLimit::None,
     [](const std::string& folder) { return throughDescriptor(folder, "/proc/self/fd/", false); }, nullptr, true},
    {"/dev/fd of a deleted file", false, Saver::Caller, SizeLimit::None,
     [](const std::string& folder) { return throughDescriptor(folder, "/dev/fd/", false); }, nullptr, true},
    {"/proc/self/fd of a memfd", false, Saver::Caller, SizeLimit::None,
     [](const std::string& folder) { return throughDescriptor(folder, "/proc/self/fd/", true); }, nullptr, true},
};

bool become(Saver saver)
{
    switch (saver) {
    case Saver::Caller:
        return true;
    case Saver::Unprivileged:
        return geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(kNogroup) == 0 && setuid(kNobody) == 0);
    case Saver::UsersMember: {
        const gid_t users = kUsers;
        return setgroups(1, &users) == 0 && setgid(kNogroup) == 0 && setuid(kNobody) == 0;
    }
    case Saver::RootWithoutFowner:
        return dropCapabilities(capabilityBit(CAP_FOWNER));
    }
    return false;
}

// Runs `work` in a child process; what it returned, or the way it ended.
std::string inChild(const std::function<std::string()>& work)
{
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return "<no pipe>";
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const std::string result = work();
        _exit(::write(ends[1], result.data(), result.size()) == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(ends[1]);
    std::string result;
    char chunk[4096];
    for (ssize_t count; (count = read(ends[0], chunk, sizeof chunk)) > 0;)
        result.append(chunk, static_cast<size_t>(count));
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return "<ended by " + std::string(strsignal(WTERMSIG(status))) + ">";
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "<child failed>";
}

// Everything of the file the save must keep, but its bytes.
std::string attributesOf(const Prepared& prepared)
{
    const int fd = prepared.fd >= 0 ? dup(prepared.fd) : open(prepared.file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (fd < 0 || fstat(fd, &status) != 0)
        return "<no file>";
    char line[128];
    std::snprintf(line, sizeof line, "owner %u:%u, mode %04o", status.st_uid, status.st_gid, status.st_mode & 07777);
    std::string text = line;
    char names[4096];
    const ssize_t length = flistxattr(fd, names, sizeof names);
    std::vector<std::string> sorted;
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1)
        sorted.emplace_back(names + at);
    std::sort(sorted.begin(), sorted.end());
    for (const std::string& name : sorted) {
        char value[4096];
        const ssize_t size = fgetxattr(fd, name.c_str(), value, sizeof value);
        text += ", " + name + " (" + std::to_string(size) + " bytes, ";
        for (ssize_t at = 0; at < size; ++at) {
            std::snprintf(line, sizeof line, "%02x", static_cast<unsigned char>(value[at]));
            text += line;
        }
        text += ")";
    }
    close(fd);
    return text;
}

ino_t inodeOf(const Prepared& prepared)
{
    struct stat status {};
    if (prepared.fd >= 0)
        fstat(prepared.fd, &status);
    else
        stat(prepared.file.c_str(), &status);
    return status.st_ino;
}

std::string fileBytes(const Prepared& prepared)
{
    return prepared.fd >= 0 ? bytesOf(prepared.fd) : contents(prepared.file);
}

std::string namesAsText(const std::string& folder)
{
    std::string text;
    for (const std::string& name : namesIn(folder))
        text += " " + name;
    return text;
}

// A link's text walked as a path makes a file of that name, such as
// "/memfd:cfg (deleted)" in the root folder.
std::string madeFromLinkText(const std::string& folder)
{
    std::string made;
    for (const std::string& path : {std::string("/memfd:cfg (deleted)"), folder + "/gone (deleted)"})
        if (access(path.c_str(), F_OK) == 0) {
            made += " " + path;
            unlink(path.c_str());
        }
    return made.empty() ? " none" : made;
}

std::string report(const std::string& outcome, const std::string& attributes, const std::string& bytes, bool sameInode,
                   const std::string& names, const std::string& madeElsewhere)
{
    return "outcome: " + outcome + "\nattributes: " + attributes + "\nbytes: " + bytes +
           "\ninode: " + (sameInode ? "same" : "new") + "\nfolder:" + names + "\nmade elsewhere:" + madeElsewhere;
}

constexpr char kExpectedFollows[] = "\n-- expected --\n";

// Prepares the case in `folder`, saves as its saver and tells what became
// of the old file, then what should have; run in a process of its own.
std::string runCase(const SaveCase& test, const WriterUnderTest& writer, const std::string& folder)
{
    const Prepared prepared = test.prepare(folder);
    if (!prepared.unready.empty())
        return "skipped: " + prepared.unready;
    const std::string attributes = attributesOf(prepared);
    const ino_t inode = inodeOf(prepared);
    const std::string names = namesAsText(folder);
    const std::string outcome = inChild([&]() -> std::string {
        // The default: a write past the limit ends the process.
        std::signal(SIGXFSZ, SIG_DFL);
        const rlim_t size = test.sizeLimit == SizeLimit::None               ? RLIM_INFINITY
                            : test.sizeLimit == SizeLimit::BelowTheNewBytes ? writer.bytes.size() - 1
                                                                            : 0;
        const rlimit limit{size, size};
        if (!become(test.saver) || setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return "<cannot become the saver>";
        const SaveOutcome saved = writer.save(prepared.path);
        return saved.saved ? "saved" : "not saved: " + saved.message;
    });
    const std::string bytes = fileBytes(prepared);
    const std::string what = bytes == oldBytes()     ? "old"
                             : bytes == writer.bytes ? "new"
                                                     : std::to_string(bytes.size()) + " bytes of neither";
    const std::string expectedOutcome = test.cause ? "not saved: " + writer.refusal(prepared.path, test.cause)
                                                   : std::string("saved");
    return report(outcome, attributesOf(prepared), what, inodeOf(prepared) == inode, namesAsText(folder),
                  madeFromLinkText(folder)) +
           kExpectedFollows +
           report(expectedOutcome, attributes, test.cause ? "old" : "new", test.sameInode, names, " none");
}

}  // namespace

void expectEverySaveCase(const WriterUnderTest& writer)
{
    const TemporaryFolder scratch("save-cases");
    int index = 0;
    for (const SaveCase& test : kSaveCases) {
        SCOPED_TRACE(test.name);
        if (test.needsRoot && geteuid() != 0) {
            std::printf("Not tried without root: %s.\n", test.name);
            continue;
        }
        const std::string folder = scratch / std::to_string(index++);
        const std::string result = inChild([&] { return runCase(test, writer, folder); });
        if (result.rfind("skipped: ", 0) == 0) {
            std::printf("Not tried: %s: %s.\n", test.name, result.c_str() + 9);
            continue;
        }
        const size_t split = result.find(kExpectedFollows);
        if (split == std::string::npos) {
            ADD_FAILURE() << result;
            continue;
        }
        EXPECT_EQ(result.substr(0, split), result.substr(split + std::strlen(kExpectedFollows)));
    }
}
