// Saving a whole file: one procedure for the library's template files and the
// utility's settings files alike.
//
// The new bytes go to a file beside the old one, which takes the old one's
// place in one rename once every byte is on the disk, so that a failure
// leaves the old file as it was. The replacement carries the old file's
// owner, group, mode, ACL and extended attributes; where it cannot carry one
// of them, and where the folder takes no new files, the old file is written
// in place instead, and only once the room for the new bytes is taken. A
// file this caller may not write is refused, and so is anything but a
// regular file, before it is opened.
#ifndef TORNEL_WHOLE_FILE_SAVE_H
#define TORNEL_WHOLE_FILE_SAVE_H

#include <sys/types.h>

#include <cstddef>

// What a save does with SIGTERM, SIGINT and SIGHUP.
enum class EndSignals {
    // A library's: its caller's handling stays as it is, so a signal that
    // ends the process during a save may leave the new file beside the old.
    LeftToCaller,
    // A program's own: while the save runs they are only noted (an ignored
    // one stays ignored). One noted before the new file is flushed and
    // closed, or before a write in place takes the room for the new bytes,
    // stops the save with the old file kept and nothing beside it; one noted
    // later lets the save finish, with the new file. The program then ends as
    // the signal asks, once the save returns.
    NotedUntilTheSaveEnds,
};

// Reasons a save refuses, beside errno values.
// A path through a symbolic link another user made in a sticky folder that
// anyone may write to, such as /tmp: a save along it would replace a file of
// that user's choosing with this user's rights.
inline constexpr int kForeignLinkInSharedFolder = -1;
// A FIFO, device, socket or folder: it is never opened, for it could block
// or take the bytes somewhere no file keeps them.
inline constexpr int kNotARegularFile = -2;

// Makes the file `path` names hold exactly `size` bytes: 0, an errno value
// or one of the reasons above. Symbolic links are followed to the file they
// name, which is made if missing; in a sticky world-writable folder only
// those of this user (by its effective uid) or of the folder's owner are
// followed, as the kernel does with fs.protected_symlinks set. A link the
// kernel resolves by itself, such as /proc/self/fd/N, is never followed by
// its text: the open file it names is written in place.
int saveWholeFile(const char* path, const char* bytes, std::size_t size, EndSignals endSignals);

// Whether a save may follow a symbolic link owned by `linkOwner` in a folder
// of `folderMode` owned by `folderOwner`, for a caller of effective uid
// `caller`.
bool mayFollowLink(mode_t folderMode, uid_t folderOwner, uid_t linkOwner, uid_t caller);

#endif
