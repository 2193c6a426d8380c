// The Linux hidraw backend behind the HID.DLL and SETUPAPI.DLL stand-ins,
// one state shared by both modules and by the tests.
//
// A device path names one hidraw node by its place in sysfs:
//   \\?\HID#Vid_vvvv&Pid_pppp#<HID device>#<node>
// with the vendor and product IDs in four lower-case hex digits, the HID
// device's kernel name ("0003:3ACE:0501.0007") and the node ("hidraw3"), so
// the DEVPATH of a device event alone gives the path, also once the device
// is gone. Paths are read without regard to letter case.
#ifndef DRAVIK_HIDRAW_H
#define DRAVIK_HIDRAW_H

#include <cstdint>
#include <string>
#include <vector>

#include "../platform.h"

// The one interface libdravik_hidraw.so exports.
#pragma GCC visibility push(default)
namespace hidraw {

// Where sysfs and the device nodes are ("/sys" and "/dev" unless a test
// points them at a fixture tree).
void setRoots(const std::string& sysfsRoot, const std::string& devRoot);

// The paths of the hidraw nodes whose report descriptor holds a keyboard
// application collection, in node-number order.
std::vector<std::string> keyboardInterfacePaths();

// The device path of a hidraw DEVPATH ("/devices/.../0003:3ACE:0501.0007/
// hidraw/hidraw3"), or "" when it names no hidraw node.
std::string pathFromDevpath(const std::string& devpath);

bool holdsKeyboardCollection(const std::vector<uint8_t>& reportDescriptor);

HANDLE open(const char* path);
BOOL close(HANDLE handle);
// Vendor and product ID from the HID device's name, the release number
// (bcdDevice) from the USB device above it; 0 where there is none.
BOOL attributes(HANDLE handle, HIDD_ATTRIBUTES* attributes);
BOOL getFeature(HANDLE handle, void* report, ULONG length);
BOOL setFeature(HANDLE handle, void* report, ULONG length);

}  // namespace hidraw
#pragma GCC visibility pop

#endif
