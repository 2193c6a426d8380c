// Renders the main window, as it is after loading, to one PNG per tab, and
// the About box as it opens:
//   render_form OUTPUT_FOLDER [TAB|about...]   (tabs 0-3; all four and the About box by default)
// It uses Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "about/frm_about.h"
#include "dialogs/ui_seam.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "widgets/form_fonts.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool save(QWidget& window, const QDir& folder, const QString& name)
{
    QApplication::processEvents();
    const QString path = folder.filePath(name);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [TAB|about...]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    mapFormFonts();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    std::vector<const char*> pictures(argv + 2, argv + argc);
    if (pictures.empty())
        pictures = {"0", "1", "2", "3", "about"};

    QtUiSeam ui;
    Form1 form(ui);
    connectHandlers(form);
    form.Form_Load();
    form.show();
    for (const char* picture : pictures) {
        if (std::strcmp(picture, "about") == 0) {
            frmAbout about(ui, &form);
            about.Form_Load();
            about.show();
            if (!save(about, folder, QStringLiteral("frmAbout.png")))
                return 1;
            continue;
        }
        bool number = false;
        const int tab = QString::fromLocal8Bit(picture).toInt(&number);
        if (!number || tab < 0 || tab >= form.SSTab1->count()) {
            std::fprintf(stderr, "no tab %s\n", picture);
            return 2;
        }
        form.SSTab1->setCurrentIndex(tab);
        if (!save(form, folder, QStringLiteral("Form1-tab%1.png").arg(tab)))
            return 1;
    }
    return 0;
}
