#include "fields/write_config.h"

#include "binding/dravik_binding.h"
#include "fields/er_reason.h"
#include "fields/keystroke_record.h"
#include "fields/window_fields.h"
#include "form/form1.h"
#include "form/key_slots.h"
#include "text/text_number.h"
#include "text/visible_controls.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cstdint>
#include <optional>
#include <vector>

namespace {

enum class Problem { NotANumber, OutOfRange };

struct Conversion {
    std::optional<std::int16_t> value;
    Problem problem = Problem::NotANumber;
};

Conversion convert(const QString& text, Rule rule, Range range)
{
    double number = 0;
    if (rule == Rule::Strict) {
        const std::optional<double> strict = strictNumber(text);
        if (!strict)
            return {std::nullopt, Problem::NotANumber};
        number = *strict;
    } else {
        number = numericValue(text);
    }
    const std::optional<std::int16_t> rounded = roundedToField(number);
    if (!rounded || *rounded < range.low || *rounded > range.high)
        return {std::nullopt, Problem::OutOfRange};
    return {rounded};
}

bool isTextRule(Rule rule)
{
    return rule == Rule::Strict || rule == Rule::Leading;
}

QString refusal(const WindowField& row, const Conversion& conversion)
{
    const QString quoted = QLatin1Char('"') + withVisibleControls(row.control.text->text()) + QLatin1Char('"');
    const Range range = row.writing.range;
    const QString fault = conversion.problem == Problem::NotANumber
                              ? QStringLiteral("%1: %2 is not a number.").arg(row.writing.named, quoted)
                              : QStringLiteral("%1: %2 must be between %3 and %4.")
                                    .arg(row.writing.named, quoted)
                                    .arg(range.low)
                                    .arg(range.high);
    return fault + QStringLiteral("  Nothing was written to the device.");
}

// The number each text row contributes, read before the library is touched so
// that a field that cannot be written stops the whole write; without a value
// a row out of the user's sight keeps what was fetched.
std::optional<std::vector<std::optional<std::int16_t>>> readShownTexts(Form1& form,
                                                                       const std::vector<WindowField>& rows)
{
    std::vector<std::optional<std::int16_t>> values(rows.size());
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const WindowField& row = rows[index];
        if (!isTextRule(row.writing.rule))
            continue;
        const Conversion conversion = convert(row.control.text->text(), row.writing.rule, row.writing.range);
        if (!conversion.value && row.writing.unconvertible == Unconvertible::RefuseTheWrite) {
            form.ui.message({refusal(row, conversion), MessageButtons::Ok, MessageIcon::Critical, DefaultButton::First,
                             QString::fromLatin1(kAppTitle)});
            return std::nullopt;
        }
        values[index] = conversion.value;
    }
    return values;
}

// The keys among the first five that have a modifier or a code, wherever the
// empty ones lie.
std::int16_t keyCount(const KeystrokeFields& keys)
{
    std::int16_t count = kShownKeys;
    for (int key = kShownKeys - 1; key >= 0; --key)
        if (*keys.mods[key] == 0 && *keys.codes[key] == 0)
            --count;
    return count;
}

KeystrokeFields keystrokesOf(WindowRecords& records, Record record)
{
    return record == Record::WalkAway ? keystrokeFields(records.away) : keystrokeFields(records.up);
}

void build(const Form1& form, WindowRecords& records, const std::vector<WindowField>& rows,
           const std::vector<std::optional<std::int16_t>>& texts, Record record)
{
    for (const WindowField& row : rows)
        if (row.record == record && row.writing.rule == Rule::Bit)
            row.fieldIn(records) = 0;
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const WindowField& row = rows[index];
        if (row.record != record)
            continue;
        std::int16_t& field = row.fieldIn(records);
        switch (row.writing.rule) {
        case Rule::Strict:
        case Rule::Leading:
            field = texts[index].value_or(field);
            break;
        case Rule::Bit:
            field = static_cast<std::int16_t>(field + checkValue(*row.control.box) * (1 << row.control.bit));
            break;
        case Rule::ModifierByte:
            field = static_cast<std::int16_t>(modifierByte(form, row.control.modifierSlot));
            break;
        case Rule::None:
        case Rule::KeyCount:
            break;
        }
    }
    for (const WindowField& row : rows)
        if (row.record == record && row.writing.rule == Rule::KeyCount)
            row.fieldIn(records) = keyCount(keystrokesOf(records, record));
}

}  // namespace

WriteOutcome writeConfigOutcome(Form1& form)
{
    WindowRecords records;
    const std::vector<WindowField> rows = windowFields(form);
    const auto texts = readShownTexts(form, rows);
    if (!texts)
        return {};

    WriteOutcome outcome{true};
    for (const RecordAccess& record : kRecords) {
        if (!record.set)
            continue;
        if (record.writeGetLabel && !record.get(records))
            ErReason(form, QLatin1String(record.writeGetLabel));
        build(form, records, rows, *texts, record.record);
        if (!record.set(records)) {
            ErReason(form, QLatin1String(record.setLabel));
            outcome.recordRefused = true;
        }
    }

    // The counts shown follow the write, so the next comparison finds them equal.
    for (const WindowField& row : rows)
        if (row.writing.rule == Rule::KeyCount)
            row.control.text->setText(QString::number(row.fieldIn(records)));

    form.DeviceUpdated = true;
    setCheckValue(*form.ConfigChanged, 0);
    outcome.sendFailed = dravik::WriteCfg() == 0;
    if (outcome.sendFailed)
        ErReason(form, QStringLiteral("USB WriteCfg"));
    // A refused record or a failed send leaves the sensor unlike the window.
    if (outcome.recordRefused || outcome.sendFailed) {
        form.DeviceUpdated = false;
        setCheckValue(*form.ConfigChanged, 1);
    }
    return outcome;
}

bool WriteConfig(Form1& form)
{
    return writeConfigOutcome(form).written;
}
