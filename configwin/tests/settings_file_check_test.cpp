#include "file_probes.h"
#include "files/settings_file_check.h"
#include "text/system_text.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

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

TEST_F(SettingsBytes, NeverOpensAFifoOrADevice)
{
    std::vector<QString> files = {path("fifo.tyv")};
    ASSERT_EQ(mkfifo(path("fifo.tyv").toLocal8Bit().constData(), 0600), 0);
    // A device node of its own, so that no other process opens it meanwhile;
    // only root may make one.
    if (mknod(path("null.tyv").toLocal8Bit().constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        files.push_back(path("null.tyv"));
    else
        std::printf("No device node could be made here (%s): only the FIFO is tried.\n", std::strerror(errno));
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const OpenWatch watch(name);

        EXPECT_EQ(readSettingsBytes(name).problem, "cannot be opened: it is not a regular file.");

        EXPECT_FALSE(watch.opened());
    }
}

// Not being allowed to open a FIFO says nothing about what it is.
TEST_F(SettingsBytes, AnUnreadableFifoIsStillNotARegularFile)
{
    ASSERT_EQ(chmod(folder.path().toLocal8Bit().constData(), 0755), 0);
    ASSERT_EQ(mkfifo(path("locked.tyv").toLocal8Bit().constData(), 0000), 0);
    const QByteArray problem = inChild([this] {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            return QByteArray("<could not drop root>");
        if (::open(path("locked.tyv").toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK) >= 0 || errno != EACCES)
            return QByteArray("<the FIFO could be opened>");
        return readSettingsBytes(path("locked.tyv")).problem.toUtf8();
    });
    EXPECT_EQ(problem, "cannot be opened: it is not a regular file.");
}

TEST_F(SettingsBytes, ReadsTwoMebibytesAndRefusesOneByteMore)
{
    const FileBytes atBound = readSettingsBytes(put("max.tyv", QByteArray(2097152, '"')));
    const FileBytes above = readSettingsBytes(put("over.tyv", QByteArray(2097153, '"')));

    EXPECT_EQ(atBound.problem, QString());
    EXPECT_EQ(atBound.bytes, QByteArray(2097152, '"'));
    EXPECT_EQ(above.problem, "was not loaded: it is larger than 2097152 bytes, which no settings file is.");
    EXPECT_TRUE(above.bytes.isEmpty());
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

// A file dialog shows a name that is not UTF-8 with U+FFFD in place of the
// bytes it cannot read, and gives that name back.
TEST_F(SettingsBytes, SaysWhenANameHeldCharactersThatCouldNotBeRead)
{
    const QByteArray latin1 = QFile::encodeName(folder.path()) + "/lat\xe9.tyv";
    const int file = ::open(latin1.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(file, 0);
    ::close(file);

    EXPECT_EQ(readSettingsBytes(folder.filePath(QStringLiteral("lat\uFFFD.tyv"))).problem,
              "cannot be opened: its name could not be read as text.");
    // QTemporaryDir cannot remove a name that is not UTF-8.
    ::unlink(latin1.constData());
}

TEST(SystemText, KeepsEveryByteOfANameThroughTheText)
{
    const struct {
        QByteArray bytes;
        const char16_t* text;
    } cases[] = {
        {"Default.tyv", u"Default.tyv"},
        {"caf\xc3\xa9 \xf0\x9f\x98\x80.tyv", u"caf\u00e9 \U0001F600.tyv"},
        // Beyond the BMP, its second half U+DCA0, which alone stands for the byte 0xA0.
        {"\xf0\x9f\x82\xa0.tyv", u"\U0001F0A0.tyv"},
        {"lat\xe9.tyv", u"lat\xDCE9.tyv"},
        // Cut short, a surrogate's own encoding, an overlong slash, a stray continuation.
        {"\xc3", u"\xDCC3"},
        {"\xed\xb3\xa9", u"\xDCED\xDCB3\xDCA9"},
        {"\xc0\xaf", u"\xDCC0\xDCAF"},
        {"a\x80\xc3\xa9", u"a\xDC80\u00e9"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.bytes.toStdString());
        EXPECT_EQ(systemText(test.bytes), QString::fromUtf16(test.text));
        EXPECT_EQ(systemBytes(QString::fromUtf16(test.text)), test.bytes);
    }
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
        {"\"a\"\n1\n\"b\"\n", 1, LineFault::LfLineEnds},
        {"\n", 1, LineFault::LfLineEnds},
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
