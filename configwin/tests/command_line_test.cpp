#include "files/settings_file_check.h"
#include "run/command_line.h"
#include "scripted_ui_seam.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <ostream>
#include <vector>

namespace {

struct SplitCase {
    const char* argumentPart;
    int maxArgs;
    QStringList arguments;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << '"' << c.argumentPart << "\" at most " << c.maxArgs;
}

class SplitArguments : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitArguments, SeparatesAtBlanksAndTabsOnly)
{
    const SplitCase& c = GetParam();
    EXPECT_EQ(splitArguments(QString::fromLatin1(c.argumentPart), c.maxArgs), c.arguments);
}

INSTANTIATE_TEST_SUITE_P(Table, SplitArguments,
                         ::testing::Values(SplitCase{"", 10, {}}, SplitCase{" \t  \t", 10, {}},
                                           SplitCase{"  Default.tyv\t ", 10, {"Default.tyv"}},
                                           SplitCase{"a\tb  c", 10, {"a", "b", "c"}},
                                           SplitCase{"\"Default.tyv\"", 10, {"\"Default.tyv\""}},
                                           SplitCase{"\"my file.tyv\"", 10, {"\"my", "file.tyv\""}},
                                           // Only blanks and tabs separate.
                                           SplitCase{"a\nb\rc\vd", 10, {"a\nb\rc\vd"}},
                                           // The walk stops at the first character of one argument too many.
                                           SplitCase{"one two three four", 2, {"one", "two"}},
                                           SplitCase{"one two ", 2, {"one", "two"}}, SplitCase{"one", 0, {}}));

struct CommandLine : ::testing::Test {
    ScriptedUiSeam ui;
    QString settingsFile = QStringLiteral("left over");

    void TearDown() override { setArgumentPart(QString()); }

    bool read(const char* argumentPart)
    {
        setArgumentPart(QString::fromLatin1(argumentPart));
        return GetCommandLine(ui, settingsFile, 2);
    }
};

TEST_F(CommandLine, NoArgumentGivesAnEmptySettingsFile)
{
    for (const char* argumentPart : {"", " \t "}) {
        SCOPED_TRACE(argumentPart);
        settingsFile = QStringLiteral("left over");
        EXPECT_TRUE(read(argumentPart));
        EXPECT_EQ(settingsFile, "");
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CommandLine, OneArgumentIsTheSettingsFileWithItsQuotes)
{
    EXPECT_TRUE(read(" \"C:Default.tyv\"\t"));
    EXPECT_EQ(settingsFile, "\"C:Default.tyv\"");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CommandLine, TwoOrMoreArgumentsGiveOneMessageAndEndTheProgram)
{
    for (const char* argumentPart : {"a b", "a b c d e f g h i j k l", "\"my file.tyv\""}) {
        SCOPED_TRACE(argumentPart);
        ui.boxes.clear();
        EXPECT_FALSE(read(argumentPart));
        const MessageBoxRequest expected{"Wrong number of arguments, only 1 accepted", MessageButtons::Ok,
                                         MessageIcon::None, DefaultButton::First, "Tornel-Tyvel"};
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{expected});
    }
}

TEST(JoinArguments, JoinsWhatFollowsTheProgramNameWithSingleBlanks)
{
    const char* const none[] = {"Tornel-Tyvel-4-7"};
    EXPECT_EQ(joinArguments(1, none), "");
    const char* const some[] = {"Tornel-Tyvel-4-7", "-platform", "my file.tyv", "", "\u00e9"};
    EXPECT_EQ(joinArguments(5, some), QString::fromUtf8("-platform my file.tyv  \u00e9"));
}

TEST(JoinArguments, AnArgumentThatIsNotUtf8StillNamesItsFile)
{
    const QTemporaryDir folder;
    const QByteArray name = QFile::encodeName(folder.path()) + "/lat\xe9.tyv";
    const int file = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "\"36\"\r\n", 6), 6);
    ::close(file);
    const char* const arguments[] = {"Tornel-Tyvel-4-7", name.constData()};
    setArgumentPart(joinArguments(2, arguments));
    ScriptedUiSeam ui;
    QString settingsFile;

    ASSERT_TRUE(GetCommandLine(ui, settingsFile));
    setArgumentPart(QString());

    const FileBytes read = readSettingsBytes(settingsFile);
    EXPECT_EQ(read.problem, QString());
    EXPECT_EQ(read.bytes, "\"36\"\r\n");
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink(name.constData());
}

}  // namespace
