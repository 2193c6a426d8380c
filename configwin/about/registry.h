// A small registry of our own with the three calls the About box makes. The
// values live in a store in memory; the program starts with it empty, and
// tests fill it.
#ifndef CONFIGWIN_REGISTRY_H
#define CONFIGWIN_REGISTRY_H

#include <cstdint>
#include <string>
#include <vector>

namespace registry {

using RegKey = std::uintptr_t;
using RegStatus = std::int32_t;

inline constexpr RegKey HKEY_LOCAL_MACHINE = 0x80000002;

inline constexpr RegStatus ERROR_SUCCESS = 0;
inline constexpr RegStatus ERROR_FILE_NOT_FOUND = 2;
inline constexpr RegStatus ERROR_INVALID_HANDLE = 6;
inline constexpr RegStatus ERROR_INVALID_PARAMETER = 87;
inline constexpr RegStatus ERROR_MORE_DATA = 234;

inline constexpr std::uint32_t REG_SZ = 1;
inline constexpr std::uint32_t REG_DWORD = 4;
inline constexpr std::uint32_t KEY_QUERY_VALUE = 0x0001;

// Key paths and value names are single-byte text and match ignoring the case
// of ASCII letters. `root` is HKEY_LOCAL_MACHINE or a key opened before.
RegStatus RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t options, std::uint32_t access, RegKey* result);
// Copies the value's type and data; data too small for the value gives
// ERROR_MORE_DATA, and dataSize then holds the size needed.
RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved, std::uint32_t* type,
                           std::uint8_t* data, std::uint32_t* dataSize);
RegStatus RegCloseKey(RegKey key);

// The store. A value creates its key.
void storeValue(const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                const std::vector<std::uint8_t>& data);
// A REG_SZ value: the text and its terminating zero.
void storeString(const std::string& keyPath, const std::string& valueName, const std::string& text);
void storeDword(const std::string& keyPath, const std::string& valueName, std::uint32_t value);
// Removes every key and value; keys still open stay valid but find nothing.
void clearStore();

}  // namespace registry

#endif
