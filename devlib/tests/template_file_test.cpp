#include "template_fixture.h"

namespace {

TEST_F(TemplateFileTest, WriterLaysOutTheFileByteForByte)
{
    const std::string path = folder / "known.tpl";
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
}

TEST_F(TemplateFileTest, WriterPrintsEachFirmwareDigitAsADecimalNumber)
{
    const struct {
        uint16_t did;
        const char* line;
    } cases[] = {
        {0x0000, ":Device FW Version: 00.00 \r\n"},
        {0x0512, ":Device FW Version: 05.12 \r\n"},
        {0x0A1F, ":Device FW Version: 010.115 \r\n"},
        {0xFFFF, ":Device FW Version: 1515.1515 \r\n"},
    };
    const std::string path = folder / "fw.tpl";
    for (const auto& c : cases) {
        DeviceTable[0].DID = c.did;
        ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
        EXPECT_NE(readAll(path).find(std::string("\r\n") + c.line), std::string::npos) << std::hex << c.did;
    }
}

TEST_F(TemplateFileTest, WrittenFileReadBackGivesEveryFieldItsExactBits)
{
    RecordSet written{};
    for (int i = 0; i < kCfgKeyCount; ++i)
        fieldOf(written, i) = static_cast<int16_t>(i * 1297 - 31000);
    written.tyvel.PingRateS = 1020;
    written.tyvel.MinDistS = 1;
    written.tyvel.MaxDistS = 60;
    written.walkAway.KeyCountWA = 6;
    written.walkAway.InterKeyDelayWA = 16320;
    written.walkAway.Key6CodeWA = -1;
    written.walkUp.KeyCountWU = 0;
    written.walkUp.InterKeyDelayWU = 64;
    written.walkUp.Reserved2WU = -32768;
    written.idle.TYBlankTmI = 32767;
    store(written);
    const std::string path = folder / "round.tpl";
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);

    InitLibState();
    ASSERT_EQ(ReadDevCfgFmFile(path.c_str()), 1);
    EXPECT_TRUE(sameRecords(storedRecords(), written));
    const DeviceRecord& d = DeviceTable[0];
    EXPECT_EQ(d.tyvelChanged + d.walkAwayChanged + d.walkUpChanged + d.idleChanged, 4);
    EXPECT_EQ(d.configValid, 0);
    EXPECT_EQ(GetLastLibErr(), 0u);
}

TEST_F(TemplateFileTest, FileWithoutKeyLinesStoresEveryRecordUnchanged)
{
    const std::string header = "/--- Tyvel Configuration Template File ---\r\n:Library Version: 5.5.1 \r\n"
                               ":Device FW Version: 05.12 \r\n\r\n/ tsTyvelParms\r\n";
    for (const std::string& text : {std::string(), std::string("/ only a comment\r\n:and a version\n"), header}) {
        SetUp();
        DeviceTable[0].lastLibErr = kUntouchedWord;
        EXPECT_EQ(readText(text), 1) << text;
        EXPECT_TRUE(sameRecords(storedRecords(), knownRecords()));
        const DeviceRecord& d = DeviceTable[0];
        EXPECT_EQ(d.tyvelChanged + d.walkAwayChanged + d.walkUpChanged + d.idleChanged, 4);
        EXPECT_EQ(GetLastLibErr(), 0u);
    }
}

struct LineCase {
    std::string text;
    const char* key;
    int16_t expected;
};

TEST_F(TemplateFileTest, KeyLinesSetOneFieldAndLeaveTheRest)
{
    const std::string comment127 = "/" + std::string(126, 'x');
    const LineCase cases[] = {
        {"maxdists=40", "MaxDistS", 40},
        {"MaxDistS = 30\r\nMAXDISTS 40\r\n", "MaxDistS", 40},
        {" \t MaxDistS 40\r\n", "MaxDistS", 40},
        {"\x1f\x80\xff"
         "MaxDistS 40\n",
         "MaxDistS", 40},
        {"\xEF\xBB\xBF"
         "MaxDistS = 40\r\n",
         "MaxDistS", 40},
        {"/MaxDistS 40\n", "MaxDistS", 36},
        {":MaxDistS 40\n", "MaxDistS", 36},
        {"  / MaxDistS 40\n", "MaxDistS", 36},
        {"/ tsIdleParms\r\nMaxDistS = 40     / Maximum\r\n", "MaxDistS", 40},
        {"Key1CodeWA = 0x1F\n", "Key1CodeWA", 0},
        {"Key1CodeWA = 31abc\n", "Key1CodeWA", 31},
        {"Key1CodeWA\n", "Key1CodeWA", 15},
        {"Key1CodeWA = \r\n", "Key1CodeWA", 15},
        {"Key1CodeWA = abc\n", "Key1CodeWA", 15},
        {"Key1CodeWA = -\n", "Key1CodeWA", 15},
        {"Key1CodeWA = 65535\n", "Key1CodeWA", -1},
        {"Key1CodeWA = -1\n", "Key1CodeWA", -1},
        {"Key1CodeWA = 40000\n", "Key1CodeWA", -25536},
        {"Key1CodeWA = 70000\n", "Key1CodeWA", 4464},
        {"Key1CodeWA = 18446744073709551617\n", "Key1CodeWA", 1},
        {"Key1CodeWA = -65537\n", "Key1CodeWA", -1},
        {"Key1CodeWA = +7\n", "Key1CodeWA", 7},
        {"Key1CodeWA,, ==\t\t9,8 / Key Codes...\r\n", "Key1CodeWA", 9},
        {"Key1CodeWA 12\r\nKey1CodeWA 13", "Key1CodeWA", 13},
        {"KEY1CODEWA 12\r\nkey1codewa 14\r\n", "Key1CodeWA", 14},
        {"Key1CodeWA_ 12\n", "Key1CodeWA", 15},
        {std::string(70, 'K') + " = 9\nKey1CodeWA = 9", "Key1CodeWA", 9},
        // Past 127 characters a line goes on as a line of its own.
        {comment127 + "Key1CodeWA 44" + std::string(60, ' ') + "\n", "Key1CodeWA", 44},
        {"Key1CodeWA 44" + std::string(114, ' ') + "Key1CodeWA 45" + std::string(60, ' ') + "\n", "Key1CodeWA", 45},
    };
    for (const LineCase& c : cases) {
        SetUp();
        EXPECT_EQ(readText(c.text), 1) << c.text;
        RecordSet expected = knownRecords();
        fieldOf(expected, keyIndex(c.key)) = c.expected;
        const RecordSet stored = storedRecords();
        EXPECT_TRUE(sameRecords(stored, expected)) << c.text << "\n"
                                                   << c.key << " is " << fieldOf(stored, keyIndex(c.key));
    }
}

TEST_F(TemplateFileTest, EveryKeyNamesItsOwnField)
{
    for (int i = 0; i < kCfgKeyCount; ++i) {
        RecordSet records{};
        std::string upper = CfgKeyTable[i].key;
        for (char& ch : upper)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        ASSERT_EQ(FindCfgKey(upper.c_str(), 0xBEEF, &records), 1) << upper;
        RecordSet expected{};
        fieldOf(expected, i) = static_cast<int16_t>(0xBEEF);
        EXPECT_TRUE(sameRecords(records, expected)) << upper;
    }
    RecordSet records{};
    EXPECT_EQ(FindCfgKey("MaxDist", 1, &records), 0);
    EXPECT_EQ(FindCfgKey("", 1, &records), 0);
    EXPECT_TRUE(sameRecords(records, RecordSet{}));
}

TEST_F(TemplateFileTest, RefusedRecordKeepsItsValuesAndReportsTheFirstRefusal)
{
    const struct {
        const char* text;
        uint32_t word;
        bool tyvelRefused, walkUpRefused;
    } cases[] = {
        {"MinDistS 20\nMaxDistS 61\nKeyCountWU 3\nPressRateI 9\n", 0x201002, true, false},
        {"MaxDistS 61\nInterKeyDelayWU 10\nPressRateI 9\n", 0x201021, true, true},
    };
    for (const auto& c : cases) {
        SetUp();
        EXPECT_EQ(readText(c.text), 0) << c.text;
        EXPECT_EQ(GetLastLibErr(), c.word) << c.text;
        const DeviceRecord& d = DeviceTable[0];
        const RecordSet known = knownRecords();
        EXPECT_EQ(std::memcmp(&d.tyvelParms, &known.tyvel, sizeof known.tyvel), 0);
        EXPECT_EQ(d.tyvelChanged, 0);
        EXPECT_EQ(d.walkUpChanged, c.walkUpRefused ? 0 : 1);
        EXPECT_EQ(d.walkUpParms.KeyCountWU, c.walkUpRefused ? known.walkUp.KeyCountWU : 3);
        EXPECT_EQ(d.walkAwayChanged, 1);
        EXPECT_EQ(d.idleChanged, 1);
        EXPECT_EQ(d.idleParms.PressRateI, 9);
    }
}

TEST_F(TemplateFileTest, FileOfOneMebibyteIsReadWholeAndALargerOneChangesNothing)
{
    const std::string first = "MaxDistS = 30\r\n";
    const std::string last = "MaxDistS = 40\r\n";
    const struct {
        size_t size;
        int32_t result;
    } cases[] = {{1048576, 1}, {1048577, 0}};
    for (const auto& c : cases) {
        SetUp();
        DeviceTable[0].lastLibErr = kUntouchedWord;
        // The last key line counts only when the whole file was read, the
        // first must not count on a refusal; blanks fill the rest.
        const std::string text = first + std::string(c.size - first.size() - last.size() - 1, ' ') + "\n" + last;
        ASSERT_EQ(text.size(), c.size);
        EXPECT_EQ(readText(text), c.result) << c.size;
        if (c.result == 1)
            EXPECT_EQ(DeviceTable[0].tyvelParms.MaxDistS, 40);
        else
            expectNothingChanged();
    }
}

}  // namespace
