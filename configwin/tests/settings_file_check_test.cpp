#include "settings_file_check.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

class SettingsBytes : public ::testing::Test {
protected:
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }

    QString put(const char* name, const QByteArray& bytes) const
    {
        QFile out(path(name));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path(name);
    }

    QTemporaryDir folder;
};

}  // namespace

TEST_F(SettingsBytes, ReadsARegularFileOrALinkToOne)
{
    const QString file = put("in.tyv", "\"36\"\r\n1\r\n");
    ASSERT_TRUE(QFile::link(file, path("link.tyv")));

    for (const QString& name : {file, path("link.tyv")}) {
        const FileBytes read = readSettingsBytes(name);
        EXPECT_EQ(read.problem, QString());
        EXPECT_EQ(read.bytes, "\"36\"\r\n1\r\n");
    }
}

// A FIFO with no writer would hold an ordinary open forever, and a device
// such as /dev/zero never ends.
TEST_F(SettingsBytes, RefusesAtOnceWhatIsNotARegularFile)
{
    ASSERT_EQ(mkfifo(path("fifo.tyv").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("fifo.tyv"), path("fifo-link.tyv")));
    for (const QString& name : {path("fifo.tyv"), path("fifo-link.tyv"), QStringLiteral("/dev/zero"), folder.path()}) {
        const FileBytes read = readSettingsBytes(name);
        EXPECT_EQ(read.problem, "cannot be opened: it is not a regular file.") << name.toStdString();
        EXPECT_TRUE(read.bytes.isEmpty());
    }
}

TEST_F(SettingsBytes, RefusesAFileLargerThanTheBound)
{
    const QString atBound = put("at.tyv", QByteArray(100, 'x'));
    const QString above = put("above.tyv", QByteArray(101, 'x'));

    EXPECT_EQ(readSettingsBytes(atBound, 100).bytes.size(), 100);
    const FileBytes read = readSettingsBytes(above, 100);
    EXPECT_EQ(read.problem, "was not loaded: it is larger than 100 bytes, which no settings file is.");
    EXPECT_TRUE(read.bytes.isEmpty());
    EXPECT_EQ(readSettingsBytes(put("big.tyv", QByteArray(kSettingsFileBound + 1, '\r'))).bytes.size(), 0);
    EXPECT_EQ(readSettingsBytes(put("max.tyv", QByteArray(kSettingsFileBound, '\r'))).bytes.size(), kSettingsFileBound);
}

TEST_F(SettingsBytes, NamesTheSystemsReasonWhenTheFileCannotBeOpened)
{
    EXPECT_EQ(readSettingsBytes(path("missing.tyv")).problem, "cannot be opened: No such file or directory.");
    EXPECT_EQ(readSettingsBytes(path("missing.tyv/in.tyv")).problem, "cannot be opened: No such file or directory.");
}

TEST(SettingsCheck, NamesTheFirstFaultyLine)
{
    const std::vector<LineForm> forms = {LineForm::Text, LineForm::State, LineForm::Text};
    const struct {
        QByteArray bytes;
        int line;
        LineFault fault;
    } cases[] = {
        {"", 1, LineFault::Missing},
        {"\"a\"\r\n1\r\n", 3, LineFault::Missing},
        {"\"a\"\n1\n\"b\"\n", 2, LineFault::Missing},
        {"\"\r\n1", 3, LineFault::Missing},
        {"\"\r\n1\r\n\"b\"", 1, LineFault::NotText},
        {"\"a\"\r\n\r\n\"b\"", 2, LineFault::NotState},
        {"\"a\"\r\n2\r\n\"\"", 2, LineFault::NotState},
        {"\"a\"\r\n0\r\n\r\n", 3, LineFault::NotText},
    };
    for (const auto& test : cases) {
        const CheckedSettings checked = checkSettingsFile(test.bytes, forms);
        EXPECT_EQ(checked.faultLine, test.line) << test.bytes.toStdString();
        EXPECT_EQ(checked.fault, test.fault) << test.bytes.toStdString();
        EXPECT_TRUE(checked.values.empty());
    }
}

TEST(SettingsCheck, GivesOneValuePerLineAndIgnoresWhatFollows)
{
    const CheckedSettings checked = checkSettingsFile("\"a\"b\"\r\n1\r\nxy\r\nmore\r\n",
                                                      {LineForm::Text, LineForm::State, LineForm::Text});

    EXPECT_EQ(checked.fault, LineFault::None);
    EXPECT_EQ(checked.faultLine, 0);
    EXPECT_EQ(checked.values, (std::vector<QString>{"a\"b", "1", ""}));
}
