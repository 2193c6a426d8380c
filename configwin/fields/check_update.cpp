#include "fields/check_update.h"

#include "fields/window_fields.h"
#include "form/form1.h"
#include "text/text_number.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QLineEdit>

#include <optional>

namespace {

// Values are compared unrounded; a text the strict rule cannot read differs
// from every field.
bool differs(const Form1& form, const WindowField& row, WindowRecords& records)
{
    const std::int16_t field = row.fieldIn(records);
    const FieldControl& control = row.control;
    switch (row.compared) {
    case Rule::Strict: {
        const std::optional<double> shown = strictNumber(control.text->text());
        return !shown || *shown != field;
    }
    case Rule::Leading:
        return numericValue(control.text->text()) != field;
    case Rule::Bit:
        return checkValue(*control.box) != ((field >> control.bit) & 1);
    case Rule::ModifierByte:
        return modifierByte(form, control.modifierSlot) != field;
    case Rule::None:
    case Rule::KeyCount:
        break;
    }
    return false;
}

}  // namespace

void CheckUpdate(Form1& form)
{
    form.DeviceUpdated = true;
    setCheckValue(*form.ConfigChanged, 0);
    if (form.FirstLoad == 1)
        return;
    WindowRecords records;
    const std::vector<WindowField> rows = windowFields(form);
    for (const RecordAccess& record : kRecords) {
        if (!record.get(records))
            record.compareReporter(form, QLatin1String(record.compareLabel));
        for (const WindowField& row : rows)
            if (row.record == record.record && differs(form, row, records))
                form.DeviceUpdated = false;
    }
    setCheckValue(*form.ConfigChanged, form.DeviceUpdated ? 0 : 1);
}
