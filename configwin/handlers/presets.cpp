#include "handlers/presets.h"

#include "binding/dravik_binding.h"
#include "fields/check_update.h"
#include "fields/er_reason.h"
#include "fields/write_config.h"
#include "form/form1.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include <cstddef>

namespace {

// One assignment to a keystroke control of a slot: a modifier box ticked or
// cleared, a code box's text, or a key list's text (never its selection).
struct PresetStep {
    enum Kind { Tick, Clear, Code, List } kind;
    int slot;
    KeySlotCheckBoxes Form1::*boxes = nullptr;
    const char* text = nullptr;
};

constexpr PresetStep tick(KeySlotCheckBoxes Form1::*boxes, int slot)
{
    return {PresetStep::Tick, slot, boxes};
}
constexpr PresetStep clear(KeySlotCheckBoxes Form1::*boxes, int slot)
{
    return {PresetStep::Clear, slot, boxes};
}
constexpr PresetStep code(int slot, const char* text)
{
    return {PresetStep::Code, slot, nullptr, text};
}
constexpr PresetStep list(int slot, const char* text)
{
    return {PresetStep::List, slot, nullptr, text};
}

constexpr auto Ctrl = &Form1::Key1Mods1;
constexpr auto Alt = &Form1::Key1Mods4;
constexpr auto Gui = &Form1::Key1Mods8;

// Slots 0-4 are the walk-away keys 1-5, slots 6-10 the walk-up keys 1-5.
// clang-format off
constexpr PresetStep kWindows2000[] = {
    tick(Ctrl, 0), tick(Alt, 0),
    code(0, "76"), list(0, "DELETE"),
    code(1, "14"), list(1, "k"),
    list(2, "BCKSPC"), code(2, "42"),
    list(3, "ESC"), code(3, "41"),
    list(4, "NONE"), code(4, "0"),
    tick(Ctrl, 6), tick(Alt, 6),
    code(6, "76"), list(6, "DELETE"),
    code(7, "0"), code(8, "0"), list(7, "NONE"), list(8, "NONE"),
};
// clang-format on

// clang-format off
constexpr PresetStep kWindowsXpClassic[] = {
    tick(Ctrl, 0), tick(Alt, 0),
    code(0, "15"), list(0, "L"),
    code(1, "0"), list(1, "NONE"),
    code(2, "0"), list(2, "NONE"),
    code(3, "0"), list(3, "NONE"),
    code(4, "0"), list(4, "NONE"),
    tick(Gui, 0), clear(Ctrl, 0), clear(Alt, 0),
    code(0, "15"), list(0, "L"),
    clear(Gui, 6), tick(Alt, 6), tick(Ctrl, 6),
    code(6, "76"), list(6, "DELETE"),
    code(7, "0"), code(8, "0"), list(7, "NONE"), list(8, "NONE"),
};
// clang-format on

// clang-format off
constexpr PresetStep kXpWelcomeScreen[] = {
    tick(Gui, 0), clear(Ctrl, 0), clear(Alt, 0),
    code(0, "15"), list(0, "L"),
    code(1, "0"), list(1, "NONE"),
    code(2, "0"), list(2, "NONE"),
    code(3, "0"), list(3, "NONE"),
    code(4, "0"), list(4, "NONE"),
    clear(Ctrl, 6), clear(Alt, 6),
    code(6, "0"), list(6, "NONE"),
    code(7, "0"), list(7, "NONE"),
    code(8, "0"), list(8, "NONE"),
    code(9, "0"), list(9, "NONE"),
    code(10, "0"), list(10, "NONE"),
    // clang-format on
};

struct Preset {
    QRadioButton* Form1::*button;
    bool announces;
    const PresetStep* begin;
    const PresetStep* end;
    const char* writtenLabel;
};

void apply(Form1& form, const PresetStep& step)
{
    const KeySlot& slot = form.keySlot(step.slot);
    switch (step.kind) {
    case PresetStep::Tick:
    case PresetStep::Clear:
        setCheckValue(*(form.*step.boxes)[step.slot], step.kind == PresetStep::Tick ? 1 : 0);
        break;
    case PresetStep::Code:
        slot.codeBox->setText(QLatin1String(step.text));
        break;
    case PresetStep::List:
        slot.list->setEditText(QLatin1String(step.text));
        break;
    }
}

// An option button of an exclusive group can't be cleared while it is the
// group's checked one; without clearing it could not be chosen again.
void clearOption(QRadioButton& button)
{
    button.setAutoExclusive(false);
    button.setChecked(false);
    button.setAutoExclusive(true);
}

void run(Form1& form, const Preset& preset)
{
    if (preset.announces)
        ErReason(form, QStringLiteral("Working, please wait..."));
    if (!dravik::ResetFactoryDflts())
        ErReason(form, QStringLiteral("USB reset"));
    if (!WriteConfig(form)) {
        clearOption(*(form.*preset.button));
        return;
    }
    for (const PresetStep* step = preset.begin; step != preset.end; ++step)
        apply(form, *step);
    CheckUpdate(form);
    const bool written = WriteConfig(form);
    clearOption(*(form.*preset.button));
    if (written)
        ErReason(form, QLatin1String(preset.writtenLabel));
}

template <std::size_t Size>
Preset preset(QRadioButton* Form1::*button, bool announces, const PresetStep (&steps)[Size], const char* label)
{
    return {button, announces, steps, steps + Size, label};
}

}  // namespace

void Option1_Click(Form1& form)
{
    run(form, preset(&Form1::Option1, true, kWindows2000, "Windows 2k Written"));
}

void Option2_Click(Form1& form)
{
    run(form, preset(&Form1::Option2, false, kWindowsXpClassic, "Windows XP Classic Written"));
}

void Option3_Click(Form1& form)
{
    run(form, preset(&Form1::Option3, true, kXpWelcomeScreen, "Windows XP Written"));
}
