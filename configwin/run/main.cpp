#include "app/app_info.h"
#include "app/exit_status.h"
#include "binding/dravik_binding.h"
#include "dialogs/ui_seam.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "run/command_line.h"
#include "run/scripted_run.h"
#include "run/sensor_report.h"
#include "widgets/form_fonts.h"

#include <QApplication>

#include <csignal>

int main(int argc, char* argv[])
{
    // A script that closed or stopped reading stderr learns the outcome from
    // the exit status, not from a signal.
    std::signal(SIGPIPE, SIG_IGN);
#ifdef TORNEL_DEVICE_FOLDER
    setDeviceFolder(TORNEL_DEVICE_FOLDER);
#endif
    // QApplication takes its own options (-platform, -style, ...) out of argv;
    // the command line is the utility's own, so it is read before.
    setArgumentPart(joinArguments(argc, argv));
    const bool scripted = isScriptedRun(argumentPart());
    const std::optional<PlatformChoice> platforms = prepareDisplay(scripted);
    if (!platforms)
        return exitStatus(RunCause::NoDisplay);
    QApplication app(argc, argv);
    if (!displayAnswered(*platforms, scripted))
        return exitStatus(RunCause::NoDisplay);
    mapFormFonts();
    QtUiSeam shown;
    EchoedUiSeam echoed(shown, nobodyCanAnswer());
    UiSeam& ui = scripted ? static_cast<UiSeam&>(echoed) : shown;
    // The box that ends the program goes to stderr in every run.
    dravik::setBindingFailureNotice([&echoed](const std::string& message) {
        echoed.message({QString::fromStdString(message), MessageButtons::Ok, MessageIcon::Critical,
                        DefaultButton::First, QString::fromLatin1(kAppTitle)});
    });
    Form1 form(ui);
    connectHandlers(form);
    // A run that ends during start-up never enters the event loop.
    if (const std::optional<ExitStatus> status = form.Form_Load())
        return *status;
    form.show();
    app.exec();
    return exitStatus(RunCause::WindowClosed);
}
