// The hidraw stand-ins for HID.DLL and SETUPAPI.DLL, loaded through the
// kernel stand-ins as the library loads them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib_state.h"
#include "platform/backend.h"
#include "scoped_env.h"
#include "sysfs_fixture.h"

namespace {

constexpr char kSensorPath[] = "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw3";

template <typename Entry>
Entry entry(HMODULE module, const char* name)
{
    return reinterpret_cast<Entry>(GetProcAddress(module, name));
}

class HidrawModules : public ::testing::Test {
protected:
    SysfsFixture fixture;
    ScopedEnv hidModule{"DRAVIK_HID_DLL", DRAVIK_TEST_HID_MODULE};
    ScopedEnv setupModule{"DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SETUPAPI_MODULE};
};

TEST_F(HidrawModules, SetupStandInHandsOutTheKeyboardInterfacesWithThePlatformsBufferRules)
{
    fixture.addNode(3, "0003:3ACE:0501.0007", descriptors::kKeyboard);
    fixture.addNode(4, "0003:046D:C077.0008", descriptors::kMouse);
    const HMODULE module = LoadLibraryA("setupapi.dll");
    ASSERT_NE(module, nullptr);
    auto getClassDevs = entry<PFN_SetupDiGetClassDevsA>(module, "SetupDiGetClassDevsA");
    auto enumInterfaces = entry<PFN_SetupDiEnumDeviceInterfaces>(module, "SetupDiEnumDeviceInterfaces");
    auto getDetail = entry<PFN_SetupDiGetDeviceInterfaceDetailA>(module, "SetupDiGetDeviceInterfaceDetailA");
    auto destroy = entry<PFN_SetupDiDestroyDeviceInfoList>(module, "SetupDiDestroyDeviceInfoList");
    ASSERT_TRUE(getClassDevs && enumInterfaces && getDetail && destroy);

    const HDEVINFO set = getClassDevs(&GUID_DEVINTERFACE_KEYBOARD_VALUE, nullptr, nullptr, 0x12);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = 28;
    ASSERT_TRUE(enumInterfaces(set, nullptr, &GUID_DEVINTERFACE_KEYBOARD_VALUE, 0, &data));
    EXPECT_EQ(std::memcmp(&data.InterfaceClassGuid, &GUID_DEVINTERFACE_KEYBOARD_VALUE, sizeof(GUID)), 0);

    DWORD required = 0;
    SetLastError(0);
    EXPECT_FALSE(getDetail(set, &data, nullptr, 0, &required, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(required, 4 + std::strlen(kSensorPath) + 1);

    std::vector<char> buffer(required + 16, '\x55');
    auto* detail = reinterpret_cast<PSP_DEVICE_INTERFACE_DETAIL_DATA_A>(buffer.data());
    detail->cbSize = 5;
    EXPECT_FALSE(getDetail(set, &data, detail, required - 1, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_TRUE(getDetail(set, &data, detail, required, nullptr, nullptr));
    EXPECT_STREQ(detail->DevicePath, kSensorPath);
    EXPECT_EQ(buffer[required], '\x55');
    detail->cbSize = 8;
    EXPECT_FALSE(getDetail(set, &data, detail, required, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);

    EXPECT_FALSE(enumInterfaces(set, nullptr, &GUID_DEVINTERFACE_KEYBOARD_VALUE, 1, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    data.cbSize = 32;
    EXPECT_FALSE(enumInterfaces(set, nullptr, &GUID_DEVINTERFACE_KEYBOARD_VALUE, 0, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_USER_BUFFER);

    EXPECT_TRUE(destroy(set));
    EXPECT_FALSE(destroy(set));
    FreeLibrary(module);
}

TEST_F(HidrawModules, SetupStandInKnowsOnlyTheKeyboardClass)
{
    fixture.addNode(3, "0003:3ACE:0501.0007", descriptors::kKeyboard);
    const HMODULE module = LoadLibraryA("SETUPAPI.DLL");
    ASSERT_NE(module, nullptr);
    auto getClassDevs = entry<PFN_SetupDiGetClassDevsA>(module, "SetupDiGetClassDevsA");
    auto enumInterfaces = entry<PFN_SetupDiEnumDeviceInterfaces>(module, "SetupDiEnumDeviceInterfaces");
    auto destroy = entry<PFN_SetupDiDestroyDeviceInfoList>(module, "SetupDiDestroyDeviceInfoList");
    const GUID otherClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    EXPECT_EQ(getClassDevs(nullptr, nullptr, nullptr, 0x12), INVALID_HANDLE_VALUE);
    const HDEVINFO set = getClassDevs(&otherClass, nullptr, nullptr, 0x12);
    ASSERT_NE(set, INVALID_HANDLE_VALUE);
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = 28;
    EXPECT_FALSE(enumInterfaces(set, nullptr, &otherClass, 0, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_ITEMS);
    destroy(set);
    FreeLibrary(module);
}

TEST_F(HidrawModules, HidStandInOpensDevicesThroughTheKernelWhileItIsLoaded)
{
    fixture.addNode(3, "0003:3ACE:0501.0007", descriptors::kKeyboard, "0213");
    EXPECT_EQ(CreateFileA(kSensorPath, 0, 3, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);

    const HMODULE module = LoadLibraryA("HID.DLL");
    ASSERT_NE(module, nullptr);
    auto getAttributes = entry<PFN_HidD_GetAttributes>(module, "HidD_GetAttributes");
    auto getHidGuid = entry<PFN_HidD_GetHidGuid>(module, "HidD_GetHidGuid");
    for (const char* name : {"HidD_GetFeature", "HidD_SetFeature", "HidP_GetCaps"})
        EXPECT_NE(GetProcAddress(module, name), nullptr) << name;
    ASSERT_TRUE(getAttributes && getHidGuid);

    const HANDLE handle = CreateFileA(kSensorPath, 0, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = 12;
    EXPECT_EQ(getAttributes(handle, &attributes), 1);
    EXPECT_EQ(attributes.VendorID, 0x3ace);
    EXPECT_EQ(attributes.ProductID, 0x0501);
    EXPECT_EQ(attributes.VersionNumber, 0x0213);
    EXPECT_TRUE(CloseHandle(handle));

    GUID hidClass{};
    getHidGuid(&hidClass);
    EXPECT_EQ(hidClass.Data1, 0x4D1E55B2u);

    FreeLibrary(module);
    EXPECT_EQ(CreateFileA(kSensorPath, 0, 3, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST(ModuleLoader, MapsOnlyTheTwoPlatformNamesAndHonoursTheOverrides)
{
    SetLastError(0);
    EXPECT_EQ(LoadLibraryA("KERNEL32.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
    EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
    {
        ScopedEnv missing("DRAVIK_HID_DLL", "/nonexistent/libdravik_hid.so");
        EXPECT_EQ(LoadLibraryA("HID.DLL"), nullptr);
    }
    {
        // The setup module stands for a HID.DLL that lacks every HID entry.
        ScopedEnv wrong("DRAVIK_HID_DLL", DRAVIK_TEST_SETUPAPI_MODULE);
        const HMODULE module = LoadLibraryA("HID.DLL");
        ASSERT_NE(module, nullptr);
        SetLastError(0);
        EXPECT_EQ(GetProcAddress(module, "HidD_GetFeature"), nullptr);
        EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
        EXPECT_NE(GetProcAddress(module, "SetupDiGetClassDevsA"), nullptr);
        EXPECT_EQ(GetProcAddress(module, nullptr), nullptr);
        EXPECT_TRUE(FreeLibrary(module));
    }
    EXPECT_FALSE(FreeLibrary(nullptr));
    int notAModule = 0;
    EXPECT_FALSE(FreeLibrary(&notAModule));
    EXPECT_EQ(GetProcAddress(&notAModule, "HidD_GetFeature"), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "HidD_GetFeature"), nullptr);
}

TEST(ModuleLoader, NamesEachFileItCannotLoadOnceOnStderr)
{
    const std::string hid = "/nonexistent/reported/libdravik_hid.so";
    const std::string setup = "/nonexistent/reported/libdravik_setupapi.so";
    const std::string otherHid = "/nonexistent/reported/other_hid.so";
    const char* const kMissing = ": cannot open shared object file: No such file or directory\n";
    testing::internal::CaptureStderr();
    {
        ScopedEnv hidModule("DRAVIK_HID_DLL", hid);
        ScopedEnv setupModule("DRAVIK_SETUPAPI_DLL", setup);
        for (int connection = 0; connection < 3; ++connection) {
            EXPECT_EQ(LoadLibraryA("HID.DLL"), nullptr);
            EXPECT_EQ(LoadLibraryA("SETUPAPI.DLL"), nullptr);
        }
        ScopedEnv otherHidModule("DRAVIK_HID_DLL", otherHid);
        EXPECT_EQ(LoadLibraryA("HID.DLL"), nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Dravik: " + hid + kMissing + "Dravik: " + setup + kMissing + "Dravik: " + otherHid + kMissing);
}

}  // namespace
