// What the template-file tests share: a scratch folder, whole-file helpers,
// a known configuration and the file the writer makes of it.
#ifndef DRAVIK_TESTS_TEMPLATE_FIXTURE_H
#define DRAVIK_TESTS_TEMPLATE_FIXTURE_H

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "lib_fixture.h"
#include "template_file.h"

namespace fs = std::filesystem;

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::random_device random;
        do {
            path_ = fs::temp_directory_path() / ("dravik-template-" + std::to_string(random()));
        } while (!fs::create_directory(path_));
        // Searchable by the unprivileged user some tests switch to.
        fs::permissions(path_, fs::perms(0755));
    }
    ~ScratchFolder()
    {
        std::error_code ignored;
        fs::permissions(path_, fs::perms(0755), ignored);
        for (const auto& entry : fs::recursive_directory_iterator(path_, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
                fs::permissions(entry.path(), fs::perms(0755), ignored);
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }
    const fs::path& path() const { return path_; }

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& entry : fs::directory_iterator(path_))
            result.push_back(entry.path().filename().string());
        return result;
    }

private:
    fs::path path_;
};

inline std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline int16_t& fieldOf(RecordSet& records, int index)
{
    return reinterpret_cast<int16_t*>(&records)[index];
}

inline int16_t fieldOf(const RecordSet& records, int index)
{
    return reinterpret_cast<const int16_t*>(&records)[index];
}

inline int keyIndex(const char* key)
{
    for (int i = 0; i < kCfgKeyCount; ++i)
        if (std::strcmp(CfgKeyTable[i].key, key) == 0)
            return i;
    ADD_FAILURE() << "no key " << key;
    return 0;
}

inline RecordSet storedRecords()
{
    const DeviceRecord& d = DeviceTable[0];
    return RecordSet{d.tyvelParms, d.walkAwayParms, d.walkUpParms, d.idleParms};
}

inline void store(const RecordSet& records)
{
    DeviceRecord& d = DeviceTable[0];
    d.tyvelParms = records.tyvel;
    d.walkAwayParms = records.walkAway;
    d.walkUpParms = records.walkUp;
    d.idleParms = records.idle;
}

inline bool sameRecords(const RecordSet& a, const RecordSet& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A read configuration in which nearly every field holds its own value.
inline RecordSet knownRecords()
{
    RecordSet r{};
    r.tyvel = tsTyvelParms{5, 600, 16, 14, 36, 10, 3, 2};
    r.walkAway = tsWalkAwayParms{2, 512, 8, 1, 2, 4, 16, 32, 1, 20, 15, 4, 5, 6, 7, -2};
    r.walkUp = tsWalkUpParms{1, 64, 64, 128, 3, 5, 6, 9, 2, 7, 40, 41, 42, 43, 44, 255};
    r.idle = tsIdleParms{11, 60, 17, 71, 0, 10, 30, -1};
    return r;
}

inline constexpr char kKnownTemplate[] =
    "/--- Tyvel Configuration Template File ---\r\n"
    ":Library Version: 5.5.1 \r\n"
    ":Device FW Version: 05.12 \r\n"
    "\r\n"
    "/ tsTyvelParms\r\n"
    "LEDFlagsS = 5     / LED usage flags\r\n"
    "PingRateS = 600     / Ping rate (msec) (min 200, max 1020)\r\n"
    "Reserved1S = 16     / 40KHz cycle cnt (READ ONLY)\r\n"
    "MinDistS = 14     / Minimum Distance acceptable (inches) (min 14, max 59)\r\n"
    "MaxDistS = 36     / Maximum Distance acceptable (inches) (min 15, max 60)\r\n"
    "ORDBTmS = 10     / debounce out of range time (sec/min)\r\n"
    "IRDBTmS = 3     / debounce in range time (sec/min)\r\n"
    "StartDlyS = 2     / cold start delay in seconds before joining USB\r\n"
    "\r\n"
    "/ tsWalkAwayParms\r\n"
    "KeyCountWA = 2     / Defined keys to follow (max 6 modifiers/keys)\r\n"
    "InterKeyDelayWA = 512     / dead time between key presses (msec) (min 64, max 16320)\r\n"
    "Key1ModsWA = 8     / Key Modifiers...\r\n"
    "Key2ModsWA = 1     / \r\n"
    "Key3ModsWA = 2     / \r\n"
    "Key4ModsWA = 4     / \r\n"
    "Key5ModsWA = 16     / \r\n"
    "Key6ModsWA = 32     / \r\n"
    "Flags0WA = 1     / see API header File\r\n"
    "MinFltRepRate = 20     / \r\n"
    "Key1CodeWA = 15     / Key Codes...\r\n"
    "Key2CodeWA = 4     / \r\n"
    "Key3CodeWA = 5     / \r\n"
    "Key4CodeWA = 6     / \r\n"
    "Key5CodeWA = 7     / \r\n"
    "Key6CodeWA = 65534     / \r\n"
    "\r\n"
    "/ tsWalkUpParms\r\n"
    "KeyCountWU = 1     / Defined keys to follow (max 6 modifiers/keys)\r\n"
    "InterKeyDelayWU = 64     / dead time between key presses (msec) (min 64, max 16320)\r\n"
    "Key1ModsWU = 64     / Key Modifiers...\r\n"
    "Key2ModsWU = 128     / \r\n"
    "Key3ModsWU = 3     / \r\n"
    "Key4ModsWU = 5     / \r\n"
    "Key5ModsWU = 6     / \r\n"
    "Key6ModsWU = 9     / \r\n"
    "Flags0WU = 2     / see API header File\r\n"
    "Reserved2WU = 7     / \r\n"
    "Key1CodeWU = 40     / Key Codes...\r\n"
    "Key2CodeWU = 41     / \r\n"
    "Key3CodeWU = 42     / \r\n"
    "Key4CodeWU = 43     / \r\n"
    "Key5CodeWU = 44     / \r\n"
    "Key6CodeWU = 255     / \r\n"
    "\r\n"
    "/ tsIdleParms\r\n"
    "Reserved1I = 11     / \r\n"
    "PressRateI = 60     / Periodic Press Rate (1 second units) - Zero disables (default)\r\n"
    "Key1ModsI = 17     / Key 1 modifier bit flags\r\n"
    "Key1CodeI = 71     / Key 1 code\r\n"
    "FlagsI = 0     / see API header File\r\n"
    "DMTODeltaI = 10     / DeadMan T0Delta, 3.472 * Distance (in) = DMTODelta\r\n"
    "DMTOTmI = 30     / DeadMan Time (seconds) - Time till Declared Dead while Deltas never exceeded\r\n"
    "TYBlankTmI = 65535     / Tyvel drive blanking time (43usec units)\r\n";

inline constexpr uint32_t kUntouchedWord = 0x12345;

// The active sensor holds a read configuration and nothing is marked changed.
class TemplateFileTest : public LibTest {
protected:
    void SetUp() override
    {
        LibTest::SetUp();
        DeviceTable[0].DID = 0x0512;
        DeviceTable[0].configValid = 1;
        store(knownRecords());
    }

    int32_t readText(const std::string& text)
    {
        const std::string path = folder / "in.txt";
        writeAll(path, text);
        return ReadDevCfgFmFile(path.c_str());
    }

    void expectNothingChanged()
    {
        EXPECT_TRUE(sameRecords(storedRecords(), knownRecords()));
        const DeviceRecord& d = DeviceTable[0];
        EXPECT_EQ(d.tyvelChanged + d.walkAwayChanged + d.walkUpChanged + d.idleChanged, 0);
        EXPECT_EQ(d.lastLibErr, kUntouchedWord);
    }

    // The folder "sub" and a path in the missing folder "no", which neither
    // the reader nor the writer can use.
    std::string subfolder()
    {
        fs::create_directory(folder.path() / "sub");
        return folder / "sub";
    }
    std::string inMissingFolder() const { return (folder.path() / "no" / "such.tpl").string(); }

    void expectReaderRefuses(std::initializer_list<const char*> paths)
    {
        for (const char* path : paths) {
            SetUp();
            DeviceTable[0].lastLibErr = kUntouchedWord;
            EXPECT_EQ(ReadDevCfgFmFile(path), 0) << (path ? path : "null");
            expectNothingChanged();
        }
    }

    // Each is refused, and nothing appears in "sub" or as "no".
    void expectWriterRefuses(std::initializer_list<const char*> paths)
    {
        for (const char* path : paths)
            EXPECT_EQ(WriteDevCfgToFile(path), 0) << (path ? path : "null");
        EXPECT_FALSE(fs::exists(folder / "no"));
        EXPECT_TRUE(fs::is_directory(folder / "sub"));
        EXPECT_TRUE(fs::is_empty(folder / "sub"));
    }

    ScratchFolder folder;
};

#endif
