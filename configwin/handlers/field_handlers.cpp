#include "handlers/field_handlers.h"

#include "fields/check_update.h"
#include "fields/window_fields.h"
#include "form/form1.h"
#include "form/key_slots.h"
#include "text/text_number.h"
#include "widgets/event_rules.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

void keyChosen(Form1& form, int slot)
{
    const KeySlot& key = form.keySlot(slot);
    const int index = key.list->currentIndex();
    if (index >= 0)
        key.codeBox->setText(QString::number(key.list->itemData(index).toInt()));
    CheckUpdate(form);
}

// The answer to the box changes nothing, and the focus moves on either way.
void leaveCheck(Form1& form, QLineEdit& field, const FieldCheck& check)
{
    const double value = numericValue(field.text());
    if (!(value >= check.low && value <= check.high)) {
        form.ui.message({QLatin1String(check.message), MessageButtons::OkCancel, MessageIcon::Critical,
                         DefaultButton::Second, QStringLiteral("Tornel Parameter")});
        field.setText(QLatin1String(check.reset));
    }
    CheckUpdate(form);
}

// The key delays' check. Runs on every change of the text; putting the reset
// text back runs it again, nested, before the message shows.
void changeCheck(Form1& form, QLineEdit& field, const FieldCheck& check)
{
    const double value = numericValue(field.text());
    if (!(value >= check.low && value <= check.high)) {
        form.KeyDelayReplaced = true;
        field.setText(QLatin1String(check.reset));
        form.ui.message({QLatin1String(check.message)});
    }
    CheckUpdate(form);
}

}  // namespace

void connectFieldHandlers(Form1& form)
{
    // Combo12, the sixth walk-up key, has no handler.
    for (int slot = 0; slot < kSixthWalkUpSlot; ++slot)
        QObject::connect(form.keySlot(slot).list, &QComboBox::currentIndexChanged, &form,
                         [&form, slot] { keyChosen(form, slot); });

    for (const WindowField& row : windowFields(form)) {
        for (QCheckBox* box : checkBoxes(form, row.control))
            QObject::connect(box, &QCheckBox::stateChanged, &form, [&form] { CheckUpdate(form); });
        QLineEdit* field = row.control.text;
        const FieldCheck check = row.check;
        if (check.when == FieldCheck::When::OnLeaving)
            installLeaveCheck(form, *field, [&form, field, check] { leaveCheck(form, *field, check); });
        else if (check.when == FieldCheck::When::OnEveryChange)
            QObject::connect(field, &QLineEdit::textChanged, &form,
                             [&form, field, check] { changeCheck(form, *field, check); });
    }
}
