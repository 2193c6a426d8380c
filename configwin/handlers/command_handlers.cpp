#include "handlers/command_handlers.h"

#include "binding/dravik_binding.h"
#include "fields/er_reason.h"
#include "fields/read_config.h"
#include "fields/write_config.h"
#include "form/form1.h"
#include "widgets/check_value.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Ended once the window is closed, by its own buttons or its title bar. The
// reset handler lets the event loop run and so must notice an ending there.
class Session : public QObject {
public:
    explicit Session(Form1& form) : QObject(&form) { form.installEventFilter(this); }

    bool ended = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ended = true;
        return false;
    }
};

bool indicatorTicked(const Form1& form)
{
    return checkValue(*form.ConfigChanged) == 1;
}

bool confirmed(Form1& form, const char* question)
{
    const MessageBoxRequest prompt{QString::fromLatin1(question), MessageButtons::YesNo, MessageIcon::Critical,
                                   DefaultButton::Second, QStringLiteral("Tornel USB Write Parameters")};
    return form.ui.message(prompt) == MessageAnswer::Yes;
}

void disconnectAndClose(Form1& form, Session& session)
{
    session.ended = true;
    dravik::USBDisconnect();
    form.close();
}

// Runs what is pending (painting, input, other handlers) once. False when the
// window was closed or the library disconnected meanwhile.
bool yieldToEventLoop(const Session& session)
{
    QCoreApplication::processEvents();
    return !session.ended;
}

void Check1_Click(Form1& form)
{
    if (dravik::HaltKBSends(checkValue(*form.Check1) == 1 ? 1 : 0) == 0) {
        form.HaltRefused = true;
        ErReason(form, QStringLiteral("USB Halt Keyboard"));
    }
}

void Command1_Click(Form1& form, const Session& session)
{
    const QString resetting = QStringLiteral("Resetting device wait...");
    form.LastErr->setText(resetting);
    if (!yieldToEventLoop(session))
        return;
    ErReason(form, resetting);
    if (!yieldToEventLoop(session))
        return;
    const bool reset = dravik::ResetFactoryDflts() != 0;
    if (!reset)
        ErReason(form, QStringLiteral("USB reset"));
    if (!yieldToEventLoop(session))
        return;
    const bool read = dravik::ReadCfg() != 0;
    if (read)
        ReadConfig(form);
    else
        ErReason(form, QStringLiteral("ReadCfg"));
    // After a failure the reporter's status stays.
    if (reset && read)
        form.LastErr->setText(QStringLiteral("Reset Successful"));
}

void Command2_Click(Form1& form, Session& session)
{
    if (indicatorTicked(form)) {
        if (!confirmed(form, "The changes were not written to the device.  Do you want to write the changes and "
                             "continue ?"))
            return;
        // A write refused before anything was stored keeps the window and the edits.
        if (!WriteConfig(form))
            return;
    }
    disconnectAndClose(form, session);
}

void Command3_Click(Form1& form, Session& session)
{
    if (indicatorTicked(form) &&
        !confirmed(form, "The changes were not written to the device.  Do you want to leave without writing "
                         "the changes and continue ?"))
        return;
    disconnectAndClose(form, session);
}

void Command4_Click(Form1& form)
{
    if (indicatorTicked(form) &&
        confirmed(form, "The changes are about to be written to the device.  Do you want to write the changes?"))
        WriteConfig(form);
}

void Command5_Click(Form1& form)
{
    tsObjRangeInfo range{};
    if (dravik::GetObjRangeInfo(&range) == 0)
        ErReason(form, QStringLiteral("USB Getrange"));
    form.wCurrRange->setText(QString::number(range.CurrRange));
    form.bInRange->setText(QString::number(range.InRange));
    form.bInRangePend->setText(QString::number(range.InRangePend));
    form.bOutRangePend->setText(QString::number(range.OutRangePend));
}

void Command6_Click(Form1& form)
{
    if (!form.Label18->isHidden()) {
        form.Label18->hide();
        form.StartDly->hide();
        return;
    }
    form.ui.message({QStringLiteral("Enter Power-up delay is rarely required.  Setting this when not needed will "
                                    "cause problems with the USB registration process.  Proceed with Caution!")});
    form.Label18->show();
    form.StartDly->show();
}

}  // namespace

void connectCommandHandlers(Form1& form)
{
    auto* session = new Session(form);
    QObject::connect(form.Check1, &QCheckBox::stateChanged, &form, [&form] { Check1_Click(form); });
    QObject::connect(form.Command1, &QPushButton::clicked, &form, [&form, session] { Command1_Click(form, *session); });
    QObject::connect(form.Command2, &QPushButton::clicked, &form, [&form, session] { Command2_Click(form, *session); });
    QObject::connect(form.Command3, &QPushButton::clicked, &form, [&form, session] { Command3_Click(form, *session); });
    QObject::connect(form.Command4, &QPushButton::clicked, &form, [&form] { Command4_Click(form); });
    QObject::connect(form.Command5, &QPushButton::clicked, &form, [&form] { Command5_Click(form); });
    QObject::connect(form.Command6, &QPushButton::clicked, &form, [&form] { Command6_Click(form); });
    // "E&xit" is "OK" reached through the menu.
    QObject::connect(form.Exit, &QAction::triggered, &form, [&form, session] { Command2_Click(form, *session); });
}
