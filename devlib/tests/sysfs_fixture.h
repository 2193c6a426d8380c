#ifndef DRAVIK_TESTS_SYSFS_FIXTURE_H
#define DRAVIK_TESTS_SYSFS_FIXTURE_H

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/linux/hidraw.h"

// Report descriptors, trimmed to the items the enumeration looks at.
namespace descriptors {
// Usage Page (Generic Desktop), Usage (Keyboard), Collection (Application), ..., End Collection
const std::vector<uint8_t> kKeyboard = {0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7,
                                        0x15, 0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0xC0};
const std::vector<uint8_t> kMouse = {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x09, 0x01, 0xA1, 0x00,
                                     0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x81, 0x02, 0xC0, 0xC0};
}  // namespace descriptors

// A sysfs and /dev tree in a temporary directory, laid out as the kernel lays
// out hidraw nodes; the device nodes are plain files.
class SysfsFixture {
public:
    SysfsFixture()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dravik-sysfs-XXXXXX").string();
        root_ = mkdtemp(pattern.data());
        std::filesystem::create_directories(sysfs() + "/class/hidraw");
        std::filesystem::create_directories(dev());
        hidraw::setRoots(sysfs(), dev());
    }
    ~SysfsFixture()
    {
        hidraw::setRoots("/sys", "/dev");
        std::filesystem::remove_all(root_);
    }
    SysfsFixture(const SysfsFixture&) = delete;
    SysfsFixture& operator=(const SysfsFixture&) = delete;

    std::string sysfs() const { return root_ + "/sys"; }
    std::string dev() const { return root_ + "/dev"; }

    // Adds /dev/hidraw<number> for the HID device hidDevice ("0003:3ACE:0501.0001")
    // on USB port usbPort of a PCI controller; returns the node's DEVPATH.
    std::string addNode(int number, const std::string& hidDevice, const std::vector<uint8_t>& descriptor,
                        const std::string& bcdDevice = "0105", const std::string& usbPort = "1-2")
    {
        const std::string node = "hidraw" + std::to_string(number);
        const std::string usbDevice = "/devices/pci0000:00/0000:00:14.0/usb1/" + usbPort;
        const std::string hidDir = usbDevice + "/" + usbPort + ":1.0/" + hidDevice;
        const std::string devpath = hidDir + "/hidraw/" + node;
        std::filesystem::create_directories(sysfs() + devpath);
        if (!bcdDevice.empty())
            write(sysfs() + usbDevice + "/bcdDevice", bcdDevice + "\n");
        write(sysfs() + hidDir + "/report_descriptor", std::string(descriptor.begin(), descriptor.end()));
        std::filesystem::create_directory_symlink("../../devices" + devpath.substr(8),
                                                  sysfs() + "/class/hidraw/" + node);
        write(dev() + "/" + node, "");
        return devpath;
    }

private:
    static void write(const std::string& file, const std::string& contents)
    {
        std::ofstream(file, std::ios::binary) << contents;
    }

    std::string root_;
};

#endif
