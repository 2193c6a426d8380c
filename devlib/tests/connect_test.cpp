// Connecting and disconnecting: binding, enumeration, opening and reading.
#include <algorithm>
#include <cstring>

#include "discovery_fixture.h"
#include "entry.h"

namespace {

const tsTyvelParms kStoredByCaller = {0, 600, 0, 20, 40, 5, 2, 0};

bool isEmptySlot(const DeviceRecord& slot)
{
    DeviceRecord empty;
    clearDeviceSlot(empty);
    return std::memcmp(&slot, &empty, sizeof slot) == 0;
}

using ConnectTest = DiscoveryTest;

TEST_F(ConnectTest, OpensTheSensorsAmongTheKeyboardsInListOrderAndReadsEachInTurn)
{
    addKeyboard();
    addSensor(0x0100);
    addKeyboard();
    addSensor(0x0300, DRAVIK_VENDOR_ID_2);
    uint32_t info = 0xDEADBEEF;

    ASSERT_EQ(USBConnect(&info), 1);
    EXPECT_EQ(info, 0x1100u);  // device 0's identifier from the identity block
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(GetActDev(), 0);
    EXPECT_EQ(DeviceTable[0].devicePath, pathOf(1));
    EXPECT_EQ(DeviceTable[1].devicePath, pathOf(3));
    EXPECT_EQ(DeviceTable[1].DID, 0x1300);
    EXPECT_EQ(DeviceTable[0].configValid, 1);
    EXPECT_EQ(DeviceTable[1].configValid, 1);
    EXPECT_EQ(devicesCommanded(), (std::vector<int>{1, 3}));
    EXPECT_EQ(exchangeOutline().size(), 2u * 7 * 3);  // seven blocks each: command, pause, read
    // Each keyboard is closed as soon as its IDs are known.
    EXPECT_EQ(eventsOf(DRAVIK_SIM_OPEN), (Events{"dev0", "dev1", "dev2", "dev3"}));
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev0", "dev2"}));
    EXPECT_EQ(connectError, 7u);
    EXPECT_NE(hidLibrary.module, nullptr);
    EXPECT_EQ(setupLibrary.module, nullptr);

    USBDisconnect();
    ASSERT_EQ(USBConnect(nullptr), 1);
    EXPECT_EQ(GetDevCnt(), 2);
}

TEST_F(ConnectTest, WithoutASensorTheLibraryStaysBoundAndEmpty)
{
    addKeyboard();
    addKeyboard();
    uint32_t info = 0xDEADBEEF;

    EXPECT_EQ(USBConnect(&info), 0);
    EXPECT_EQ(info, 0xDEADBEEFu);
    EXPECT_EQ(connectError, 0x10007u);
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_NE(hidLibrary.module, nullptr);
    EXPECT_EQ(GetLastLibErr(), 0u);

    EXPECT_EQ(ReadCfg(), 0);
    EXPECT_EQ(GetLastLibErr(), 0x20200u);
    tsTyvelParms parms;
    EXPECT_EQ(GetTyvelParms(&parms), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100002u);
    EXPECT_EQ(HaltKBSends(1), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200u);

    // Still bound, so nothing resets slot 0: its word keeps what came before.
    EXPECT_EQ(USBConnect(&info), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200u);
    EXPECT_EQ(info, 0xDEADBEEFu);
}

TEST_F(ConnectTest, WhileSensorsAreOpenConnectingIsRefusedAndChangesNothing)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(1);
    DeviceTable[1].lastLibErr = 0x20102;
    dravikSimClearTrace();
    uint32_t info = 0xDEADBEEF;

    EXPECT_EQ(USBConnect(&info), 0);
    EXPECT_EQ(connectError, 0x10000u);
    EXPECT_EQ(info, 0xDEADBEEFu);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(GetActDev(), 1);
    EXPECT_EQ(DeviceTable[0].lastLibErr, 0u);
    EXPECT_EQ(DeviceTable[1].lastLibErr, 0x20102u);
    EXPECT_EQ(dravikSimTraceCount(), 0u);
}

TEST_F(ConnectTest, AFailedReadLeavesTheSensorsOpenAndTheLaterOnesUnread)
{
    for (int i = 0; i < 3; ++i)
        addSensor();
    refuse(DRAVIK_SIM_FEATURE_READ, 1, 0x83, 1);
    uint32_t info = 0xDEADBEEF;

    EXPECT_EQ(USBConnect(&info), 0);
    EXPECT_EQ(info, 0xDEADBEEFu);
    EXPECT_EQ(connectError, 0x10007u);
    EXPECT_EQ(GetDevCnt(), 3);
    EXPECT_EQ(GetActDev(), 0);
    EXPECT_EQ(GetLastLibErr(), 0u);
    EXPECT_EQ(DeviceTable[1].lastLibErr, 0x20102u);
    EXPECT_EQ(DeviceTable[2].configValid, 0);
    EXPECT_EQ(devicesCommanded(), (std::vector<int>{0, 1}));

    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(connectError, 0x10000u);
    USBDisconnect();
    EXPECT_EQ(USBConnect(nullptr), 1);
    EXPECT_EQ(GetDevCnt(), 3);
}

TEST_F(ConnectTest, AFailedReadOfTheFirstSensorIsWhatTheErrorWordReports)
{
    addSensor();
    addSensor();
    refuse(DRAVIK_SIM_COMMAND_REPORT, 1, 0x80, 0);

    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x20202u);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(devicesCommanded(), (std::vector<int>{0}));
}

TEST_F(ConnectTest, WhatASetStoredBeforeConnectingIsReplacedByTheSensors)
{
    addSensor();
    ASSERT_EQ(SetTyvelParms(&kStoredByCaller), 1);
    SetLUID(0x77);

    ASSERT_EQ(USBConnect(nullptr), 1);
    tsTyvelParms parms;
    ASSERT_EQ(GetTyvelParms(&parms), 1);
    EXPECT_EQ(parms.MaxDistS, 36);
    EXPECT_EQ(DeviceTable[0].tyvelChanged, 0);
    EXPECT_EQ(GetLUID(), 0);
    EXPECT_EQ(DeviceTable[0].luidChanged, 0);
}

TEST_F(ConnectTest, DisconnectClosesEveryHandleAndReleasesTheHidLibrary)
{
    EXPECT_EQ(USBDisconnect(), 1);
    addKeyboard();
    USBConnect(nullptr);
    EXPECT_EQ(USBDisconnect(), 1);  // bound, nothing open

    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    dravikSimClearTrace();
    EXPECT_EQ(USBDisconnect(), 1);
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev1", "dev2"}));
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_EQ(hidLibrary.module, nullptr);
    EXPECT_EQ(interfaceClassGuid.Data1, 0u);
    for (const DeviceRecord& slot : DeviceTable)
        EXPECT_TRUE(isEmptySlot(slot));
    // Released: the kernel no longer reaches the simulator's devices.
    EXPECT_EQ(CreateFileA(pathOf(1).c_str(), 0, 3, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
}

TEST_F(ConnectTest, UnloadingClosesTheSensorsAndThreadNotificationsChangeNothing)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    dravikSimClearTrace();

    EXPECT_EQ(DllMain(nullptr, DLL_THREAD_ATTACH, nullptr), TRUE);
    EXPECT_EQ(DllMain(nullptr, DLL_THREAD_DETACH, nullptr), TRUE);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(dravikSimTraceCount(), 0u);

    EXPECT_EQ(DllMain(nullptr, DLL_PROCESS_DETACH, nullptr), TRUE);
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev0", "dev1"}));
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_EQ(hidLibrary.module, nullptr);
}

TEST_F(ConnectTest, OpensNoMoreThanSixteenSensors)
{
    for (int i = 0; i < 17; ++i)
        addSensor();

    ASSERT_EQ(USBConnect(nullptr), 1);
    EXPECT_EQ(GetDevCnt(), 16);
    EXPECT_EQ(DeviceTable[15].devicePath, pathOf(15));
    // The full table ends the enumeration before the seventeenth is listed.
    EXPECT_EQ(eventsOf(DRAVIK_SIM_INTERFACE).size(), 16u);
    EXPECT_EQ(connectError, 0u);
}

TEST_F(ConnectTest, LooksAtNoMoreThan256Interfaces)
{
    struct Case {
        int keyboards;
        bool sensorAfter;
        uint32_t connectError;
    };
    // A keyboard that is not a sensor leaves 10; the end of the list, 7.
    const Case cases[] = {{255, false, 0x10007}, {256, false, 0x1000A}, {256, true, 0x1000A}};
    for (const Case& c : cases) {
        dravikSimReset();
        for (int i = 0; i < c.keyboards; ++i)
            addKeyboard();
        if (c.sensorAfter)
            addSensor();

        EXPECT_EQ(USBConnect(nullptr), 0) << c.keyboards;
        EXPECT_EQ(connectError, c.connectError) << c.keyboards;
        EXPECT_EQ(eventsOf(DRAVIK_SIM_INTERFACE).size(), size_t(std::min(c.keyboards + c.sensorAfter, 256)))
            << c.keyboards;
        EXPECT_EQ(GetDevCnt(), 0);
        USBDisconnect();
    }
}

TEST_F(ConnectTest, EachStepOfTheEnumerationEitherSkipsTheInterfaceOrEndsTheList)
{
    struct Case {
        const char* what;
        void (*arrange)();  // makes the step for device 1 of three sensors fail
        int16_t opened;
        uint32_t connectError;
    };
    const Case cases[] = {
        {"interface listed as the end", [] { refuse(DRAVIK_SIM_INTERFACE, 1, DRAVIK_SIM_ANY_COMMAND, 1); }, 1, 7},
        {"size query fails otherwise", [] { refuse(DRAVIK_SIM_SIZE_QUERY, 1, DRAVIK_SIM_ANY_COMMAND, 1); }, 1, 8},
        {"size too large to allocate", [] { dravikSimSetDetailSize(1, 0xFFFFFFFF); }, 1, 9},
        {"detail query fails", [] { refuse(DRAVIK_SIM_DETAIL_QUERY, 1, DRAVIK_SIM_ANY_COMMAND, 1); }, 2, 7},
        // The detail query is given the size reported, not the larger buffer.
        {"size reported too small", [] { dravikSimSetDetailSize(1, uint32_t(pathOf(1).size() + 4)); }, 2, 7},
        {"size reported larger", [] { dravikSimSetDetailSize(1, 200); }, 3, 7},
        {"open fails", [] { refuse(DRAVIK_SIM_OPEN, 1, DRAVIK_SIM_ANY_COMMAND, 1); }, 2, 7},
        {"attributes fail", [] { refuse(DRAVIK_SIM_ATTRIBUTES, 1, DRAVIK_SIM_ANY_COMMAND, 1); }, 2, 7},
    };
    for (const Case& c : cases) {
        dravikSimReset();
        for (int i = 0; i < 3; ++i)
            addSensor();
        c.arrange();

        EXPECT_EQ(USBConnect(nullptr), 1) << c.what;
        EXPECT_EQ(GetDevCnt(), c.opened) << c.what;
        EXPECT_EQ(connectError, c.connectError) << c.what;
        EXPECT_EQ(DeviceTable[0].devicePath, pathOf(0)) << c.what;
        if (c.opened == 2) {
            EXPECT_EQ(DeviceTable[1].devicePath, pathOf(2)) << c.what;
        }
        const Events opens = eventsOf(DRAVIK_SIM_OPEN);
        const auto refusedOpens = std::count(opens.begin(), opens.end(), "dev1 refused");
        EXPECT_EQ(opens.size() - size_t(refusedOpens) - eventsOf(DRAVIK_SIM_CLOSE).size(), size_t(c.opened)) << c.what;
        USBDisconnect();
    }
}

TEST_F(ConnectTest, TheLastInterfaceLeavesItsCodeInTheWord)
{
    struct Case {
        const char* what;
        void (*arrange)(int device);
        uint32_t connectError;
    };
    const Case cases[] = {
        {"not accepted", [](int) {}, 0x1000A},
        {"open fails", [](int d) { refuse(DRAVIK_SIM_OPEN, 1, DRAVIK_SIM_ANY_COMMAND, d); }, 0x1000B},
        {"detail fails", [](int d) { refuse(DRAVIK_SIM_DETAIL_QUERY, 1, DRAVIK_SIM_ANY_COMMAND, d); }, 0x1000C},
    };
    for (const Case& c : cases) {
        dravikSimReset();
        for (int i = 0; i < 255; ++i)
            addKeyboard();
        const int last = std::string(c.what) == "not accepted" ? addKeyboard() : addSensor();
        c.arrange(last);

        EXPECT_EQ(USBConnect(nullptr), 0) << c.what;
        EXPECT_EQ(connectError, c.connectError) << c.what;
        USBDisconnect();
    }
}

TEST_F(ConnectTest, MissingLibrariesAndEntryPointsLeaveTheirCodes)
{
    struct Case {
        const char* name;
        uint32_t connectError;
        bool hidBound;
    };
    const Case cases[] = {
        {"HID.DLL", 0x10003, false},
        {"HidD_GetAttributes", 0x10004, false},
        {"HidD_GetFeature", 0x10004, false},
        {"HidD_SetFeature", 0x10004, false},
        {"HidD_GetHidGuid", 0x10004, false},
        {"HidP_GetCaps", 0x10004, false},
        {"SETUPAPI.DLL", 0x10001, true},
        {"SetupDiGetClassDevsA", 0x10002, true},
        {"SetupDiEnumDeviceInterfaces", 0x10002, true},
        {"SetupDiGetDeviceInterfaceDetailA", 0x10002, true},
        {"SetupDiDestroyDeviceInfoList", 0x10002, true},
    };
    for (const Case& c : cases) {
        dravikSimReset();
        addSensor();
        dravikSimSetMissing(c.name, 1);
        ASSERT_EQ(SetTyvelParms(&kStoredByCaller), 1);

        EXPECT_EQ(USBConnect(nullptr), 0) << c.name;
        EXPECT_EQ(connectError, c.connectError) << c.name;
        EXPECT_EQ(hidLibrary.module != nullptr, c.hidBound) << c.name;
        EXPECT_EQ(hidLibrary.HidD_GetFeature != nullptr, c.hidBound) << c.name;
        EXPECT_EQ(setupLibrary.module, nullptr) << c.name;
        EXPECT_EQ(DeviceTable[0].tyvelChanged, 0) << c.name;  // the binding reset slot 0
        EXPECT_EQ(GetDevCnt(), 0) << c.name;
        EXPECT_EQ(eventsOf(DRAVIK_SIM_OPEN).size(), 0u) << c.name;

        // The next call binds afresh.
        dravikSimSetMissing(c.name, 0);
        EXPECT_EQ(USBConnect(nullptr), 1) << c.name;
        USBDisconnect();
    }
}

TEST_F(ConnectTest, WithoutADeviceListBothLibrariesAreReleasedAndTheStateKept)
{
    addKeyboard();
    USBConnect(nullptr);  // bound and empty
    ASSERT_EQ(SetTyvelParms(&kStoredByCaller), 1);
    refuse(DRAVIK_SIM_LIST, 1);

    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(connectError, 0x10006u);
    EXPECT_EQ(hidLibrary.module, nullptr);
    EXPECT_EQ(hidLibrary.HidD_SetFeature, nullptr);
    EXPECT_EQ(setupLibrary.module, nullptr);
    EXPECT_EQ(DeviceTable[0].tyvelChanged, 1);
    EXPECT_EQ(interfaceClassGuid.Data1, GUID_DEVINTERFACE_KEYBOARD_VALUE.Data1);
}

TEST_F(ConnectTest, EveryConnectionBindsTheSetupLibraryForItsEnumerationOnly)
{
    addSensor();
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(USBConnect(nullptr), 1);
        EXPECT_EQ(setupLibrary.module, nullptr);
        USBDisconnect();
    }
    EXPECT_EQ(eventsOf(DRAVIK_SIM_LIST), (Events{"-", "-"}));
}

TEST_F(ConnectTest, ALongPathIsOpenedWholeAndStoredCut)
{
    const std::string path = pathFor(DRAVIK_VENDOR_ID_1, DRAVIK_PRODUCT_ID, 0) + "#" + std::string(130, 'x');
    addDevice(path, DRAVIK_VENDOR_ID_1, DRAVIK_PRODUCT_ID, 0x0100, true);

    ASSERT_EQ(USBConnect(nullptr), 1);  // the simulator opens only the whole path
    EXPECT_EQ(std::string(DeviceTable[0].devicePath), path.substr(0, 127));
    EXPECT_EQ(ChkDelRemoval(path.c_str()), 0);
    EXPECT_EQ(GetDevCnt(), 1);
}

TEST_F(ConnectTest, OpenDeviceBuildsTheOpenSecurityAndStoresOnlyHandleDidAndPath)
{
    addSensor(0x0207);
    ASSERT_EQ(LoadHidLib(), 1);
    DeviceRecord record;
    std::memset(&record, 0x5A, sizeof record);
    const DeviceRecord before = record;

    const HANDLE handle = OpenDevice(pathOf(0).c_str(), record);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(record.deviceHandle, handle);
    EXPECT_EQ(record.DID, 0x0207);
    EXPECT_STREQ(record.devicePath, pathOf(0).c_str());
    EXPECT_EQ(record.LUID, before.LUID);
    EXPECT_EQ(std::memcmp(&record.tyvelParms, &before.tyvelParms, sizeof record.tyvelParms), 0);
    EXPECT_EQ(OpenDevice(nullptr, record), INVALID_HANDLE_VALUE);
    CloseHandle(handle);
}

}  // namespace
