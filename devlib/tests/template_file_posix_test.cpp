#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "template_fixture.h"

// The template files' guarantees on a POSIX file system: permissions, links,
// devices, failing writes and folders without write access.
namespace {

mode_t modeOf(const std::string& path)
{
    struct stat info{};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

ino_t inodeOf(const std::string& path)
{
    struct stat info{};
    stat(path.c_str(), &info);
    return info.st_ino;
}

// Runs action in a child process and returns its result. With unprivileged
// set, a root test run first becomes the user "nobody", so that permission
// bits apply; fileSizeLimit makes every write beyond that size fail.
int inChildProcess(const std::function<int()>& action, bool unprivileged, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(90);
        if (unprivileged && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(91);
        _exit(action());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A device on which every write fails. A root run makes its own node, so that
// a writer that wrongly replaced the device would not replace the system's.
std::string fullDevice(const ScratchFolder& folder)
{
    if (geteuid() != 0) return "/dev/full";
    const std::string node = folder / "full";
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) std::abort();
    return node;
}

TEST_F(TemplateFileTest, ReaderRefusesPathsThatAreNoReadableRegularFile)
{
    const std::string missing = folder / "missing.tpl";
    expectReaderRefuses({
        nullptr,
        "",
        missing.c_str(),
        inMissingFolder().c_str(),
        subfolder().c_str(),
        "/dev/null",
        "/proc/self/mem",  // opens, and its first read fails
    });
}

TEST_F(TemplateFileTest, WriterRefusesPathsItCannotCreate)
{
    const std::string full = fullDevice(folder);
    expectWriterRefuses({nullptr, "", inMissingFolder().c_str(), subfolder().c_str(), full.c_str()});
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_LE(folder.names().size(), 2u);
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

}  // namespace
