#include "about/registry.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace registry {
namespace {

struct Value {
    std::uint32_t type;
    std::vector<std::uint8_t> data;
};

// Key paths below HKEY_LOCAL_MACHINE, folded to lower case, with their values.
std::map<std::string, std::map<std::string, Value>> store;
std::map<RegKey, std::string> openKeys;
RegKey nextHandle = 1;

std::string folded(const std::string& text)
{
    std::string result = text;
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

}  // namespace

RegStatus RegOpenKeyExA(RegKey root, const char* subKey, std::uint32_t, std::uint32_t, RegKey* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    std::string path;
    if (root != HKEY_LOCAL_MACHINE) {
        const auto open = openKeys.find(root);
        if (open == openKeys.end())
            return ERROR_INVALID_HANDLE;
        path = open->second;
    }
    if (subKey && *subKey)
        path += (path.empty() ? "" : "\\") + folded(subKey);
    if (store.find(path) == store.end())
        return ERROR_FILE_NOT_FOUND;
    *result = nextHandle++;
    openKeys[*result] = path;
    return ERROR_SUCCESS;
}

RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t*, std::uint32_t* type, std::uint8_t* data,
                           std::uint32_t* dataSize)
{
    const auto open = openKeys.find(key);
    if (open == openKeys.end())
        return ERROR_INVALID_HANDLE;
    if (data && !dataSize)
        return ERROR_INVALID_PARAMETER;
    const auto values = store.find(open->second);
    if (values == store.end())
        return ERROR_FILE_NOT_FOUND;
    const auto found = values->second.find(folded(valueName ? valueName : ""));
    if (found == values->second.end())
        return ERROR_FILE_NOT_FOUND;
    const Value& value = found->second;
    if (type)
        *type = value.type;
    const auto size = static_cast<std::uint32_t>(value.data.size());
    if (data && *dataSize < size) {
        *dataSize = size;
        return ERROR_MORE_DATA;
    }
    if (data)
        std::copy(value.data.begin(), value.data.end(), data);
    if (dataSize)
        *dataSize = size;
    return ERROR_SUCCESS;
}

RegStatus RegCloseKey(RegKey key)
{
    return openKeys.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

void storeValue(const std::string& keyPath, const std::string& valueName, std::uint32_t type,
                const std::vector<std::uint8_t>& data)
{
    store[folded(keyPath)][folded(valueName)] = {type, data};
}

void storeString(const std::string& keyPath, const std::string& valueName, const std::string& text)
{
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    storeValue(keyPath, valueName, REG_SZ, data);
}

void storeDword(const std::string& keyPath, const std::string& valueName, std::uint32_t value)
{
    std::vector<std::uint8_t> data(4);
    for (int index = 0; index < 4; ++index)
        data[index] = static_cast<std::uint8_t>(value >> (8 * index));
    storeValue(keyPath, valueName, REG_DWORD, data);
}

void clearStore()
{
    store.clear();
}

}  // namespace registry
