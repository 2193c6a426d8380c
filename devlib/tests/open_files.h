#ifndef DRAVIK_TESTS_OPEN_FILES_H
#define DRAVIK_TESTS_OPEN_FILES_H

#include <unistd.h>

#include <filesystem>
#include <string>

// Whether this process holds a descriptor open on file.
inline bool isOpenInThisProcess(const std::string& file)
{
    std::error_code error;
    const auto target = std::filesystem::canonical(file, error);
    if (error)
        return false;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code linkError;
        if (std::filesystem::read_symlink(entry.path(), linkError) == target)
            return true;
    }
    return false;
}

#endif
