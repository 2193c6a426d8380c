// Sensors added and removed one at a time by device path.
#include <cstring>

#include "discovery_fixture.h"

namespace {

const tsTyvelParms kStoredByCaller = {0, 600, 0, 20, 40, 5, 2, 0};

using HotPlugTest = DiscoveryTest;

TEST_F(HotPlugTest, AnArrivalOnAnUnboundLibraryBindsItAfterAResetAndAddsAnUnreadSensor)
{
    addSensor(0x0207);
    ASSERT_EQ(SetTyvelParms(&kStoredByCaller), 1);

    ASSERT_EQ(ChkAddArrival(pathOf(0).c_str()), 1);
    EXPECT_NE(hidLibrary.module, nullptr);
    EXPECT_EQ(GetDevCnt(), 1);
    EXPECT_EQ(GetDID(), 0x0207);
    EXPECT_EQ(GetLUID(), 0);
    EXPECT_EQ(DeviceTable[0].tyvelChanged, 0);
    EXPECT_EQ(DeviceTable[0].tyvelParms.PingRateS, 0);
    tsTyvelParms parms;
    EXPECT_EQ(GetTyvelParms(&parms), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100002u);
    EXPECT_EQ(exchangeOutline().size(), 0u);

    ASSERT_EQ(ReadCfg(), 1);
    EXPECT_EQ(GetTyvelParms(&parms), 1);
    EXPECT_EQ(GetDID(), 0x1207);
}

TEST_F(HotPlugTest, AnArrivalMustNameAnAcceptedSensorInItsPrefix)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(1);
    addSensor();
    addSensor(0x0100, DRAVIK_VENDOR_ID_2);
    dravikSimClearTrace();
    const std::string tail = "#sim#2";
    struct Case {
        std::string path;
        int32_t result;
    };
    const Case cases[] = {
        {"\\\\?\\HID#Vid_0001&Pid_0501" + tail, 0},
        {"\\\\?\\HID#Vid_3ace&Pid_0502" + tail, 0},
        {"\\\\?\\USB#Vid_3ace&Pid_0501" + tail, 0},
        {"\\\\?\\HID#Vid_3ace&Pid_050", 0},
        {"\\\\?\\HID#Vid_3ace&Pid_0501#" + std::string(102, 'x'), 0},  // 128 characters
        {"\\\\?\\HID#VID_3ACE&PID_0501" + tail, 1},
        {pathOf(3), 1},
    };
    for (const Case& c : cases) {
        const size_t opensBefore = eventsOf(DRAVIK_SIM_OPEN).size();
        EXPECT_EQ(ChkAddArrival(c.path.c_str()), c.result) << c.path;
        EXPECT_EQ(eventsOf(DRAVIK_SIM_OPEN).size(), opensBefore + c.result) << c.path;
        EXPECT_EQ(GetActDev(), c.result ? 0 : 1) << c.path;
        SetActDev(1);
    }
    EXPECT_EQ(ChkAddArrival(nullptr), 0);
    EXPECT_EQ(GetDevCnt(), 4);
    EXPECT_EQ(DeviceTable[2].devicePath, "\\\\?\\HID#VID_3ACE&PID_0501" + tail);
}

TEST_F(HotPlugTest, AnArrivalWhoseDeviceReportsOtherIdsIsClosedAgain)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(1);
    const int impostor = addDevice(pathFor(DRAVIK_VENDOR_ID_1, DRAVIK_PRODUCT_ID, 9), 0x046d, DRAVIK_PRODUCT_ID, 0x0100,
                                   true);
    dravikSimClearTrace();

    EXPECT_EQ(ChkAddArrival(pathOf(impostor).c_str()), 0);
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev2"}));
    EXPECT_EQ(connectError, 10u);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(GetActDev(), 1);
}

TEST_F(HotPlugTest, AnArrivalThatCantBeOpenedLeavesCodeEleven)
{
    addSensor();
    refuse(DRAVIK_SIM_OPEN, 1);
    EXPECT_EQ(ChkAddArrival(pathOf(0).c_str()), 0);
    EXPECT_EQ(connectError, 11u);
    EXPECT_EQ(GetDevCnt(), 0);
}

TEST_F(HotPlugTest, AnArrivalOfAPathAlreadyInTheTableAddsASecondRecord)
{
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    ASSERT_EQ(ChkAddArrival(pathOf(0).c_str()), 1);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_STREQ(DeviceTable[1].devicePath, DeviceTable[0].devicePath);
    EXPECT_NE(DeviceTable[1].deviceHandle, DeviceTable[0].deviceHandle);
}

TEST_F(HotPlugTest, AnArrivalAtAFullTableLeavesNoHandleOpenAndSelectsSensorZero)
{
    for (int i = 0; i < 17; ++i)
        addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(3);
    dravikSimClearTrace();

    EXPECT_EQ(ChkAddArrival(pathOf(16).c_str()), 0);
    EXPECT_EQ(eventsOf(DRAVIK_SIM_OPEN), (Events{"dev16"}));
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev16"}));
    EXPECT_EQ(GetDevCnt(), 16);
    EXPECT_EQ(GetActDev(), 0);
}

TEST_F(HotPlugTest, ARemovalClosesTheGapAndEmptiesTheVacatedSlot)
{
    for (int i = 0; i < 3; ++i)
        addSensor(static_cast<uint16_t>(0x0100 + i));
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(2);
    const DeviceRecord former2 = DeviceTable[2];
    dravikSimClearTrace();

    ASSERT_EQ(ChkDelRemoval(pathOf(1).c_str()), 1);
    EXPECT_EQ(eventsOf(DRAVIK_SIM_CLOSE), (Events{"dev1"}));
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(GetActDev(), 0);
    EXPECT_EQ(std::memcmp(&DeviceTable[1], &former2, sizeof former2), 0);
    DeviceRecord empty;
    clearDeviceSlot(empty);
    EXPECT_EQ(std::memcmp(&DeviceTable[2], &empty, sizeof empty), 0);
    EXPECT_STREQ(DeviceTable[0].devicePath, pathOf(0).c_str());
}

TEST_F(HotPlugTest, ARemovalMatchesTheWholePathInAnyLetterCase)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(1);
    std::string upper = pathOf(1);
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    EXPECT_EQ(ChkDelRemoval(pathOf(1).substr(0, 20).c_str()), 0);
    EXPECT_EQ(ChkDelRemoval((pathOf(1) + "0").c_str()), 0);
    EXPECT_EQ(ChkDelRemoval(nullptr), 0);
    EXPECT_EQ(GetActDev(), 1);
    EXPECT_EQ(ChkDelRemoval(upper.c_str()), 1);
    EXPECT_EQ(GetDevCnt(), 1);
    EXPECT_STREQ(DeviceTable[0].devicePath, pathOf(0).c_str());
}

TEST_F(HotPlugTest, RemovingTheLastSensorKeepsTheBindingAndAFreshConnectionFollows)
{
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    ASSERT_EQ(ChkDelRemoval(pathOf(0).c_str()), 1);
    EXPECT_EQ(GetDevCnt(), 0);
    EXPECT_NE(hidLibrary.module, nullptr);
    EXPECT_EQ(DeviceTable[0].configValid, 0);

    ASSERT_EQ(USBConnect(nullptr), 1);
    EXPECT_EQ(GetDevCnt(), 1);
    EXPECT_EQ(DeviceTable[0].configValid, 1);
    EXPECT_EQ(GetDID(), 0x1100);
}

TEST_F(HotPlugTest, UpdateDeviceTableRemovesOnlyAnOpenHandleItHolds)
{
    addSensor();
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    SetActDev(1);
    DeviceRecord stranger;
    clearDeviceSlot(stranger);
    EXPECT_EQ(UpdateDeviceTable(stranger, 1), 0);  // the empty marker matches no slot
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(GetActDev(), 0);  // reached the table update all the same
}

}  // namespace
