// Off Windows, the stand-ins for HID.DLL and SETUPAPI.DLL are shared objects
// of our own. When LoadLibraryA loads one it calls the module's link entry,
// which hands the module the kernel services it reports through and takes
// back what the kernel stand-ins need of it: for a HID module, the device
// side of the kernel services (opening and closing a device path and, for the
// simulated sensor, the clock behind Sleep).
#ifndef DRAVIK_BACKEND_H
#define DRAVIK_BACKEND_H

#include "platform.h"

extern "C" {

struct DeviceBackend {
    HANDLE (*open)(const char* path);  // INVALID_HANDLE_VALUE when it can't
    BOOL (*close)(HANDLE handle);
    void (*sleep)(DWORD milliseconds);  // null: sleep for real
};

// What the kernel offers a module.
struct KernelServices {
    void (*setLastError)(DWORD code);
};

// What a module tells the kernel; both members may stay null.
struct ModuleLink {
    const DeviceBackend* backend;  // installed while the module is loaded
    // Whether an entry point counts as exported; null: whatever the module
    // defines. Lets a simulated module stand for one that lacks an entry.
    BOOL (*hasEntry)(const char* name);
};

// Returns FALSE when the module is to count as not loadable.
using PFN_DravikLinkModule = BOOL (*)(const KernelServices* kernel, ModuleLink* link);
#define DRAVIK_LINK_MODULE_ENTRY "DravikLinkModule"
}

// What a stand-in module exports, by its plain name.
#ifdef _WIN32
#define DRAVIK_MODULE_EXPORT extern "C" __declspec(dllexport)
#else
#define DRAVIK_MODULE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The backend the kernel stand-ins use from now on; null restores the real
// clock and refuses every open.
void installDeviceBackend(const DeviceBackend* backend);

#endif
