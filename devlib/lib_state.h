// The library's global state: the table of open sensors, the error words and
// the two platform bindings.
#ifndef DRAVIK_LIB_STATE_H
#define DRAVIK_LIB_STATE_H

#include <cstdint>

#include "Dravik.h"
#include "platform/platform.h"

constexpr int kMaxDevices = 16;
constexpr int kDevicePathSize = 128;

// The four records as a set, in the order the sensor's blocks carry them.
struct RecordSet {
    tsTyvelParms tyvel;
    tsWalkAwayParms walkAway;
    tsWalkUpParms walkUp;
    tsIdleParms idle;
};

struct DeviceRecord {
    uint16_t LUID;
    uint16_t DID;
    HANDLE deviceHandle;
    int32_t luidChanged;
    uint32_t lastLibErr;
    int32_t configValid;
    int32_t tyvelChanged;
    int32_t walkAwayChanged;
    int32_t walkUpChanged;
    int32_t idleChanged;
    tsTyvelParms tyvelParms;
    tsWalkAwayParms walkAwayParms;
    tsWalkUpParms walkUpParms;
    tsIdleParms idleParms;
    char devicePath[kDevicePathSize];
    // What ReadCfg last decoded from this sensor, record by record; a record
    // whose flag is 0 has not been read since the sensor was opened.
    RecordSet lastRead;
    int32_t lastReadFilled[4];
};

struct HidBinding {
    HMODULE module;
    PFN_HidD_GetAttributes HidD_GetAttributes;
    PFN_HidD_GetFeature HidD_GetFeature;
    PFN_HidD_SetFeature HidD_SetFeature;
    PFN_HidD_GetHidGuid HidD_GetHidGuid;
    PFN_HidP_GetCaps HidP_GetCaps;
};

struct SetupBinding {
    HMODULE module;
    PFN_SetupDiGetClassDevsA SetupDiGetClassDevsA;
    PFN_SetupDiEnumDeviceInterfaces SetupDiEnumDeviceInterfaces;
    PFN_SetupDiGetDeviceInterfaceDetailA SetupDiGetDeviceInterfaceDetailA;
    PFN_SetupDiDestroyDeviceInfoList SetupDiDestroyDeviceInfoList;
};

extern DeviceRecord DeviceTable[kMaxDevices];
extern int16_t deviceCount;
extern int16_t activeDevice;
extern uint32_t connectError;
extern GUID interfaceClassGuid;
extern uint16_t featureReportLength;
extern HidBinding hidLibrary;
extern SetupBinding setupLibrary;
extern RecordSet lastReadRecords;

extern const GUID GUID_DEVINTERFACE_KEYBOARD_VALUE;

inline DeviceRecord& activeRecord()
{
    return DeviceTable[activeDevice];
}

void InitLibState();
void clearDeviceSlot(DeviceRecord& slot);

// Operation bits and detail codes of lastLibErr.
namespace liberr {
constexpr uint32_t kNullPointer = 0x1;
constexpr uint32_t kNotRead = 0x2;
constexpr uint32_t kReadNoDevice = 0x100;
constexpr uint32_t kReadNoEntry = 0x101;
constexpr uint32_t kReadRefused = 0x102;
constexpr uint32_t kWriteNoDevice = 0x200;
constexpr uint32_t kWriteNoEntry = 0x201;
constexpr uint32_t kWriteRefused = 0x202;
constexpr uint32_t kOpRead = 0x20000;
constexpr uint32_t kOpWrite = 0x40000;
constexpr uint32_t kOpReset = 0x80000;
constexpr uint32_t kOpGet = 0x100000;
constexpr uint32_t kOpSet = 0x200000;
constexpr uint32_t kOpRange = 0x1000000;
}  // namespace liberr

// Codes of connectError.
namespace connerr {
constexpr uint32_t kSetupLoad = 1;
constexpr uint32_t kSetupEntry = 2;
constexpr uint32_t kHidLoad = 3;
constexpr uint32_t kHidEntry = 4;
constexpr uint32_t kClassDevs = 6;
constexpr uint32_t kEnumEnd = 7;
constexpr uint32_t kSizeQuery = 8;
constexpr uint32_t kDetailAlloc = 9;
constexpr uint32_t kNotAccepted = 10;
constexpr uint32_t kCreateFile = 11;
constexpr uint32_t kDetailQuery = 12;
constexpr uint32_t kConnect = 0x10000;
constexpr uint32_t kHalt = 0x2000000;
}  // namespace connerr

#endif
