#include "handlers/connect_handlers.h"
#include "start_up.h"
#include "widgets/check_value.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <functional>
#include <string>
#include <vector>

namespace {

MessageBoxRequest writePrompt(const char* question)
{
    return {QLatin1String(question), MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second,
            QStringLiteral("Tornel USB Write Parameters")};
}

const char* const kWriteAndLeave =
    "The changes were not written to the device.  Do you want to write the changes and continue ?";
const char* const kLeaveWithoutWriting =
    "The changes were not written to the device.  Do you want to leave without writing the changes and continue ?";
const char* const kApply = "The changes are about to be written to the device.  Do you want to write the changes?";

const MessageBoxRequest kCautionBox{
    QStringLiteral("Enter Power-up delay is rarely required.  Setting this when not needed will cause problems "
                   "with the USB registration process.  Proceed with Caution!"),
    MessageButtons::Ok, MessageIcon::None, DefaultButton::First, QStringLiteral("Tornel-Tyvel")};

const std::vector<std::string> kAllSixBlocksAndCommit = {"80", "81", "82", "83", "84", "85", "90 3F"};

struct Closing {
    const char* name;
    std::function<void(Form1&)> choose;
    const char* question;
    bool writes;
};

class CommandButtons : public StartUp {
protected:
    void TearDown() override
    {
        dravikSimSetTraceListener(nullptr, nullptr);
        StartUp::TearDown();
    }

    // Starts the window as the program does and shows it; the trace and the
    // boxes start afresh.
    void open(Form1& window)
    {
        attach();
        setArgumentPart(QString());
        ASSERT_EQ(window.Form_Load(), std::nullopt);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        dravikSimClearTrace();
        ui.boxes.clear();
    }

    // An edit that ticks "Config Changed".
    void edit(Form1& window)
    {
        setCheckValue(*window.Key1Mods4[0], 1);
        ASSERT_EQ(checkValue(*window.ConfigChanged), 1);
        dravikSimClearTrace();
    }

    // Edits the open window and chooses `closing`, answering its prompt.
    void editAndChoose(Form1& window, const Closing& closing, MessageAnswer answer)
    {
        edit(window);
        ui.answers = {answer};
        closing.choose(window);
    }

    static int handlesClosed()
    {
        int closed = 0;
        for (const DravikSimTraceEntry& entry : trace())
            closed += entry.kind == DRAVIK_SIM_CLOSE;
        return closed;
    }
};

const std::vector<Closing> kClosings = {
    {"OK", [](Form1& form) { form.Command2->click(); }, kWriteAndLeave, true},
    {"E&xit", [](Form1& form) { form.Exit->trigger(); }, kWriteAndLeave, true},
    {"Cancel", [](Form1& form) { form.Command3->click(); }, kLeaveWithoutWriting, false},
};

}  // namespace

TEST_F(CommandButtons, ClosingAnsweredNoKeepsTheWindowTheEditsAndTheConnection)
{
    for (const Closing& closing : kClosings) {
        SCOPED_TRACE(closing.name);
        Form1 window{ui};
        connectHandlers(window);
        open(window);
        editAndChoose(window, closing, MessageAnswer::No);
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{writePrompt(closing.question)});
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(checkValue(*window.Key1Mods4[0]), 1);
        EXPECT_EQ(checkValue(*window.ConfigChanged), 1);
        EXPECT_EQ(dravikSimTraceCount(), 0u);
        dravik::USBDisconnect();
        ui.boxes.clear();
    }
}

TEST_F(CommandButtons, ClosingAnsweredYesWritesOrNotThenDisconnectsAndCloses)
{
    for (const Closing& closing : kClosings) {
        SCOPED_TRACE(closing.name);
        Form1 window{ui};
        connectHandlers(window);
        open(window);
        editAndChoose(window, closing, MessageAnswer::Yes);
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{writePrompt(closing.question)});
        EXPECT_EQ(commands(), closing.writes ? kAllSixBlocksAndCommit : std::vector<std::string>{});
        EXPECT_EQ(handlesClosed(), 1);
        EXPECT_FALSE(window.isVisible());
        ui.boxes.clear();
    }
}

TEST_F(CommandButtons, ClosingWithTheIndicatorClearAsksNothing)
{
    for (const Closing& closing : kClosings) {
        SCOPED_TRACE(closing.name);
        Form1 window{ui};
        connectHandlers(window);
        open(window);
        closing.choose(window);
        EXPECT_TRUE(ui.boxes.empty());
        EXPECT_TRUE(commands().empty());
        EXPECT_EQ(handlesClosed(), 1);
        EXPECT_FALSE(window.isVisible());
    }
}

TEST_F(CommandButtons, OkAndExitKeepTheWindowWhenTheWriteIsRefused)
{
    for (const Closing& closing : {kClosings[0], kClosings[1]}) {
        SCOPED_TRACE(closing.name);
        Form1 window{ui};
        connectHandlers(window);
        open(window);
        window.Key2Code->setText(QStringLiteral("abc"));
        editAndChoose(window, closing, MessageAnswer::Yes);
        ASSERT_EQ(ui.boxes.size(), 2u);
        EXPECT_EQ(ui.boxes[0], writePrompt(closing.question));
        EXPECT_TRUE(ui.boxes[1].text.endsWith("Nothing was written to the device."));
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.Key2Code->text(), "abc");
        EXPECT_EQ(checkValue(*window.ConfigChanged), 1);
        EXPECT_EQ(dravikSimTraceCount(), 0u);
        dravik::USBDisconnect();
        ui.boxes.clear();
    }
}

TEST_F(CommandButtons, TheTitleBarCloseEndsWithoutAPromptAWriteOrADisconnect)
{
    open(form);
    edit(form);
    form.windowHandle()->close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(ui.boxes.empty());
    // The sensor stays open until the library is unloaded.
    EXPECT_EQ(dravikSimTraceCount(), 0u);
}

TEST_F(CommandButtons, ApplyWithTheIndicatorClearDoesNothingAtAll)
{
    open(form);
    form.LastErr->setText(QStringLiteral("as it was"));
    form.Command4->click();
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(dravikSimTraceCount(), 0u);
    EXPECT_EQ(form.LastErr->text(), "as it was");
    EXPECT_TRUE(form.isVisible());
}

TEST_F(CommandButtons, ApplyAnsweredNoWritesNothingAndKeepsTheIndicator)
{
    open(form);
    edit(form);
    ui.answers = {MessageAnswer::No};
    form.Command4->click();
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{writePrompt(kApply)});
    EXPECT_EQ(dravikSimTraceCount(), 0u);
    EXPECT_EQ(checkValue(*form.ConfigChanged), 1);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(CommandButtons, AdvancedShowsTheCautionEachTimeItRevealsThePowerUpDelay)
{
    sensor.attached = false;
    open(form);
    form.SSTab1->setCurrentIndex(0);
    EXPECT_TRUE(form.Label18->isHidden());
    form.Command6->click();
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{kCautionBox});
    EXPECT_TRUE(form.Label18->isVisible());
    EXPECT_TRUE(form.StartDly->isVisible());
    form.StartDly->setText(QStringLiteral("3"));

    form.Command6->click();
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(form.Label18->isHidden());
    EXPECT_TRUE(form.StartDly->isHidden());
    EXPECT_EQ(form.StartDly->text(), "3");

    form.Command6->click();
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{kCautionBox, kCautionBox}));
    EXPECT_FALSE(form.Label18->isHidden());
}

TEST_F(CommandButtons, ReadNowWithoutASensorReportsAndShowsZeros)
{
    sensor.attached = false;
    open(form);
    for (QLineEdit* box : {form.wCurrRange, form.bInRange, form.bInRangePend, form.bOutRangePend})
        box->setText(QStringLiteral("9"));
    form.Command5->click();
    // The range reading's bit over "no sensor in the slot".
    EXPECT_EQ(form.LastErr->text(), "USB Getrange 16777728");
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox("USB Getrange 16777728")});
    for (QLineEdit* box : {form.wCurrRange, form.bInRange, form.bInRangePend, form.bOutRangePend})
        EXPECT_EQ(box->text(), "0") << box->objectName().toStdString();
}

TEST_F(CommandButtons, ReadNowShowsOneReadingWithoutAChangeCheck)
{
    open(form);
    // 40 inches, out of range with both changes pending.
    setRange({6, 139, 0, 0, 0, 0, 0, 0});
    form.Command5->click();
    EXPECT_EQ(commands(), std::vector<std::string>{"8F"});
    EXPECT_EQ(form.wCurrRange->text(), "40");
    EXPECT_EQ(form.bInRange->text(), "0");
    EXPECT_EQ(form.bInRangePend->text(), "1");
    EXPECT_EQ(form.bOutRangePend->text(), "1");
    EXPECT_EQ(checkValue(*form.ConfigChanged), 0);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CommandButtons, DisableKeystrokesStopsAndResumesThemWithoutAChangeCheck)
{
    open(form);
    edit(form);
    setCheckValue(*form.Check1, 1);
    EXPECT_EQ(commands(), std::vector<std::string>{"B1"});
    EXPECT_EQ(dravikSimHalted(0), 1);
    setCheckValue(*form.Check1, 0);
    EXPECT_EQ(commands(), (std::vector<std::string>{"B1", "B0"}));
    EXPECT_EQ(dravikSimHalted(0), 0);
    EXPECT_EQ(checkValue(*form.ConfigChanged), 1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CommandButtons, AFailedHaltIsReportedAndTheBoxKeepsItsState)
{
    open(form);
    refuse(DRAVIK_SIM_COMMAND_REPORT, 0xB1);
    setCheckValue(*form.Check1, 1);
    // The refused write's detail; the halt's own failure is not in this word.
    EXPECT_EQ(form.LastErr->text(), "USB Halt Keyboard 514");
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox("USB Halt Keyboard 514")});
    EXPECT_EQ(checkValue(*form.Check1), 1);
    EXPECT_EQ(dravikSimHalted(0), 0);
}

TEST_F(CommandButtons, ResetReadsTheFactoryConfigurationIntoAWindowThatOpenedUnread)
{
    attach();
    refuse(DRAVIK_SIM_FEATURE_READ, DRAVIK_SIM_ANY_COMMAND, 8);
    ASSERT_EQ(form.Form_Load(), std::nullopt);
    ASSERT_EQ(form.FirstLoad, 1);
    form.show();
    dravikSimClearFaults();
    dravikSimClearTrace();
    ui.boxes.clear();
    QSignalSpy statuses(form.LastErr, &QLineEdit::textChanged);

    form.Command1->click();
    // The second status carries the word the failed start-up read left.
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox("Resetting device wait... 131330")});
    std::vector<QString> shown;
    for (const QList<QVariant>& status : statuses)
        shown.push_back(status.at(0).toString());
    EXPECT_EQ(shown, (std::vector<QString>{"Resetting device wait...", "Resetting device wait... 131330",
                                           "Reset Successful"}));
    EXPECT_EQ(commands(), joined(joined(joined({"A0"}, configurationRead()), configurationRead()), {"8F"}));
    EXPECT_EQ(form.FirstLoad, 0);
    EXPECT_EQ(form.MaxDist->text(), "36");
    EXPECT_EQ(checkValue(*form.ConfigChanged), 0);
}

TEST_F(CommandButtons, AFailedResetOrReadLeavesTheReportersStatus)
{
    sensor.attached = false;
    open(form);
    form.Command1->click();
    EXPECT_EQ(ui.boxes,
              (std::vector<MessageBoxRequest>{deviceErrorBox("USB reset 524800"), deviceErrorBox("ReadCfg 131584")}));
    EXPECT_EQ(form.LastErr->text(), "ReadCfg 131584");
    EXPECT_EQ(form.FirstLoad, 1);
}

TEST_F(CommandButtons, AClickPendingDuringTheResetRunsThereAndTheResetGoesOn)
{
    open(form);
    QMetaObject::invokeMethod(
        form.Command6, [this] { form.Command6->click(); }, Qt::QueuedConnection);
    form.Command1->click();
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{kCautionBox});
    EXPECT_EQ(form.LastErr->text(), "Reset Successful");
}

TEST_F(CommandButtons, ResetStopsWhenTheWindowIsClosedDuringAYield)
{
    open(form);
    // As the title bar's close button would.
    QMetaObject::invokeMethod(
        form.windowHandle(), [this] { form.windowHandle()->close(); }, Qt::QueuedConnection);
    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.LastErr->text(), "Resetting device wait...");
    EXPECT_EQ(dravikSimTraceCount(), 0u);
}

namespace {

// Clicks "OK" as soon as the reset command has gone out, so the click waits
// for the reset's last yield.
void clickOkAfterTheResetCommand(const DravikSimTraceEntry* entry, void* window)
{
    if (entry->kind != DRAVIK_SIM_COMMAND_REPORT || entry->bytes[1] != 0xA0)
        return;
    auto* form = static_cast<Form1*>(window);
    QMetaObject::invokeMethod(
        form->Command2, [form] { form->Command2->click(); }, Qt::QueuedConnection);
}

}  // namespace

TEST_F(CommandButtons, ResetStopsWhenOkDisconnectedDuringItsLastYield)
{
    open(form);
    dravikSimSetTraceListener(clickOkAfterTheResetCommand, &form);
    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(commands(), joined({"A0"}, configurationRead()));
    EXPECT_EQ(handlesClosed(), 1);
    EXPECT_NE(form.LastErr->text(), "Reset Successful");
    EXPECT_TRUE(ui.boxes.empty());
}
