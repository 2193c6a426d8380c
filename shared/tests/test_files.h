// What the tests of saving do with files: a folder of a test's own, and a
// file's bytes and a folder's names read without the code under test.
#ifndef TORNEL_TESTS_TEST_FILES_H
#define TORNEL_TESTS_TEST_FILES_H

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

// A new folder under /tmp, searchable by the users some tests save as, and
// removed with all in it, whatever modes the test left on its folders.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const char* prefix)
    {
        std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
        chmod(path_.c_str(), 0755);
    }
    ~TemporaryFolder()
    {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
                fs::permissions(entry.path(), fs::perms(0755), ignored);
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Makes `path` hold `bytes`, with `mode`: false when it could not.
inline bool writeFile(const std::string& path, const std::string& bytes, mode_t mode)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    const bool written = fd >= 0 && ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                         fchmod(fd, mode) == 0;
    return fd >= 0 && close(fd) == 0 && written;
}

// Every byte of the file open on fd, from its start.
inline std::string bytesOf(int fd)
{
    std::string bytes;
    char chunk[4096];
    off_t at = 0;
    for (ssize_t count; (count = pread(fd, chunk, sizeof chunk, at)) > 0; at += count)
        bytes.append(chunk, static_cast<size_t>(count));
    return bytes;
}

inline std::string contents(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    const std::string bytes = bytesOf(fd);
    close(fd);
    return bytes;
}

// The names in a folder, sorted.
inline std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#endif
