#include "handlers/preset_handlers.h"

#include "form/form1.h"
#include "handlers/presets.h"

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

}  // namespace

void connectPresetHandlers(Form1& form)
{
    onSelected(form, form.Option1, Option1_Click);
    onSelected(form, form.Option2, Option2_Click);
    onSelected(form, form.Option3, Option3_Click);
}
