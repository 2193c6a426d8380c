#include "form_logic.h"

#include "check_value.h"
#include "dravik_binding.h"
#include "event_rules.h"
#include "form1.h"
#include "key_slots.h"
#include "keystroke_record.h"

#include <QCheckBox>
#include <QLineEdit>

#include <algorithm>

namespace {

QString decimal(int value)
{
    return QString::number(value);
}

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

void showKeystrokeRecord(Form1& form, KeystrokeFields fields, int firstSlot)
{
    for (int key = 0; key < kShownKeys; ++key)
        showModifierWord(form, firstSlot + key, *fields.mods[key]);
    for (int key = 0; key < kShownKeys; ++key)
        selectEntryWithCode(*form.keySlot(firstSlot + key).list, *fields.codes[key]);
}

}  // namespace

void ReadConfig(Form1& form)
{
    tsIdleParms idle{};
    if (!dravik::GetIdleParms(&idle))
        ErReason(form, QStringLiteral("USB ReadIdleParms"));
    form.PressRate->setText(decimal(idle.PressRateI));
    showModifierWord(form, kIdleSlot, idle.Key1ModsI);
    // Its handler is what writes the idle code box.
    selectEntryWithCode(*form.Combo6, idle.Key1CodeI);

    tsTyvelParms sensing{};
    if (!dravik::GetTyvelParms(&sensing))
        ErReason(form, QStringLiteral("USB ReadTyvelParms"));
    setCheckValue(*form.bNoShowORLED, (sensing.LEDFlagsS >> 1) & 1);
    setCheckValue(*form.bNoShowXtLED, (sensing.LEDFlagsS >> 2) & 1);
    setCheckValue(*form.bNoShowIRLED, sensing.LEDFlagsS & 1);
    form.MaxDist->setText(decimal(sensing.MaxDistS));
    form.ORDBTm->setText(decimal(sensing.ORDBTmS));
    form.IRDBTm->setText(decimal(sensing.IRDBTmS));
    form.StartDly->setText(decimal(sensing.StartDlyS));

    tsObjRangeInfo range{};
    if (!dravik::GetObjRangeInfo(&range))
        ErReason(form, QStringLiteral("USB Getrange"));
    form.wCurrRange->setText(decimal(range.CurrRange));
    form.bInRange->setText(decimal(range.InRange));
    form.bInRangePend->setText(decimal(range.InRangePend));
    form.bOutRangePend->setText(decimal(range.OutRangePend));

    tsWalkAwayParms away{};
    if (!dravik::GetWalkAwayParms(&away))
        ErReason(form, QStringLiteral("USB ReadWalkAway"));
    const KeystrokeFields awayFields = keystrokeFields(away);
    form.KeyCount->setText(decimal(away.KeyCountWA));
    form.InterKeyDelay->setText(decimal(away.InterKeyDelayWA));
    // Key6Mods sits in the idle frame but shows the sixth walk-away modifier.
    QLineEdit* const modifierWords[] = {form.Key1Mods, form.Key2Mods, form.Key3Mods,
                                        form.Key4Mods, form.Key5Mods, form.Key6Mods};
    for (int key = 0; key < 6; ++key)
        modifierWords[key]->setText(decimal(*awayFields.mods[key]));
    for (int key = 0; key < kShownKeys; ++key)
        form.keySlot(kFirstWalkAwaySlot + key).codeBox->setText(decimal(*awayFields.codes[key]));
    showKeystrokeRecord(form, awayFields, kFirstWalkAwaySlot);

    tsWalkUpParms up{};
    if (!dravik::GetWalkUpParms(&up))
        ErReason(form, QStringLiteral("USB ReadWalkUp"));
    const KeystrokeFields upFields = keystrokeFields(up);
    form.KeyCountUp->setText(decimal(up.KeyCountWU));
    form.InterKeyDelayUp->setText(decimal(up.InterKeyDelayWU));
    for (int key = 0; key < 6; ++key)
        form.Text4[key]->setText(decimal(*upFields.codes[key]));
    showKeystrokeRecord(form, upFields, kFirstWalkUpSlot);

    if (form.FirstLoad == 1)
        form.FirstLoad = 0;
}
