// Replacing a whole file, the same for the library's template files and the
// utility's settings files: finding the file along its symbolic links, and
// the new file that takes its place in one rename.
#ifndef DRAVIK_FILE_REPLACEMENT_H
#define DRAVIK_FILE_REPLACEMENT_H

#include <sys/stat.h>

#include <cstddef>
#include <string>

// A path through a symbolic link another user made in a sticky folder that
// anyone may write to, such as /tmp: a save along it would replace a file of
// that user's choosing with this user's rights.
inline constexpr int kForeignLinkInSharedFolder = -1;

// Where a path leads: the folder that holds the file, open for the *at
// calls, and the file's name in it. The file need not exist.
class SaveTarget {
public:
    SaveTarget() = default;
    ~SaveTarget();
    SaveTarget(const SaveTarget&) = delete;
    SaveTarget& operator=(const SaveTarget&) = delete;

    // Follows each symbolic link on the way to the file `path` names, as the
    // kernel does with fs.protected_symlinks set, whatever it is set to: a
    // link in a sticky world-writable folder only when this user (by its
    // effective uid) or the folder's owner made it. 0, an errno value or
    // kForeignLinkInSharedFolder.
    int find(const char* path);

    int folder() const { return folder_; }
    const char* name() const { return name_.c_str(); }

private:
    int folder_ = -1;
    std::string name_;
};

// Creates the file that is to take the target's place, beside it, under a
// name the folder takes however long the target's is. With `existing`, the
// status of the file it replaces, it gets that file's permission bits and
// as much of its owner and group as this user may set; without, the
// permission bits the umask leaves. Its descriptor, or -1 with errno set;
// `temporary` gets its name.
int createReplacement(const SaveTarget& target, const struct stat* existing, std::string& temporary);

// Writes `size` bytes to fd, flushes them to the disk and closes fd, whatever
// fails: 0, or the errno value of the first failure.
int writeFlushAndClose(int fd, const char* bytes, size_t size);

// With `error` 0, renames the file `temporary` over the target; otherwise, or
// when the rename fails, removes it. `error`, or the rename's.
int finishReplacement(const SaveTarget& target, const std::string& temporary, int error);

#endif
