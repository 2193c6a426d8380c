#include "fields/window_fields.h"

#include "binding/dravik_binding.h"
#include "fields/er_reason.h"
#include "fields/keystroke_record.h"
#include "form/form1.h"

#include <QLineEdit>

const std::array<RecordAccess, 5> kRecords = {{
    {Record::Idle, [](WindowRecords& r) { return dravik::GetIdleParms(&r.idle); },
     [](WindowRecords& r) { return dravik::SetIdleParms(&r.idle); }, "USB ReadIdleParms", "USB GetIdleParms", ErReason,
     "USB getIdleParms", "USB SetIdleParms"},
    {Record::Sensing, [](WindowRecords& r) { return dravik::GetTyvelParms(&r.sensing); },
     [](WindowRecords& r) { return dravik::SetTyvelParms(&r.sensing); }, "USB ReadTyvelParms", "USB GetTyvelParms",
     ErReason, "USB getTyvelParms", "USB SetTyvelParms"},
    {Record::Range, [](WindowRecords& r) { return dravik::GetObjRangeInfo(&r.range); }, nullptr, "USB Getrange",
     "USB range", ErReasonQuiet, nullptr, nullptr},
    {Record::WalkAway, [](WindowRecords& r) { return dravik::GetWalkAwayParms(&r.away); },
     [](WindowRecords& r) { return dravik::SetWalkAwayParms(&r.away); }, "USB ReadWalkAway", "USB GetWalkAway",
     ErReason, nullptr, "USB SetWalkAway"},
    {Record::WalkUp, [](WindowRecords& r) { return dravik::GetWalkUpParms(&r.up); },
     [](WindowRecords& r) { return dravik::SetWalkUpParms(&r.up); }, "USB ReadWalkUp", "USB GetWalkUp", ErReason,
     nullptr, "USB SetWalkUp"},
}};

namespace {

FieldControl textBox(QLineEdit* box)
{
    FieldControl control;
    control.text = box;
    return control;
}

FieldControl bitBox(QCheckBox* box, int bit)
{
    FieldControl control;
    control.box = box;
    control.bit = bit;
    return control;
}

FieldControl modifierBoxes(int slot)
{
    FieldControl control;
    control.modifierSlot = slot;
    return control;
}

FieldControl keyList(KeyListBox* list)
{
    FieldControl control;
    control.list = list;
    return control;
}

Writing refusing(Rule rule, Range range, const QString& named)
{
    return {rule, range, Unconvertible::RefuseTheWrite, named};
}

Writing keeping(Rule rule, Range range)
{
    return {rule, range, Unconvertible::KeepTheFetchedValue, QString()};
}

Writing byRule(Rule rule)
{
    return {rule, kWord, Unconvertible::RefuseTheWrite, QString()};
}

const Writing kNotWritten{};
const FieldCheck kNoCheck{};
const FieldCheck kDistanceCheck{FieldCheck::When::OnLeaving, 14, 60, "The value must be between 14 and 60!", "36"};
const FieldCheck kSecondsCheck{FieldCheck::When::OnLeaving, 0, 255, "The value must be between 0 and 255!", "0"};
const FieldCheck kKeyDelayCheck{FieldCheck::When::OnEveryChange, 64, 16320,
                                "Delay must be in the range of (msec) min 64, max 16320!", "512"};

using FieldIn = std::function<std::int16_t&(WindowRecords&)>;

template <typename Parms>
FieldIn fieldIn(Parms WindowRecords::*record, std::int16_t Parms::*field)
{
    return [record, field](WindowRecords& records) -> std::int16_t& { return records.*record.*field; };
}

using KeystrokesIn = KeystrokeFields (*)(WindowRecords&);
using KeyFields = std::array<std::int16_t*, 6> KeystrokeFields::*;

FieldIn keyFieldIn(KeystrokesIn keystrokes, KeyFields fields, int key)
{
    return [keystrokes, fields, key](WindowRecords& records) -> std::int16_t& {
        return *(keystrokes(records).*fields)[key];
    };
}

// What a keystroke record's rows differ in between walk-away and walk-up.
struct KeystrokeRows {
    Record record;
    KeystrokesIn keystrokes;
    int firstSlot;
    const char* tab;
    // Walk-up keeps its sixth key in the hidden slot 11.
    int keysWithSlot;
    Rule codesWritten;
};

void appendKeystrokeRows(std::vector<WindowField>& rows, Form1& form, const KeystrokeRows& keys)
{
    for (int key = 0; key < keys.keysWithSlot; ++key) {
        const bool shown = key < kShownKeys;
        QLineEdit* box = form.keySlot(shown ? keys.firstSlot + key : kSixthWalkUpSlot).codeBox;
        const QString name = keys.firstSlot == kFirstWalkUpSlot ? QStringLiteral("Text4(%1)").arg(key)
                                                                : box->objectName();
        const QString named =
            QStringLiteral("%1 Keystrokes, Keystroke %2, key code").arg(QLatin1String(keys.tab)).arg(key + 1);
        rows.push_back({keys.record, name, textBox(box), keyFieldIn(keys.keystrokes, &KeystrokeFields::codes, key),
                        Shown::Decimal, shown ? refusing(keys.codesWritten, kByte, named) : kNotWritten,
                        shown ? Rule::Strict : Rule::None, kNoCheck});
    }
    // The sixth walk-up key's boxes are out of sight: only settings files set
    // them, yet each change still runs the check like any other box's.
    for (int key = 0; key < keys.keysWithSlot; ++key) {
        const bool shown = key < kShownKeys;
        const int slot = keys.firstSlot + key;
        rows.push_back({keys.record, QStringLiteral("modifiers of %1").arg(keystrokeName(slot)), modifierBoxes(slot),
                        keyFieldIn(keys.keystrokes, &KeystrokeFields::mods, key),
                        shown ? Shown::ModifierBoxes : Shown::Kept, shown ? byRule(Rule::ModifierByte) : kNotWritten,
                        shown ? Rule::ModifierByte : Rule::None, kNoCheck});
    }
    for (int key = 0; key < kShownKeys; ++key) {
        KeyListBox* list = form.keySlot(keys.firstSlot + key).list;
        rows.push_back({keys.record, list->objectName(), keyList(list),
                        keyFieldIn(keys.keystrokes, &KeystrokeFields::codes, key), Shown::ListEntry, kNotWritten,
                        Rule::None, kNoCheck});
    }
}

}  // namespace

std::vector<WindowField> windowFields(Form1& f)
{
    using R = Record;
    using W = WindowRecords;
    // record, name, control, field, shown when read, writing, rule when compared, check
    std::vector<WindowField> rows{
        {R::Idle, QStringLiteral("PressRate"), textBox(f.PressRate), fieldIn(&W::idle, &tsIdleParms::PressRateI),
         Shown::Decimal, keeping(Rule::Strict, kByte), Rule::Strict, kSecondsCheck},
        {R::Idle, QStringLiteral("modifiers of the idle keystroke"), modifierBoxes(kIdleSlot),
         fieldIn(&W::idle, &tsIdleParms::Key1ModsI), Shown::ModifierBoxes, byRule(Rule::ModifierByte),
         Rule::ModifierByte, kNoCheck},
        {R::Idle, QStringLiteral("Combo6"), keyList(f.Combo6), fieldIn(&W::idle, &tsIdleParms::Key1CodeI),
         Shown::ListEntry, kNotWritten, Rule::None, kNoCheck},
        {R::Idle, QStringLiteral("Key6Code"), textBox(f.Key6Code), fieldIn(&W::idle, &tsIdleParms::Key1CodeI),
         Shown::ByItsList, keeping(Rule::Strict, kByte), Rule::Leading, kNoCheck},

        {R::Sensing, QStringLiteral("bNoShowORLED"), bitBox(f.bNoShowORLED, 1),
         fieldIn(&W::sensing, &tsTyvelParms::LEDFlagsS), Shown::Bit, byRule(Rule::Bit), Rule::Bit, kNoCheck},
        {R::Sensing, QStringLiteral("bNoShowXtLED"), bitBox(f.bNoShowXtLED, 2),
         fieldIn(&W::sensing, &tsTyvelParms::LEDFlagsS), Shown::Bit, byRule(Rule::Bit), Rule::Bit, kNoCheck},
        {R::Sensing, QStringLiteral("bNoShowIRLED"), bitBox(f.bNoShowIRLED, 0),
         fieldIn(&W::sensing, &tsTyvelParms::LEDFlagsS), Shown::Bit, byRule(Rule::Bit), Rule::Bit, kNoCheck},
        {R::Sensing, QStringLiteral("MaxDist"), textBox(f.MaxDist), fieldIn(&W::sensing, &tsTyvelParms::MaxDistS),
         Shown::Decimal, refusing(Rule::Leading, kWord, QStringLiteral("Detection range")), Rule::Strict,
         kDistanceCheck},
        {R::Sensing, QStringLiteral("ORDBTm"), textBox(f.ORDBTm), fieldIn(&W::sensing, &tsTyvelParms::ORDBTmS),
         Shown::Decimal, refusing(Rule::Leading, kByte, QStringLiteral("Walk-Away Delay")), Rule::Strict,
         kSecondsCheck},
        {R::Sensing, QStringLiteral("IRDBTm"), textBox(f.IRDBTm), fieldIn(&W::sensing, &tsTyvelParms::IRDBTmS),
         Shown::Decimal, refusing(Rule::Leading, kByte, QStringLiteral("Walk-Up Delay")), Rule::Strict, kSecondsCheck},
        {R::Sensing, QStringLiteral("StartDly"), textBox(f.StartDly), fieldIn(&W::sensing, &tsTyvelParms::StartDlyS),
         Shown::Decimal, refusing(Rule::Leading, kByte, QStringLiteral("Power-up Delay")), Rule::Strict, kSecondsCheck},

        {R::Range, QStringLiteral("wCurrRange"), textBox(f.wCurrRange), fieldIn(&W::range, &tsObjRangeInfo::CurrRange),
         Shown::Decimal, kNotWritten, Rule::Strict, kNoCheck},
        {R::Range, QStringLiteral("bInRange"), textBox(f.bInRange), fieldIn(&W::range, &tsObjRangeInfo::InRange),
         Shown::Decimal, kNotWritten, Rule::Strict, kNoCheck},
        {R::Range, QStringLiteral("bInRangePend"), textBox(f.bInRangePend),
         fieldIn(&W::range, &tsObjRangeInfo::InRangePend), Shown::Decimal, kNotWritten, Rule::Strict, kNoCheck},
        {R::Range, QStringLiteral("bOutRangePend"), textBox(f.bOutRangePend),
         fieldIn(&W::range, &tsObjRangeInfo::OutRangePend), Shown::Decimal, kNotWritten, Rule::None, kNoCheck},

        {R::WalkAway, QStringLiteral("KeyCount"), textBox(f.KeyCount), fieldIn(&W::away, &tsWalkAwayParms::KeyCountWA),
         Shown::Decimal, byRule(Rule::KeyCount), Rule::Strict, kNoCheck},
        {R::WalkAway, QStringLiteral("InterKeyDelay"), textBox(f.InterKeyDelay),
         fieldIn(&W::away, &tsWalkAwayParms::InterKeyDelayWA), Shown::Decimal,
         refusing(Rule::Leading, kWord, QStringLiteral("Walk-Away Keystrokes, Key delay")), Rule::Leading,
         kKeyDelayCheck},
    };
    // Key6Mods sits in the idle frame but shows the sixth walk-away modifier.
    const KeystrokesIn away = [](WindowRecords& r) { return keystrokeFields(r.away); };
    QLineEdit* const modifierWords[] = {f.Key1Mods, f.Key2Mods, f.Key3Mods, f.Key4Mods, f.Key5Mods, f.Key6Mods};
    for (int key = 0; key < 6; ++key)
        rows.push_back({R::WalkAway, modifierWords[key]->objectName(), textBox(modifierWords[key]),
                        keyFieldIn(away, &KeystrokeFields::mods, key), Shown::Decimal, kNotWritten, Rule::None,
                        kNoCheck});
    appendKeystrokeRows(rows, f, {R::WalkAway, away, kFirstWalkAwaySlot, "Walk-Away", kShownKeys, Rule::Strict});

    rows.push_back({R::WalkUp, QStringLiteral("KeyCountUp"), textBox(f.KeyCountUp),
                    fieldIn(&W::up, &tsWalkUpParms::KeyCountWU), Shown::Decimal, byRule(Rule::KeyCount), Rule::Leading,
                    kNoCheck});
    rows.push_back({R::WalkUp, QStringLiteral("InterKeyDelayUp"), textBox(f.InterKeyDelayUp),
                    fieldIn(&W::up, &tsWalkUpParms::InterKeyDelayWU), Shown::Decimal,
                    refusing(Rule::Strict, kWord, QStringLiteral("Walk-Up Keystrokes, Key delay")), Rule::Leading,
                    kKeyDelayCheck});
    appendKeystrokeRows(rows, f,
                        {R::WalkUp, [](WindowRecords& r) { return keystrokeFields(r.up); }, kFirstWalkUpSlot, "Walk-Up",
                         6, Rule::Leading});
    return rows;
}

std::vector<QCheckBox*> checkBoxes(const Form1& form, const FieldControl& control)
{
    if (control.box)
        return {control.box};
    std::vector<QCheckBox*> boxes;
    if (control.modifierSlot >= 0)
        for (const ModifierColumn& column : kModifierColumns)
            boxes.push_back((form.*column.boxes).at(control.modifierSlot));
    return boxes;
}
