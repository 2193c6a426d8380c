// Scenario files, loaded into the simulator and met through the library.
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "discovery_fixture.h"

namespace {

class ScenarioTest : public DiscoveryTest {
protected:
    void TearDown() override
    {
        DiscoveryTest::TearDown();
        std::remove(file_.c_str());
    }

    // Writes the scenario and loads it; the message lands in message.
    int load(const std::string& json)
    {
        std::ofstream(file_) << json;
        char text[512] = "unchanged";
        const int result = dravikSimLoadScenario(file_.c_str(), text, sizeof text);
        message = text;
        return result;
    }

    std::string file_ = ::testing::TempDir() + "dravik-scenario-" + std::to_string(getpid()) + ".json";
    std::string message;
};

TEST_F(ScenarioTest, TheShippedScenarioHoldsOneSensorAtFactorySettings)
{
    char text[256];
    ASSERT_EQ(dravikSimLoadScenario(DRAVIK_TEST_SHIPPED_SCENARIO, text, sizeof text), 1) << text;
    ASSERT_EQ(dravikSimDeviceCount(), 1);
    for (uint8_t command = 0x80; command <= 0x85; ++command) {
        uint8_t current[8], factory[8];
        dravikSimGetBlock(0, DRAVIK_SIM_CURRENT, command, current);
        dravikSimGetBlock(0, DRAVIK_SIM_FACTORY, command, factory);
        EXPECT_EQ(std::vector<uint8_t>(current, current + 8), std::vector<uint8_t>(factory, factory + 8))
            << int(command);
    }
    uint32_t info = 0;
    ASSERT_EQ(USBConnect(&info), 1);
    EXPECT_EQ(info, 0x0501u);
    tsTyvelParms parms;
    ASSERT_EQ(GetTyvelParms(&parms), 1);
    EXPECT_EQ(parms.MinDistS, 14);
    EXPECT_EQ(parms.MaxDistS, 36);
}

TEST_F(ScenarioTest, SetsUpDevicesInOrderWithTheirBlocksAndFaults)
{
    ASSERT_EQ(load(R"({
      "devices": [
        {"path": "\\\\?\\hid#vid_046d&pid_c31c#kbd", "vendorId": "0x046d", "productId": "0xc31c",
         "versionNumber": 100, "sensor": false},
        {"path": "\\\\?\\hid#vid_3acf&pid_0501#one", "vendorId": "0x3acf", "productId": "0x0501",
         "versionNumber": "0x0210",
         "blocks": {"current": {"0x80": [0, 150, 16, 49, 125, 5, 2, 0]},
                    "user": {"0x85": [1, 2, 3, 4, 5, 6, 7, 8]}},
         "identity": {"luid": 4660, "did": "0x0311"},
         "range": [3, 52, 0, 0, 0, 0, 0, 0],
         "detailSize": 300},
        {"path": "\\\\?\\hid#vid_3ace&pid_0501#two", "vendorId": "0x3ace", "productId": "0x0501",
         "versionNumber": 1}
      ],
      "faults": [{"kinds": ["read"], "device": 2, "command": "0x83", "position": 1}],
      "missing": ["HidP_GetCaps"]
    })"),
              1)
        << message;
    EXPECT_EQ(message, "");
    ASSERT_EQ(dravikSimDeviceCount(), 3);
    uint8_t block[8];
    dravikSimGetBlock(1, DRAVIK_SIM_USER, 0x85, block);
    EXPECT_EQ(block[7], 8);
    EXPECT_EQ(dravikSimDetailSize(1), 300u);
    EXPECT_EQ(dravikSimIsMissing("HidP_GetCaps"), 1);

    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(connectError, 0x10004u);
    dravikSimSetMissing("HidP_GetCaps", 0);

    // The keyboard is skipped; the second sensor's read of block 0x83 fails once.
    EXPECT_EQ(USBConnect(nullptr), 0);
    EXPECT_EQ(GetDevCnt(), 2);
    EXPECT_EQ(DeviceTable[1].lastLibErr, 0x20102u);
    tsTyvelParms parms;
    ASSERT_EQ(GetTyvelParms(&parms), 1);
    EXPECT_EQ(parms.PingRateS, 600);
    EXPECT_EQ(GetLUID(), 0x1234);
    EXPECT_EQ(GetDID(), 0x0311);
    tsObjRangeInfo range;
    ASSERT_EQ(GetObjRangeInfo(&range), 1);
    EXPECT_EQ(range.CurrRange, 15);
    EXPECT_EQ(range.InRangePend, 1);
}

TEST_F(ScenarioTest, AFaultyScenarioIsRefusedWithWhereTheFaultIsAndLeavesNoDevice)
{
    const std::string sensor = R"("path": "p", "vendorId": 1, "productId": 2, "versionNumber": 3)";
    struct Case {
        std::string json;
        std::string message;
    };
    const Case cases[] = {
        {"{\"devices\": [", "parse error"},
        {R"({"device": []})", ": unknown key \"device\""},
        {"{\"devices\": [{" + sensor + ", \"vendorID\": 1}]}", ": devices[0]: unknown key \"vendorID\""},
        {R"({"devices": [{"path": "p", "vendorId": 1, "productId": 2}]})",
         ": devices[0]: \"versionNumber\" is missing"},
        {R"({"devices": [{"path": "p", "vendorId": 65536, "productId": 2, "versionNumber": 3}]})",
         ": devices[0].vendorId: expected a number from 0 to 65535"},
        {R"({"devices": [{"path": "p", "vendorId": "3ace", "productId": 2, "versionNumber": 3}]})",
         ": devices[0].vendorId: expected a number"},
        {"{\"devices\": [{" + sensor + ", \"blocks\": {\"current\": {\"0x80\": [1, 2]}}}]}",
         ": devices[0].blocks.current.0x80: expected 8 bytes"},
        {"{\"devices\": [{" + sensor + ", \"blocks\": {\"current\": {\"0x86\": [0,0,0,0,0,0,0,0]}}}]}",
         ": devices[0].blocks.current: unknown key \"0x86\""},
        {"{\"devices\": [{" + sensor + ", \"range\": [1, 2, 3, 4, 5, 6, 7, 256]}]}",
         ": devices[0].range[7]: expected a number from 0 to 255"},
        {R"({"faults": [{"kinds": ["reed"]}]})", ": faults[0].kinds: unknown event kind \"reed\""},
        {R"({"faults": [{"kinds": []}]})", ": faults[0].kinds: expected a list of event kinds"},
        {R"({"faults": [{"kinds": [["read"]]}]})", ": faults[0].kinds: unknown event kind [...]"},
        {R"({"missing": ["HID.dll"]})", ": missing: not a platform library or entry point: \"HID.dll\""},
        {R"([])", ": expected an object"},
    };
    for (const Case& c : cases) {
        addSensor();
        EXPECT_EQ(load(c.json), 0) << c.json;
        EXPECT_NE(message.find(file_), std::string::npos) << message;
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(dravikSimDeviceCount(), 0) << c.json;
    }
    char text[256];
    EXPECT_EQ(dravikSimLoadScenario("/nonexistent/scenario.json", text, sizeof text), 0);
    EXPECT_EQ(std::string(text), "/nonexistent/scenario.json: No such file or directory");
}

// Faults are read as the file is parsed; the file is still judged in the
// order of a whole: its syntax, its keys, the devices, then the faults.
TEST_F(ScenarioTest, TheFirstFaultyFaultIsNamedOnlyOnceTheRestOfTheFileIsSound)
{
    const std::string read = R"({"kinds": ["read"]})";
    struct Case {
        std::string json;
        std::string message;
    };
    const Case cases[] = {
        {"{\"faults\": [" + read + ", " + read + R"(, {"kinds": ["reed"]}, {"kinds": []}]})",
         ": faults[2].kinds: unknown event kind \"reed\""},
        {"{\"faults\": [" + read + ", 7]}", ": faults[1]: expected an object"},
        {R"({"faults": [{"kinds": ["read"], "position": "x", "extra": 1}]})", ": faults[0]: unknown key \"extra\""},
        {"{\"faults\": [" + read + R"(, {"kinds": [[[[1]]]]}]})",
         ": faults[1].kinds[0][0][0]: lists and objects nested more than 6 deep"},
        {R"({"faults": [{"kinds": ["reed"]}], "devices": [{"path": "p"}]})", ": devices[0]: \"vendorId\" is missing"},
        {R"({"faults": [{"kinds": ["reed"]}], "mising": []})", ": unknown key \"mising\""},
        {R"({"faults": [{"kinds": ["reed"]}], "devices": [)", ": [json.exception.parse_error"},
        {R"({"faults": [{"kinds": ["read"]}], "faults": {}})", ": faults: expected a list"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(load(c.json), 0) << c.json;
        EXPECT_EQ(message.rfind(file_ + c.message, 0), 0u) << message;
    }
}

TEST_F(ScenarioTest, FaultsTakeEffectInOrderAndALaterListReplacesAnEarlierOne)
{
    const auto listSteps = [] {
        std::string refused;
        for (int step = 0; step < 5; ++step)
            refused += dravikSimEnumerationStep(DRAVIK_SIM_LIST, -1) ? 'x' : '-';
        return refused;
    };
    struct Case {
        std::string json;
        std::string refused;
    };
    const Case cases[] = {
        {R"({"faults": [{"kinds": ["list"], "position": 1}, {"kinds": ["list"], "position": "0x4"}]})", "x--x-"},
        {R"({"faults": [{"kinds": ["reed"]}], "faults": [{"kinds": ["list"], "position": 2}]})", "-x---"},
        {R"({"faults": [{"kinds": ["list"]}], "faults": []})", "-----"},
        {R"({"devices": [], "faults": [{"kinds": ["list"], "device": 0}, {"kinds": ["list"], "position": 3}]})",
         "--x--"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(load(c.json), 1) << message;
        EXPECT_EQ(listSteps(), c.refused) << c.json;
    }
}

TEST_F(ScenarioTest, AValueNestedTooDeeplyIsRefusedWithItsPlace)
{
    const std::string deep = std::string(100000, '[') + std::string(100000, ']');
    struct Case {
        std::string json;
        std::string message;
    };
    const Case cases[] = {
        {R"({"faults": [{"kinds": )" + deep + "}]}",
         ": faults[0].kinds[0][0][0]: lists and objects nested more than 6 deep"},
        {R"({"missing": )" + deep + "}", ": missing[0][0][0][0][0]: lists and objects nested more than 6 deep"},
        {R"({"devices": [{"path": "p", "blocks": {"user": {"0x85": [{"a": [1]}]}}}]})",
         ": devices[0].blocks.user.0x85[0]: lists and objects nested more than 6 deep"},
    };
    for (const Case& c : cases) {
        addSensor();
        EXPECT_EQ(load(c.json), 0);
        EXPECT_EQ(message, file_ + c.message);
        EXPECT_EQ(dravikSimDeviceCount(), 0);
    }
}

}  // namespace
