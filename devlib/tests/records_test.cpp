#include "lib_fixture.h"
#include "records.h"

namespace {

using RecordsTest = LibTest;

tsTyvelParms goodTyvel()
{
    return tsTyvelParms{0, 600, 16, 14, 36, 5, 2, 0};
}

tsWalkAwayParms goodWalkAway()
{
    tsWalkAwayParms r{};
    r.KeyCountWA = 2;
    r.InterKeyDelayWA = 512;
    return r;
}

tsWalkUpParms goodWalkUp()
{
    tsWalkUpParms r{};
    r.KeyCountWU = 2;
    r.InterKeyDelayWU = 512;
    return r;
}

struct TyvelCase {
    int16_t ping, minDist, maxDist;
    uint32_t error;
};

TEST_F(RecordsTest, SetTyvelParmsChecksInFieldOrder)
{
    const TyvelCase cases[] = {
        {200, 14, 36, 0},         {1020, 14, 36, 0},       {199, 14, 36, 0x201000},  {1021, 14, 36, 0x201000},
        {-200, 14, 36, 0x201000}, {600, 1, 36, 0},         {600, 5, 36, 0},          {600, 59, 36, 0},
        {600, 0, 36, 0x201001},   {600, 60, 36, 0x201001}, {600, 14, 15, 0},         {600, 14, 60, 0},
        {600, 14, 14, 0x201002},  {600, 14, 61, 0x201002}, {100, 14, 100, 0x201000}, {600, 100, 100, 0x201001},
        {600, 59, 15, 0},
    };
    for (const TyvelCase& c : cases) {
        InitLibState();
        tsTyvelParms r = goodTyvel();
        r.PingRateS = c.ping;
        r.MinDistS = c.minDist;
        r.MaxDistS = c.maxDist;
        const bool accepted = c.error == 0;
        EXPECT_EQ(SetTyvelParms(&r), accepted ? 1 : 0) << c.ping << " " << c.minDist << " " << c.maxDist;
        EXPECT_EQ(GetLastLibErr(), c.error) << c.ping << " " << c.minDist << " " << c.maxDist;
        EXPECT_EQ(DeviceTable[0].tyvelChanged, accepted ? 1 : 0);
        EXPECT_EQ(DeviceTable[0].tyvelParms.PingRateS, accepted ? c.ping : 0);
    }
}

struct KeyRecordCase {
    int16_t count, delay;
    uint32_t walkAwayError, walkUpError;
};

TEST_F(RecordsTest, KeystrokeRecordsCheckCountThenDelay)
{
    const KeyRecordCase cases[] = {
        {6, 64, 0, 0},
        {0, 16320, 0, 0},
        {7, 512, 0x201010, 0x201020},
        {7, 10, 0x201010, 0x201020},
        {-1, 512, 0x201010, 0x201020},
        {-32768, 512, 0x201010, 0x201020},
        {2, 63, 0x201011, 0x201021},
        {2, 16321, 0x201011, 0x201021},
        {2, -64, 0x201011, 0x201021},
    };
    for (const KeyRecordCase& c : cases) {
        InitLibState();
        tsWalkAwayParms wa = goodWalkAway();
        wa.KeyCountWA = c.count;
        wa.InterKeyDelayWA = c.delay;
        EXPECT_EQ(SetWalkAwayParms(&wa), c.walkAwayError == 0 ? 1 : 0) << c.count << " " << c.delay;
        EXPECT_EQ(GetLastLibErr(), c.walkAwayError) << c.count << " " << c.delay;
        EXPECT_EQ(DeviceTable[0].walkAwayChanged, c.walkAwayError == 0 ? 1 : 0);

        tsWalkUpParms wu = goodWalkUp();
        wu.KeyCountWU = c.count;
        wu.InterKeyDelayWU = c.delay;
        EXPECT_EQ(SetWalkUpParms(&wu), c.walkUpError == 0 ? 1 : 0) << c.count << " " << c.delay;
        EXPECT_EQ(GetLastLibErr(), c.walkUpError) << c.count << " " << c.delay;
        EXPECT_EQ(DeviceTable[0].walkUpChanged, c.walkUpError == 0 ? 1 : 0);
    }
}

TEST_F(RecordsTest, SetIdleParmsAcceptsAnyValues)
{
    const tsIdleParms idle{-1, -32768, 32767, 255, -5, 0, 1000, -1};
    EXPECT_EQ(SetIdleParms(&idle), 1);
    EXPECT_EQ(GetLastLibErr(), 0u);
    EXPECT_EQ(DeviceTable[0].idleChanged, 1);
    EXPECT_EQ(DeviceTable[0].idleParms.PressRateI, -32768);
}

TEST_F(RecordsTest, NullPointersAreTestedBeforeTheReadFlag)
{
    EXPECT_EQ(GetTyvelParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100001u);
    EXPECT_EQ(GetWalkAwayParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100001u);
    EXPECT_EQ(GetWalkUpParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100001u);
    EXPECT_EQ(GetIdleParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100001u);
    EXPECT_EQ(SetTyvelParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200001u);
    EXPECT_EQ(SetWalkAwayParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200001u);
    EXPECT_EQ(SetWalkUpParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200001u);
    EXPECT_EQ(SetIdleParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x200001u);

    DeviceTable[0].configValid = 1;
    EXPECT_EQ(GetIdleParms(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100001u);
}

TEST_F(RecordsTest, GetRefusesUntilTheConfigurationIsRead)
{
    tsIdleParms idle{};
    idle.PressRateI = 9;
    EXPECT_EQ(SetIdleParms(&idle), 1);

    tsIdleParms out{1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_EQ(GetIdleParms(&out), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100002u);
    EXPECT_EQ(out.PressRateI, 1);
    tsTyvelParms tyvel{};
    EXPECT_EQ(GetTyvelParms(&tyvel), 0);
    EXPECT_EQ(GetLastLibErr(), 0x100002u);

    DeviceTable[0].configValid = 1;
    EXPECT_EQ(GetIdleParms(&out), 1);
    EXPECT_EQ(GetLastLibErr(), 0u);
    EXPECT_EQ(out.PressRateI, 9);
    EXPECT_EQ(out.Reserved1I, 0);
}

TEST_F(RecordsTest, GetCopiesTheActiveSensorsRecord)
{
    deviceCount = 2;
    DeviceTable[1].configValid = 1;
    DeviceTable[1].walkUpParms.Key3CodeWU = 0x2C;
    DeviceTable[1].tyvelParms.PingRateS = 201;
    SetActDev(1);
    tsWalkUpParms wu{};
    EXPECT_EQ(GetWalkUpParms(&wu), 1);
    EXPECT_EQ(wu.Key3CodeWU, 0x2C);
    tsTyvelParms tyvel{};
    EXPECT_EQ(GetTyvelParms(&tyvel), 1);
    EXPECT_EQ(tyvel.PingRateS, 201);
    EXPECT_EQ(DeviceTable[0].lastLibErr, 0u);
}

TEST_F(RecordsTest, RejectedSetKeepsTheEarlierRecordAndFlag)
{
    tsWalkUpParms wu = goodWalkUp();
    wu.Key1CodeWU = 4;
    ASSERT_EQ(SetWalkUpParms(&wu), 1);
    tsWalkUpParms bad = wu;
    bad.KeyCountWU = 7;
    bad.Key1CodeWU = 5;
    EXPECT_EQ(SetWalkUpParms(&bad), 0);
    EXPECT_EQ(GetLastLibErr(), 0x201020u);
    EXPECT_EQ(DeviceTable[0].walkUpParms.Key1CodeWU, 4);
    EXPECT_EQ(DeviceTable[0].walkUpChanged, 1);
}

TEST_F(RecordsTest, SetStoresValuesUnchangedAndLeavesConfigValid)
{
    tsTyvelParms r = goodTyvel();
    r.PingRateS = 201;
    EXPECT_EQ(SetTyvelParms(&r), 1);
    EXPECT_EQ(DeviceTable[0].tyvelParms.PingRateS, 201);
    EXPECT_EQ(DeviceTable[0].configValid, 0);
}

TEST_F(RecordsTest, ChecksReportOnTheActiveSensor)
{
    deviceCount = 2;
    SetActDev(1);
    tsTyvelParms r = goodTyvel();
    r.MaxDistS = 80;
    EXPECT_EQ(SetTyvelParms(&r), 0);
    EXPECT_EQ(DeviceTable[1].lastLibErr, 0x201002u);
    EXPECT_EQ(DeviceTable[0].lastLibErr, 0u);
}

TEST_F(RecordsTest, ClampModeOverwritesEveryFailingFieldWithoutAnError)
{
    tsTyvelParms tyvel{0, 40, 0, 73, 70, 0, 0, 0};
    EXPECT_EQ(CheckTyvelParms(&tyvel, CheckMode::Clamp), 1);
    EXPECT_EQ(tyvel.PingRateS, 200);
    EXPECT_EQ(tyvel.MinDistS, 59);
    EXPECT_EQ(tyvel.MaxDistS, 60);
    tyvel = {0, 2000, 0, 0, 0, 0, 0, 0};
    CheckTyvelParms(&tyvel, CheckMode::Clamp);
    EXPECT_EQ(tyvel.PingRateS, 1020);
    EXPECT_EQ(tyvel.MinDistS, 1);
    EXPECT_EQ(tyvel.MaxDistS, 15);

    tsWalkAwayParms wa{};
    wa.KeyCountWA = 9;
    wa.InterKeyDelayWA = 0;
    EXPECT_EQ(CheckWalkAwayParms(&wa, CheckMode::Clamp), 1);
    EXPECT_EQ(wa.KeyCountWA, 0);
    EXPECT_EQ(wa.InterKeyDelayWA, 64);
    tsWalkUpParms wu{};
    wu.KeyCountWU = 15;
    wu.InterKeyDelayWU = 16384;
    EXPECT_EQ(CheckWalkUpParms(&wu, CheckMode::Clamp), 1);
    EXPECT_EQ(wu.KeyCountWU, 0);
    EXPECT_EQ(wu.InterKeyDelayWU, 16320);

    tsIdleParms idle{-1, -1, -1, -1, -1, -1, -1, -1};
    EXPECT_EQ(CheckIdleParms(&idle, CheckMode::Clamp), 1);
    EXPECT_EQ(idle.PressRateI, -1);
    EXPECT_EQ(GetLastLibErr(), 0u);
}

}  // namespace
