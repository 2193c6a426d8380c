#include "handlers/menu_handlers.h"

#include "about/frm_about.h"
#include "fields/check_update.h"
#include "files/settings_file.h"
#include "form/form1.h"

#include <QAction>

namespace {

constexpr char kFileFilter[] = "All Files (*.tyv)|*.tyv";

void onTriggered(Form1& form, QAction* entry, void (*handler)(Form1&))
{
    QObject::connect(entry, &QAction::triggered, &form, [&form, handler] { handler(form); });
}

}  // namespace

void connectMenuHandlers(Form1& form)
{
    onTriggered(form, form.Open, Open_Click);
    onTriggered(form, form.Save, Save_Click);
    onTriggered(form, form.SaveAs, SaveAs_Click);
    onTriggered(form, form.About, About_Click);
}

void Open_Click(Form1& form)
{
    const std::optional<QString> path =
        form.ui.openFile({QStringLiteral("Open"), QLatin1String(kFileFilter), QString()});
    if (!path || path->isEmpty())
        return;
    if (loadConfigData(form, *path))
        CheckUpdate(form);
}

void Save_Click(Form1& form)
{
    saveSettingsFile(form, QLatin1String(kDefaultSettingsFile));
}

void SaveAs_Click(Form1& form)
{
    const std::optional<QString> path =
        form.ui.openFile({QStringLiteral("Save As"), QLatin1String(kFileFilter), QString()});
    if (path && !path->isEmpty())
        saveSettingsFile(form, *path);
}

void About_Click(Form1& form)
{
    auto* about = form.findChild<frmAbout*>(QStringLiteral("frmAbout"), Qt::FindDirectChildrenOnly);
    if (!about)
        about = new frmAbout(form.ui, &form);
    about->Form_Load();
    about->exec();
}
