#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "interposed_file_calls.h"
#include "planted_links.h"
#include "save_cases.h"
#include "template_fixture.h"

// The template files' guarantees on a POSIX file system: permissions, links,
// devices, failing writes and folders without write access.
namespace {

constexpr uid_t kNobody = 65534;

mode_t modeOf(const std::string& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

ino_t inodeOf(const std::string& path)
{
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_ino;
}

constexpr int kNoUnprivilegedUser = 91;
constexpr unsigned kWatchdogSeconds = 5;

// Runs action in a child process and returns its result, or -1 when the
// child didn't end by itself (a writer that blocks fails instead of hanging
// the suite). With unprivileged set, a root test run first becomes the user
// "nobody", so that permission bits apply; fileSizeLimit makes every write
// beyond that size fail.
int inChildProcess(const std::function<int()>& action, bool unprivileged, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(kWatchdogSeconds);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(90);
        if (unprivileged && geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(kNoUnprivilegedUser);
        _exit(action());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The memory device /dev/<name> (minor number minor). A root run makes its
// own node, so that a writer that wrongly replaced the device would not
// replace the system's.
std::string memoryDevice(const ScratchFolder& folder, const std::string& name, unsigned minor)
{
    if (geteuid() != 0)
        return "/dev/" + name;
    const std::string node = folder / name;
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0)
        std::abort();
    return node;
}

TEST_F(TemplateFileTest, ReaderRefusesPathsThatAreNoReadableRegularFile)
{
    const std::string missing = folder / "missing.tpl";
    expectReaderRefuses({
        nullptr, "", missing.c_str(), inMissingFolder().c_str(), subfolder().c_str(), "/dev/null",
        "/proc/self/mem",  // opens, and its first read fails
    });
}

TEST_F(TemplateFileTest, ReaderStopsAtItsBoundOnAFileThatReadsOnWithoutEnd)
{
    // A "regular" file whose size says nothing, and that gives gigabytes.
    const char* endless = "/proc/self/pagemap";
    DeviceTable[0].lastLibErr = kUntouchedWord;
    const auto start = std::chrono::steady_clock::now();
    const int result = inChildProcess(
        [&] {
            return ReadDevCfgFmFile(endless) == 0 && sameRecords(storedRecords(), knownRecords()) &&
                           GetLastLibErr() == kUntouchedWord
                       ? 0
                       : 1;
        },
        false);
    EXPECT_EQ(result, 0) << "-1: still reading after " << kWatchdogSeconds << " s";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST_F(TemplateFileTest, WriterRefusesPathsItCannotCreate)
{
    const std::string full = memoryDevice(folder, "full", 7);  // every write fails
    expectWriterRefuses({nullptr, "", inMissingFolder().c_str(), subfolder().c_str(), full.c_str()});
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_LE(folder.names().size(), 2u);
}

std::vector<std::string> sortedNames(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> sortedNames(const ScratchFolder& folder)
{
    return sortedNames(folder.path());
}

mode_t typeOf(const std::string& path)
{
    struct stat info {};
    lstat(path.c_str(), &info);
    return info.st_mode & S_IFMT;
}

void makeSocket(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        std::abort();
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        std::abort();
    close(fd);
}

TEST_F(TemplateFileTest, WriterRefusesAtOnceWhatIsNoRegularFile)
{
    const std::string fifo = folder / "fifo.tpl";
    const std::string readFifo = folder / "read-fifo.tpl";
    const std::string socketPath = folder / "socket.tpl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(mkfifo(readFifo.c_str(), 0666), 0);
    makeSocket(socketPath);
    const std::string device = memoryDevice(folder, "null", 3);
    const std::string sub = subfolder();
    // With a reader waiting, an open for writing would succeed at once.
    const int reader = open(readFifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const std::vector<std::string> before = sortedNames(folder);

    for (const std::string& path : {fifo, readFifo, socketPath, device, sub}) {
        const mode_t type = typeOf(path);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(path.c_str()); }, false), 0) << path;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << path;
        EXPECT_EQ(typeOf(path), type) << path;
    }
    char byte;
    EXPECT_LE(read(reader, &byte, 1), 0) << "bytes reached the FIFO";
    close(reader);
    EXPECT_EQ(sortedNames(folder), before);
    EXPECT_TRUE(fs::is_empty(sub));
}

TEST_F(TemplateFileTest, WriterNeverOpensAFifoOrADeviceForWriting)
{
    const std::string fifo = folder / "fifo.tpl";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // With a reader waiting, a writer's open would succeed at once, and its
    // coming and going would show the reader a hang-up.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    // A terminal of this test's own, which no other process opens.
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::string device = ptsname(terminal);
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    for (const std::string& path : {fifo, device})
        ASSERT_GE(inotify_add_watch(watch, path.c_str(), IN_CLOSE_WRITE | IN_MODIFY), 0) << path;

    for (const std::string& path : {fifo, device})
        EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(path.c_str()); }, false), 0) << path;

    pollfd waiting{reader, POLLIN, 0};
    EXPECT_EQ(poll(&waiting, 1, 0), 0) << "a writer came to the FIFO: revents " << waiting.revents;
    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "the FIFO or the device was opened for writing";

    // Both checks see a writer where there is one.
    close(open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    EXPECT_EQ(poll(&waiting, 1, 0), 1);
    EXPECT_TRUE(waiting.revents & POLLHUP);
    EXPECT_GT(read(watch, events, sizeof events), 0);
    close(watch);
    close(terminal);
    close(reader);
}

TEST_F(TemplateFileTest, ReplacedFileKeepsItsPermissionsAndLeavesNoTemporary)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    chmod(path.c_str(), 0604);
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
    EXPECT_EQ(modeOf(path), 0604u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
}

TEST_F(TemplateFileTest, NewFileTakesThePermissionsTheUmaskAllows)
{
    const std::string path = folder / "new.tpl";
    const mode_t previous = umask(027);
    const int32_t result = WriteDevCfgToFile(path.c_str());
    umask(previous);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(modeOf(path), 0640u);
}

TEST_F(TemplateFileTest, SymbolicLinkIsWrittenThroughToItsTarget)
{
    fs::create_directory(folder.path() / "real");
    const std::string target = folder / "real/cfg.tpl";
    writeAll(target, "old\n");
    chmod(target.c_str(), 0600);
    const std::string link = folder / "link.tpl";
    fs::create_symlink("real/cfg.tpl", link);
    const std::string dangling = folder / "dangling.tpl";
    fs::create_symlink("real/later.tpl", dangling);

    ASSERT_EQ(WriteDevCfgToFile(link.c_str()), 1);
    ASSERT_EQ(WriteDevCfgToFile(dangling.c_str()), 1);

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/cfg.tpl");
    EXPECT_EQ(readAll(target), kKnownTemplate);
    EXPECT_EQ(modeOf(target), 0600u);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(readAll(folder / "real/later.tpl"), kKnownTemplate);
}

TEST_F(TemplateFileTest, FailedWriteLeavesTheExistingFileIntact)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    const int result = inChildProcess([&] { return WriteDevCfgToFile(path.c_str()); }, false, 64);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readAll(path), "old\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
}

TEST_F(TemplateFileTest, FileInAFolderWithoutWriteAccessIsWrittenInPlace)
{
    const std::string writable = folder / "writable.tpl";
    const std::string readOnly = folder / "readonly.tpl";
    writeAll(writable, "old\n");
    writeAll(readOnly, "old\n");
    chmod(writable.c_str(), 0666);
    chmod(readOnly.c_str(), 0444);
    const ino_t inode = inodeOf(writable);
    chmod(folder.path().c_str(), 0555);

    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(writable.c_str()); }, true), 1);
    EXPECT_EQ(readAll(writable), kKnownTemplate);
    EXPECT_EQ(inodeOf(writable), inode);
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(readOnly.c_str()); }, true), 0);
    EXPECT_EQ(readAll(readOnly), "old\n");
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(writable.c_str()); }, true, 64), 0);
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile((folder / "new.tpl").c_str()); }, true), 0);
    EXPECT_EQ(folder.names().size(), 2u);
}

TEST_F(TemplateFileTest, FileItsOwnerMadeReadOnlyIsLeftAsItWas)
{
    // The unprivileged user may make and rename files in the folder, so only
    // the file's own permissions stand in the way.
    chmod(folder.path().c_str(), 0777);
    const uid_t owner = geteuid() == 0 ? kNobody : geteuid();
    const gid_t group = geteuid() == 0 ? kNobody : getegid();
    const struct {
        const char* name;
        mode_t mode;
        int result;
    } cases[] = {
        {"readonly.tpl", 0444, 0},
        {"writable.tpl", 0644, 1},
    };
    for (const auto& c : cases) {
        const std::string path = folder / c.name;
        writeAll(path, "old\n");
        ASSERT_EQ(chown(path.c_str(), owner, group), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
        const int result = inChildProcess([&] { return WriteDevCfgToFile(path.c_str()); }, true);
        if (result == kNoUnprivilegedUser)
            GTEST_SKIP() << "this root run can't become user " << kNobody;
        EXPECT_EQ(result, c.result) << c.name;
        EXPECT_EQ(readAll(path), c.result ? std::string(kKnownTemplate) : "old\n") << c.name;
        EXPECT_EQ(modeOf(path), c.mode) << c.name;
    }
    EXPECT_EQ(sortedNames(folder), (std::vector<std::string>{"readonly.tpl", "writable.tpl"}));
}

}  // namespace

namespace {

TEST_F(TemplateFileTest, WriterFollowsALinkInAStickyWorldWritableFolderOnlyFromTheUserOrTheFolderOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    int index = 0;
    for (const PlantedLink& planted : kPlantedLinks) {
        SCOPED_TRACE(planted.name);
        const std::string real = folder / ("real" + std::to_string(index));
        const std::string shared = folder / ("shared" + std::to_string(index++));
        fs::create_directory(real);
        writeAll(real + "/tmpl.txt", "old\n");
        std::string saved;
        ASSERT_NO_FATAL_FAILURE(plantLinks(planted, shared, real, "tmpl.txt", saved));
        const std::vector<std::string> links = sortedNames(shared);

        EXPECT_EQ(WriteDevCfgToFile((shared + "/" + saved).c_str()), planted.followed ? 1 : 0);

        EXPECT_EQ(readAll(real + "/tmpl.txt"), planted.followed ? std::string(kKnownTemplate) : "old\n");
        EXPECT_EQ(sortedNames(real), std::vector<std::string>{"tmpl.txt"});
        EXPECT_EQ(sortedNames(shared), links);
    }
}

TEST_F(TemplateFileTest, WrittenFileKeepsItsOwnerAndGroup)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can make files of other users";
    // A user of the file's group, who may give a file that group but not
    // another owner: the file is written in place, and keeps its owner.
    constexpr uid_t kGroupMember = kNobody - 1;
    chmod(folder.path().c_str(), 0777);
    const struct {
        const char* caller;
        uid_t callerUid;
        uid_t owner;
        mode_t mode;
        uid_t keptOwner;
    } cases[] = {
        {"root", 0, kNobody, 0640, kNobody},
        {"a member of the file's group", kGroupMember, 0, 0664, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caller);
        const std::string path = folder / "cfg.tpl";
        writeAll(path, "old\n");
        ASSERT_EQ(chown(path.c_str(), c.owner, kNobody), 0);
        ASSERT_EQ(chmod(path.c_str(), c.mode), 0);

        const int result = inChildProcess(
            [&] {
                const gid_t group = kNobody;
                if (c.callerUid != 0 &&
                    (setgroups(1, &group) != 0 || setgid(c.callerUid) != 0 || setuid(c.callerUid) != 0))
                    return kNoUnprivilegedUser;
                return static_cast<int>(WriteDevCfgToFile(path.c_str()));
            },
            false);

        ASSERT_EQ(result, 1);
        struct stat info {};
        ASSERT_EQ(stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, c.keptOwner);
        EXPECT_EQ(info.st_gid, kNobody);
        EXPECT_EQ(info.st_mode & 07777, c.mode);
        EXPECT_EQ(readAll(path), kKnownTemplate);
    }
}

TEST_F(TemplateFileTest, WriterTakesTheLongestNameTheFolderTakes)
{
    const long longest = pathconf(folder.path().c_str(), _PC_NAME_MAX);
    ASSERT_GT(longest, 8);
    const std::string name = std::string(static_cast<size_t>(longest) - 4, 'n') + ".tpl";
    const std::string path = folder / name;

    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    writeAll(path, "old\n");
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);

    EXPECT_EQ(readAll(path), kKnownTemplate);
    EXPECT_EQ(folder.names(), std::vector<std::string>{name});
}

TEST_F(TemplateFileTest, WriterKeepsWhatTheOldFileHadWhereverItSaves)
{
    expectEverySaveCase({[](const std::string& path) {
                             return SaveOutcome{WriteDevCfgToFile(path.c_str()) == 1, {}};
                         },
                         kKnownTemplate, [](const std::string&, const std::string&) { return std::string(); }});
}

// A disk that fails to keep the bytes says so only at the flush or the close.
TEST_F(TemplateFileTest, AFailedFlushOrCloseOfTheNewFileKeepsTheOldFile)
{
    const std::string path = folder / "cfg.tpl";
    for (const FileCall call : {FileCall::Fsync, FileCall::Close}) {
        SCOPED_TRACE(call == FileCall::Fsync ? "fsync" : "close");
        writeAll(path, "old\n");
        {
            const InterposedFileCall failing(call, folder.path().string(), [] { return EIO; });
            EXPECT_EQ(WriteDevCfgToFile(path.c_str()), 0);
        }
        EXPECT_EQ(readAll(path), "old\n");
        EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
    }
}

}  // namespace
