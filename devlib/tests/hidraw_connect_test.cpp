// Connecting over the hidraw backend, against sysfs fixture trees.
#include <filesystem>

#include "discovery.h"
#include "lib_fixture.h"
#include "open_files.h"
#include "scoped_env.h"
#include "sysfs_fixture.h"

namespace {

constexpr char kSensorDevice[] = "0003:3ACE:0501.0007";
constexpr char kSensorPath[] = "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw2";
constexpr char kOtherKeyboardPath[] = "\\\\?\\HID#Vid_046d&Pid_c31c#0003:046D:C31C.0003#hidraw1";

const tsTyvelParms kStoredBeforeConnect = {0, 600, 0, 14, 36, 5, 2, 0};

class HidrawConnection : public LibTest {
protected:
    void TearDown() override { USBDisconnect(); }

    SysfsFixture fixture;
    ScopedEnv hidModule{"DRAVIK_HID_DLL", DRAVIK_TEST_HID_MODULE};
    ScopedEnv setupModule{"DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SETUPAPI_MODULE};
};

TEST_F(HidrawConnection, LoaderFailuresLeaveTheirCodeUnderTheConnectBit)
{
    fixture.addNode(2, kSensorDevice, descriptors::kKeyboard);
    struct Case {
        const char* what;
        const char* hidFile;
        const char* setupFile;
        uint32_t connectError;
        bool hidBound;
    };
    const Case cases[] = {
        {"HID.DLL missing", "/nonexistent/libdravik_hid.so", DRAVIK_TEST_SETUPAPI_MODULE, 0x10003, false},
        {"HID.DLL lacks its entries", DRAVIK_TEST_SETUPAPI_MODULE, DRAVIK_TEST_SETUPAPI_MODULE, 0x10004, false},
        {"SETUPAPI.DLL missing", DRAVIK_TEST_HID_MODULE, "/nonexistent/libdravik_setupapi.so", 0x10001, true},
        {"SETUPAPI.DLL lacks its entries", DRAVIK_TEST_HID_MODULE, DRAVIK_TEST_HID_MODULE, 0x10002, true},
    };
    for (const Case& c : cases) {
        ScopedEnv hid("DRAVIK_HID_DLL", c.hidFile);
        ScopedEnv setup("DRAVIK_SETUPAPI_DLL", c.setupFile);
        ASSERT_EQ(SetTyvelParms(&kStoredBeforeConnect), 1);
        uint32_t info = 0xDEAD;

        EXPECT_EQ(USBConnect(&info), 0) << c.what;
        EXPECT_EQ(connectError, c.connectError) << c.what;
        EXPECT_EQ(hidLibrary.module != nullptr, c.hidBound) << c.what;
        EXPECT_EQ(setupLibrary.module, nullptr) << c.what;
        EXPECT_EQ(GetDevCnt(), 0) << c.what;
        EXPECT_EQ(GetLastLibErr(), 0u) << c.what;
        EXPECT_EQ(DeviceTable[0].tyvelChanged, 0) << c.what;  // binding reset slot 0
        EXPECT_EQ(info, 0xDEADu) << c.what;
        EXPECT_FALSE(isOpenInThisProcess(fixture.dev() + "/hidraw2")) << c.what;
        USBDisconnect();
    }
}

TEST_F(HidrawConnection, OpensTheSensorsAmongTheKeyboardsAndReadsThem)
{
    fixture.addNode(0, "0003:046D:C077.0001", descriptors::kMouse);
    fixture.addNode(1, "0003:046D:C31C.0003", descriptors::kKeyboard, "6400", "1-4");
    fixture.addNode(2, kSensorDevice, descriptors::kKeyboard, "0105");
    fixture.addNode(3, "0003:3ACF:0501.0009", descriptors::kKeyboard, "0106", "1-5");
    std::filesystem::remove(fixture.dev() + "/hidraw3");  // listed, but its node can't be opened

    EXPECT_EQ(USBConnect(nullptr), 0);
    // A plain file refuses the feature reports, so the configuration read
    // fails at its first command report; the sensor stays open.
    EXPECT_EQ(connectError, 0x10007u);
    EXPECT_EQ(GetDevCnt(), 1);
    EXPECT_EQ(GetActDev(), 0);
    EXPECT_EQ(GetLastLibErr(), 0x20202u);
    EXPECT_STREQ(DeviceTable[0].devicePath, kSensorPath);
    EXPECT_EQ(GetDID(), 0x0105);
    EXPECT_TRUE(isOpenInThisProcess(fixture.dev() + "/hidraw2"));
    EXPECT_FALSE(isOpenInThisProcess(fixture.dev() + "/hidraw1"));

    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(connectError, 0x10000u);
    EXPECT_EQ(GetDevCnt(), 1);

    EXPECT_EQ(USBDisconnect(), 1);
    EXPECT_FALSE(isOpenInThisProcess(fixture.dev() + "/hidraw2"));
    EXPECT_EQ(hidLibrary.module, nullptr);
    EXPECT_EQ(GetDevCnt(), 0);
}

TEST_F(HidrawConnection, OpenDeviceRecordsWhyItRefused)
{
    fixture.addNode(1, "0003:046D:C31C.0003", descriptors::kKeyboard, "6400", "1-4");
    fixture.addNode(2, kSensorDevice, descriptors::kKeyboard);
    std::filesystem::remove(fixture.dev() + "/hidraw2");
    DeviceRecord record;
    clearDeviceSlot(record);

    EXPECT_EQ(OpenDevice(kOtherKeyboardPath, record), INVALID_HANDLE_VALUE);
    EXPECT_EQ(connectError, 10u);
    EXPECT_FALSE(isOpenInThisProcess(fixture.dev() + "/hidraw1"));
    EXPECT_EQ(OpenDevice(kSensorPath, record), INVALID_HANDLE_VALUE);
    EXPECT_EQ(connectError, 11u);
    EXPECT_EQ(record.deviceHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(record.devicePath[0], '\0');
}

TEST_F(HidrawConnection, HotPlugFollowsThePathsBuiltFromDeviceEvents)
{
    const std::string devpath = fixture.addNode(2, kSensorDevice, descriptors::kKeyboard, "0105");
    const std::string path = hidraw::pathFromDevpath(devpath);

    ASSERT_EQ(ChkAddArrival(path.c_str()), 1);
    EXPECT_EQ(GetDevCnt(), 1);
    EXPECT_EQ(GetDID(), 0x0105);
    EXPECT_EQ(GetLUID(), 0);
    tsTyvelParms parms;
    EXPECT_EQ(GetTyvelParms(&parms), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100002u);

    // The device is gone by the time its removal is reported.
    std::filesystem::remove_all(fixture.sysfs() + devpath);
    std::filesystem::remove(fixture.sysfs() + "/class/hidraw/hidraw2");
    ASSERT_EQ(ChkDelRemoval(hidraw::pathFromDevpath(devpath).c_str()), 1);
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_FALSE(isOpenInThisProcess(fixture.dev() + "/hidraw2"));
    EXPECT_NE(hidLibrary.module, nullptr);
}

}  // namespace
