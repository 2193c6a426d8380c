#include "fields/read_config.h"

#include "fields/er_reason.h"
#include "fields/window_fields.h"
#include "form/form1.h"
#include "widgets/check_value.h"
#include "widgets/event_rules.h"

#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>

namespace {

// Every box is assigned, lowest bit first, so each box that changes runs its
// handler in that order.
void showModifierWord(Form1& form, int slot, int word)
{
    for (int bit = 1; bit <= 128; bit <<= 1) {
        const auto column = std::find_if(kModifierColumns.begin(), kModifierColumns.end(),
                                         [bit](const ModifierColumn& c) { return c.bit == bit; });
        setCheckValue(*(form.*column->boxes).at(slot), (word & bit) != 0 ? 1 : 0);
    }
}

void show(Form1& form, const WindowField& row, WindowRecords& records)
{
    const std::int16_t field = row.fieldIn(records);
    const FieldControl& control = row.control;
    switch (row.shown) {
    case Shown::Decimal:
        control.text->setText(QString::number(field));
        break;
    case Shown::Bit:
        setCheckValue(*control.box, (field >> control.bit) & 1);
        break;
    case Shown::ModifierBoxes:
        showModifierWord(form, control.modifierSlot, field);
        break;
    case Shown::ListEntry:
        selectEntryWithCode(*control.list, field);
        break;
    case Shown::ByItsList:
    case Shown::Kept:
        break;
    }
}

}  // namespace

void ReadConfig(Form1& form)
{
    WindowRecords records;
    const std::vector<WindowField> rows = windowFields(form);
    for (const RecordAccess& record : kRecords) {
        if (!record.get(records))
            ErReason(form, QLatin1String(record.readLabel));
        for (const WindowField& row : rows)
            if (row.record == record.record)
                show(form, row, records);
    }
    if (form.FirstLoad == 1)
        form.FirstLoad = 0;
}
