#include "form_logic.h"

#include "check_value.h"
#include "dravik_binding.h"
#include "form1.h"
#include "key_slots.h"
#include "keystroke_record.h"
#include "text_number.h"

#include <QCheckBox>
#include <QLineEdit>

#include <array>
#include <cstdint>
#include <optional>

namespace {

// The two ways a field's text is read: the whole text as a number, or the
// number its leading part gives (0 for none).
enum class Reading { Strict, Numeric };

struct Range {
    int low;
    int high;
};
constexpr Range kWord{-32768, 32767};
// Delays and key codes travel to the sensor as one byte.
constexpr Range kByte{0, 255};

enum class Problem { NotANumber, OutOfRange };

struct Conversion {
    std::optional<std::int16_t> value;
    Problem problem = Problem::NotANumber;
};

Conversion convert(const QString& text, Reading reading, Range range)
{
    double number = 0;
    if (reading == Reading::Strict) {
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

// Everything the window itself contributes to the four records, read before
// the library is touched so that a field that cannot be written stops the
// whole write.
struct ShownValues {
    // Out of the user's sight: without a value the fetched one is kept.
    std::optional<std::int16_t> pressRate;
    std::optional<std::int16_t> idleCode;
    std::int16_t maxDist = 0;
    std::int16_t walkAwayDelay = 0;
    std::int16_t walkUpDelay = 0;
    std::int16_t powerUpDelay = 0;
    std::int16_t walkAwayKeyDelay = 0;
    std::int16_t walkUpKeyDelay = 0;
    std::array<std::int16_t, kShownKeys> walkAwayCodes{};
    std::array<std::int16_t, kShownKeys> walkUpCodes{};
};

class ShownValueReader {
public:
    std::int16_t read(const QLineEdit& box, Reading reading, Range range, const QString& where)
    {
        if (refusal_)
            return 0;
        const Conversion conversion = convert(box.text(), reading, range);
        if (!conversion.value) {
            const QString quoted = QLatin1Char('"') + box.text() + QLatin1Char('"');
            refusal_ = conversion.problem == Problem::NotANumber
                           ? QStringLiteral("%1: %2 is not a number.").arg(where, quoted)
                           : QStringLiteral("%1: %2 must be between %3 and %4.")
                                 .arg(where, quoted).arg(range.low).arg(range.high);
            *refusal_ += QStringLiteral("  Nothing was written to the device.");
        }
        return conversion.value.value_or(0);
    }

    static std::optional<std::int16_t> readHidden(const QLineEdit& box, Reading reading, Range range)
    {
        return convert(box.text(), reading, range).value;
    }

    const std::optional<QString>& refusal() const { return refusal_; }

private:
    std::optional<QString> refusal_;
};

QString keyCodeName(const char* tab, int key)
{
    return QStringLiteral("%1 Keystrokes, Keystroke %2, key code").arg(QLatin1String(tab)).arg(key + 1);
}

std::optional<ShownValues> readShownValues(Form1& form)
{
    ShownValueReader reader;
    ShownValues shown;
    shown.pressRate = reader.readHidden(*form.PressRate, Reading::Strict, kByte);
    shown.idleCode = reader.readHidden(*form.Key6Code, Reading::Strict, kByte);
    shown.maxDist = reader.read(*form.MaxDist, Reading::Numeric, kWord, QStringLiteral("Detection range"));
    shown.walkAwayDelay = reader.read(*form.ORDBTm, Reading::Numeric, kByte, QStringLiteral("Walk-Away Delay"));
    shown.walkUpDelay = reader.read(*form.IRDBTm, Reading::Numeric, kByte, QStringLiteral("Walk-Up Delay"));
    shown.powerUpDelay = reader.read(*form.StartDly, Reading::Numeric, kByte, QStringLiteral("Power-up Delay"));
    shown.walkAwayKeyDelay = reader.read(*form.InterKeyDelay, Reading::Numeric, kWord,
                                         QStringLiteral("Walk-Away Keystrokes, Key delay"));
    for (int key = 0; key < kShownKeys; ++key)
        shown.walkAwayCodes[key] = reader.read(*form.keySlot(kFirstWalkAwaySlot + key).codeBox, Reading::Strict,
                                               kByte, keyCodeName("Walk-Away", key));
    shown.walkUpKeyDelay = reader.read(*form.InterKeyDelayUp, Reading::Strict, kWord,
                                       QStringLiteral("Walk-Up Keystrokes, Key delay"));
    for (int key = 0; key < kShownKeys; ++key)
        shown.walkUpCodes[key] = reader.read(*form.keySlot(kFirstWalkUpSlot + key).codeBox, Reading::Numeric,
                                             kByte, keyCodeName("Walk-Up", key));
    if (reader.refusal()) {
        form.ui.message({*reader.refusal(), MessageButtons::Ok, MessageIcon::Critical, DefaultButton::First,
                         QString::fromLatin1(kAppTitle)});
        return std::nullopt;
    }
    return shown;
}

// Counts the keys among the first five that have a modifier or a code,
// wherever the empty ones lie; the sixth key is always empty.
void buildKeystrokeRecord(const Form1& form, KeystrokeFields fields, int firstSlot, std::int16_t delay,
                          const std::array<std::int16_t, kShownKeys>& codes)
{
    fields.delay = delay;
    fields.count = kShownKeys;
    for (int key = 0; key < kShownKeys; ++key) {
        *fields.mods[key] = static_cast<std::int16_t>(modifierByte(form, firstSlot + key));
        *fields.codes[key] = codes[key];
    }
    for (int key = kShownKeys - 1; key >= 0; --key)
        if (*fields.mods[key] == 0 && *fields.codes[key] == 0)
            --fields.count;
}

}  // namespace

bool WriteConfig(Form1& form)
{
    const std::optional<ShownValues> shown = readShownValues(form);
    if (!shown)
        return false;
    bool allStored = true;

    tsIdleParms idle{};
    if (!dravik::GetIdleParms(&idle))
        ErReason(form, QStringLiteral("USB getIdleParms"));
    idle.PressRateI = shown->pressRate.value_or(idle.PressRateI);
    idle.Key1ModsI = static_cast<std::int16_t>(modifierByte(form, kIdleSlot));
    idle.Key1CodeI = shown->idleCode.value_or(idle.Key1CodeI);
    if (!dravik::SetIdleParms(&idle)) {
        ErReason(form, QStringLiteral("USB SetIdleParms"));
        allStored = false;
    }

    tsTyvelParms sensing{};
    if (!dravik::GetTyvelParms(&sensing))
        ErReason(form, QStringLiteral("USB getTyvelParms"));
    sensing.LEDFlagsS = static_cast<std::int16_t>(checkValue(*form.bNoShowIRLED) * 1 + checkValue(*form.bNoShowORLED) * 2
                                                  + checkValue(*form.bNoShowXtLED) * 4);
    sensing.MaxDistS = shown->maxDist;
    sensing.ORDBTmS = shown->walkAwayDelay;
    sensing.IRDBTmS = shown->walkUpDelay;
    sensing.StartDlyS = shown->powerUpDelay;
    if (!dravik::SetTyvelParms(&sensing)) {
        ErReason(form, QStringLiteral("USB SetTyvelParms"));
        allStored = false;
    }

    tsWalkAwayParms away{};
    buildKeystrokeRecord(form, keystrokeFields(away), kFirstWalkAwaySlot, shown->walkAwayKeyDelay,
                         shown->walkAwayCodes);
    if (!dravik::SetWalkAwayParms(&away)) {
        ErReason(form, QStringLiteral("USB SetWalkAway"));
        allStored = false;
    }

    tsWalkUpParms up{};
    buildKeystrokeRecord(form, keystrokeFields(up), kFirstWalkUpSlot, shown->walkUpKeyDelay, shown->walkUpCodes);
    if (!dravik::SetWalkUpParms(&up)) {
        ErReason(form, QStringLiteral("USB SetWalkUp"));
        allStored = false;
    }

    // The counts shown follow the write, so the next comparison finds them equal.
    form.KeyCount->setText(QString::number(away.KeyCountWA));
    form.KeyCountUp->setText(QString::number(up.KeyCountWU));

    form.DeviceUpdated = true;
    setCheckValue(*form.ConfigChanged, 0);
    const bool sent = dravik::WriteCfg() != 0;
    if (!sent)
        ErReason(form, QStringLiteral("USB WriteCfg"));
    // A refused record or a failed send leaves the sensor unlike the window.
    if (!allStored || !sent) {
        form.DeviceUpdated = false;
        setCheckValue(*form.ConfigChanged, 1);
    }
    return true;
}
