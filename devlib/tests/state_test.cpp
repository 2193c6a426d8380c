#include <cstring>

#include "lib_fixture.h"

namespace {

using StateTest = LibTest;

TEST_F(StateTest, FreshLibraryIsIdleWithEmptySlots)
{
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_EQ(GetActDev(), 0);
    EXPECT_EQ(GetLUID(), 0);
    EXPECT_EQ(GetDID(), 0);
    EXPECT_EQ(GetLastLibErr(), 0u);
    EXPECT_EQ(SetActDev(0), 0);
    EXPECT_EQ(featureReportLength, 9);
    EXPECT_EQ(hidLibrary.module, nullptr);
    for (const DeviceRecord& slot : DeviceTable)
        EXPECT_EQ(slot.deviceHandle, INVALID_HANDLE_VALUE);
}

TEST_F(StateTest, InitLibStateEmptiesEverySlotButKeepsLastReadAndSetupBinding)
{
    deviceCount = 3;
    activeDevice = 2;
    connectError = 7;
    featureReportLength = 0;
    interfaceClassGuid.Data1 = 1;
    hidLibrary.module = reinterpret_cast<HMODULE>(0x1234);
    DeviceTable[5].LUID = 9;
    DeviceTable[5].lastLibErr = 0x20102;
    DeviceTable[5].deviceHandle = nullptr;
    lastReadRecords.walkUp.Reserved2WU = 3;
    setupLibrary.module = reinterpret_cast<HMODULE>(0x99);

    InitLibState();

    EXPECT_EQ(deviceCount, 0);
    EXPECT_EQ(activeDevice, 0);
    EXPECT_EQ(connectError, 0u);
    EXPECT_EQ(featureReportLength, 9);
    EXPECT_EQ(interfaceClassGuid.Data1, 0u);
    EXPECT_EQ(hidLibrary.module, nullptr);
    EXPECT_EQ(DeviceTable[5].LUID, 0);
    EXPECT_EQ(DeviceTable[5].lastLibErr, 0u);
    EXPECT_EQ(DeviceTable[5].deviceHandle, INVALID_HANDLE_VALUE);
    EXPECT_EQ(lastReadRecords.walkUp.Reserved2WU, 3);
    EXPECT_EQ(setupLibrary.module, reinterpret_cast<HMODULE>(0x99));
}

TEST_F(StateTest, SetActDevTakesTheLowSixteenBitsAsASignedIndex)
{
    deviceCount = 3;
    activeDevice = 1;
    struct Case {
        int32_t argument;
        int32_t result;
        int16_t active;
    };
    const Case cases[] = {
        {-1, 0, 1}, {3, 0, 1},       {16, 0, 1}, {0x7FFF, 0, 1},  {0x10000, 1, 0},
        {2, 1, 2},  {0x1FFFF, 0, 2}, {0, 1, 0},  {0x10002, 1, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SetActDev(c.argument), c.result) << c.argument;
        EXPECT_EQ(GetActDev(), c.active) << c.argument;
    }
}

TEST_F(StateTest, SetActDevRefusesSixteenEvenWithAFullTable)
{
    deviceCount = 16;
    EXPECT_EQ(SetActDev(15), 1);
    EXPECT_EQ(SetActDev(16), 0);
    EXPECT_EQ(GetActDev(), 15);
}

TEST_F(StateTest, LuidIsStoredInTheActiveSlotAndMarkedChanged)
{
    EXPECT_EQ(SetLUID(0x12345), 1);
    EXPECT_EQ(GetLUID(), 0x2345);
    EXPECT_EQ(DeviceTable[0].luidChanged, 1);
    EXPECT_EQ(GetLastLibErr(), 0u);

    deviceCount = 2;
    SetActDev(1);
    EXPECT_EQ(GetLUID(), 0);
    DeviceTable[1].DID = 0x0105;
    EXPECT_EQ(GetDID(), 0x0105);
}

TEST_F(StateTest, GetHIDGuidWritesTheKeyboardClassInMemoryOrder)
{
    const unsigned char expected[16] = {0xC3, 0x96, 0x4B, 0x88, 0xEF, 0x56, 0xD1, 0x11,
                                        0xBC, 0x8C, 0x00, 0xA0, 0xC9, 0x14, 0x05, 0xDD};
    DravikGuid guid;
    std::memset(&guid, 0xAA, sizeof guid);
    EXPECT_EQ(GetHIDGuid(&guid), 1);
    EXPECT_EQ(std::memcmp(&guid, expected, sizeof expected), 0);
}

TEST_F(StateTest, GetHIDGuidWithNullWritesNothingAndReturnsZero)
{
    DeviceTable[0].lastLibErr = 0x20102;
    EXPECT_EQ(GetHIDGuid(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x20102u);
}

TEST_F(StateTest, GetLibVersionWritesOnlyThroughGivenPointers)
{
    EXPECT_EQ(GetLibVersion(nullptr, nullptr, nullptr), 1);
    int16_t major = -7, minor = -7, build = -7;
    EXPECT_EQ(GetLibVersion(nullptr, &minor, nullptr), 1);
    EXPECT_EQ(major, -7);
    EXPECT_EQ(minor, 5);
    EXPECT_EQ(build, -7);
    EXPECT_EQ(GetLibVersion(&major, &minor, &build), 1);
    EXPECT_EQ(major, 5);
    EXPECT_EQ(minor, 5);
    EXPECT_EQ(build, 1);
}

TEST_F(StateTest, EachSensorKeepsItsOwnErrorWord)
{
    deviceCount = 2;
    DeviceTable[0].lastLibErr = 0;
    DeviceTable[1].lastLibErr = 0x20102;
    EXPECT_EQ(GetLastLibErr(), 0u);
    SetActDev(1);
    EXPECT_EQ(GetLastLibErr(), 0x20102u);
    EXPECT_EQ(GetLastLibErr(), 0x20102u);
}

}  // namespace
