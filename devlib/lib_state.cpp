#include "lib_state.h"

#include <cstring>

DeviceRecord DeviceTable[kMaxDevices];
int16_t deviceCount;
int16_t activeDevice;
uint32_t connectError;
GUID interfaceClassGuid;
uint16_t featureReportLength;
HidBinding hidLibrary;
SetupBinding setupLibrary;
RecordSet lastReadRecords;

const GUID GUID_DEVINTERFACE_KEYBOARD_VALUE = {
    0x884B96C3, 0x56EF, 0x11D1, {0xBC, 0x8C, 0x00, 0xA0, 0xC9, 0x14, 0x05, 0xDD}};

void clearDeviceSlot(DeviceRecord& slot)
{
    std::memset(&slot, 0, sizeof slot);
    slot.deviceHandle = INVALID_HANDLE_VALUE;
}

void InitLibState()
{
    std::memset(&interfaceClassGuid, 0, sizeof interfaceClassGuid);
    featureReportLength = 9;
    hidLibrary = HidBinding{};
    connectError = 0;
    activeDevice = 0;
    deviceCount = 0;
    for (DeviceRecord& slot : DeviceTable)
        clearDeviceSlot(slot);
}

extern "C" {

int16_t DRAVIK_CALL GetDevCnt(void)
{
    return deviceCount;
}

int16_t DRAVIK_CALL GetActDev(void)
{
    return activeDevice;
}

int32_t DRAVIK_CALL SetActDev(int32_t index)
{
    const auto n = static_cast<int16_t>(index);
    if (n >= kMaxDevices || n >= deviceCount || n < 0)
        return 0;
    activeDevice = n;
    return 1;
}

uint16_t DRAVIK_CALL GetLUID(void)
{
    return activeRecord().LUID;
}

int32_t DRAVIK_CALL SetLUID(uint32_t luid)
{
    activeRecord().LUID = static_cast<uint16_t>(luid);
    activeRecord().luidChanged = 1;
    return 1;
}

uint16_t DRAVIK_CALL GetDID(void)
{
    return activeRecord().DID;
}

int32_t DRAVIK_CALL GetHIDGuid(DravikGuid* guid)
{
    if (guid == nullptr)
        return 0;
    static_assert(sizeof(DravikGuid) == sizeof(GUID), "same layout");
    std::memcpy(guid, &GUID_DEVINTERFACE_KEYBOARD_VALUE, sizeof(GUID));
    return 1;
}

int32_t DRAVIK_CALL GetLibVersion(int16_t* major, int16_t* minor, int16_t* build)
{
    if (major != nullptr)
        *major = DRAVIK_VERSION_MAJOR;
    if (minor != nullptr)
        *minor = DRAVIK_VERSION_MINOR;
    if (build != nullptr)
        *build = DRAVIK_VERSION_BUILD;
    return 1;
}

uint32_t DRAVIK_CALL GetLastLibErr(void)
{
    return activeRecord().lastLibErr;
}

}  // extern "C"
