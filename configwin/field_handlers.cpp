// The handlers of single edits: key choices, modifier and LED clicks, the
// leave checks of the numeric fields and the two key-delay checks. Each ends
// in CheckUpdate.
#include "form_handlers.h"

#include "event_rules.h"
#include "form1.h"
#include "form_logic.h"
#include "key_slots.h"
#include "keystroke_record.h"
#include "text_number.h"

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
void rangeCheck(Form1& form, QLineEdit& field, double low, double high, const QString& message,
                const QString& resetText)
{
    const double value = numericValue(field.text());
    if (!(value >= low && value <= high)) {
        form.ui.message({message, MessageButtons::OkCancel, MessageIcon::Critical, DefaultButton::Second,
                         QStringLiteral("Tornel Parameter")});
        field.setText(resetText);
    }
    CheckUpdate(form);
}

// Runs on every change of the text; putting back "512" runs it again, nested,
// before the message shows.
void keyDelayCheck(Form1& form, QLineEdit& field)
{
    const double value = numericValue(field.text());
    if (!(value >= 64 && value <= 16320)) {
        field.setText(QStringLiteral("512"));
        form.ui.message({QStringLiteral("Delay must be in the range of (msec) min 64, max 16320!")});
    }
    CheckUpdate(form);
}

void addLeaveCheck(Form1& form, QLineEdit* field, double low, double high, const char* message,
                   const char* resetText)
{
    installLeaveCheck(form, *field, [&form, field, low, high, message, resetText] {
        rangeCheck(form, *field, low, high, QLatin1String(message), QLatin1String(resetText));
    });
}

}  // namespace

void connectFieldHandlers(Form1& form)
{
    // Combo12, the sixth walk-up key, has no handler.
    for (int slot = 0; slot < kSixthWalkUpSlot; ++slot)
        QObject::connect(form.keySlot(slot).list, &QComboBox::currentIndexChanged, &form,
                         [&form, slot] { keyChosen(form, slot); });

    const auto runCheckUpdate = [&form] { CheckUpdate(form); };
    for (const ModifierColumn& column : kModifierColumns)
        for (QCheckBox* box : form.*column.boxes)
            QObject::connect(box, &QCheckBox::stateChanged, &form, runCheckUpdate);
    for (QCheckBox* led : {form.bNoShowIRLED, form.bNoShowORLED, form.bNoShowXtLED})
        QObject::connect(led, &QCheckBox::stateChanged, &form, runCheckUpdate);

    for (QLineEdit* delay : {form.InterKeyDelay, form.InterKeyDelayUp})
        QObject::connect(delay, &QLineEdit::textChanged, &form, [&form, delay] { keyDelayCheck(form, *delay); });

    addLeaveCheck(form, form.MaxDist, 14, 60, "The value must be between 14 and 60!", "36");
    for (QLineEdit* seconds : {form.IRDBTm, form.ORDBTm, form.StartDly, form.PressRate})
        addLeaveCheck(form, seconds, 0, 255, "The value must be between 0 and 255!", "0");
}
