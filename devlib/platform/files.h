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
// untouched, and what is no regular file is never opened for writing. On
// failure a file that stood there is left as it was. On Linux this is the
// utility's save (whole_file_save.h), with the caller's signal handling left
// alone.
bool writeWholeFile(const char* path, const std::string& bytes);

#endif
