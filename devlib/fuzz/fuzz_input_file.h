// The file each fuzz input is written to, for readers that open a file by
// name. Made in /tmp once and removed when the fuzzer ends.
#ifndef DEVLIB_FUZZ_FUZZ_INPUT_FILE_H
#define DEVLIB_FUZZ_FUZZ_INPUT_FILE_H

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

inline std::string& fuzzInputPath()
{
    static std::string path;
    return path;
}

// `pattern` ends in XXXXXX, as mkstemp takes it.
inline void createFuzzInputFile(const char* pattern)
{
    std::string name = pattern;
    const int fd = mkstemp(name.data());
    if (fd < 0) std::abort();
    close(fd);
    fuzzInputPath() = name;
    std::atexit([] { unlink(fuzzInputPath().c_str()); });
}

inline void writeFuzzInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(fuzzInputPath().c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();
}

#endif
