// The simulated firmware, driven through the HID side directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "dravik_sim.h"
#include "platform/backend.h"

namespace {

using Lines = std::vector<std::string>;
using Bytes = std::vector<uint8_t>;

const char kSensorPath[] = "\\\\?\\hid#vid_3ace&pid_0501#7&1a2b&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";

class SimulatorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dravikSimReset();
        const DravikSimDeviceSpec spec{kSensorPath, 0x3ACE, 0x0501, 0x0405, 1};
        sensor = dravikSimAddDevice(&spec);
        handle = backend().open(kSensorPath);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        dravikSimClearTrace();
    }

    static const DeviceBackend& backend() { return *dravikSimDeviceBackend(); }

    bool write(Bytes payload)
    {
        uint8_t report[9] = {};
        std::copy(payload.begin(), payload.end(), report + 1);
        return dravikSimHidSetFeature(handle, report, sizeof report) != 0;
    }

    Bytes read()
    {
        uint8_t report[9] = {};
        if (!dravikSimHidGetFeature(handle, report, sizeof report))
            return {};
        return Bytes(report + 1, report + 9);
    }

    Bytes block(int set, uint8_t command)
    {
        Bytes data(8);
        dravikSimGetBlock(sensor, set, command, data.data());
        return data;
    }

    static Lines traceLines()
    {
        Lines lines;
        for (size_t i = 0; i < dravikSimTraceCount(); ++i) {
            DravikSimTraceEntry entry;
            dravikSimTraceEntry(i, &entry);
            char line[256];
            dravikSimFormatTraceEntry(&entry, line, sizeof line);
            lines.push_back(line);
        }
        return lines;
    }

    int sensor = -1;
    HANDLE handle = INVALID_HANDLE_VALUE;
};

const Bytes kSensing = {0x02, 0x96, 0x10, 0x31, 0x7D, 0x05, 0x02, 0x00};
const Bytes kOther = {0x01, 0x40, 0x00, 0x34, 0xD0, 0x09, 0x09, 0x09};

TEST_F(SimulatorTest, ADataReportIsStagedUntilACommitNamesItsBlock)
{
    const Bytes factory = block(DRAVIK_SIM_CURRENT, 0x80);
    ASSERT_TRUE(write({0x80}));
    ASSERT_TRUE(write(kSensing));
    EXPECT_EQ(block(DRAVIK_SIM_STAGED, 0x80), kSensing);
    EXPECT_EQ(read(), factory) << "a read answers the current block";

    ASSERT_TRUE(write({0x90, 0x3E}));
    EXPECT_EQ(block(DRAVIK_SIM_CURRENT, 0x80), factory);
    ASSERT_TRUE(write({0x90, 0x01}));
    EXPECT_EQ(block(DRAVIK_SIM_CURRENT, 0x80), kSensing);
    ASSERT_TRUE(write({0x80}));
    EXPECT_EQ(read(), kSensing);
}

TEST_F(SimulatorTest, TheIdentityWriteSetsTheLUIDAtOnceAndTheReadReportsIt)
{
    const uint8_t nibbles[4] = {0x10, 0x24, 0x0F, 0x03};
    dravikSimSetIdentity(sensor, 0x0102, 0x0405, nibbles);
    ASSERT_TRUE(write({0x8A}));
    ASSERT_TRUE(write({0x00, 0xEF, 0xBE}));
    uint16_t luid = 0;
    dravikSimGetIdentity(sensor, &luid, nullptr, nullptr);
    EXPECT_EQ(luid, 0xBEEF);
    EXPECT_EQ(read(), (Bytes{0xEF, 0xBE, 0x05, 0x04, 0x00, 0x04, 0x0F, 0x03}));
}

TEST_F(SimulatorTest, ResetsAndSavesMoveWholeSetsOfBlocks)
{
    const Bytes factory = block(DRAVIK_SIM_FACTORY, 0x85);
    dravikSimSetBlock(sensor, DRAVIK_SIM_CURRENT, 0x80, kSensing.data());
    ASSERT_TRUE(write({0xE0}));
    EXPECT_EQ(block(DRAVIK_SIM_USER, 0x80), kSensing);

    dravikSimSetBlock(sensor, DRAVIK_SIM_CURRENT, 0x80, kOther.data());
    dravikSimSetBlock(sensor, DRAVIK_SIM_STAGED, 0x80, kOther.data());
    ASSERT_TRUE(write({0xD0}));
    EXPECT_EQ(block(DRAVIK_SIM_CURRENT, 0x80), kSensing);
    EXPECT_EQ(block(DRAVIK_SIM_STAGED, 0x80), kSensing);

    ASSERT_TRUE(write({0xA0}));
    EXPECT_EQ(block(DRAVIK_SIM_CURRENT, 0x80), block(DRAVIK_SIM_FACTORY, 0x80));
    EXPECT_EQ(block(DRAVIK_SIM_STAGED, 0x85), factory);
    EXPECT_EQ(block(DRAVIK_SIM_USER, 0x80), kSensing) << "a factory reset keeps the user set";
}

TEST_F(SimulatorTest, HaltAndResumeSetTheFlagAndTheRangeCommandNamesTheRangeReply)
{
    EXPECT_EQ(dravikSimHalted(sensor), 0);
    ASSERT_TRUE(write({0xB1}));
    EXPECT_EQ(dravikSimHalted(sensor), 1);
    ASSERT_TRUE(write({0xB0}));
    EXPECT_EQ(dravikSimHalted(sensor), 0);

    const uint8_t range[8] = {0x05, 0x31, 1, 2, 3, 4, 5, 6};
    dravikSimSetRange(sensor, range);
    ASSERT_TRUE(write({0x8F}));
    EXPECT_EQ(read(), Bytes(range, range + 8));
    ASSERT_TRUE(write({0xB0}));
    EXPECT_EQ(read(), Bytes(8, 0)) << "a command that names no block is answered with zeros";
}

TEST_F(SimulatorTest, KeyboardsAndMalformedReportsAreRefused)
{
    uint8_t report[9] = {0, 0x80};
    EXPECT_FALSE(dravikSimHidSetFeature(handle, report, 8));
    report[0] = 1;
    EXPECT_FALSE(dravikSimHidSetFeature(handle, report, 9));
    EXPECT_FALSE(dravikSimHidSetFeature(reinterpret_cast<HANDLE>(0x77), report, 9));

    const DravikSimDeviceSpec keyboard{"\\\\?\\hid#vid_046d&pid_c31c#1", 0x046D, 0xC31C, 0x6400, 0};
    const int id = dravikSimAddDevice(&keyboard);
    HANDLE keyboardHandle = backend().open(keyboard.path);
    uint8_t command[9] = {0, 0x80};
    EXPECT_FALSE(dravikSimHidSetFeature(keyboardHandle, command, 9));
    EXPECT_FALSE(dravikSimHidGetFeature(keyboardHandle, command, 9));
    HIDD_ATTRIBUTES attributes{12, 0, 0, 0};
    EXPECT_TRUE(dravikSimHidGetAttributes(keyboardHandle, &attributes));
    EXPECT_EQ(attributes.VendorID, 0x046D);
    EXPECT_EQ(attributes.ProductID, 0xC31C);
    EXPECT_EQ(attributes.VersionNumber, 0x6400);
    EXPECT_EQ(traceLines().back(), "T+0 dev" + std::to_string(id) + " attributes 046D C31C 6400");
}

TEST_F(SimulatorTest, FaultsMatchByKindCommandDeviceAndPosition)
{
    const DravikSimFault dataReports{DRAVIK_SIM_DATA_REPORT, DRAVIK_SIM_ANY_DEVICE, DRAVIK_SIM_ANY_COMMAND, 0};
    dravikSimAddFault(&dataReports);
    EXPECT_TRUE(write({0x80}));
    EXPECT_FALSE(write(kSensing));
    EXPECT_FALSE(write(kSensing));
    EXPECT_NE(block(DRAVIK_SIM_STAGED, 0x80), kSensing) << "a refused report changes nothing";
    dravikSimClearFaults();

    // Only the second feature read that belongs to command 0x84.
    const DravikSimFault secondRead{DRAVIK_SIM_FEATURE_READ, sensor, 0x84, 2};
    dravikSimAddFault(&secondRead);
    EXPECT_TRUE(write({0x84}));
    EXPECT_FALSE(read().empty());
    EXPECT_TRUE(write({0x85}));
    EXPECT_FALSE(read().empty());
    EXPECT_TRUE(write({0x84}));
    EXPECT_TRUE(read().empty());
    EXPECT_FALSE(read().empty());
    dravikSimClearFaults();

    // The third report of any kind; a refused command leaves the last one named.
    const DravikSimFault third{DRAVIK_SIM_REPORTS, DRAVIK_SIM_ANY_DEVICE, DRAVIK_SIM_ANY_COMMAND, 3};
    dravikSimAddFault(&third);
    EXPECT_TRUE(write({0x8F}));
    EXPECT_FALSE(read().empty());
    EXPECT_FALSE(write({0x80}));
    const Bytes reply = read();
    ASSERT_EQ(reply.size(), 8u);
    EXPECT_EQ(reply[1], 0x7D) << "still the range reply";
    dravikSimClearFaults();

    const DravikSimFault otherDevice{DRAVIK_SIM_REPORTS, sensor + 1, DRAVIK_SIM_ANY_COMMAND, 0};
    dravikSimAddFault(&otherDevice);
    EXPECT_TRUE(write({0x80}));
    EXPECT_FALSE(read().empty());
}

// Each rule counts the events it matches and refuses every one (position 0)
// or only its n-th since it was added, as if the rules were looked at one by
// one; rules added between events, rules of the same conditions, events of
// several kinds and events of no device or command included.
TEST_F(SimulatorTest, ManyFaultsRefuseExactlyWhatEachRuleAloneWould)
{
    struct Rule {
        DravikSimFault fault;
        unsigned matched;
    };
    std::vector<Rule> rules;
    const auto modelRefuses = [&rules](unsigned kind, int device, int command) {
        bool refused = false;
        for (Rule& rule : rules) {
            const DravikSimFault& f = rule.fault;
            if ((f.kinds & kind) == 0 || (f.device != DRAVIK_SIM_ANY_DEVICE && f.device != device) ||
                (f.command != DRAVIK_SIM_ANY_COMMAND && f.command != command))
                continue;
            ++rule.matched;
            refused = refused || f.position == 0 || f.position == rule.matched;
        }
        return refused;
    };

    const std::string otherPath = std::string(kSensorPath) + "2";
    const DravikSimDeviceSpec spec{otherPath.c_str(), 0x3ACE, 0x0501, 0x0405, 1};
    const int other = dravikSimAddDevice(&spec);
    const HANDLE handles[] = {handle, backend().open(otherPath.c_str())};

    const unsigned kinds[] = {DRAVIK_SIM_LIST, DRAVIK_SIM_INTERFACE, DRAVIK_SIM_SIZE_QUERY,
                              DRAVIK_SIM_LIST | DRAVIK_SIM_INTERFACE, 0};
    const unsigned ruleKinds[] = {DRAVIK_SIM_COMMAND_REPORT, DRAVIK_SIM_LIST,
                                  DRAVIK_SIM_INTERFACE,      DRAVIK_SIM_COMMAND_REPORT | DRAVIK_SIM_LIST,
                                  DRAVIK_SIM_REPORTS,        0};
    const int devices[] = {DRAVIK_SIM_ANY_DEVICE, sensor, other, 5};
    const int commands[] = {DRAVIK_SIM_ANY_COMMAND, 0x80, 0x81};
    const uint8_t commandBytes[] = {0x80, 0x81, 0x8A};
    const unsigned positions[] = {0, 1, 2, 3, 5, 8, 40};
    std::mt19937 random(20240611);
    const auto pick = [&random](const auto& choices) { return choices[random() % std::size(choices)]; };

    int refusals = 0;
    for (int step = 0; step < 4000; ++step) {
        const unsigned roll = random() % 100;
        if (roll < 15) {
            const DravikSimFault fault{pick(ruleKinds), pick(devices), pick(commands), pick(positions)};
            ASSERT_EQ(dravikSimAddFault(&fault), 1);
            rules.push_back({fault, 0});
        } else if (roll == 15) {
            dravikSimClearFaults();
            rules.clear();
        } else if (roll < 60) {
            const unsigned kind = pick(kinds);
            const int device = pick(devices);
            const bool expected = modelRefuses(kind, device, DRAVIK_SIM_ANY_COMMAND);
            ASSERT_EQ(dravikSimEnumerationStep(kind, device), expected ? 1 : 0) << "step " << step;
            refusals += expected;
        } else {
            const int device = static_cast<int>(random() % 2);
            const uint8_t command = pick(commandBytes);
            const bool expected = modelRefuses(DRAVIK_SIM_COMMAND_REPORT, device, command);
            uint8_t report[9] = {0, command};
            ASSERT_EQ(dravikSimHidSetFeature(handles[device], report, sizeof report), expected ? 0 : 1)
                << "step " << step;
            refusals += expected;
        }
    }
    EXPECT_GT(refusals, 100) << "the rules refused too little to tell";
}

TEST_F(SimulatorTest, OpensIgnoreCaseAndCanBeRefused)
{
    std::string upper = kSensorPath;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    HANDLE second = backend().open(upper.c_str());
    EXPECT_NE(second, INVALID_HANDLE_VALUE);
    EXPECT_NE(second, handle);
    EXPECT_TRUE(backend().close(second));
    EXPECT_FALSE(backend().close(second));
    EXPECT_EQ(backend().open("\\\\?\\hid#nothing"), INVALID_HANDLE_VALUE);

    const DravikSimFault firstOpen{DRAVIK_SIM_OPEN, sensor, DRAVIK_SIM_ANY_COMMAND, 1};
    dravikSimAddFault(&firstOpen);
    EXPECT_EQ(backend().open(kSensorPath), INVALID_HANDLE_VALUE);
    EXPECT_NE(backend().open(kSensorPath), INVALID_HANDLE_VALUE);

    const DravikSimFault attributes{DRAVIK_SIM_ATTRIBUTES, sensor, DRAVIK_SIM_ANY_COMMAND, 0};
    dravikSimAddFault(&attributes);
    HIDD_ATTRIBUTES answer{12, 0, 0, 0};
    EXPECT_FALSE(dravikSimHidGetAttributes(handle, &answer));
    EXPECT_EQ(answer.VendorID, 0);

    EXPECT_EQ(traceLines(), (Lines{
                                "T+0 dev0 open " + upper,
                                "T+0 dev0 close",
                                "T+0 - open \\\\?\\hid#nothing refused",
                                std::string("T+0 dev0 open ") + kSensorPath + " refused",
                                std::string("T+0 dev0 open ") + kSensorPath,
                                "T+0 dev0 attributes refused",
                            }));
}

void collect(const DravikSimTraceEntry* entry, void* context)
{
    static_cast<std::vector<unsigned>*>(context)->push_back(entry->kind);
}

TEST_F(SimulatorTest, TheTraceRecordsEveryExchangeOnTheVirtualClock)
{
    std::vector<unsigned> heard;
    dravikSimSetTraceListener(collect, &heard);
    const DravikSimFault firstReadOf81{DRAVIK_SIM_FEATURE_READ, sensor, 0x81, 1};
    dravikSimAddFault(&firstReadOf81);
    write({0x80});
    backend().sleep(250);
    read();
    backend().sleep(2000);
    write({0x81});
    read();
    write({0x90, 0x3F});
    dravikSimSetTraceListener(nullptr, nullptr);
    write({0xB0});

    EXPECT_EQ(traceLines(), (Lines{
                                "T+0 dev0 command 00 80 00 00 00 00 00 00 00",
                                "T+0 - pause 250",
                                "T+250 dev0 read 00 00 7D 10 31 7D 05 02 00",
                                "T+250 - pause 2000",
                                "T+2250 dev0 command 00 81 00 00 00 00 00 00 00",
                                "T+2250 dev0 read refused",
                                "T+2250 dev0 command 00 90 3F 00 00 00 00 00 00",
                                "T+2250 dev0 command 00 B0 00 00 00 00 00 00 00",
                            }));
    EXPECT_EQ(heard.size(), 7u);
    EXPECT_EQ(heard[1], unsigned(DRAVIK_SIM_PAUSE));

    DravikSimTraceEntry entry;
    ASSERT_TRUE(dravikSimTraceEntry(0, &entry));
    char small[8];
    EXPECT_EQ(dravikSimFormatTraceEntry(&entry, small, sizeof small), 43u);
    EXPECT_STREQ(small, "T+0 dev");
    EXPECT_FALSE(dravikSimTraceEntry(dravikSimTraceCount(), &entry));

    dravikSimClearTrace();
    EXPECT_EQ(dravikSimTraceCount(), 0u);
    backend().sleep(5);
    ASSERT_TRUE(dravikSimTraceEntry(0, &entry));
    EXPECT_EQ(entry.timeMs, 0u) << "clearing the trace restarts the clock";
}

}  // namespace
