#include "hidraw.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <utility>

#include "../never_destroyed.h"
#include "../without_exceptions.h"

namespace fs = std::filesystem;

namespace hidraw {
namespace {

struct OpenNode {
    int fd;
    HIDD_ATTRIBUTES attributes;
};

// Alive for the whole process: the library may close its handles from its
// unload, after other static destructors have run.
struct State {
    std::string sysfsRoot = "/sys";
    std::string devRoot = "/dev";
    std::set<OpenNode*> nodes;
};
State& state()
{
    static NeverDestroyed<State> state;
    return state.get();
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool parseHex(const std::string& text, size_t minDigits, size_t maxDigits, uint32_t& value)
{
    if (text.size() < minDigits || text.size() > maxDigits)
        return false;
    value = 0;
    for (char c : text) {
        const int digit = std::tolower(static_cast<unsigned char>(c));
        if (!std::isxdigit(digit))
            return false;
        value = value * 16 + static_cast<uint32_t>(std::isdigit(digit) ? digit - '0' : digit - 'a' + 10);
    }
    return true;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The kernel names a HID device "BBBB:VVVV:PPPP.NNNN" (bus, vendor, product,
// instance), all hexadecimal.
bool parseHidDeviceName(const std::string& name, uint16_t& vendor, uint16_t& product)
{
    const auto dot = name.find('.');
    if (dot == std::string::npos)
        return false;
    const std::vector<std::string> ids = split(name.substr(0, dot), ':');
    uint32_t bus, vid, pid, instance;
    if (ids.size() != 3 || !parseHex(ids[0], 4, 4, bus) || !parseHex(ids[1], 4, 4, vid) ||
        !parseHex(ids[2], 4, 4, pid) || !parseHex(name.substr(dot + 1), 1, 8, instance))
        return false;
    vendor = static_cast<uint16_t>(vid);
    product = static_cast<uint16_t>(pid);
    return true;
}

// "hidraw" and at most ten digits.
bool isNodeName(const std::string& name, unsigned long* number = nullptr)
{
    const std::string digits = name.substr(0, 6) == "hidraw" ? name.substr(6) : "";
    if (digits.empty() || digits.size() > 10 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return false;
    if (number != nullptr)
        *number = std::stoul(digits);
    return true;
}

std::string formatPath(uint16_t vendor, uint16_t product, const std::string& hidDevice, const std::string& node)
{
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, "\\\\?\\HID#Vid_%04x&Pid_%04x", vendor, product);
    return std::string(prefix) + "#" + hidDevice + "#" + node;
}

struct PathParts {
    uint16_t vendor;
    uint16_t product;
    std::string hidDevice;
    std::string node;
};

bool parsePath(const char* path, PathParts& parts)
{
    const std::vector<std::string> pieces = split(lowerCase(path), '#');
    if (pieces.size() != 4 || pieces[0] != "\\\\?\\hid")
        return false;
    const std::vector<std::string> ids = split(pieces[1], '&');
    uint32_t vid = 0, pid = 0;
    if (ids.size() != 2 || ids[0].substr(0, 4) != "vid_" || ids[1].substr(0, 4) != "pid_" ||
        !parseHex(ids[0].substr(4), 4, 4, vid) || !parseHex(ids[1].substr(4), 4, 4, pid))
        return false;
    uint16_t nameVendor, nameProduct;
    if (!parseHidDeviceName(pieces[2], nameVendor, nameProduct) || nameVendor != vid || nameProduct != pid ||
        !isNodeName(pieces[3]))
        return false;
    parts = PathParts{static_cast<uint16_t>(vid), static_cast<uint16_t>(pid), pieces[2], pieces[3]};
    return true;
}

// The HID device directory above a node, as sysfs resolves it.
bool hidDeviceOf(const std::string& node, fs::path& hidDevice)
{
    std::error_code error;
    const fs::path nodeDir = fs::canonical(fs::path(state().sysfsRoot) / "class" / "hidraw" / node, error);
    if (error)
        return false;
    hidDevice = nodeDir.parent_path().parent_path();
    return true;
}

uint16_t releaseNumberAbove(const fs::path& hidDevice)
{
    std::error_code error;
    const fs::path root = fs::canonical(state().sysfsRoot, error);
    if (error)
        return 0;
    for (fs::path dir = hidDevice.parent_path(); dir != root && dir.has_relative_path(); dir = dir.parent_path()) {
        std::ifstream file(dir / "bcdDevice");
        std::string text;
        uint32_t value;
        if (file >> text)
            return parseHex(text, 1, 4, value) ? static_cast<uint16_t>(value) : 0;
    }
    return 0;
}

std::vector<uint8_t> readReportDescriptor(const fs::path& hidDevice)
{
    std::ifstream file(hidDevice / "report_descriptor", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

struct FolderCloser {
    void operator()(DIR* folder) const { closedir(folder); }
};

OpenNode* find(HANDLE handle)
{
    const auto found = state().nodes.find(static_cast<OpenNode*>(handle));
    return found == state().nodes.end() ? nullptr : *found;
}

}  // namespace

void setRoots(const std::string& sysfsRoot, const std::string& devRoot)
{
    state().sysfsRoot = sysfsRoot;
    state().devRoot = devRoot;
}

std::string pathFromDevpath(const std::string& devpath)
{
    const std::vector<std::string> parts = split(devpath, '/');
    const size_t n = parts.size();
    uint16_t vendor, product;
    if (n < 3 || parts[n - 2] != "hidraw" || !isNodeName(parts[n - 1]) ||
        !parseHidDeviceName(parts[n - 3], vendor, product))
        return "";
    return formatPath(vendor, product, parts[n - 3], parts[n - 1]);
}

bool holdsKeyboardCollection(const std::vector<uint8_t>& descriptor)
{
    constexpr uint32_t kKeyboardUsage = 0x00010006;  // Generic Desktop, Keyboard
    constexpr uint32_t kApplication = 1;
    uint32_t usagePage = 0;
    uint32_t usage = 0;
    size_t usageSize = 0;  // 0: no usage since the last main item
    int depth = 0;
    for (size_t at = 0; at < descriptor.size();) {
        const uint8_t prefix = descriptor[at];
        if (prefix == 0xFE) {  // long item: size, tag, data
            if (at + 1 >= descriptor.size())
                return false;
            at += 3 + descriptor[at + 1];
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : prefix & 3;
        if (at + 1 + size > descriptor.size())
            return false;
        uint32_t value = 0;
        for (size_t k = 0; k < size; ++k)
            value |= static_cast<uint32_t>(descriptor[at + 1 + k]) << (8 * k);
        at += 1 + size;

        switch (prefix & 0xFC) {
        case 0x04:  // Usage Page
            usagePage = value;
            break;
        case 0x08:  // Usage
            if (usageSize == 0) {
                usage = value;
                usageSize = size;
            }
            break;
        case 0xA0: {  // Collection
            const uint32_t fullUsage = usageSize == 4 ? usage : (usagePage << 16) | usage;
            if (depth == 0 && value == kApplication && usageSize != 0 && fullUsage == kKeyboardUsage)
                return true;
            ++depth;
            usageSize = 0;
            break;
        }
        case 0xC0:  // End Collection
            depth = std::max(0, depth - 1);
            usageSize = 0;
            break;
        default:
            if ((prefix & 0x0C) == 0)
                usageSize = 0;  // any other main item ends the local usages
            break;
        }
    }
    return false;
}

std::vector<std::string> keyboardInterfacePaths()
{
    std::error_code error;
    const fs::path root = fs::canonical(state().sysfsRoot, error);
    if (error)
        return {};
    std::vector<std::pair<unsigned long, std::string>> found;
    // Listed with readdir: the file system library's listing ends the
    // program when memory runs out.
    const std::unique_ptr<DIR, FolderCloser> folder(opendir((root / "class" / "hidraw").c_str()));
    if (folder == nullptr)
        return {};
    while (const dirent* entry = readdir(folder.get())) {
        unsigned long number;
        fs::path hidDevice;
        const std::string node = entry->d_name;
        if (!isNodeName(node, &number) || !hidDeviceOf(node, hidDevice) ||
            !holdsKeyboardCollection(readReportDescriptor(hidDevice)))
            continue;
        const std::string devpath = "/" + (hidDevice / "hidraw" / node).lexically_relative(root).string();
        const std::string path = pathFromDevpath(devpath);
        if (!path.empty())
            found.emplace_back(number, path);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [number, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

HANDLE open(const char* path)
{
    return withoutExceptions(INVALID_HANDLE_VALUE, [path]() -> HANDLE {
        PathParts parts;
        fs::path hidDevice;
        if (path == nullptr || !parsePath(path, parts) || !hidDeviceOf(parts.node, hidDevice) ||
            lowerCase(hidDevice.filename().string()) != parts.hidDevice)
            return INVALID_HANDLE_VALUE;
        // Everything that allocates comes before the node is opened.
        const std::string nodePath = state().devRoot + "/" + parts.node;
        const HIDD_ATTRIBUTES attributes{sizeof(HIDD_ATTRIBUTES), parts.vendor, parts.product,
                                         releaseNumberAbove(hidDevice)};
        std::unique_ptr<OpenNode> node(new OpenNode{-1, attributes});
        state().nodes.insert(node.get());
        node->fd = ::open(nodePath.c_str(), O_RDWR | O_CLOEXEC);
        if (node->fd < 0) {
            state().nodes.erase(node.get());
            return INVALID_HANDLE_VALUE;
        }
        return node.release();
    });
}

BOOL close(HANDLE handle)
{
    OpenNode* node = find(handle);
    if (node == nullptr)
        return FALSE;
    state().nodes.erase(node);
    ::close(node->fd);
    delete node;
    return TRUE;
}

BOOL attributes(HANDLE handle, HIDD_ATTRIBUTES* attributes)
{
    const OpenNode* node = find(handle);
    if (node == nullptr || attributes == nullptr || attributes->Size != sizeof(HIDD_ATTRIBUTES))
        return FALSE;
    *attributes = node->attributes;
    return TRUE;
}

// A feature report moves whole or not at all.
BOOL getFeature(HANDLE handle, void* report, ULONG length)
{
    const OpenNode* node = find(handle);
    return node != nullptr && report != nullptr &&
           ioctl(node->fd, HIDIOCGFEATURE(length), report) == static_cast<int>(length);
}

BOOL setFeature(HANDLE handle, void* report, ULONG length)
{
    const OpenNode* node = find(handle);
    return node != nullptr && report != nullptr &&
           ioctl(node->fd, HIDIOCSFEATURE(length), report) == static_cast<int>(length);
}

}  // namespace hidraw
