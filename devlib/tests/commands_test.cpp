#include <cstring>

#include "sim_fixture.h"

namespace {

using Lines = std::vector<std::string>;

const Lines kReadOutline = {
    "command 80", "pause 250",  "read",       "command 81", "pause 250",  "read",       "command 82",
    "pause 250",  "read",       "command 83", "pause 250",  "read",       "command 84", "pause 250",
    "read",       "command 85", "pause 250",  "read",       "command 8A", "pause 250",  "read",
};

Lines concat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// An idle block whose flags byte a factory reset of the 0x040x family clears.
const std::vector<uint8_t> kFactoryIdle = {0x35, 30, 1, 0x0F, 0x80, 0x0A, 60, 0x2E};

using CommandsTest = SimTest;

TEST_F(CommandsTest, FactoryResetWaitsThenReadsTheFactoryConfigurationDiscardingUnwrittenRecords)
{
    const int sensor = addSensor(0x0405);  // the version number is not what decides
    dravikSimSetIdentity(sensor, 0, 0x0500, nullptr);
    setBlock(sensor, 0x80, {0x02, 0x96, 0x10, 0x31, 0x7D, 0x05, 0x02, 0x00});
    const tsTyvelParms pending = {0, 1000, 0, 20, 40, 0, 0, 0};
    ASSERT_EQ(SetTyvelParms(&pending), 1);

    ASSERT_EQ(ResetFactoryDflts(), 1);

    EXPECT_EQ(exchangeOutline(), concat({{"command A0", "pause 2000"}, kReadOutline}));
    EXPECT_EQ(traceLines().front(), "T+0 dev0 command 00 A0 00 00 00 00 00 00 00");
    EXPECT_EQ(GetLastLibErr(), 0u);
    tsTyvelParms sensing{};
    ASSERT_EQ(GetTyvelParms(&sensing), 1);
    EXPECT_EQ(fieldsOf(sensing), fieldsOf(tsTyvelParms{0, 500, 16, 14, 36, 5, 2, 0}));
    EXPECT_EQ(activeRecord().tyvelChanged, 0);
}

TEST_F(CommandsTest, FactoryResetClearsTheIdleFlagsOnlyForIdentifiers0400To040F)
{
    const struct {
        uint16_t did;
        bool clearsIdleFlags;
    } cases[] = {{0x0405, true}, {0x0400, true}, {0x040F, true}, {0x0415, false}, {0x0500, false}, {0x0040, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.did);
        restart();
        const int sensor = addSensor(0x0500);
        dravikSimSetIdentity(sensor, 0, c.did, nullptr);
        setBlock(sensor, 0x85, kFactoryIdle, DRAVIK_SIM_FACTORY);

        ASSERT_EQ(ResetFactoryDflts(), 1);

        const Lines start = concat({{"command A0", "pause 2000"}, kReadOutline});
        if (c.clearsIdleFlags) {
            EXPECT_EQ(exchangeOutline(),
                      concat({start, {"command 85", "pause 250", "data", "command 90"}, kReadOutline}));
            EXPECT_EQ(dataReports(), Lines{"00 05 1E 01 0F 00 0A 3C 2E"});
            char identity[64];
            std::snprintf(identity, sizeof identity, "T+5750 dev0 read 00 00 00 %02X 04 00 05 00 00", c.did & 0xFF);
            EXPECT_EQ(traceLines().back(), identity) << "the second read follows without a wait";
        } else {
            EXPECT_EQ(exchangeOutline(), start);
        }
        EXPECT_EQ(activeRecord().idleParms.FlagsI, c.clearsIdleFlags ? 0 : 0x80);
        EXPECT_EQ(activeRecord().idleChanged, 0);
        EXPECT_EQ(GetLastLibErr(), 0u);
    }
}

TEST_F(CommandsTest, UserDefaultsAreRestoredAndSavedByTheSensorThenReadBack)
{
    const struct {
        int32_t(DRAVIK_CALL* operation)();
        const char* command;
    } cases[] = {{ResetUserDflts, "command D0"}, {SaveUserDflts, "command E0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        restart();
        const int sensor = addSensor();
        setBlock(sensor, 0x80, {0x01, 100, 0, 52, 208, 9, 9, 9}, DRAVIK_SIM_CURRENT);
        setBlock(sensor, 0x80, {0x04, 200, 0, 49, 125, 1, 1, 1}, DRAVIK_SIM_USER);
        const tsTyvelParms pending = {0, 1000, 0, 20, 40, 0, 0, 0};
        ASSERT_EQ(SetTyvelParms(&pending), 1);

        ASSERT_EQ(c.operation(), 1);

        EXPECT_EQ(exchangeOutline(), concat({{c.command, "pause 2000"}, kReadOutline}));
        EXPECT_EQ(GetLastLibErr(), 0u);
        tsTyvelParms sensing{};
        ASSERT_EQ(GetTyvelParms(&sensing), 1);
        uint8_t user[8];
        dravikSimGetBlock(sensor, DRAVIK_SIM_USER, 0x80, user);
        if (c.operation == ResetUserDflts) {
            EXPECT_EQ(fieldsOf(sensing), fieldsOf(tsTyvelParms{4, 800, 0, 14, 36, 1, 1, 1}));
        } else {
            // The pending record is not sent first: the sensor's own is saved.
            EXPECT_EQ(fieldsOf(sensing), fieldsOf(tsTyvelParms{1, 400, 0, 15, 60, 9, 9, 9}));
            EXPECT_EQ(user[1], 100);
        }
    }
}

// Where a refusal lands in the reports of a reset or save.
enum class Stage { Command, Read, IdleWrite, SecondRead };

struct ResetCase {
    const char* name;
    int32_t(DRAVIK_CALL* operation)();
    uint16_t did;
    unsigned reports;
};

Stage stageOf(unsigned position)
{
    if (position == 1)
        return Stage::Command;
    if (position <= 15)
        return Stage::Read;
    if (position <= 18)
        return Stage::IdleWrite;
    return Stage::SecondRead;
}

TEST_F(CommandsTest, ARefusalAtEachReportOfAResetOrSaveLeavesTheWordOfTheStepThatFailed)
{
    const ResetCase cases[] = {
        {"factory", ResetFactoryDflts, 0x0500, 15},
        {"factory 0x040x", ResetFactoryDflts, 0x0405, 32},
        {"user reset", ResetUserDflts, 0x0500, 15},
        {"user save", SaveUserDflts, 0x0500, 15},
    };
    for (const ResetCase& c : cases) {
        for (unsigned position = 1; position <= c.reports; ++position) {
            SCOPED_TRACE(std::string(c.name) + " at report " + std::to_string(position));
            restart();
            const int sensor = addSensor();
            dravikSimSetIdentity(sensor, 0, c.did, nullptr);
            setBlock(sensor, 0x85, kFactoryIdle, DRAVIK_SIM_FACTORY);
            setBlock(sensor, 0x85, kFactoryIdle, DRAVIK_SIM_USER);
            refuse(DRAVIK_SIM_REPORTS, position);

            EXPECT_EQ(c.operation(), 0);

            const Stage stage = stageOf(position);
            uint32_t word = 0;
            switch (stage) {
            case Stage::Command:
                word = 0x80202;
                break;
            case Stage::IdleWrite:
                word = 0x40202;
                break;
            // Within a read, odd reports are commands and even ones feature reads.
            case Stage::Read:
                word = (position - 1) % 2 ? 0x20202 : 0x20102;
                break;
            case Stage::SecondRead:
                word = (position - 18) % 2 ? 0x20202 : 0x20102;
                break;
            }
            const DeviceRecord& device = activeRecord();
            EXPECT_EQ(device.lastLibErr, word);
            EXPECT_EQ(reportCount(), position);
            const bool firstReadConfigured = position > 13;
            EXPECT_EQ(device.configValid, firstReadConfigured ? 1 : 0);
            if (stage == Stage::IdleWrite) {
                EXPECT_EQ(device.idleChanged, 1);
                EXPECT_EQ(device.idleParms.FlagsI, 0);
            }
            if (stage == Stage::Command) {
                uint8_t idle[8];
                dravikSimGetBlock(sensor, DRAVIK_SIM_CURRENT, 0x85, idle);
                EXPECT_NE(idle[4], 0x80) << "a refused command leaves the sensor as it was";
            }
        }
    }
}

TEST_F(CommandsTest, WithoutABoundLibraryOrAnOpenSensorTheWordsHoldTheOperationBitAndTheSlotCode)
{
    const struct {
        bool bound;
        uint32_t resetWord;
        uint32_t rangeWord;
        uint32_t haltWord;  // lastLibErr after HaltKBSends, starting from 0x1234
    } cases[] = {{false, 0x80000, 0x1000000, 0x1234}, {true, 0x80200, 0x1000200, 0x200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bound);
        InitLibState();
        if (c.bound)
            bindSimulator();
        for (int32_t(DRAVIK_CALL * reset)() : {ResetFactoryDflts, ResetUserDflts, SaveUserDflts}) {
            EXPECT_EQ(reset(), 0);
            EXPECT_EQ(GetLastLibErr(), c.resetWord);
        }
        tsObjRangeInfo range{9, 9, 9, 9};
        EXPECT_EQ(GetObjRangeInfo(&range), 0);
        EXPECT_EQ(GetLastLibErr(), c.rangeWord);
        EXPECT_EQ(fieldsOf(range), fieldsOf(tsObjRangeInfo{9, 9, 9, 9}));

        DeviceTable[0].lastLibErr = 0x1234;
        EXPECT_EQ(HaltKBSends(1), 0);
        EXPECT_EQ(GetLastLibErr(), c.haltWord);
        EXPECT_EQ(connectError, 0x2000000u);
        EXPECT_EQ(dravikSimTraceCount(), 0u);
    }
}

TEST_F(CommandsTest, ARangeReadingConvertsTheDistanceAndSplitsTheStateBits)
{
    const int sensor = addSensor();
    const struct {
        uint8_t state;
        uint8_t distance;
        tsObjRangeInfo expected;
    } cases[] = {
        {0x00, 0, {0, 0, 0, 0}},    {0x00, 1, {0, 0, 0, 0}},    {0x01, 2, {1, 1, 0, 0}},
        {0x02, 49, {14, 0, 1, 0}},  {0x04, 52, {15, 0, 0, 1}},  {0x07, 125, {36, 1, 1, 1}},
        {0xFF, 208, {60, 1, 1, 1}}, {0xF8, 252, {73, 0, 0, 0}}, {0x04, 255, {73, 0, 0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.distance));
        const uint8_t reply[8] = {c.state, c.distance, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        dravikSimSetRange(sensor, reply);
        dravikSimClearTrace();
        activeRecord().lastLibErr = 0x1234;
        tsObjRangeInfo range{-1, -1, -1, -1};

        ASSERT_EQ(GetObjRangeInfo(&range), 1);

        EXPECT_EQ(fieldsOf(range), fieldsOf(c.expected));
        EXPECT_EQ(GetLastLibErr(), 0u);
        char read[64];
        std::snprintf(read, sizeof read, "T+250 dev0 read 00 %02X %02X FF FF FF FF FF FF", c.state, c.distance);
        EXPECT_EQ(traceLines(), (Lines{"T+0 dev0 command 00 8F 00 00 00 00 00 00 00", "T+0 - pause 250", read}));
    }
}

TEST_F(CommandsTest, AFailedRangeReadingLeavesTheCallersRecordAlone)
{
    addSensor();
    const struct {
        unsigned kind;
        uint32_t word;
    } cases[] = {{DRAVIK_SIM_COMMAND_REPORT, 0x1000202}, {DRAVIK_SIM_FEATURE_READ, 0x1000102}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        dravikSimClearFaults();
        refuse(c.kind, 1);
        tsObjRangeInfo range{9, 9, 9, 9};
        EXPECT_EQ(GetObjRangeInfo(&range), 0);
        EXPECT_EQ(GetLastLibErr(), c.word);
        EXPECT_EQ(fieldsOf(range), fieldsOf(tsObjRangeInfo{9, 9, 9, 9}));
    }
}

TEST_F(CommandsTest, ARangeReadingIntoANullPointerSendsNothing)
{
    addSensor();
    EXPECT_EQ(GetObjRangeInfo(nullptr), 0);
    EXPECT_EQ(GetLastLibErr(), 0x1000001u);
    EXPECT_EQ(dravikSimTraceCount(), 0u);
}

TEST_F(CommandsTest, HaltSendsB1ForAnyNonZeroFlagAndLeavesTheDeviceWordAlone)
{
    const int sensor = addSensor();
    const struct {
        int32_t flag;
        const char* report;
        int halted;
    } cases[] = {{1, "00 B1", 1}, {0, "00 B0", 0}, {2, "00 B1", 1}, {-1, "00 B1", 1}, {0x10000, "00 B1", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flag);
        dravikSimClearTrace();
        activeRecord().lastLibErr = 0x20102;
        connectError = 7;

        ASSERT_EQ(HaltKBSends(c.flag), 1);

        EXPECT_EQ(traceLines(), Lines{std::string("T+0 dev0 command ") + c.report + " 00 00 00 00 00 00 00"});
        EXPECT_EQ(dravikSimHalted(sensor), c.halted);
        EXPECT_EQ(GetLastLibErr(), 0x20102u);
        EXPECT_EQ(connectError, 0u);
    }
}

TEST_F(CommandsTest, ARefusedHaltAssignsTheTransferCodeAndMarksTheConnectionWord)
{
    addSensor();
    refuse(DRAVIK_SIM_COMMAND_REPORT, 1);
    activeRecord().lastLibErr = 0x20102;
    connectError = 7;

    EXPECT_EQ(HaltKBSends(1), 0);

    EXPECT_EQ(GetLastLibErr(), 0x202u);
    EXPECT_EQ(connectError, 0x2000000u);
}

}  // namespace
