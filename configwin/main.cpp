#include "app_info.h"
#include "dravik_binding.h"
#include "form1.h"
#include "ui_seam.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QtUiSeam ui;
    dravik::setBindingFailureNotice([&ui](const std::string& message) {
        ui.message({QString::fromStdString(message), MessageButtons::Ok, MessageIcon::Critical,
                    DefaultButton::First, QString::fromLatin1(kAppTitle)});
    });
    Form1 form(ui);
    form.Form_Load();
    form.show();
    return app.exec();
}
