#include "about/registry.h"
#include "about/sys_info.h"
#include "scripted_ui_seam.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace registry;

namespace {

const char kPathKey[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const char kFolderKey[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

// Starts only the programs it was told are installed, and keeps every path
// it was asked to start.
class ScriptedStart : public ProgramStart {
public:
    std::set<QString> installed;
    std::vector<QString> started;

    bool start(const QString& path) override
    {
        started.push_back(path);
        return installed.count(path) > 0;
    }
};

class Registry : public ::testing::Test {
protected:
    ~Registry() override { clearStore(); }

    static QString read(const char* key, const char* value, bool& found)
    {
        QString text = QStringLiteral("before");
        found = GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(key), QLatin1String(value), text);
        return text;
    }
};

class SystemInformation : public Registry {
protected:
    SystemInformation() { setProgramStart(&programs); }
    ~SystemInformation() override { setProgramStart(nullptr); }

    // The folder, as the registry would hold it, with MSINFO32.EXE in it.
    QString folderWithProgram()
    {
        QFile program(folder.filePath(QStringLiteral("MSINFO32.EXE")));
        program.open(QIODevice::WriteOnly);
        return QDir::toNativeSeparators(folder.path());
    }

    bool saidUnavailable() const
    {
        return ui.boxes.size() == 1 &&
               ui.boxes[0] == MessageBoxRequest{"System Information Is Unavailable At This Time", MessageButtons::Ok,
                                                MessageIcon::None, DefaultButton::First, "Tornel-Tyvel"};
    }

    QTemporaryDir folder;
    ScriptedUiSeam ui;
    ScriptedStart programs;
};

}  // namespace

TEST_F(Registry, ReadsATextValueIgnoringTheCaseOfNames)
{
    storeString(kPathKey, "PATH", "C:\\Program Files\\msinfo32.exe");
    bool found = false;

    EXPECT_EQ(read("software\\MICROSOFT\\shared tools\\msinfo", "path", found), "C:\\Program Files\\msinfo32.exe");
    EXPECT_TRUE(found);
}

TEST_F(Registry, ReadsTheTextUpToItsFirstZeroInTheWindowsCodePage)
{
    storeValue(kPathKey, "PATH", REG_SZ, {'c', 0xE9, 0x80, 0, 'x', 0});
    bool found = false;

    EXPECT_EQ(read(kPathKey, "PATH", found), QStringLiteral("c\u00E9\u20AC"));
    EXPECT_TRUE(found);
}

TEST_F(Registry, ValuesOfUpTo1024BytesCanBeRead)
{
    const std::string longest(1023, 'a');
    storeString(kPathKey, "fits", longest);
    storeString(kPathKey, "too long", longest + "a");
    bool found = false;

    EXPECT_EQ(read(kPathKey, "fits", found), QString::fromStdString(longest));
    EXPECT_TRUE(found);
    EXPECT_EQ(read(kPathKey, "too long", found), "");
    EXPECT_FALSE(found);
}

TEST_F(Registry, AnAnsweredSizeTooSmallGivesTheSizeNeeded)
{
    storeString(kPathKey, "PATH", "abc");
    RegKey key = 0;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPathKey, 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    std::uint8_t data[3] = {};
    std::uint32_t size = sizeof data;
    std::uint32_t type = 0;

    EXPECT_EQ(RegQueryValueExA(key, "PATH", nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExA(key, "PATH", nullptr, &type, data, &size), ERROR_INVALID_HANDLE);
}

TEST_F(Registry, ADwordReadsAsHexadecimalAndOtherTypesLeaveTheTextAlone)
{
    storeDword(kPathKey, "number", 0x1A0B);
    storeDword(kPathKey, "zero", 0);
    storeValue(kPathKey, "binary", 3, {1, 2, 3});
    bool found = false;

    EXPECT_EQ(read(kPathKey, "number", found), "&h1A0B");
    EXPECT_TRUE(found);
    EXPECT_EQ(read(kPathKey, "zero", found), "&h0");
    EXPECT_TRUE(found);
    EXPECT_EQ(read(kPathKey, "binary", found), "before");
    EXPECT_TRUE(found);
}

TEST_F(Registry, AMissingKeyOrValueGivesAnEmptyText)
{
    storeString(kPathKey, "other", "x");
    bool found = true;

    EXPECT_EQ(read(kFolderKey, "MSINFO", found), "");
    EXPECT_FALSE(found);
    EXPECT_EQ(read(kPathKey, "PATH", found), "");
    EXPECT_FALSE(found);
}

TEST_F(SystemInformation, StartsThePathValueUnchecked)
{
    storeString(kPathKey, "PATH", "C:\\tools\\msinfo32.exe");
    storeString(kFolderKey, "MSINFO", "C:\\elsewhere");
    programs.installed = {"C:\\tools\\msinfo32.exe"};

    StartSysInfo(ui);

    EXPECT_EQ(programs.started, std::vector<QString>{"C:\\tools\\msinfo32.exe"});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SystemInformation, APathThatCannotBeStartedIsUnavailable)
{
    storeString(kPathKey, "PATH", "C:\\gone\\msinfo32.exe");

    StartSysInfo(ui);

    EXPECT_EQ(programs.started, std::vector<QString>{"C:\\gone\\msinfo32.exe"});
    EXPECT_TRUE(saidUnavailable());
}

TEST_F(SystemInformation, APathOfAnotherTypeCountsAsReadButStartsNothing)
{
    storeValue(kPathKey, "PATH", 3, {'x', 0});
    storeString(kFolderKey, "MSINFO", folderWithProgram().toStdString());

    StartSysInfo(ui);

    EXPECT_EQ(programs.started, std::vector<QString>{""});
    EXPECT_TRUE(saidUnavailable());
}

TEST_F(SystemInformation, WithoutAPathStartsTheProgramInTheNamedFolder)
{
    const QString path = folderWithProgram() + QStringLiteral("\\MSINFO32.EXE");
    storeString(kFolderKey, "MSINFO", folderWithProgram().toStdString());
    programs.installed = {path};

    StartSysInfo(ui);

    EXPECT_EQ(programs.started, std::vector<QString>{path});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SystemInformation, AFolderEndingInABackslashGivesADoubledOne)
{
    const QString folderValue = folderWithProgram() + QStringLiteral("\\");
    storeString(kFolderKey, "MSINFO", folderValue.toStdString());
    programs.installed = {folderValue + QStringLiteral("\\MSINFO32.EXE")};

    StartSysInfo(ui);

    EXPECT_EQ(programs.started, std::vector<QString>{folderValue + QStringLiteral("\\MSINFO32.EXE")});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SystemInformation, AFolderWithoutTheProgramIsUnavailable)
{
    QDir(folder.path()).mkdir(QStringLiteral("MSINFO32.EXE"));
    storeString(kFolderKey, "MSINFO", QDir::toNativeSeparators(folder.path()).toStdString());

    StartSysInfo(ui);

    EXPECT_TRUE(programs.started.empty());
    EXPECT_TRUE(saidUnavailable());
}

TEST_F(SystemInformation, NeitherValueIsUnavailable)
{
    StartSysInfo(ui);

    EXPECT_TRUE(programs.started.empty());
    EXPECT_TRUE(saidUnavailable());
}

TEST(DirectorySearch, FindsPlainFilesIgnoringCaseAndSeparatorKind)
{
    QTemporaryDir folder;
    QFile(folder.filePath(QStringLiteral("msinfo32.exe"))).open(QIODevice::WriteOnly);
    QDir(folder.path()).mkdir(QStringLiteral("Folder.EXE"));
    const QString base = folder.path();

    EXPECT_EQ(findFirstFile(base + QStringLiteral("\\MSINFO32.EXE")), "msinfo32.exe");
    EXPECT_EQ(findFirstFile(base + QStringLiteral("/MSINFO32.EXE")), "msinfo32.exe");
    EXPECT_EQ(findFirstFile(base + QStringLiteral("\\\\MSINFO32.EXE")), "msinfo32.exe");
    EXPECT_EQ(findFirstFile(base + QStringLiteral("\\Folder.EXE")), "");
    EXPECT_EQ(findFirstFile(base + QStringLiteral("\\other.exe")), "");
    EXPECT_EQ(findFirstFile(base + QStringLiteral("\\")), "");
}
