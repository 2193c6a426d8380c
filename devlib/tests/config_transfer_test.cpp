#include <cstring>

#include "sim_fixture.h"

namespace {

using Lines = std::vector<std::string>;

// Blocks a sensor reports, chosen so that decoding and clamping both show.
const std::vector<uint8_t> kReportedBlocks[] = {
    {0x85, 10, 16, 0, 255, 5, 2, 1},      {0x17, 0, 1, 2, 3, 4, 5, 6},    {0xF3, 9, 10, 11, 12, 13, 14, 15},
    {0x09, 0xFF, 0x80, 0, 0, 0, 0, 0x40}, {0x35, 3, 0xE3, 0, 0, 0, 0, 0}, {0x35, 30, 1, 0x0F, 0x80, 0x0A, 60, 0x2E},
};
constexpr uint16_t kReportedLUID = 0x1234;
constexpr uint16_t kReportedDID = 0x0405;

// As decoded, before the clamp-mode checks.
const tsTyvelParms kDecodedTyvel = {5, 40, 16, 0, 73, 5, 2, 1};
const tsWalkAwayParms kDecodedWalkAway = {7, 0, 1, 2, 3, 4, 5, 6, 0xF3, 9, 10, 11, 12, 13, 14, 15};
const tsWalkUpParms kDecodedWalkUp = {9, 16320, 0x80, 0, 0, 0, 0, 0x40, 0x35, 3, 0xE3, 0, 0, 0, 0, 0};
const tsIdleParms kDecodedIdle = {0x35, 30, 1, 0x0F, 0x80, 0x0A, 60, 0x2E};
// After them.
const tsTyvelParms kClampedTyvel = {5, 200, 16, 1, 60, 5, 2, 1};
const tsWalkAwayParms kClampedWalkAway = {0, 64, 1, 2, 3, 4, 5, 6, 0xF3, 9, 10, 11, 12, 13, 14, 15};
const tsWalkUpParms kClampedWalkUp = {0, 16320, 0x80, 0, 0, 0, 0, 0x40, 0x35, 3, 0xE3, 0, 0, 0, 0, 0};

class ConfigTransferTest : public SimTest {
protected:
    static void reportConfiguration(int device)
    {
        for (uint8_t b = 0; b < 6; ++b)
            setBlock(device, static_cast<uint8_t>(0x80 + b), kReportedBlocks[b]);
        dravikSimSetIdentity(device, kReportedLUID, kReportedDID, nullptr);
    }

    // A slot whose every field ReadCfg might touch holds a recognisable value.
    static void makeStale(DeviceRecord& device)
    {
        std::memset(&device.tyvelParms, 0x5A, sizeof device.tyvelParms);
        std::memset(&device.walkAwayParms, 0x5A, sizeof device.walkAwayParms);
        std::memset(&device.walkUpParms, 0x5A, sizeof device.walkUpParms);
        std::memset(&device.idleParms, 0x5A, sizeof device.idleParms);
        device.configValid = 0;
        device.tyvelChanged = device.walkAwayChanged = device.walkUpChanged = device.idleChanged = 1;
        device.LUID = 0xAAAA;
        device.DID = 0xBBBB;
        device.luidChanged = 1;
        std::memset(&lastReadRecords, 0x3C, sizeof lastReadRecords);
    }

    static Lines blockReadOutline(std::initializer_list<int> commands)
    {
        Lines outline;
        for (int command : commands) {
            char text[16];
            std::snprintf(text, sizeof text, "command %02X", command);
            outline.insert(outline.end(), {text, "pause 250", "read"});
        }
        return outline;
    }
};

// Records the tests store with the Set operations, exercising every packing.
const tsTyvelParms kStoredTyvel = {0x83, 203, 300, 14, 60, 5, 2, 0};
const tsWalkAwayParms kStoredWalkAway = {6, 100, 1, 2, 4, 8, 16, 32, 0xF3, 0x1FF, 4, 5, 6, 7, 8, 0};
const tsWalkUpParms kStoredWalkUp = {2, 16320, 0x80, 0, 0, 0, 0, 0, 0x1C, 7, 0x2C, 0x28, 0, 0, 0, 0};
const tsIdleParms kStoredIdle = {0x7F, 300, 2, 0x85, 0x101, 10, 60, -2};

void storeAllFour()
{
    ASSERT_EQ(SetTyvelParms(&kStoredTyvel), 1);
    ASSERT_EQ(SetWalkAwayParms(&kStoredWalkAway), 1);
    ASSERT_EQ(SetWalkUpParms(&kStoredWalkUp), 1);
    ASSERT_EQ(SetIdleParms(&kStoredIdle), 1);
}

TEST_F(ConfigTransferTest, WritingOnlyTheSensingRecordSendsCommandPauseDataAndCommit)
{
    addSensor();
    const tsTyvelParms sensing = {2, 600, 16, 14, 36, 5, 2, 0};
    ASSERT_EQ(SetTyvelParms(&sensing), 1);

    ASSERT_EQ(WriteCfg(), 1);

    EXPECT_EQ(traceLines(), (Lines{
                                "T+0 dev0 command 00 80 00 00 00 00 00 00 00",
                                "T+0 - pause 250",
                                "T+250 dev0 data 00 02 96 10 31 7D 05 02 00",
                                "T+250 dev0 command 00 90 01 00 00 00 00 00 00",
                            }));
    EXPECT_EQ(GetLastLibErr(), 0u);
    EXPECT_EQ(activeRecord().tyvelChanged, 0);

    // The sensor now reports the block, which decodes to the same values.
    ASSERT_EQ(ReadCfg(), 1);
    tsTyvelParms readBack{};
    ASSERT_EQ(GetTyvelParms(&readBack), 1);
    EXPECT_EQ(fieldsOf(readBack), fieldsOf(sensing));
}

TEST_F(ConfigTransferTest, ReadingDecodesSevenBlocksClampsAndKeepsTheReportedValuesAsLastRead)
{
    reportConfiguration(addSensor());
    makeStale(activeRecord());

    ASSERT_EQ(ReadCfg(), 1);

    EXPECT_EQ(exchangeOutline(), blockReadOutline({0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8A}));
    EXPECT_EQ(traceLines().back(), "T+1750 dev0 read 00 34 12 05 04 00 05 00 00");
    const DeviceRecord& device = activeRecord();
    EXPECT_EQ(device.lastLibErr, 0u);
    EXPECT_EQ(fieldsOf(device.tyvelParms), fieldsOf(kClampedTyvel));
    EXPECT_EQ(fieldsOf(device.walkAwayParms), fieldsOf(kClampedWalkAway));
    EXPECT_EQ(fieldsOf(device.walkUpParms), fieldsOf(kClampedWalkUp));
    EXPECT_EQ(fieldsOf(device.idleParms), fieldsOf(kDecodedIdle));
    const RecordSet* const lastReadCopies[] = {&lastReadRecords, &device.lastRead};
    for (const RecordSet* lastRead : lastReadCopies) {
        EXPECT_EQ(fieldsOf(lastRead->tyvel), fieldsOf(kDecodedTyvel));
        EXPECT_EQ(fieldsOf(lastRead->walkAway), fieldsOf(kDecodedWalkAway));
        EXPECT_EQ(fieldsOf(lastRead->walkUp), fieldsOf(kDecodedWalkUp));
        EXPECT_EQ(fieldsOf(lastRead->idle), fieldsOf(kDecodedIdle));
    }
    EXPECT_EQ(device.configValid, 1);
    EXPECT_EQ(device.tyvelChanged + device.walkAwayChanged + device.walkUpChanged + device.idleChanged, 0);
    EXPECT_EQ(device.LUID, kReportedLUID);
    EXPECT_EQ(device.DID, kReportedDID);
    EXPECT_EQ(device.luidChanged, 0);
}

// Fields 8 * b to 8 * b + 7 of a record come from block b of that record.
template <typename Record>
Record expectedAfterFailedRead(const Record& stale, const Record& decoded, const Record& clamped, int firstBlock,
                               int blockCount, int blocksRead)
{
    if (blocksRead == 6)
        return clamped;
    Record expected = stale;
    for (int b = 0; b < blockCount; ++b) {
        if (firstBlock + b >= blocksRead)
            break;
        std::memcpy(reinterpret_cast<int16_t*>(&expected) + 8 * b, reinterpret_cast<const int16_t*>(&decoded) + 8 * b,
                    8 * sizeof(int16_t));
    }
    return expected;
}

template <typename Record>
Record expectedLastRead(const Record& stale, const Record& decoded, int firstBlock, int blockCount, int blocksRead)
{
    return firstBlock + blockCount <= blocksRead ? decoded : stale;
}

TEST_F(ConfigTransferTest, ARefusalAtEachReportOfAReadStopsThereAndKeepsWhatTheRulesKeep)
{
    // Reports 1 to 12: the six configuration blocks, command then read;
    // 13 and 14: the identity block.
    for (unsigned position = 1; position <= 14; ++position) {
        SCOPED_TRACE(position);
        restart();
        reportConfiguration(addSensor());
        DeviceRecord& device = activeRecord();
        makeStale(device);
        const DeviceRecord stale = device;
        const RecordSet staleLastRead = lastReadRecords;
        refuse(DRAVIK_SIM_REPORTS, position);

        EXPECT_EQ(ReadCfg(), 0);

        const bool commandRefused = position % 2 == 1;
        EXPECT_EQ(device.lastLibErr, commandRefused ? 0x20202u : 0x20102u);
        EXPECT_EQ(reportCount(), position);
        const int commands[] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x8A};
        char refusedCommand[32];
        std::snprintf(refusedCommand, sizeof refusedCommand, "command %02X refused", commands[(position - 1) / 2]);
        EXPECT_EQ(exchangeOutline().back(), commandRefused ? refusedCommand : "read refused");
        const int blocksRead = static_cast<int>(position - 1) / 2;
        const bool complete = blocksRead == 6;
        EXPECT_EQ(fieldsOf(device.tyvelParms),
                  fieldsOf(expectedAfterFailedRead(stale.tyvelParms, kDecodedTyvel, kClampedTyvel, 0, 1, blocksRead)));
        EXPECT_EQ(fieldsOf(device.walkAwayParms),
                  fieldsOf(expectedAfterFailedRead(stale.walkAwayParms, kDecodedWalkAway, kClampedWalkAway, 1, 2,
                                                   blocksRead)));
        EXPECT_EQ(fieldsOf(device.walkUpParms), fieldsOf(expectedAfterFailedRead(stale.walkUpParms, kDecodedWalkUp,
                                                                                 kClampedWalkUp, 3, 2, blocksRead)));
        EXPECT_EQ(fieldsOf(device.idleParms),
                  fieldsOf(expectedAfterFailedRead(stale.idleParms, kDecodedIdle, kDecodedIdle, 5, 1, blocksRead)));
        EXPECT_EQ(fieldsOf(lastReadRecords.tyvel),
                  fieldsOf(expectedLastRead(staleLastRead.tyvel, kDecodedTyvel, 0, 1, blocksRead)));
        EXPECT_EQ(fieldsOf(lastReadRecords.walkAway),
                  fieldsOf(expectedLastRead(staleLastRead.walkAway, kDecodedWalkAway, 1, 2, blocksRead)));
        EXPECT_EQ(fieldsOf(lastReadRecords.walkUp),
                  fieldsOf(expectedLastRead(staleLastRead.walkUp, kDecodedWalkUp, 3, 2, blocksRead)));
        EXPECT_EQ(fieldsOf(lastReadRecords.idle),
                  fieldsOf(expectedLastRead(staleLastRead.idle, kDecodedIdle, 5, 1, blocksRead)));
        const int recordsRead[] = {blocksRead >= 1, blocksRead >= 3, blocksRead >= 5, blocksRead >= 6};
        for (int r = 0; r < 4; ++r)
            EXPECT_EQ(device.lastReadFilled[r], recordsRead[r]) << r;
        EXPECT_EQ(device.configValid, complete ? 1 : 0);
        const int changed = complete ? 0 : 1;
        EXPECT_EQ(device.tyvelChanged, changed);
        EXPECT_EQ(device.walkAwayChanged, changed);
        EXPECT_EQ(device.walkUpChanged, changed);
        EXPECT_EQ(device.idleChanged, changed);
        EXPECT_EQ(device.LUID, stale.LUID);
        EXPECT_EQ(device.DID, stale.DID);
        EXPECT_EQ(device.luidChanged, 1);
    }
}

TEST_F(ConfigTransferTest, WithoutABoundLibraryOrAnOpenSensorNothingIsSentAndOnlyTheWordChanges)
{
    const struct {
        bool bound;
        uint32_t readWord;
        uint32_t writeWord;
    } cases[] = {{false, 0x20000, 0x40000}, {true, 0x20200, 0x40200}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bound);
        InitLibState();
        if (c.bound)
            bindSimulator();
        DeviceRecord& slot = DeviceTable[0];
        slot.tyvelChanged = 1;
        slot.luidChanged = 1;
        slot.LUID = 7;
        const DeviceRecord before = slot;

        EXPECT_EQ(ReadCfg(), 0);
        EXPECT_EQ(GetLastLibErr(), c.readWord);
        EXPECT_EQ(WriteCfg(), 0);
        EXPECT_EQ(GetLastLibErr(), c.writeWord);

        slot.lastLibErr = before.lastLibErr;
        EXPECT_EQ(std::memcmp(&slot, &before, sizeof slot), 0);
        EXPECT_EQ(dravikSimTraceCount(), 0u);
    }
}

TEST_F(ConfigTransferTest, WritingNothingChangedSendsOnlyTheCommitWithMaskZero)
{
    addSensor();
    ASSERT_EQ(WriteCfg(), 1);
    EXPECT_EQ(traceLines(), Lines{"T+0 dev0 command 00 90 00 00 00 00 00 00 00"});
}

TEST_F(ConfigTransferTest, WritingAllFourRecordsSendsSixBlocksPackedAndKeepsTheRecordsAsStored)
{
    const int sensor = addSensor();
    reportConfiguration(sensor);
    ASSERT_EQ(ReadCfg(), 1);
    storeAllFour();
    dravikSimClearTrace();

    ASSERT_EQ(WriteCfg(), 1);

    Lines outline;
    for (const char* command : {"80", "81", "82", "83", "84", "85"})
        outline.insert(outline.end(), {std::string("command ") + command, "pause 250", "data"});
    outline.push_back("command 90");
    EXPECT_EQ(exchangeOutline(), outline);
    // The reserved bytes of blocks 0x84 and 0x85 are the last-read 3 and 0x35.
    const Lines sent = {
        "00 03 32 2C 31 D0 05 02 00", "00 06 01 01 02 04 08 10 20", "00 03 FF 04 05 06 07 08 00",
        "00 02 FF 80 00 00 00 00 00", "00 0C 03 2C 28 00 00 00 00", "00 05 2C 02 85 01 0A 3C FE",
    };
    EXPECT_EQ(dataReports(), sent);
    EXPECT_EQ(traceLines().back(), "T+1500 dev0 command 00 90 3F 00 00 00 00 00 00");

    const DeviceRecord& device = activeRecord();
    EXPECT_EQ(fieldsOf(device.tyvelParms), fieldsOf(kStoredTyvel));
    EXPECT_EQ(fieldsOf(device.walkAwayParms), fieldsOf(kStoredWalkAway));
    EXPECT_EQ(fieldsOf(device.walkUpParms), fieldsOf(kStoredWalkUp));
    EXPECT_EQ(fieldsOf(device.idleParms), fieldsOf(kStoredIdle));
    EXPECT_EQ(device.tyvelChanged + device.walkAwayChanged + device.walkUpChanged + device.idleChanged, 0);

    // What the sensor now holds reads back coarser: 203 ms as 200, 100 ms as 64.
    ASSERT_EQ(ReadCfg(), 1);
    EXPECT_EQ(device.tyvelParms.PingRateS, 200);
    EXPECT_EQ(device.walkAwayParms.InterKeyDelayWA, 64);
    EXPECT_EQ(device.tyvelParms.Reserved1S, 44);
    EXPECT_EQ(device.walkUpParms.Reserved2WU, 3);
    EXPECT_EQ(device.idleParms.Reserved1I, 5);
}

TEST_F(ConfigTransferTest, WritingBeforeAnyReadNeedsNoReadConfigurationAndSendsZeroReservedBytes)
{
    addSensor();
    ASSERT_EQ(SetWalkUpParms(&kStoredWalkUp), 1);
    ASSERT_EQ(SetIdleParms(&kStoredIdle), 1);

    ASSERT_EQ(WriteCfg(), 1);

    EXPECT_EQ(dataReports(),
              (Lines{"00 02 FF 80 00 00 00 00 00", "00 0C 00 2C 28 00 00 00 00", "00 00 2C 02 85 01 0A 3C FE"}));
    EXPECT_EQ(traceLines().back(), "T+750 dev0 command 00 90 38 00 00 00 00 00 00");
    EXPECT_EQ(activeRecord().configValid, 0);
}

TEST_F(ConfigTransferTest, AChangedLUIDFollowsTheCommitOneByteFurtherOnThanItIsRead)
{
    const int sensor = addSensor();
    SetLUID(0xBEEF);

    ASSERT_EQ(WriteCfg(), 1);

    EXPECT_EQ(traceLines(), (Lines{
                                "T+0 dev0 command 00 90 00 00 00 00 00 00 00",
                                "T+0 dev0 command 00 8A 00 00 00 00 00 00 00",
                                "T+0 - pause 250",
                                "T+250 dev0 data 00 00 EF BE 00 00 00 00 00",
                            }));
    EXPECT_EQ(activeRecord().luidChanged, 0);
    uint16_t luid = 0;
    dravikSimGetIdentity(sensor, &luid, nullptr, nullptr);
    EXPECT_EQ(luid, 0xBEEF);
}

TEST_F(ConfigTransferTest, AReadBeforeTheWriteReplacesASetLUIDWithTheSensors)
{
    reportConfiguration(addSensor());
    SetLUID(0xBEEF);

    ASSERT_EQ(ReadCfg(), 1);
    EXPECT_EQ(GetLUID(), kReportedLUID);
    EXPECT_EQ(activeRecord().luidChanged, 0);

    dravikSimClearTrace();
    ASSERT_EQ(WriteCfg(), 1);
    EXPECT_EQ(traceLines(), Lines{"T+0 dev0 command 00 90 00 00 00 00 00 00 00"});
}

TEST_F(ConfigTransferTest, ARefusalAtEachReportOfAWriteStopsThereAndTheNextWriteStartsAgain)
{
    // Reports 1 to 12: the six blocks, command then data; 13: the commit;
    // 14 and 15: the identity block.
    for (unsigned position = 1; position <= 15; ++position) {
        SCOPED_TRACE(position);
        restart();
        const int sensor = addSensor();
        reportConfiguration(sensor);
        ASSERT_EQ(ReadCfg(), 1);
        storeAllFour();
        SetLUID(0xBEEF);
        DeviceRecord& device = activeRecord();
        const DeviceRecord before = device;
        const RecordSet lastReadBefore = lastReadRecords;
        dravikSimClearTrace();
        refuse(DRAVIK_SIM_REPORTS, position);

        EXPECT_EQ(WriteCfg(), 0);

        EXPECT_EQ(device.lastLibErr, 0x40202u);
        EXPECT_EQ(reportCount(), position);
        const bool committed = position > 13;
        const int changed = committed ? 0 : 1;
        EXPECT_EQ(device.tyvelChanged, changed);
        EXPECT_EQ(device.walkAwayChanged, changed);
        EXPECT_EQ(device.walkUpChanged, changed);
        EXPECT_EQ(device.idleChanged, changed);
        EXPECT_EQ(device.luidChanged, 1);
        EXPECT_EQ(fieldsOf(device.tyvelParms), fieldsOf(before.tyvelParms));
        EXPECT_EQ(fieldsOf(device.walkAwayParms), fieldsOf(before.walkAwayParms));
        EXPECT_EQ(fieldsOf(device.walkUpParms), fieldsOf(before.walkUpParms));
        EXPECT_EQ(fieldsOf(device.idleParms), fieldsOf(before.idleParms));
        EXPECT_EQ(std::memcmp(&lastReadRecords, &lastReadBefore, sizeof lastReadRecords), 0);
        uint8_t sensing[8];
        dravikSimGetBlock(sensor, DRAVIK_SIM_CURRENT, 0x80, sensing);
        EXPECT_EQ(sensing[1], committed ? 0x32 : 10) << "the sensing block becomes current only with the commit";
        uint16_t luid = 0;
        dravikSimGetIdentity(sensor, &luid, nullptr, nullptr);
        EXPECT_EQ(luid, kReportedLUID);

        dravikSimClearFaults();
        dravikSimClearTrace();
        ASSERT_EQ(WriteCfg(), 1);
        const Lines retry = traceLines();
        if (committed) {
            EXPECT_EQ(Lines(retry.begin(), retry.begin() + 2), (Lines{"T+0 dev0 command 00 90 00 00 00 00 00 00 00",
                                                                      "T+0 dev0 command 00 8A 00 00 00 00 00 00 00"}));
        } else {
            EXPECT_EQ(retry.front(), "T+0 dev0 command 00 80 00 00 00 00 00 00 00");
        }
    }
}

TEST_F(ConfigTransferTest, EachSensorIsWrittenWithTheReservedBytesItReportedItself)
{
    // Reserved2WU and Reserved1I of sensors 0 to 3.
    const uint8_t reserved[4][2] = {{0x11, 0x21}, {0x22, 0x32}, {0x33, 0x43}, {0x44, 0x54}};
    for (int n = 0; n < 4; ++n) {
        addSensor();
        setBlock(n, 0x84, {0, reserved[n][0]});
        setBlock(n, 0x85, {reserved[n][1]});
    }
    const auto writeKeystrokesAndIdle = [](int16_t active) {
        SetActDev(active);
        EXPECT_EQ(SetWalkUpParms(&kStoredWalkUp), 1);
        EXPECT_EQ(SetIdleParms(&kStoredIdle), 1);
        dravikSimClearTrace();
        EXPECT_EQ(WriteCfg(), 1);
        const Lines sent = dataReports();
        return std::make_pair(sent.at(1).substr(6, 2), sent.at(2).substr(3, 2));
    };
    for (int16_t n : {0, 1}) {
        SetActDev(n);
        ASSERT_EQ(ReadCfg(), 1);
    }
    EXPECT_EQ(writeKeystrokesAndIdle(0), std::make_pair(std::string("11"), std::string("01")))
        << "sensor 0 gets its own bytes although sensor 1 was read last";
    EXPECT_EQ(writeKeystrokesAndIdle(1), std::make_pair(std::string("22"), std::string("02")));
    EXPECT_EQ(writeKeystrokesAndIdle(2), std::make_pair(std::string("22"), std::string("02")))
        << "a sensor not read since it was opened gets the bytes read last";

    // Sensor 3 read up to its walk-up record only, then sensor 1 read again.
    SetActDev(3);
    refuse(DRAVIK_SIM_COMMAND_REPORT, 1, 0x85);
    ASSERT_EQ(ReadCfg(), 0);
    dravikSimClearFaults();
    SetActDev(1);
    ASSERT_EQ(ReadCfg(), 1);
    EXPECT_EQ(writeKeystrokesAndIdle(3), std::make_pair(std::string("44"), std::string("02")))
        << "record by record: its own walk-up byte, the idle byte read last";
}

}  // namespace
