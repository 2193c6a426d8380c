// Whole-file reading and writing on the host's file system.
#ifndef DRAVIK_FILES_H
#define DRAVIK_FILES_H

#include <cstdio>
#include <string>

// Opens path for reading when it names a regular file (symbolic links are
// followed); nullptr when it can't be opened or names anything else.
std::FILE* openRegularFileForReading(const char* path);

// Makes the file at path hold exactly bytes and returns true once every write,
// the flush and the close succeeded. A target that exists must be a regular
// file the caller may open for writing; anything else (a FIFO, a device, a
// folder, a file its permissions keep from the caller) is refused and left
// untouched, and what is no regular file is never opened for writing. A file
// is replaced through a temporary file in its folder, so on failure a file
// that stood there is left as it was; it keeps its permissions (and, where
// the caller may set them, its owner and group), and a symbolic link keeps
// pointing at the file it names; on Linux, a path through a link another
// user made in a shared folder such as /tmp is refused. Where the folder
// refuses new files, the file is written in place.
bool writeWholeFile(const char* path, const std::string& bytes);

#endif
