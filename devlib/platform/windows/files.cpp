// Whole-file reading and writing over the Win32 file services.
#include "../files.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>

namespace {

constexpr int kMaxTemporaryAttempts = 100;
constexpr size_t kMaxNameInTemporary = 32;
constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
// What a replacement takes over from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool writeAll(HANDLE file, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// Writes, flushes and closes file; false when any fails.
bool writeAndClose(HANDLE file, const std::string& bytes)
{
    bool ok = writeAll(file, bytes);
    ok = FlushFileBuffers(file) && ok;
    return CloseHandle(file) && ok;
}

// The path a handle's file is known by once links are followed; the path
// itself when the platform can't tell.
std::string finalPathOf(HANDLE file, const std::string& path)
{
    char buffer[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= sizeof buffer)
        return path;
    return std::string(buffer, length);
}

size_t nameStart(const std::string& path)
{
    const size_t separator = path.find_last_of("\\/");
    if (separator != std::string::npos)
        return separator + 1;
    return path.size() >= 2 && path[1] == ':' ? 2 : 0;
}

// Creates a new file beside the target, never opening one that exists.
HANDLE createTemporary(const std::string& target, DWORD attributes, std::string& temporary)
{
    static unsigned counter = 0;
    const size_t start = nameStart(target);
    const std::string stem = target.substr(0, start) + "." + target.substr(start, kMaxNameInTemporary) + "." +
                             std::to_string(GetCurrentProcessId()) + ".";
    for (int attempt = 0; attempt < kMaxTemporaryAttempts; ++attempt) {
        temporary = stem + std::to_string(counter++) + ".tmp";
        const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

bool writeInPlace(const std::string& path, const std::string& bytes)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, kShareReadWrite, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    return file != INVALID_HANDLE_VALUE && writeAndClose(file, bytes);
}

bool replaceWith(const std::string& target, bool exists, DWORD attributes, const std::string& bytes)
{
    if (target.size() == nameStart(target))
        return false;
    std::string temporary;
    const HANDLE file = createTemporary(
        target, exists ? (attributes & kKeptAttributes) | FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_NORMAL, temporary);
    if (file == INVALID_HANDLE_VALUE) {
        if (exists && GetLastError() == ERROR_ACCESS_DENIED)
            return writeInPlace(target, bytes);
        return false;
    }
    const bool ok = writeAndClose(file, bytes) &&
                    MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok)
        DeleteFileA(temporary.c_str());
    return ok;
}

}  // namespace

std::FILE* openRegularFileForReading(const char* path)
{
    const HANDLE file = CreateFileA(path, GENERIC_READ, kShareReadWrite, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                    nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    // A device or a pipe could block a reader or answer without end.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        return nullptr;
    }
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, "rb");
    if (stream == nullptr)
        _close(descriptor);
    return stream;
}

bool writeWholeFile(const char* path, const std::string& bytes)
{
    if (*path == '\0')
        return false;
    // Opened for its attributes only, the target tells what it is without a
    // device or a pipe taking anything; a folder doesn't open.
    const HANDLE query = CreateFileA(path, FILE_READ_ATTRIBUTES, kShareReadWrite, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (query == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_FILE_NOT_FOUND && replaceWith(path, false, 0, bytes);
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool writableFile = GetFileType(query) == FILE_TYPE_DISK && GetFileInformationByHandle(query, &information) &&
                              (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ==
                                  0;
    const std::string target = finalPathOf(query, path);
    CloseHandle(query);
    if (!writableFile)
        return false;
    // The replacement would get past a protection that refuses the caller.
    const HANDLE probe = CreateFileA(target.c_str(), GENERIC_WRITE, kShareReadWrite, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(probe);
    return replaceWith(target, true, information.dwFileAttributes, bytes);
}
