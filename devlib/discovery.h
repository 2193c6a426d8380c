// Binding the platform's HID and device-setup libraries, finding and opening
// the sensors, and keeping the device table as they come and go.
#ifndef DRAVIK_DISCOVERY_H
#define DRAVIK_DISCOVERY_H

#include "lib_state.h"

// The vendors whose sensor (product DRAVIK_PRODUCT_ID) is accepted; the udev
// rule lists the same.
inline constexpr unsigned kAcceptedVendors[] = {DRAVIK_VENDOR_ID_1, DRAVIK_VENDOR_ID_2};

int LoadHidLib();
int LoadSetupLib();
int MakeOpenSecurity(SECURITY_ATTRIBUTES& attributes);
HANDLE OpenDevice(const char* path, DeviceRecord& record);
void EnumDevices();
int UpdateDeviceTable(const DeviceRecord& record, int remove);

#endif
