#include "app/exit_status.h"
#include "fields/read_config.h"
#include "files/settings_file.h"
#include "run/unattended.h"
#include "sensor_window.h"

#include <QEvent>
#include <QFile>
#include <QSignalBlocker>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

const Texts kWriteAll = {"80", "81", "82", "83", "84", "85", "90 3F"};

Texts twice(const Texts& once)
{
    Texts both = once;
    both.insert(both.end(), once.begin(), once.end());
    return both;
}

// Counts the times a widget is shown.
class ShowCounter : public QObject {
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        shows += event->type() == QEvent::Show;
        return false;
    }
};

class UnattendedTest : public SensorWindow {
protected:
    void SetUp() override
    {
        SensorWindow::SetUp();
        form.installEventFilter(&shown);
    }

    // A settings file of the window as it is after `edit`; the window and
    // the trace are then put back as the connection left them.
    QString settingsFile(const std::function<void()>& edit)
    {
        const QString file = folder.filePath(QStringLiteral("unattended.tyv"));
        edit();
        EXPECT_TRUE(saveSettingsFile(form, file));
        ReadConfig(form);
        dravikSimClearTrace();
        ui.boxes.clear();
        return file;
    }

    // The commands sent but range readings and keystroke halts.
    static Texts writes()
    {
        Texts sent;
        for (const std::string& command : commands())
            if (command != "8F" && command != "B0" && command != "B1")
                sent.push_back(command);
        return sent;
    }

    static bool closedTheSensor()
    {
        for (const DravikSimTraceEntry& entry : trace())
            if (entry.kind == DRAVIK_SIM_CLOSE)
                return true;
        return false;
    }

    ShowCounter shown;
    QTemporaryDir folder;
};

}  // namespace

TEST_F(UnattendedTest, WritesTheFileTwiceDisconnectsAndNeverShowsTheWindow)
{
    connectAndShow();
    const QString file = settingsFile([this] {
        form.MaxDist->setText(QStringLiteral("40"));
        form.Key2Code->setText(QStringLiteral("14"));
        form.Combo2->setEditText(QStringLiteral("k"));
    });

    EXPECT_EQ(runUnattended(form, file), ExitDone);

    EXPECT_EQ(writes(), twice(kWriteAll));
    const Texts blocks = blocksWritten();
    ASSERT_EQ(blocks.size(), 12u);
    EXPECT_EQ(blocks[0], "80: 00 7D 10 31 8B 05 02 00");
    EXPECT_EQ(blocks[1], "81: 02 08 08 00 00 00 00 00");
    EXPECT_EQ(blocks[2], "82: 00 00 0F 0E 00 00 00 00");
    EXPECT_EQ(Texts(blocks.begin() + 6, blocks.end()), Texts(blocks.begin(), blocks.begin() + 6));
    EXPECT_TRUE(closedTheSensor());
    EXPECT_EQ(checkValue(*form.CheckCnct), 1);
    EXPECT_EQ(shown.shows, 0);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(UnattendedTest, AFileThatTicksDisableKeystrokesHaltsTheSensorOnceBeforeWriting)
{
    connectAndShow();
    const QString file = settingsFile([this] { setCheckValue(*form.Check1, 1); });
    setCheckValue(*form.Check1, 0);
    dravikSimClearTrace();

    EXPECT_EQ(runUnattended(form, file), ExitDone);

    const Texts sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "B1"), 1);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "B0"), 0);
    EXPECT_LT(std::find(sent.begin(), sent.end(), "B1"), std::find(sent.begin(), sent.end(), "80"));
    EXPECT_EQ(writes(), twice(kWriteAll));
}

TEST_F(UnattendedTest, AKeyDelayOf10IsWrittenAs512AfterTheMessage)
{
    connectAndShow();
    const QString file = settingsFile([this] {
        const QSignalBlocker quiet(form.InterKeyDelay);
        form.InterKeyDelay->setText(QStringLiteral("10"));
    });
    form.InterKeyDelay->setText(QStringLiteral("1024"));
    dravikSimClearTrace();
    ui.boxes.clear();

    EXPECT_EQ(runUnattended(form, file), ExitConfiguredOtherwise);

    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{{"Delay must be in the range of (msec) min 64, max 16320!"}});
    const Texts blocks = blocksWritten();
    ASSERT_EQ(blocks.size(), 12u);
    EXPECT_EQ(blocks[1], "81: 01 08 08 00 00 00 00 00");
    EXPECT_EQ(blocks[7], "81: 01 08 08 00 00 00 00 00");
}

TEST_F(UnattendedTest, AFaultyFileWritesNothingAndEndsAsNotStarted)
{
    connectAndShow();
    const QString fifo = folder.filePath(QStringLiteral("fifo.tyv"));
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString shortFile = settingsFile([] {});
    QFile file(shortFile);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 6));
    file.close();
    const std::pair<QString, QString> cases[] = {
        {folder.filePath(QStringLiteral("missing.tyv")), "cannot be opened: No such file or directory."},
        {fifo, "cannot be opened: it is not a regular file."},
        {QStringLiteral("/dev/zero"), "cannot be opened: it is not a regular file."},
        {shortFile, "was not loaded: it ends after line 132, and a settings file has 133 lines."},
    };
    dravik::USBDisconnect();
    for (const auto& [name, fault] : cases) {
        SCOPED_TRACE(name.toStdString());
        connectAndShow();

        EXPECT_EQ(runUnattended(form, name), ExitNotStarted);

        EXPECT_TRUE(commands().empty());
        EXPECT_TRUE(closedTheSensor());
        EXPECT_EQ(ui.boxes,
                  (std::vector<MessageBoxRequest>{{QStringLiteral("The settings file \"%1\" %2").arg(name, fault),
                                                   MessageButtons::Ok, MessageIcon::Critical}}));
    }
}

TEST_F(UnattendedTest, ARefusedRecordIsReportedInEachWriteAndEndsWithAFailure)
{
    connectAndShow();
    const QString file = settingsFile([this] { form.MaxDist->setText(QStringLiteral("99")); });

    EXPECT_EQ(runUnattended(form, file), ExitSensorStepFailed);

    const Texts withoutSensing = {"81", "82", "83", "84", "85", "90 3E"};
    EXPECT_EQ(writes(), twice(withoutSensing));
    const MessageBoxRequest refused = deviceErrorBox(QStringLiteral("USB SetTyvelParms 2101250"));
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{refused, refused}));
}

TEST_F(UnattendedTest, AFailedSendEndsWithAFailure)
{
    connectAndShow();
    const QString file = settingsFile([] {});
    refuse(DRAVIK_SIM_DATA_REPORT, 0x83, 1);

    EXPECT_EQ(runUnattended(form, file), ExitSensorStepFailed);

    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_TRUE(ui.boxes[0].text.startsWith(QStringLiteral("An error >USB WriteCfg ")));
    const Texts sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "90 3F"), 1);
}

// The first write went out whole: only what the second met tells the run failed.
TEST_F(UnattendedTest, AFailedSendOfTheSecondWriteAloneEndsWithAFailure)
{
    connectAndShow();
    const QString file = settingsFile([] {});
    refuse(DRAVIK_SIM_DATA_REPORT, 0x83, 2);

    EXPECT_EQ(runUnattended(form, file), ExitSensorStepFailed);

    const Texts sent = writes();
    ASSERT_GT(sent.size(), kWriteAll.size());
    EXPECT_EQ(Texts(sent.begin(), sent.begin() + kWriteAll.size()), kWriteAll);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "90 3F"), 1);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(QStringLiteral("USB WriteCfg 262658"))});
    EXPECT_TRUE(changed());
}

TEST_F(UnattendedTest, AWriteRefusedBeforeStoringIsNotRepeated)
{
    connectAndShow();
    const QString file = settingsFile([this] { form.Key3Code->setText(QStringLiteral("L")); });

    EXPECT_EQ(runUnattended(form, file), ExitNotStarted);

    EXPECT_TRUE(writes().empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Walk-Away Keystrokes, Keystroke 3, key code: \"L\" is not a number.  "
                                "Nothing was written to the device.");
    EXPECT_TRUE(closedTheSensor());
}

TEST_F(UnattendedTest, ARefusedHaltIsReportedAndEndsWithAFailureAfterBothWrites)
{
    connectAndShow();
    const QString file = settingsFile([this] { setCheckValue(*form.Check1, 1); });
    setCheckValue(*form.Check1, 0);
    dravikSimClearTrace();
    refuse(DRAVIK_SIM_COMMAND_REPORT, 0xB1);

    EXPECT_EQ(runUnattended(form, file), ExitSensorStepFailed);

    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(QStringLiteral("USB Halt Keyboard 514"))});
    EXPECT_EQ(dravikSimHalted(0), 0);
    EXPECT_EQ(writes(), twice(kWriteAll));
    EXPECT_TRUE(closedTheSensor());
}

TEST_F(UnattendedTest, ARefusedHaltCountsWhenTheStatusLineAlreadyShowsTheSameRefusal)
{
    connectAndShow();
    const QString file = settingsFile([this] { setCheckValue(*form.Check1, 1); });
    setCheckValue(*form.Check1, 0);
    refuse(DRAVIK_SIM_COMMAND_REPORT, 0xB1);
    setCheckValue(*form.Check1, 1);
    {
        const QSignalBlocker quiet(form.Check1);
        setCheckValue(*form.Check1, 0);
    }
    ASSERT_EQ(form.LastErr->text(), "USB Halt Keyboard 514");
    ui.boxes.clear();
    dravikSimClearTrace();

    EXPECT_EQ(runUnattended(form, file), ExitSensorStepFailed);

    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(QStringLiteral("USB Halt Keyboard 514"))});
    EXPECT_EQ(writes(), twice(kWriteAll));
}
