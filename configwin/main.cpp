#include "app_info.h"
#include "command_line.h"
#include "dravik_binding.h"
#include "form1.h"
#include "form_fonts.h"
#include "form_handlers.h"
#include "ui_seam.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // QApplication takes its own options (-platform, -style, ...) out of argv;
    // the command line is the utility's own, so it is read before.
    setArgumentPart(joinArguments(argc, argv));
    QApplication app(argc, argv);
    mapFormFonts();
    QtUiSeam ui;
    dravik::setBindingFailureNotice([&ui](const std::string& message) {
        ui.message({QString::fromStdString(message), MessageButtons::Ok, MessageIcon::Critical,
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
