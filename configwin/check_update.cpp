#include "form_logic.h"

#include "check_value.h"
#include "dravik_binding.h"
#include "form1.h"
#include "key_slots.h"
#include "keystroke_record.h"
#include "text_number.h"

#include <QCheckBox>
#include <QLineEdit>

#include <cstdint>

namespace {

// Compares shown values with record fields; any difference clears
// DeviceUpdated. Values are compared unrounded.
class Comparison {
public:
    explicit Comparison(Form1& form) : form_(form) {}

    // A text the strict rule cannot read differs from every field.
    void strict(const QLineEdit& box, std::int16_t field)
    {
        const std::optional<double> shown = strictNumber(box.text());
        differsIf(!shown || *shown != field);
    }
    void leading(const QLineEdit& box, std::int16_t field) { differsIf(numericValue(box.text()) != field); }
    void bit(const QCheckBox& box, std::int16_t field, int bit)
    {
        differsIf(checkValue(box) != ((field >> bit) & 1));
    }
    void modifier(int slot, std::int16_t field) { differsIf(modifierByte(form_, slot) != field); }

    void keystrokeRecord(KeystrokeFields fields, int firstSlot)
    {
        for (int key = 0; key < kShownKeys; ++key)
            modifier(firstSlot + key, *fields.mods[key]);
        for (int key = 0; key < kShownKeys; ++key)
            strict(*form_.keySlot(firstSlot + key).codeBox, *fields.codes[key]);
    }

private:
    void differsIf(bool differs)
    {
        if (differs)
            form_.DeviceUpdated = false;
    }

    Form1& form_;
};

}  // namespace

void CheckUpdate(Form1& form)
{
    form.DeviceUpdated = true;
    setCheckValue(*form.ConfigChanged, 0);
    if (form.FirstLoad == 1)
        return;
    Comparison compare(form);

    tsIdleParms idle{};
    if (!dravik::GetIdleParms(&idle))
        ErReason(form, QStringLiteral("USB GetIdleParms"));
    compare.strict(*form.PressRate, idle.PressRateI);
    compare.modifier(kIdleSlot, idle.Key1ModsI);
    compare.leading(*form.Key6Code, idle.Key1CodeI);

    tsTyvelParms sensing{};
    if (!dravik::GetTyvelParms(&sensing))
        ErReason(form, QStringLiteral("USB GetTyvelParms"));
    compare.bit(*form.bNoShowORLED, sensing.LEDFlagsS, 1);
    compare.bit(*form.bNoShowXtLED, sensing.LEDFlagsS, 2);
    compare.bit(*form.bNoShowIRLED, sensing.LEDFlagsS, 0);
    compare.strict(*form.MaxDist, sensing.MaxDistS);
    compare.strict(*form.ORDBTm, sensing.ORDBTmS);
    compare.strict(*form.IRDBTm, sensing.IRDBTmS);
    compare.strict(*form.StartDly, sensing.StartDlyS);

    tsObjRangeInfo range{};
    if (!dravik::GetObjRangeInfo(&range))
        ErReasonQuiet(form, QStringLiteral("USB range"));
    compare.strict(*form.wCurrRange, range.CurrRange);
    compare.strict(*form.bInRange, range.InRange);
    compare.strict(*form.bInRangePend, range.InRangePend);

    tsWalkAwayParms away{};
    if (!dravik::GetWalkAwayParms(&away))
        ErReason(form, QStringLiteral("USB GetWalkAway"));
    compare.strict(*form.KeyCount, away.KeyCountWA);
    compare.leading(*form.InterKeyDelay, away.InterKeyDelayWA);
    compare.keystrokeRecord(keystrokeFields(away), kFirstWalkAwaySlot);

    tsWalkUpParms up{};
    if (!dravik::GetWalkUpParms(&up))
        ErReason(form, QStringLiteral("USB GetWalkUp"));
    compare.leading(*form.KeyCountUp, up.KeyCountWU);
    compare.leading(*form.InterKeyDelayUp, up.InterKeyDelayWU);
    compare.keystrokeRecord(keystrokeFields(up), kFirstWalkUpSlot);

    setCheckValue(*form.ConfigChanged, form.DeviceUpdated ? 0 : 1);
}
