#include "capabilities.h"
#include "interposed_file_calls.h"
#include "planted_links.h"
#include "small_file_system.h"
#include "test_files.h"
#include "whole_file_save.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

class WholeFileSave : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return scratch / name; }

    const TemporaryFolder scratch{"whole-file-save"};
    const std::string& folder = scratch.path();
};

const std::string kNewBytes = "new contents\r\n";

int save(const std::string& path, const std::string& bytes = kNewBytes)
{
    return saveWholeFile(path.c_str(), bytes.data(), bytes.size(), EndSignals::LeftToCaller);
}

void put(const std::string& path, const std::string& bytes, mode_t mode = 0644)
{
    ASSERT_TRUE(writeFile(path, bytes, mode)) << path << ": " << std::strerror(errno);
}

// What `work` returns in a child process, or -1 when the child did not end
// by itself within a few seconds.
int inChild(const std::function<int()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        alarm(5);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The rule, for whoever runs the tests: the table's owners are this user
// and another.
TEST_F(WholeFileSave, ALinkInAStickyWorldWritableFolderIsFollowedOnlyFromTheSaverOrTheFolderOwner)
{
    for (const uid_t saver : {geteuid(), static_cast<uid_t>(0), kOtherUser, static_cast<uid_t>(1000)}) {
        for (const PlantedLink& planted : kPlantedLinks) {
            SCOPED_TRACE(std::string(planted.name) + ", saver " + std::to_string(saver));
            EXPECT_EQ(mayFollowLink(planted.folderMode, uidOf(planted.folderOwner, saver),
                                    uidOf(planted.linkOwner, saver), saver),
                      planted.followed);
        }
    }
}

// A set-user-ID caller is its effective user: a link its real user planted
// must not lead it.
TEST_F(WholeFileSave, TheLinkRuleTakesTheEffectiveUserNotTheRealOne)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can take two users at once";
    const struct {
        const char* name;
        uid_t real;
        uid_t effective;
        int result;
    } cases[] = {
        {"real user nobody, effective root", kOtherUser, 0, kForeignLinkInSharedFolder},
        {"real user root, effective nobody", 0, kOtherUser, 0},
    };
    int index = 0;
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string shared = path("shared" + std::to_string(index));
        const std::string real = path("real" + std::to_string(index++));
        ASSERT_EQ(mkdir(real.c_str(), 0777), 0);
        ASSERT_EQ(chmod(real.c_str(), 0777), 0);
        put(real + "/cfg", "old", 0666);
        ASSERT_EQ(mkdir(shared.c_str(), 0700), 0);
        ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
        ASSERT_EQ(symlink((real + "/cfg").c_str(), (shared + "/cfg").c_str()), 0);
        ASSERT_EQ(lchown((shared + "/cfg").c_str(), kOtherUser, kOtherUser), 0);

        const int result = inChild([&] {
            if (setresuid(test.real, test.effective, 0) != 0)
                return 90;
            return save(shared + "/cfg") == test.result ? 0 : 1;
        });

        EXPECT_EQ(result, 0);
        EXPECT_EQ(contents(real + "/cfg"), test.result == 0 ? kNewBytes : "old");
        EXPECT_EQ(namesIn(real), std::vector<std::string>{"cfg"});
    }
}

TEST_F(WholeFileSave, ALinkLoopIsRefusedAtOnce)
{
    ASSERT_EQ(symlink("b", path("a").c_str()), 0);
    ASSERT_EQ(symlink("a", path("b").c_str()), 0);
    ASSERT_EQ(symlink("c/x", path("c").c_str()), 0);
    for (const char* name : {"a", "c"}) {
        SCOPED_TRACE(name);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(inChild([&] { return save(path(name)) == ELOOP ? 0 : 1; }), 0) << "-1: it did not return";
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    }
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"a", "b", "c"}));
}

// Until it has taken the old file's mode, the new file is no more open to
// others than the old one.
TEST_F(WholeFileSave, TheNewFileOfAPrivateFileIsNeverOpenToOthers)
{
    put(path("cfg"), "old", 0600);
    const mode_t umaskBefore = umask(0);
    std::vector<mode_t> modes;
    {
        const auto note = [&modes](int fd) {
            struct stat status {};
            fstat(fd, &status);
            modes.push_back(status.st_mode & 07777);
            return 0;
        };
        const InterposedFileCall writes(FileCall::Write, folder, note);
        EXPECT_EQ(save(path("cfg")), 0);
    }
    umask(umaskBefore);

    ASSERT_FALSE(modes.empty());
    for (const mode_t mode : modes)
        EXPECT_EQ(mode & 077, 0u) << std::oct << mode;
    EXPECT_EQ(contents(path("cfg")), kNewBytes);
}

TEST_F(WholeFileSave, ATakenTemporaryNameIsPassedOver)
{
    put(path("cfg"), "old");
    // The letters that the random bytes 0 give.
    put(path("cfg.AAAAAA"), "another's file");
    {
        const ChosenRandomBytes random({0, 1});
        EXPECT_EQ(save(path("cfg")), 0);
    }
    EXPECT_EQ(contents(path("cfg")), kNewBytes);
    EXPECT_EQ(contents(path("cfg.AAAAAA")), "another's file");
    EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"cfg", "cfg.AAAAAA"}));
}

// Written in place, a file on a full disk keeps every byte: the room for the
// new bytes is taken before the first of the old changes.
TEST_F(WholeFileSave, AWriteInPlaceOnAFullDiskLeavesTheOldFileAsItWas)
{
    const std::string disk = path("disk");
    ASSERT_EQ(mkdir(disk.c_str(), 0755), 0);
    const std::string old(2151, 'o');
    const struct {
        const char* name;
        std::string bytes;
        int result;
    } cases[] = {
        {"new bytes that need more room than is left", std::string(3 * 4096, 'n'), ENOSPC},
        {"new bytes that fit", std::string(4096 + 1, 'n'), 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const int result = inChild([&] {
            const std::string unready = mountSmallFileSystem(disk, "16k");
            if (!unready.empty()) {
                std::printf("Not tried: %s.\n", unready.c_str());
                return 99;
            }
            // Two of the four pages left: the old file and one more.
            const std::string file = disk + "/cfg";
            const int filler = open((disk + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            if (filler < 0 || fallocate(filler, 0, 0, 2 * 4096) != 0)
                return 98;
            close(filler);
            put(file, old, 0666);
            // A folder that takes no new files, for a saver that no
            // capability lets past its mode.
            if (chmod(disk.c_str(), 0555) != 0 || !dropCapabilities(kEveryCapability))
                return 97;
            if (save(file, test.bytes) != test.result)
                return 1;
            const std::string now = contents(file);
            if (now != (test.result == 0 ? test.bytes : old))
                return 2;
            return namesIn(disk) == std::vector<std::string>{"cfg", "filler"} ? 0 : 3;
        });
        if (result == 99)
            GTEST_SKIP();
        EXPECT_EQ(result, 0);
    }
}

}  // namespace
