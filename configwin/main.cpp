#include "app_info.h"
#include "command_line.h"
#include "dravik_binding.h"
#include "form1.h"
#include "form_fonts.h"
#include "form_handlers.h"
#include "scripted_run.h"
#include "ui_seam.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char* argv[])
{
    // QApplication takes its own options (-platform, -style, ...) out of argv;
    // the command line is the utility's own, so it is read before.
    setArgumentPart(joinArguments(argc, argv));
    const bool scripted = isScriptedRun(argumentPart());
    if (!prepareDisplay(scripted))
        return EXIT_FAILURE;
    QApplication app(argc, argv);
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
    if (const std::optional<int> exitStatus = form.Form_Load())
        return *exitStatus;
    form.show();
    return app.exec();
}
