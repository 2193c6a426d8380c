#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "lib_fixture.h"
#include "template_file.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
public:
    ScratchFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "dravik-template-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
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
        for (const auto& entry : fs::directory_iterator(path_)) result.push_back(entry.path().filename().string());
        return result;
    }

private:
    fs::path path_;
};

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeAll(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

mode_t modeOf(const std::string& path)
{
    struct stat info{};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

ino_t inodeOf(const std::string& path)
{
    struct stat info{};
    stat(path.c_str(), &info);
    return info.st_ino;
}

// Runs action in a child process and returns its result. With unprivileged
// set, a root test run first becomes the user "nobody", so that permission
// bits apply; fileSizeLimit makes every write beyond that size fail.
int inChildProcess(const std::function<int()>& action, bool unprivileged, rlim_t fileSizeLimit = RLIM_INFINITY)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        if (fileSizeLimit != RLIM_INFINITY && setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(90);
        if (unprivileged && geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(91);
        _exit(action());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int16_t& fieldOf(RecordSet& records, int index) { return reinterpret_cast<int16_t*>(&records)[index]; }

int16_t fieldOf(const RecordSet& records, int index) { return reinterpret_cast<const int16_t*>(&records)[index]; }

int keyIndex(const char* key)
{
    for (int i = 0; i < kCfgKeyCount; ++i)
        if (std::strcmp(CfgKeyTable[i].key, key) == 0) return i;
    ADD_FAILURE() << "no key " << key;
    return 0;
}

RecordSet storedRecords()
{
    const DeviceRecord& d = DeviceTable[0];
    return RecordSet{d.tyvelParms, d.walkAwayParms, d.walkUpParms, d.idleParms};
}

void store(const RecordSet& records)
{
    DeviceRecord& d = DeviceTable[0];
    d.tyvelParms = records.tyvel;
    d.walkAwayParms = records.walkAway;
    d.walkUpParms = records.walkUp;
    d.idleParms = records.idle;
}

// A device on which every write fails. A root run makes its own node, so that
// a writer that wrongly replaced the device would not replace the system's.
std::string fullDevice(const ScratchFolder& folder)
{
    if (geteuid() != 0) return "/dev/full";
    const std::string node = folder / "full";
    if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) std::abort();
    return node;
}

bool sameRecords(const RecordSet& a, const RecordSet& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A read configuration in which nearly every field holds its own value.
RecordSet knownRecords()
{
    RecordSet r{};
    r.tyvel = tsTyvelParms{5, 600, 16, 14, 36, 10, 3, 2};
    r.walkAway = tsWalkAwayParms{2, 512, 8, 1, 2, 4, 16, 32, 1, 20, 15, 4, 5, 6, 7, -2};
    r.walkUp = tsWalkUpParms{1, 64, 64, 128, 3, 5, 6, 9, 2, 7, 40, 41, 42, 43, 44, 255};
    r.idle = tsIdleParms{11, 60, 17, 71, 0, 10, 30, -1};
    return r;
}

const char kKnownTemplate[] =
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

constexpr uint32_t kUntouchedWord = 0x12345;

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

    ScratchFolder folder;
};

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
    for (int i = 0; i < kCfgKeyCount; ++i) fieldOf(written, i) = static_cast<int16_t>(i * 1297 - 31000);
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
    const std::string header =
        "/--- Tyvel Configuration Template File ---\r\n:Library Version: 5.5.1 \r\n"
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
        {"\x1f\x80\xff" "MaxDistS 40\n", "MaxDistS", 40},
        {"\xEF\xBB\xBF" "MaxDistS = 40\r\n", "MaxDistS", 40},
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
        EXPECT_TRUE(sameRecords(stored, expected))
            << c.text << "\n" << c.key << " is " << fieldOf(stored, keyIndex(c.key));
    }
}

TEST_F(TemplateFileTest, EveryKeyNamesItsOwnField)
{
    for (int i = 0; i < kCfgKeyCount; ++i) {
        RecordSet records{};
        std::string upper = CfgKeyTable[i].key;
        for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
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

TEST_F(TemplateFileTest, ReaderRefusesPathsThatAreNoReadableRegularFile)
{
    const std::string subfolder = folder / "sub";
    fs::create_directory(subfolder);
    const std::string missing = folder / "missing.tpl";
    const std::string inMissingFolder = folder / "no/such.tpl";
    const char* const paths[] = {
        nullptr,
        "",
        missing.c_str(),
        inMissingFolder.c_str(),
        subfolder.c_str(),
        "/dev/null",
        "/proc/self/mem",  // opens, and its first read fails
    };
    for (const char* path : paths) {
        SetUp();
        DeviceTable[0].lastLibErr = kUntouchedWord;
        EXPECT_EQ(ReadDevCfgFmFile(path), 0) << (path ? path : "null");
        expectNothingChanged();
    }
}

TEST_F(TemplateFileTest, WriterRefusesPathsItCannotCreate)
{
    const std::string subfolder = folder / "sub";
    fs::create_directory(subfolder);
    const std::string inMissingFolder = folder / "no/such.tpl";
    const std::string full = fullDevice(folder);
    const char* const paths[] = {nullptr, "", inMissingFolder.c_str(), subfolder.c_str(), full.c_str()};
    for (const char* path : paths) {
        EXPECT_EQ(WriteDevCfgToFile(path), 0) << (path ? path : "null");
    }
    EXPECT_FALSE(fs::exists(folder / "no"));
    EXPECT_TRUE(fs::is_directory(subfolder));
    EXPECT_TRUE(fs::is_empty(subfolder));
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_LE(folder.names().size(), 2u);
}

TEST_F(TemplateFileTest, ReplacedFileKeepsItsPermissionsAndLeavesNoTemporary)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    chmod(path.c_str(), 0604);
    ASSERT_EQ(WriteDevCfgToFile(path.c_str()), 1);
    EXPECT_EQ(readAll(path), kKnownTemplate);
    EXPECT_EQ(modeOf(path), 0604u);
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
}

TEST_F(TemplateFileTest, NewFileTakesThePermissionsTheUmaskAllows)
{
    const std::string path = folder / "new.tpl";
    const mode_t previous = umask(027);
    const int32_t result = WriteDevCfgToFile(path.c_str());
    umask(previous);
    ASSERT_EQ(result, 1);
    EXPECT_EQ(modeOf(path), 0640u);
}

TEST_F(TemplateFileTest, SymbolicLinkIsWrittenThroughToItsTarget)
{
    fs::create_directory(folder.path() / "real");
    const std::string target = folder / "real/cfg.tpl";
    writeAll(target, "old\n");
    chmod(target.c_str(), 0600);
    const std::string link = folder / "link.tpl";
    fs::create_symlink("real/cfg.tpl", link);
    const std::string dangling = folder / "dangling.tpl";
    fs::create_symlink("real/later.tpl", dangling);

    ASSERT_EQ(WriteDevCfgToFile(link.c_str()), 1);
    ASSERT_EQ(WriteDevCfgToFile(dangling.c_str()), 1);

    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), "real/cfg.tpl");
    EXPECT_EQ(readAll(target), kKnownTemplate);
    EXPECT_EQ(modeOf(target), 0600u);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(readAll(folder / "real/later.tpl"), kKnownTemplate);
}

TEST_F(TemplateFileTest, FailedWriteLeavesTheExistingFileIntact)
{
    const std::string path = folder / "cfg.tpl";
    writeAll(path, "old\n");
    const int result = inChildProcess([&] { return WriteDevCfgToFile(path.c_str()); }, false, 64);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(readAll(path), "old\n");
    EXPECT_EQ(folder.names(), std::vector<std::string>{"cfg.tpl"});
}

TEST_F(TemplateFileTest, FileInAFolderWithoutWriteAccessIsWrittenInPlace)
{
    const std::string writable = folder / "writable.tpl";
    const std::string readOnly = folder / "readonly.tpl";
    writeAll(writable, "old\n");
    writeAll(readOnly, "old\n");
    chmod(writable.c_str(), 0666);
    chmod(readOnly.c_str(), 0444);
    const ino_t inode = inodeOf(writable);
    chmod(folder.path().c_str(), 0555);

    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(writable.c_str()); }, true), 1);
    EXPECT_EQ(readAll(writable), kKnownTemplate);
    EXPECT_EQ(inodeOf(writable), inode);
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(readOnly.c_str()); }, true), 0);
    EXPECT_EQ(readAll(readOnly), "old\n");
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile(writable.c_str()); }, true, 64), 0);
    EXPECT_EQ(inChildProcess([&] { return WriteDevCfgToFile((folder / "new.tpl").c_str()); }, true), 0);
    EXPECT_EQ(folder.names().size(), 2u);
}

}  // namespace
