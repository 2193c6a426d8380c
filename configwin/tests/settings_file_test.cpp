#include "capabilities.h"
#include "file_probes.h"
#include "files/settings_file.h"
#include "files/settings_file_check.h"
#include "files/settings_layout.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "interposed_file_calls.h"
#include "planted_links.h"
#include "save_cases.h"
#include "scripted_ui_seam.h"
#include "small_file_system.h"
#include "widgets/check_value.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

// The text lines of the file and the control each holds, by line number.
std::map<int, QString> textLines()
{
    std::map<int, QString> lines;
    for (const SettingsFileLine& line : settingsFileLines())
        if (line.form == LineForm::Text)
            lines[line.number] = line.control;
    return lines;
}

const std::map<int, QString> kTextLines = textLines();

// Some state lines and their boxes: the LED boxes, and the first and last
// slot of each modifier group.
const std::map<int, const char*> kSomeStateLines = {
    {5, "bNoShowORLED"},     {6, "bNoShowXtLED"},  {7, "bNoShowIRLED"},    {8, "Check1"},
    {18, "Key1Mods2_0"},     {23, "Key1Mods2_5"},  {29, "Key1Mods2_11"},   {30, "Key1Mods1_0"},
    {41, "Key1Mods1_11"},    {42, "Key1Mods4_0"},  {53, "Key1Mods4_11"},   {54, "Key1Mods8_0"},
    {65, "Key1Mods8_11"},    {66, "Key1Mods32_0"}, {77, "Key1Mods32_11"},  {78, "Key1Mods16_0"},
    {89, "Key1Mods16_11"},   {90, "Key1Mods64_0"}, {101, "Key1Mods64_11"}, {102, "Key1Mods128_0"},
    {113, "Key1Mods128_11"},
};

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile()
    {
        connectHandlers(form);
        // Nothing here is compared with a sensor.
        form.FirstLoad = 1;
        QDir::setCurrent(folder.path());
    }
    ~SettingsFile() override { QDir::setCurrent(startFolder); }

    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }

    static QByteArray contents(const QString& file)
    {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray("<missing>");
    }

    static void put(const QString& file, const QByteArray& bytes)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    void setText(const QString& name, const QString& text)
    {
        QWidget* control = controlNamed(form, name);
        if (auto* list = qobject_cast<QComboBox*>(control))
            list->setEditText(text);
        else
            qobject_cast<QLineEdit*>(control)->setText(text);
    }

    QString textOf(const QString& name) const
    {
        QWidget* control = controlNamed(form, name);
        if (auto* list = qobject_cast<QComboBox*>(control))
            return list->currentText();
        return qobject_cast<QLineEdit*>(control)->text();
    }

    QCheckBox& box(const char* name) { return *form.findChild<QCheckBox*>(QLatin1String(name)); }

    // A save's result, boxes, target and the target's folder, as one text
    // that a child process can hand back.
    QByteArray saveOutcome(const QString& target)
    {
        QByteArray outcome = saveSettingsFile(form, target) ? "saved\n" : "not saved\n";
        for (const MessageBoxRequest& shown : ui.boxes)
            outcome += shown.text.toUtf8() + '\n';
        const QStringList entries =
            QFileInfo(target).dir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden, QDir::Name);
        return outcome + "target: " + contents(target) + "\nfolder: " + entries.join(QLatin1Char(' ')).toUtf8();
    }

    // Every text line holds its control's name, but the delays, which must
    // stay within their limits.
    void fillTexts()
    {
        for (const auto& [line, name] : kTextLines)
            if (line != 15 && line != 17)
                setText(name, name);
        setText("InterKeyDelay", QStringLiteral("1024"));
        setText("InterKeyDelayUp", QStringLiteral("2048"));
    }

    static QByteArray fileOf(const std::vector<QByteArray>& lines)
    {
        QByteArray bytes;
        for (const QByteArray& line : lines)
            bytes += line + "\r\n";
        return bytes;
    }

    // A file whose text lines hold `text`, but the delays 1000, and whose
    // state lines are all 0.
    static std::vector<QByteArray> plainLines(const QByteArray& text = "\"x\"")
    {
        std::vector<QByteArray> lines(kSettingsFileLines, "0");
        for (const auto& [line, name] : kTextLines)
            lines[line - 1] = text;
        lines[14] = lines[16] = "\"1000\"";
        return lines;
    }

    QString startFolder = QDir::currentPath();
    QTemporaryDir folder;
    ScriptedUiSeam ui;
    Form1 form{ui};
};

}  // namespace

TEST_F(SettingsFile, WritesTheControlsInTheirLinesEachEndedByCrLf)
{
    fillTexts();
    for (const auto& [line, name] : kSomeStateLines)
        setCheckValue(box(name), line % 2);

    ASSERT_TRUE(saveSettingsFile(form, path("all.tyv")));

    const QByteArray bytes = contents(path("all.tyv"));
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    ASSERT_EQ(lines.size(), kSettingsFileLines);
    for (int number = 1; number <= kSettingsFileLines; ++number) {
        SCOPED_TRACE(number);
        QByteArray expected = "0";
        if (auto text = kTextLines.find(number); text != kTextLines.end())
            expected = '"' + textOf(text->second).toLatin1() + '"';
        else if (kSomeStateLines.count(number))
            expected = QByteArray::number(number % 2);
        EXPECT_EQ(lines[number - 1], expected + (number < kSettingsFileLines ? "\r" : ""));
    }
    EXPECT_EQ(lines[0], "\"MaxDist\"\r");
    EXPECT_EQ(lines[14], "\"1024\"\r");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, WritesTextsUnescapedInWindowsCodePage)
{
    const std::pair<QString, QByteArray> cases[] = {
        {QString(), "\"\""},
        {QStringLiteral("  36 "), "\"  36 \""},
        {QStringLiteral("say \"hi\""), "\"say \"hi\"\""},
        {QStringLiteral("\"\""), "\"\"\"\""},
        {QStringLiteral("caf\u00E9 \u20AC5 \u2122"), "\"caf\xE9 \x80"
                                                     "5 \x99\""},
    };
    for (const auto& [text, line] : cases) {
        SCOPED_TRACE(text.toStdString());
        form.MaxDist->setText(text);
        ASSERT_TRUE(saveSettingsFile(form, path("texts.tyv")));
        EXPECT_TRUE(contents(path("texts.tyv")).startsWith(line + "\r\n"));
    }
}

// A CR would end its line early and shift every line after it.
TEST_F(SettingsFile, RefusesATextAFileCannotHoldAndKeepsTheOldFile)
{
    const struct {
        QComboBox* list;
        QLineEdit* text;
        QString value;
        const char* field;
    } cases[] = {
        {form.Combo3, nullptr, QStringLiteral("\u0100"), "the key name of walk-away keystroke 3 (Combo3)"},
        {nullptr, form.MaxDist, QStringLiteral("3\r6"), "the detection range (MaxDist)"},
        {form.Combo11, nullptr, QStringLiteral("\r"), "the key name of walk-up keystroke 5 (Combo11)"},
    };
    put(path("kept.tyv"), "old contents");
    for (const auto& test : cases) {
        SCOPED_TRACE(test.field);
        ui.boxes.clear();
        if (test.list)
            test.list->setEditText(test.value);
        else
            test.text->setText(test.value);

        EXPECT_FALSE(saveSettingsFile(form, path("kept.tyv")));

        EXPECT_EQ(contents(path("kept.tyv")), "old contents");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                  QStringList{"kept.tyv"});
        EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                                {QStringLiteral("The settings were not saved: %1 holds a character that a "
                                                "settings file cannot hold.")
                                     .arg(QLatin1String(test.field)),
                                 MessageButtons::Ok, MessageIcon::Critical, DefaultButton::First, "Tornel-Tyvel"}}));
        if (test.list)
            test.list->setEditText(QString());
        else
            test.text->setText(QStringLiteral("36"));
    }
}

TEST_F(SettingsFile, ReportsAFileThatCannotBeWritten)
{
    const QString target = path("no such folder/x.tyv");

    EXPECT_FALSE(saveSettingsFile(form, target));

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(ui.boxes[0].text.startsWith(QStringLiteral("The settings file \"%1\" cannot be written: ").arg(target)))
        << ui.boxes[0].text.toStdString();
    EXPECT_EQ(ui.boxes[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(QFile::exists(target));
}

namespace {

// Mounts a file system of one page on `folder`, seen by this process alone;
// an empty text, or why it could not.
QString mountOnePageFileSystem(const QString& folder)
{
    return QString::fromLocal8Bit(mountSmallFileSystem(QFile::encodeName(folder).toStdString(), "4k").c_str());
}

}  // namespace

// The old file must outlive a save that fails half way, as one on a full
// disk or over the size limit does.
TEST_F(SettingsFile, ASaveThatCannotBeWrittenWholeKeepsTheOldFile)
{
    const QByteArray old = contents(QStringLiteral(TORNEL_EXAMPLES_DIR "/Default.tyv"));
    ASSERT_FALSE(old.isEmpty());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("limited")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("full")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("in-place")));
    // Each prepares a child for a save to `target` over the old file.
    const struct {
        const char* cause;
        QString target;
        std::function<QString()> prepare;
    } cases[] = {
        {"File too large", path("limited/Default.tyv"),
         [&] {
             put(path("limited/Default.tyv"), old);
             // As a program starts: a write past the limit would end it.
             std::signal(SIGXFSZ, SIG_DFL);
             const rlimit limit{100, 100};
             return setrlimit(RLIMIT_FSIZE, &limit) == 0 ? QString() : QStringLiteral("no size limit");
         }},
        {"No space left on device", path("full/Default.tyv"),
         [&] {
             const QString unready = mountOnePageFileSystem(path("full"));
             if (unready.isEmpty())
                 put(path("full/Default.tyv"), old);
             return unready;
         }},
        // Written in place, and more than the page the old file has.
        {"No space left on device", path("in-place/Default.tyv"),
         [&] {
             const QString unready = mountOnePageFileSystem(path("in-place"));
             if (!unready.isEmpty())
                 return unready;
             put(path("in-place/Default.tyv"), old);
             form.MaxDist->setText(QString(5000, QLatin1Char('9')));
             const bool noNewFiles = chmod(QFile::encodeName(path("in-place")).constData(), 0555) == 0;
             return noNewFiles && dropCapabilities(kEveryCapability) ? QString()
                                                                     : QStringLiteral("no read-only folder");
         }},
    };
    form.MaxDist->setText(QStringLiteral("59"));
    for (const auto& test : cases) {
        SCOPED_TRACE(test.cause);
        const QByteArray outcome = inChild([&] {
            const QString unready = test.prepare();
            return unready.isEmpty() ? saveOutcome(test.target) : "skipped: " + unready.toUtf8();
        });
        if (outcome.startsWith("skipped: "))
            GTEST_SKIP() << outcome.constData();

        EXPECT_EQ(outcome.toStdString(), QStringLiteral("not saved\nThe settings file \"%1\" cannot be written: %2.\n"
                                                        "target: %3\nfolder: Default.tyv")
                                             .arg(test.target, QLatin1String(test.cause), QString::fromLatin1(old))
                                             .toStdString());
    }
}

TEST_F(SettingsFile, SavingRefusesWhatIsNotARegularFileWithoutOpeningIt)
{
    ASSERT_EQ(mkfifo(path("fifo.tyv").toLocal8Bit().constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("fifo.tyv"), path("fifo-link.tyv")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("folder.tyv")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("Default.tyv")));
    const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path("socket.tyv").toLocal8Bit().constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    std::vector<QString> targets = {path("fifo.tyv"), path("fifo-link.tyv"), path("folder.tyv"), path("socket.tyv")};
    // Only root may make a device node.
    if (mknod(path("null.tyv").toLocal8Bit().constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        targets.push_back(path("null.tyv"));
    else
        std::printf("No device node could be made here (%s): no device is tried.\n", std::strerror(errno));
    const auto kind = [](const QString& file) {
        struct stat status {};
        return lstat(file.toLocal8Bit().constData(), &status) == 0 ? status.st_mode : 0;
    };

    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        ui.boxes.clear();
        const mode_t before = kind(target);
        const OpenWatch watch(target);

        EXPECT_FALSE(saveSettingsFile(form, target));

        EXPECT_FALSE(watch.opened());
        EXPECT_EQ(kind(target), before);
        EXPECT_EQ(
            ui.boxes,
            (std::vector<MessageBoxRequest>{
                {QStringLiteral("The settings file \"%1\" cannot be written: it is not a regular file.").arg(target),
                 MessageButtons::Ok, MessageIcon::Critical}}));
    }
    ui.boxes.clear();
    form.Save->trigger();
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                            {"The settings file \"Default.tyv\" cannot be written: it is not a regular file.",
                             MessageButtons::Ok, MessageIcon::Critical}}));
    ::close(listener);
}

TEST_F(SettingsFile, AReplacedFileKeepsItsPermissionBitsAndANewOneFollowsTheUmask)
{
    ASSERT_TRUE(saveSettingsFile(form, path("fresh.tyv")));
    // Only root may write a read-only file.
    std::vector<mode_t> modes = {0600, 0640, 0751};
    if (geteuid() == 0)
        modes.push_back(0444);
    for (const mode_t mode : modes) {
        SCOPED_TRACE(mode);
        put(path("kept.tyv"), "old contents");
        ASSERT_EQ(chmod(path("kept.tyv").toLocal8Bit().constData(), mode), 0);

        EXPECT_TRUE(saveSettingsFile(form, path("kept.tyv")));

        struct stat status {};
        ASSERT_EQ(stat(path("kept.tyv").toLocal8Bit().constData(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, mode);
        EXPECT_EQ(contents(path("kept.tyv")), contents(path("fresh.tyv")));
        ASSERT_EQ(chmod(path("kept.tyv").toLocal8Bit().constData(), 0600), 0);
    }
    const mode_t umaskBefore = umask(027);
    EXPECT_TRUE(saveSettingsFile(form, path("new.tyv")));
    umask(umaskBefore);
    struct stat status {};
    ASSERT_EQ(stat(path("new.tyv").toLocal8Bit().constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, SavingThroughALinkReplacesTheFileItNames)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("real")));
    put(path("real/settings.tyv"), "old contents");
    ASSERT_TRUE(QFile::link(QStringLiteral("real/settings.tyv"), path("link.tyv")));
    form.MaxDist->setText(QStringLiteral("59"));

    EXPECT_TRUE(saveSettingsFile(form, path("link.tyv")));

    EXPECT_EQ(QFileInfo(path("link.tyv")).symLinkTarget(), path("real/settings.tyv"));
    EXPECT_TRUE(contents(path("real/settings.tyv")).startsWith("\"59\"\r\n"));
    EXPECT_EQ(QDir(path("real")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{"settings.tyv"});
}

TEST_F(SettingsFile, SavingThroughALinkToNoFileCreatesTheFileItNames)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("real")));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/later.tyv"), path("link.tyv")));
    form.MaxDist->setText(QStringLiteral("59"));

    EXPECT_TRUE(saveSettingsFile(form, path("link.tyv")));

    EXPECT_EQ(QFileInfo(path("link.tyv")).symLinkTarget(), path("real/later.tyv"));
    EXPECT_TRUE(contents(path("real/later.tyv")).startsWith("\"59\"\r\n"));
    EXPECT_TRUE(ui.boxes.empty());
}

// A link another user planted in /tmp must not lure root into replacing a
// file of the link's choice, whatever fs.protected_symlinks says.
TEST_F(SettingsFile, SavingFollowsALinkInAStickyWorldWritableFolderOnlyFromTheUserOrTheFolderOwner)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    form.MaxDist->setText(QStringLiteral("59"));
    int index = 0;
    for (const PlantedLink& planted : kPlantedLinks) {
        SCOPED_TRACE(planted.name);
        ui.boxes.clear();
        const QString real = path("real") + QString::number(index);
        const QString shared = path("shared") + QString::number(index++);
        ASSERT_TRUE(QDir().mkdir(real));
        put(real + "/Default.tyv", "root's own file");
        std::string saved;
        ASSERT_NO_FATAL_FAILURE(plantLinks(planted, QFile::encodeName(shared).toStdString(),
                                           QFile::encodeName(real).toStdString(), "Default.tyv", saved));
        const QDir::Filters entries = QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden | QDir::System;
        const QStringList links = QDir(shared).entryList(entries);
        QDir::setCurrent(shared);
        const QString target = QString::fromStdString(saved);

        EXPECT_EQ(saveSettingsFile(form, target), planted.followed);

        if (planted.followed) {
            EXPECT_TRUE(contents(real + "/Default.tyv").startsWith("\"59\"\r\n"));
            EXPECT_TRUE(ui.boxes.empty());
        } else {
            EXPECT_EQ(contents(real + "/Default.tyv"), "root's own file");
            EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                                    {QStringLiteral("The settings file \"%1\" cannot be written: it is reached through "
                                                    "a symbolic link another user made in a shared folder.")
                                         .arg(target),
                                     MessageButtons::Ok, MessageIcon::Critical}}));
        }
        EXPECT_EQ(QDir(real).entryList(entries), QStringList{"Default.tyv"});
        EXPECT_EQ(QDir(shared).entryList(entries), links);
    }
}

TEST_F(SettingsFile, AFileRootSavesOverKeepsItsOwnerGroupAndMode)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can save over another user's file";
    put(path("kept.tyv"), "old contents");
    const QByteArray name = QFile::encodeName(path("kept.tyv"));
    ASSERT_EQ(chown(name.constData(), kOtherUser, kOtherUser), 0);
    ASSERT_EQ(chmod(name.constData(), 0640), 0);
    form.MaxDist->setText(QStringLiteral("59"));

    EXPECT_TRUE(saveSettingsFile(form, path("kept.tyv")));

    struct stat status {};
    ASSERT_EQ(stat(name.constData(), &status), 0);
    EXPECT_EQ(status.st_uid, kOtherUser);
    EXPECT_EQ(status.st_gid, kOtherUser);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    EXPECT_TRUE(contents(path("kept.tyv")).startsWith("\"59\"\r\n"));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, SavingKeepsWhatTheOldFileHadWhereverItSaves)
{
    form.MaxDist->setText(QStringLiteral("59"));
    ASSERT_TRUE(saveSettingsFile(form, path("fresh.tyv")));
    const auto save = [this](const std::string& target) {
        ui.boxes.clear();
        SaveOutcome outcome{saveSettingsFile(form, QString::fromStdString(target)), {}};
        for (const MessageBoxRequest& shown : ui.boxes)
            outcome.message += shown.text.toStdString();
        return outcome;
    };
    const auto refusal = [](const std::string& target, const std::string& cause) {
        return "The settings file \"" + target + "\" cannot be written: " + cause + ".";
    };
    expectEverySaveCase({save, contents(path("fresh.tyv")).toStdString(), refusal});
}

TEST_F(SettingsFile, SaveAsTakesTheLongestNameTheFolderTakes)
{
    const long longest = pathconf(QFile::encodeName(folder.path()).constData(), _PC_NAME_MAX);
    ASSERT_GT(longest, 8);
    const QString name = QString(longest - 4, QLatin1Char('n')) + QStringLiteral(".tyv");
    ui.fileChoices = {path(name.toLatin1().constData()), path(name.toLatin1().constData())};
    form.MaxDist->setText(QStringLiteral("59"));

    form.SaveAs->trigger();
    put(path(name.toLatin1().constData()), "old contents");
    form.SaveAs->trigger();

    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(contents(path(name.toLatin1().constData())).startsWith("\"59\"\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList{name});
}

// A disk that fails to keep the bytes says so only at the flush or the close.
TEST_F(SettingsFile, AFailedFlushOrCloseOfTheNewFileKeepsTheOldFile)
{
    for (const FileCall call : {FileCall::Fsync, FileCall::Close}) {
        SCOPED_TRACE(call == FileCall::Fsync ? "fsync" : "close");
        ui.boxes.clear();
        put(path("Default.tyv"), "old contents");
        {
            const InterposedFileCall failing(call, QFile::encodeName(folder.path()).toStdString(), [] { return EIO; });
            form.Save->trigger();
        }

        EXPECT_EQ(contents(path("Default.tyv")), "old contents");
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                  QStringList{"Default.tyv"});
        EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                                {"The settings file \"Default.tyv\" cannot be written: Input/output error.",
                                 MessageButtons::Ok, MessageIcon::Critical}}));
    }
}

// Killed half way, a save leaves the old file alone and nothing beside it,
// and the program still ends as the signal asks; an ignored signal (as
// under nohup) changes nothing.
TEST_F(SettingsFile, ASaveASignalEndsLeavesTheOldFileAndNothingElse)
{
    const struct {
        int signal;
        void (*disposition)(int);
    } cases[] = {{SIGTERM, SIG_DFL}, {SIGINT, SIG_DFL}, {SIGHUP, SIG_DFL}, {SIGHUP, SIG_IGN}};
    form.MaxDist->setText(QStringLiteral("59"));
    for (const auto& test : cases) {
        const bool ignored = test.disposition == SIG_IGN;
        SCOPED_TRACE(std::string(strsignal(test.signal)) + (ignored ? ", ignored" : ""));
        put(path("Default.tyv"), "old contents");
        int inSave[2];
        int go[2];
        ASSERT_EQ(pipe(inSave), 0);
        ASSERT_EQ(pipe(go), 0);
        const pid_t child = fork();
        if (child == 0) {
            std::signal(test.signal, test.disposition);
            // The window's process has other threads, which a signal to the
            // process reaches when the saving thread blocks it.
            std::thread([] {
                for (;;)
                    pause();
            }).detach();
            // The save waits in its flush until the parent has sent the signal.
            const InterposedFileCall slowed(FileCall::Fsync, QFile::encodeName(folder.path()).toStdString(), [&] {
                char byte = 0;
                return ::write(inSave[1], &byte, 1) == 1 && ::read(go[0], &byte, 1) == 1 ? 0 : EIO;
            });
            form.Save->trigger();
            _exit(ui.boxes.empty() ? 0 : 1);
        }
        ::close(inSave[1]);
        ::close(go[0]);
        char byte = 0;
        const bool inTheSave = ::read(inSave[0], &byte, 1) == 1;
        const bool signalled = inTheSave && kill(child, test.signal) == 0;
        const bool resumed = signalled && ::write(go[1], &byte, 1) == 1;
        ::close(inSave[0]);
        ::close(go[1]);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(resumed) << "the save did not reach its flush";

        if (ignored) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            EXPECT_TRUE(contents(path("Default.tyv")).startsWith("\"59\"\r\n"));
        } else {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == test.signal) << status;
            EXPECT_EQ(contents(path("Default.tyv")), "old contents");
        }
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                  QStringList{"Default.tyv"});
    }
}

TEST_F(SettingsFile, SaveWritesDefaultInTheCurrentFolderWithoutAsking)
{
    put(path("Default.tyv"), "older settings");
    form.MaxDist->setText(QStringLiteral("40"));

    form.Save->trigger();

    EXPECT_TRUE(contents(path("Default.tyv")).startsWith("\"40\"\r\n"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(ui.fileDialogs.empty());
}

TEST_F(SettingsFile, SaveAsAsksForTheNameAndWritesTheSameBytesAsSave)
{
    fillTexts();
    setCheckValue(*form.Key1Mods64[7], 1);
    put(path("chosen"), "replaced without a question");
    ui.fileChoices.push_back(path("chosen"));

    form.SaveAs->trigger();
    form.Save->trigger();

    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0], (OpenFileRequest{"Save As", "All Files (*.tyv)|*.tyv", ""}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(QFile::exists(path("chosen.tyv")));
    EXPECT_EQ(contents(path("chosen")).size(), contents(path("Default.tyv")).size());
    EXPECT_EQ(contents(path("chosen")), contents(path("Default.tyv")));
}

TEST_F(SettingsFile, CancelledDialogsWriteAndLoadNothing)
{
    form.MaxDist->setText(QStringLiteral("40"));
    ui.fileChoices = {std::nullopt, QString()};

    form.SaveAs->trigger();
    form.Open->trigger();

    EXPECT_EQ(ui.fileDialogs.size(), 2u);
    EXPECT_EQ(ui.fileDialogs[1], (OpenFileRequest{"Open", "All Files (*.tyv)|*.tyv", ""}));
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(form.MaxDist->text(), "40");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, LoadingTakesEachTextLineWithoutItsFirstAndLastCharacter)
{
    std::vector<QByteArray> lines = plainLines();
    lines[0] = "x99y";
    lines[1] = "\"a\"b\"";
    lines[2] = "\"\"";
    lines[3] = "\" 7 \"";
    lines[113] = "\"DELETE\"";
    lines[114] = "\"76\"";
    lines[115] = "\"not a key\"";
    lines[128] = "\"caf\xE9 \x80\"";
    put(path("in.tyv"), fileOf(lines));

    ASSERT_TRUE(loadConfigData(form, path("in.tyv")));

    EXPECT_EQ(form.MaxDist->text(), "99");
    EXPECT_EQ(form.IRDBTm->text(), "a\"b");
    EXPECT_EQ(form.ORDBTm->text(), "");
    EXPECT_EQ(form.StartDly->text(), " 7 ");
    EXPECT_EQ(form.Combo1->currentText(), "DELETE");
    EXPECT_EQ(form.Combo1->currentIndex(), -1);
    EXPECT_EQ(form.Key1Code->text(), "76");
    EXPECT_EQ(form.Combo2->currentText(), "not a key");
    EXPECT_EQ(form.Text4[0]->text(), QStringLiteral("caf\u00E9 \u20AC"));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, LoadingSetsEachBoxOfItsLine)
{
    std::vector<QByteArray> lines = plainLines();
    for (const auto& [line, name] : kSomeStateLines) {
        if (line != 8)
            lines[line - 1] = QByteArray::number(line % 2);
    }
    put(path("boxes.tyv"), fileOf(lines));
    setCheckValue(*form.Key1Mods2[0], 1);

    ASSERT_TRUE(loadConfigData(form, path("boxes.tyv")));

    for (const auto& [line, name] : kSomeStateLines) {
        if (line != 8) {
            EXPECT_EQ(checkValue(box(name)), line % 2) << name;
        }
    }
    EXPECT_EQ(checkValue(*form.Key1Mods8[3]), 0);
}

TEST_F(SettingsFile, LoadingIgnoresWhatFollowsLine133AndNeedsNoEndingAfterIt)
{
    std::vector<QByteArray> lines = plainLines();
    lines[132] = "\"5\"";
    put(path("longer.tyv"), fileOf(lines) + "\"6\"\r\nanything\r\n");
    put(path("unended.tyv"), fileOf(lines).chopped(2));

    ASSERT_TRUE(loadConfigData(form, path("longer.tyv")));
    EXPECT_EQ(form.Text4[4]->text(), "5");
    form.Text4[4]->clear();
    ASSERT_TRUE(loadConfigData(form, path("unended.tyv")));
    EXPECT_EQ(form.Text4[4]->text(), "5");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFile, LoadingKeepsTheControlsTheFileDoesNotHold)
{
    form.PressRate->setText(QStringLiteral("30"));
    form.Combo6->setEditText(QStringLiteral("k"));
    form.Key6Code->setText(QStringLiteral("14"));
    form.Key6Mods->setText(QStringLiteral("9"));
    form.Combo12->setEditText(QStringLiteral("l"));
    form.Text4[5]->setText(QStringLiteral("15"));
    form.wCurrRange->setText(QStringLiteral("36"));
    form.bInRange->setText(QStringLiteral("1"));
    form.bInRangePend->setText(QStringLiteral("0"));
    form.bOutRangePend->setText(QStringLiteral("1"));
    form.LastErr->setText(QStringLiteral("Ok 0"));
    setCheckValue(*form.ConfigChanged, 1);
    setCheckValue(*form.CheckCnct, 1);
    form.SSTab1->setCurrentIndex(1);
    std::vector<QByteArray> lines = plainLines();
    lines[22] = "1";  // the idle key's left Shift is stored
    put(path("in.tyv"), fileOf(lines));

    ASSERT_TRUE(loadConfigData(form, path("in.tyv")));

    EXPECT_EQ(checkValue(*form.Key1Mods2[5]), 1);
    EXPECT_EQ(form.PressRate->text(), "30");
    EXPECT_EQ(form.Combo6->currentText(), "k");
    EXPECT_EQ(form.Key6Code->text(), "14");
    EXPECT_EQ(form.Key6Mods->text(), "9");
    EXPECT_EQ(form.Combo12->currentText(), "l");
    EXPECT_EQ(form.Text4[5]->text(), "15");
    EXPECT_EQ(form.wCurrRange->text(), "36");
    EXPECT_EQ(form.bInRange->text(), "1");
    EXPECT_EQ(form.bInRangePend->text(), "0");
    EXPECT_EQ(form.bOutRangePend->text(), "1");
    EXPECT_EQ(form.LastErr->text(), "Ok 0");
    EXPECT_EQ(checkValue(*form.CheckCnct), 1);
    EXPECT_EQ(form.SSTab1->currentIndex(), 1);
    EXPECT_FALSE(form.Option1->isChecked() || form.Option2->isChecked() || form.Option3->isChecked());
}

TEST_F(SettingsFile, AFaultyFileIsReportedWithItsLineAndChangesNothing)
{
    struct Case {
        const char* name;
        QByteArray bytes;
        QString fault;
    };
    const QByteArray good = fileOf(plainLines("\"9\""));
    const auto withLine = [](int number, const QByteArray& text) {
        std::vector<QByteArray> lines = plainLines("\"9\"");
        lines[number - 1] = text;
        return fileOf(lines);
    };
    const Case cases[] = {
        {"short.tyv", good.left(good.size() - 5), "it ends after line 132, and a settings file has 133 lines."},
        {"empty.tyv", QByteArray(), "it is empty."},
        {"lf.tyv", QByteArray(good).replace("\r\n", "\n"),
         "its lines end with LF alone, and a settings file's lines end with CR LF (convert it with unix2dos or "
         "sed -i 's/$/\\r/')."},
        {"text.tyv", withLine(115, "\""),
         "line 115 (key code of walk-away keystroke 1) must be a text between double quotes."},
        {"blank.tyv", withLine(17, ""), "line 17 (walk-up key delay) must be a text between double quotes."},
        {"two.tyv", withLine(5, "2"), "line 5 (\"Out-of-Range Red\") must be 0 or 1."},
        {"spaced.tyv", withLine(57, " 1"), "line 57 (left GUI of walk-away keystroke 4) must be 0 or 1."},
        {"quoted.tyv", withLine(113, "\"1\""), "line 113 (right GUI of walk-up keystroke 6) must be 0 or 1."},
        {"none.tyv", withLine(23, ""), "line 23 (left Shift of the idle keystroke) must be 0 or 1."},
    };
    form.MaxDist->setText(QStringLiteral("40"));
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        ui.boxes.clear();
        put(path(test.name), test.bytes);

        EXPECT_FALSE(loadConfigData(form, path(test.name)));

        EXPECT_EQ(form.MaxDist->text(), "40");
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0],
                  (MessageBoxRequest{
                      QStringLiteral("The settings file \"%1\" was not loaded: %2").arg(path(test.name), test.fault),
                      MessageButtons::Ok, MessageIcon::Critical, DefaultButton::First, "Tornel-Tyvel"}));
    }
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsReportedAndChangesNothing)
{
    ASSERT_EQ(mkfifo(path("fifo.tyv").toLocal8Bit().constData(), 0600), 0);
    QByteArray large = fileOf(plainLines());
    large.append(QByteArray(kSettingsFileBound, '\n'));
    put(path("large.tyv"), large);
    const std::pair<QString, QString> cases[] = {
        {path("missing.tyv"), "cannot be opened: No such file or directory."},
        {path("fifo.tyv"), "cannot be opened: it is not a regular file."},
        {QStringLiteral("/dev/zero"), "cannot be opened: it is not a regular file."},
        {path("large.tyv"), QStringLiteral("was not loaded: it is larger than %1 bytes, which no settings file is.")
                                .arg(kSettingsFileBound)},
    };
    form.MaxDist->setText(QStringLiteral("40"));
    for (const auto& [file, fault] : cases) {
        SCOPED_TRACE(file.toStdString());
        ui.boxes.clear();

        EXPECT_FALSE(loadConfigData(form, file));

        EXPECT_EQ(form.MaxDist->text(), "40");
        EXPECT_EQ(ui.boxes,
                  (std::vector<MessageBoxRequest>{{QStringLiteral("The settings file \"%1\" %2").arg(file, fault),
                                                   MessageButtons::Ok, MessageIcon::Critical}}));
    }
}

TEST_F(SettingsFile, SavedControlsLoadBackExactly)
{
    fillTexts();
    const std::pair<const char*, QString> texts[] = {
        {"MaxDist", QStringLiteral("say \"36\"")},
        {"IRDBTm", QStringLiteral("  2 ")},
        {"ORDBTm", QString()},
        {"Combo1", QStringLiteral("DELETE")},
        {"Combo7", QStringLiteral("no such key")},
        {"Key5Mods", QStringLiteral("\u00E9\u20AC")},
    };
    for (const auto& [name, text] : texts)
        setText(name, text);
    for (const ModifierColumn& column : kModifierColumns)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            setCheckValue(*(form.*column.boxes)[slot], (slot + column.bit) % 3 == 0);
    setCheckValue(*form.bNoShowXtLED, 1);
    ASSERT_TRUE(saveSettingsFile(form, path("round.tyv")));

    ScriptedUiSeam otherUi;
    Form1 other{otherUi};
    connectHandlers(other);
    other.FirstLoad = 1;
    ASSERT_TRUE(loadConfigData(other, path("round.tyv")));

    for (const auto& [line, name] : kTextLines) {
        SCOPED_TRACE(name.toStdString());
        QWidget* control = controlNamed(other, name);
        auto* list = qobject_cast<QComboBox*>(control);
        auto* text = qobject_cast<QLineEdit*>(control);
        EXPECT_EQ(list ? list->currentText() : text->text(), textOf(name));
    }
    for (const ModifierColumn& column : kModifierColumns)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            EXPECT_EQ(checkValue(*(other.*column.boxes)[slot]), checkValue(*(form.*column.boxes)[slot]))
                << column.name << "(" << slot << ")";
    EXPECT_EQ(checkValue(*other.bNoShowORLED), 0);
    EXPECT_EQ(checkValue(*other.bNoShowXtLED), 1);
    EXPECT_EQ(checkValue(*other.bNoShowIRLED), 0);
    EXPECT_TRUE(otherUi.boxes.empty());
}
