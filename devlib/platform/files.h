// Whole-file reading and writing on the host's file system.
#pragma once

#include <cstdio>
#include <string>

// Opens path for reading when it names a regular file (symbolic links are
// followed); nullptr when it can't be opened or names anything else.
std::FILE* openRegularFileForReading(const char* path);

// Makes the file at path hold exactly bytes and returns true once every write,
// the flush and the close succeeded. A regular file is replaced through a
// temporary file in its folder, so on failure a file that stood there is left
// as it was; it keeps its permissions, and a symbolic link keeps pointing at
// the file it names. Where the folder refuses new files but the file may be
// written, and for a target that is no regular file (a device), the bytes are
// written in place.
bool writeWholeFile(const char* path, const std::string& bytes);
