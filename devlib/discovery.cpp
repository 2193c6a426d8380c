#include "discovery.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kInterfaceDataSize = 28;
constexpr DWORD kDetailFixedSize = 5;
constexpr SIZE_T kDetailSlack = 16;
constexpr DWORD kMaxInterfaces = 256;
constexpr DWORD kSecurityAttributesSize = 12;
constexpr ULONG kAttributesSize = 12;
constexpr size_t kPrefixLength = 25;

template <typename Entry>
void resolve(HMODULE module, const char* name, Entry& entry)
{
    entry = reinterpret_cast<Entry>(GetProcAddress(module, name));
}

void releaseSetupLib()
{
    FreeLibrary(setupLibrary.module);
    setupLibrary = SetupBinding{};
}

void releaseHidLib()
{
    if (hidLibrary.module != nullptr)
        FreeLibrary(hidLibrary.module);
    hidLibrary = HidBinding{};
}

bool isAccepted(const HIDD_ATTRIBUTES& attributes)
{
    if (attributes.ProductID != DRAVIK_PRODUCT_ID)
        return false;
    for (unsigned vendor : kAcceptedVendors) {
        if (attributes.VendorID == vendor)
            return true;
    }
    return false;
}

bool sameLetterIgnoringCase(char a, char b)
{
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
}

bool beginsWithIgnoringCase(const char* text, const char* prefix, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '\0' || !sameLetterIgnoringCase(text[i], prefix[i]))
            return false;
    }
    return true;
}

bool equalIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (!sameLetterIgnoringCase(*a, *b))
            return false;
    }
    return *a == *b;
}

bool isUsablePath(const char* path)
{
    return path != nullptr && strnlen(path, kDevicePathSize) < kDevicePathSize;
}

bool namesAcceptedDevice(const char* path)
{
    for (unsigned vendor : kAcceptedVendors) {
        char prefix[kPrefixLength + 1];
        std::snprintf(prefix, sizeof prefix, "\\\\?\\HID#Vid_%04x&Pid_%04x", vendor, DRAVIK_PRODUCT_ID);
        if (beginsWithIgnoringCase(path, prefix, kPrefixLength))
            return true;
    }
    return false;
}

}  // namespace

int LoadHidLib()
{
    if (hidLibrary.module != nullptr)
        return 1;
    InitLibState();
    hidLibrary.module = LoadLibraryA("HID.DLL");
    if (hidLibrary.module == nullptr) {
        connectError = connerr::kHidLoad;
        return 0;
    }
    resolve(hidLibrary.module, "HidD_GetAttributes", hidLibrary.HidD_GetAttributes);
    resolve(hidLibrary.module, "HidD_GetFeature", hidLibrary.HidD_GetFeature);
    resolve(hidLibrary.module, "HidD_SetFeature", hidLibrary.HidD_SetFeature);
    resolve(hidLibrary.module, "HidD_GetHidGuid", hidLibrary.HidD_GetHidGuid);
    resolve(hidLibrary.module, "HidP_GetCaps", hidLibrary.HidP_GetCaps);
    if (hidLibrary.HidD_GetAttributes == nullptr || hidLibrary.HidD_GetFeature == nullptr ||
        hidLibrary.HidD_SetFeature == nullptr || hidLibrary.HidD_GetHidGuid == nullptr ||
        hidLibrary.HidP_GetCaps == nullptr) {
        releaseHidLib();
        connectError = connerr::kHidEntry;
        return 0;
    }
    interfaceClassGuid = GUID_DEVINTERFACE_KEYBOARD_VALUE;
    return 1;
}

int LoadSetupLib()
{
    if (setupLibrary.module != nullptr)
        return 1;
    setupLibrary.module = LoadLibraryA("SETUPAPI.DLL");
    if (setupLibrary.module == nullptr) {
        connectError = connerr::kSetupLoad;
        return 0;
    }
    resolve(setupLibrary.module, "SetupDiGetClassDevsA", setupLibrary.SetupDiGetClassDevsA);
    resolve(setupLibrary.module, "SetupDiEnumDeviceInterfaces", setupLibrary.SetupDiEnumDeviceInterfaces);
    resolve(setupLibrary.module, "SetupDiGetDeviceInterfaceDetailA", setupLibrary.SetupDiGetDeviceInterfaceDetailA);
    resolve(setupLibrary.module, "SetupDiDestroyDeviceInfoList", setupLibrary.SetupDiDestroyDeviceInfoList);
    if (setupLibrary.SetupDiGetClassDevsA == nullptr || setupLibrary.SetupDiEnumDeviceInterfaces == nullptr ||
        setupLibrary.SetupDiGetDeviceInterfaceDetailA == nullptr ||
        setupLibrary.SetupDiDestroyDeviceInfoList == nullptr) {
        releaseSetupLib();
        connectError = connerr::kSetupEntry;
        return 0;
    }
    return 1;
}

// A null DACL: every access for everyone.
int MakeOpenSecurity(SECURITY_ATTRIBUTES& attributes)
{
    PSECURITY_DESCRIPTOR descriptor = LocalAlloc(LMEM_ZEROINIT, SECURITY_DESCRIPTOR_MIN_LENGTH);
    if (descriptor == nullptr)
        return 0;
    if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(descriptor, TRUE, nullptr, FALSE)) {
        LocalFree(descriptor);
        return 0;
    }
    attributes.nLength = kSecurityAttributesSize;
    attributes.lpSecurityDescriptor = descriptor;
    attributes.bInheritHandle = FALSE;
    return 1;
}

HANDLE OpenDevice(const char* path, DeviceRecord& record)
{
    if (path == nullptr)
        return INVALID_HANDLE_VALUE;
    if (!LoadHidLib())
        return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES security;
    if (!MakeOpenSecurity(security))
        return INVALID_HANDLE_VALUE;

    const HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, &security, OPEN_EXISTING, 0,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        LocalFree(security.lpSecurityDescriptor);
        connectError = connerr::kCreateFile;
        return INVALID_HANDLE_VALUE;
    }
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = kAttributesSize;
    hidLibrary.HidD_GetAttributes(handle, &attributes);
    if (!isAccepted(attributes)) {
        CloseHandle(handle);
        connectError = connerr::kNotAccepted;
        LocalFree(security.lpSecurityDescriptor);
        return INVALID_HANDLE_VALUE;
    }
    record.DID = attributes.VersionNumber;
    record.deviceHandle = handle;
    const size_t length = strnlen(path, kDevicePathSize - 1);
    std::memcpy(record.devicePath, path, length);
    record.devicePath[length] = '\0';
    LocalFree(security.lpSecurityDescriptor);
    return handle;
}

void EnumDevices()
{
    if (!LoadHidLib())
        return;
    if (!LoadSetupLib())
        return;
    const HDEVINFO set = setupLibrary.SetupDiGetClassDevsA(&interfaceClassGuid, nullptr, nullptr,
                                                           DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) {
        releaseSetupLib();
        releaseHidLib();
        connectError = connerr::kClassDevs;
        return;
    }
    for (DWORD index = 0; index < kMaxInterfaces; ++index) {
        if (deviceCount == kMaxDevices)
            break;
        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = kInterfaceDataSize;
        if (!setupLibrary.SetupDiEnumDeviceInterfaces(set, nullptr, &interfaceClassGuid, index, &interfaceData)) {
            connectError = connerr::kEnumEnd;
            break;
        }
        DWORD requiredSize = 0;
        const BOOL sized = setupLibrary.SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, nullptr, 0, &requiredSize,
                                                                         nullptr);
        if (sized || GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
            connectError = connerr::kSizeQuery;
            break;
        }
        // In a 32-bit process a reported size near the top wraps the sum into
        // a small block, which the detail query would overrun: refused.
        const SIZE_T detailBytes = SIZE_T{requiredSize} + kDetailSlack;
        auto* detail = detailBytes < kDetailSlack
                           ? nullptr
                           : static_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(LocalAlloc(LMEM_ZEROINIT, detailBytes));
        if (detail == nullptr) {
            connectError = connerr::kDetailAlloc;
            break;
        }
        detail->cbSize = kDetailFixedSize;
        if (!setupLibrary.SetupDiGetDeviceInterfaceDetailA(set, &interfaceData, detail, requiredSize, nullptr,
                                                           nullptr)) {
            connectError = connerr::kDetailQuery;
        } else if (OpenDevice(detail->DevicePath, DeviceTable[deviceCount]) != INVALID_HANDLE_VALUE) {
            ++deviceCount;
        }
        LocalFree(detail);
    }
    setupLibrary.SetupDiDestroyDeviceInfoList(set);
    releaseSetupLib();
}

int UpdateDeviceTable(const DeviceRecord& record, int remove)
{
    const HANDLE handle = record.deviceHandle;
    int result = 0;
    if (remove != 0) {
        for (int i = 0; i < deviceCount; ++i) {
            DeviceRecord& slot = DeviceTable[i];
            if (slot.deviceHandle == INVALID_HANDLE_VALUE || slot.deviceHandle != handle)
                continue;
            CloseHandle(handle);
            clearDeviceSlot(slot);
            result = 1;
            break;
        }
    } else if (deviceCount < kMaxDevices) {
        DeviceTable[deviceCount] = record;
        ++deviceCount;
        result = 1;
    }
    if (deviceCount == 0) {
        activeDevice = 0;
        return result;
    }
    int freeIndex = -1;
    for (int i = 0; i < deviceCount; ++i) {
        if (DeviceTable[i].deviceHandle == INVALID_HANDLE_VALUE) {
            freeIndex = i;
        } else if (freeIndex >= 0) {
            DeviceTable[freeIndex] = DeviceTable[i];
            clearDeviceSlot(DeviceTable[i]);
            freeIndex = i;
        }
    }
    if (freeIndex >= 0)
        --deviceCount;
    activeDevice = 0;
    return result;
}

extern "C" {

int32_t DRAVIK_CALL USBConnect(uint32_t* deviceInfo)
{
    connectError = 0;
    if (deviceCount != 0) {
        connectError = connerr::kConnect;
        return 0;
    }
    EnumDevices();
    if (deviceCount == 0) {
        connectError |= connerr::kConnect;
        return 0;
    }
    for (int16_t i = 0; i < deviceCount; ++i) {
        SetActDev(i);
        if (!ReadCfg()) {
            connectError |= connerr::kConnect;
            SetActDev(0);
            return 0;
        }
    }
    SetActDev(0);
    if (deviceInfo != nullptr)
        *deviceInfo = DeviceTable[0].DID;
    return 1;
}

int32_t DRAVIK_CALL USBDisconnect(void)
{
    if (deviceCount != 0) {
        for (int i = 0; i < deviceCount; ++i) {
            if (DeviceTable[i].deviceHandle != INVALID_HANDLE_VALUE)
                CloseHandle(DeviceTable[i].deviceHandle);
        }
        deviceCount = 0;
    }
    releaseHidLib();
    InitLibState();
    return 1;
}

int32_t DRAVIK_CALL ChkAddArrival(const char* devicePath)
{
    if (!isUsablePath(devicePath) || !namesAcceptedDevice(devicePath))
        return 0;
    DeviceRecord record;
    clearDeviceSlot(record);
    const HANDLE handle = OpenDevice(devicePath, record);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    const int added = UpdateDeviceTable(record, 0);
    if (!added)
        CloseHandle(handle);
    return added;
}

int32_t DRAVIK_CALL ChkDelRemoval(const char* devicePath)
{
    if (!isUsablePath(devicePath))
        return 0;
    for (int i = 0; i < deviceCount; ++i) {
        if (equalIgnoringCase(DeviceTable[i].devicePath, devicePath))
            return UpdateDeviceTable(DeviceTable[i], 1);
    }
    return 0;
}

}  // extern "C"
