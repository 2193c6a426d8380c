#include "settings_handlers.h"

#include "form1.h"
#include "frm_about.h"
#include "presets.h"
#include "settings_file.h"

#include <QAction>
#include <QRadioButton>

namespace {

// A preset runs when its button becomes selected, by a click or the keyboard;
// clearing it runs nothing.
void onSelected(Form1& form, QRadioButton* button, void (*handler)(Form1&))
{
    QObject::connect(button, &QRadioButton::toggled, &form, [&form, handler](bool selected) {
        if (selected)
            handler(form);
    });
}

void onTriggered(Form1& form, QAction* entry, void (*handler)(Form1&))
{
    QObject::connect(entry, &QAction::triggered, &form, [&form, handler] { handler(form); });
}

}  // namespace

void connectSettingsHandlers(Form1& form)
{
    onTriggered(form, form.Open, Open_Click);
    onTriggered(form, form.Save, Save_Click);
    onTriggered(form, form.SaveAs, SaveAs_Click);
    onTriggered(form, form.About, About_Click);
    onSelected(form, form.Option1, Option1_Click);
    onSelected(form, form.Option2, Option2_Click);
    onSelected(form, form.Option3, Option3_Click);
}
