#include "sim_binding.h"

#include <cstdio>
#include <string>

#include "lib_state.h"
#include "platform/backend.h"

namespace {
int boundModule;
}

void bindSimulator()
{
    hidLibrary.module = reinterpret_cast<HMODULE>(&boundModule);
    hidLibrary.HidD_GetAttributes = dravikSimHidGetAttributes;
    hidLibrary.HidD_GetFeature = dravikSimHidGetFeature;
    hidLibrary.HidD_SetFeature = dravikSimHidSetFeature;
    // HidD_GetHidGuid and HidP_GetCaps are never called by the transfers.
    installDeviceBackend(dravikSimDeviceBackend());
}

void unbindSimulator()
{
    for (int n = 0; n < deviceCount; ++n)
        CloseHandle(DeviceTable[n].deviceHandle);
    hidLibrary = HidBinding{};
    installDeviceBackend(nullptr);
}

int openSimulatedSensor(uint16_t versionNumber)
{
    if (deviceCount >= kMaxDevices)
        return -1;
    const std::string path = "\\\\?\\hid#vid_3ace&pid_0501#" + std::to_string(dravikSimDeviceCount()) +
                             "#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
    const DravikSimDeviceSpec spec{path.c_str(), DRAVIK_VENDOR_ID_1, DRAVIK_PRODUCT_ID, versionNumber, 1};
    const int device = dravikSimAddDevice(&spec);

    DeviceRecord& slot = DeviceTable[deviceCount];
    slot.deviceHandle = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    if (slot.deviceHandle == INVALID_HANDLE_VALUE)
        return -1;
    HIDD_ATTRIBUTES attributes{sizeof attributes, 0, 0, 0};
    hidLibrary.HidD_GetAttributes(slot.deviceHandle, &attributes);
    slot.DID = attributes.VersionNumber;
    std::snprintf(slot.devicePath, sizeof slot.devicePath, "%s", path.c_str());
    ++deviceCount;
    return device;
}
