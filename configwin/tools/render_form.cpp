// Renders the main window, as it is after loading, to one PNG per tab:
//   render_form OUTPUT_FOLDER [TAB...]     (tabs 0-3; all four by default)
// It uses Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.
#include "form1.h"
#include "form_handlers.h"
#include "ui_seam.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>

#include <cstdio>
#include <vector>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [TAB...]\n", argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    std::vector<int> tabs;
    for (int i = 2; i < argc; ++i)
        tabs.push_back(std::atoi(argv[i]));
    if (tabs.empty())
        tabs = {0, 1, 2, 3};

    QtUiSeam ui;
    Form1 form(ui);
    connectHandlers(form);
    form.Form_Load();
    form.show();
    for (int tab : tabs) {
        if (tab < 0 || tab >= form.SSTab1->count()) {
            std::fprintf(stderr, "no tab %d\n", tab);
            return 2;
        }
        form.SSTab1->setCurrentIndex(tab);
        QApplication::processEvents();
        const QString path = folder.filePath(QStringLiteral("Form1-tab%1.png").arg(tab));
        if (!form.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%s\n", qPrintable(path));
    }
    return 0;
}
