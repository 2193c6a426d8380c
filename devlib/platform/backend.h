// Off Windows, a HID module (the stand-in for HID.DLL) also carries the device
// side of the kernel services: opening and closing a device path and, for the
// simulated sensor, the clock behind Sleep. The kernel stand-ins route there.
#pragma once

#include "platform.h"

extern "C" {

struct DeviceBackend {
    HANDLE (*open)(const char* path);  // INVALID_HANDLE_VALUE when it can't
    BOOL (*close)(HANDLE handle);
    void (*sleep)(DWORD milliseconds);  // null: sleep for real
};

// A HID module exports this name; LoadLibraryA installs what it returns.
using PFN_DravikDeviceBackend = const DeviceBackend* (*)();
#define DRAVIK_DEVICE_BACKEND_ENTRY "DravikDeviceBackend"
}

// The backend the kernel stand-ins use from now on; null restores the real
// clock and refuses every open.
void installDeviceBackend(const DeviceBackend* backend);
