// The settings file's lines: each stores one of the window's controls, a text
// between double quotes or a check box's state as a bare 0 or 1, and messages
// name a line by what it holds. Needs no widgets: the fuzz target checks files
// against these lines alone.
#ifndef CONFIGWIN_SETTINGS_LAYOUT_H
#define CONFIGWIN_SETTINGS_LAYOUT_H

#include "form/key_slots.h"

#include <QString>

#include <iterator>
#include <vector>

enum class LineForm { Text, State };

// A line of one control, named as messages name it. A key slot's control
// holds something of the slot's keystroke: {"Key1Code", "key code",
// LineForm::Text, 0} holds the "key code of walk-away keystroke 1".
struct StoredControl {
    const char* control;
    const char* holds;
    LineForm form;
    int slot = -1;
};

inline constexpr StoredControl kLinesBeforeModifierBoxes[] = {
    {"MaxDist", "detection range", LineForm::Text},
    {"IRDBTm", "walk-up delay", LineForm::Text},
    {"ORDBTm", "walk-away delay", LineForm::Text},
    {"StartDly", "power-up delay", LineForm::Text},
    {"bNoShowORLED", "\"Out-of-Range Red\"", LineForm::State},
    {"bNoShowXtLED", "\"Transition Yellow\"", LineForm::State},
    {"bNoShowIRLED", "\"In-Range Green\"", LineForm::State},
    {"Check1", "\"Disable keystrokes\"", LineForm::State},
    {"Key1Mods", "modifier word", LineForm::Text, 0},
    {"Key2Mods", "modifier word", LineForm::Text, 1},
    {"Key3Mods", "modifier word", LineForm::Text, 2},
    {"Key4Mods", "modifier word", LineForm::Text, 3},
    {"Key5Mods", "modifier word", LineForm::Text, 4},
    {"KeyCount", "walk-away key count", LineForm::Text},
    {"InterKeyDelay", "walk-away key delay", LineForm::Text},
    {"KeyCountUp", "walk-up key count", LineForm::Text},
    {"InterKeyDelayUp", "walk-up key delay", LineForm::Text},
};

// Then the state of every modifier box, the hidden slots' included: column
// after column of kModifierKeys, in each the slots in order, "Key1Mods2(0)"
// holding the "left Shift of walk-away keystroke 1".
inline constexpr int kModifierBoxLines = static_cast<int>(kModifierKeys.size()) * kKeySlotCount;

// clang-format off
inline constexpr StoredControl kLinesAfterModifierBoxes[] = {
    {"Combo1", "key name", LineForm::Text, 0},
    {"Key1Code", "key code", LineForm::Text, 0},
    {"Combo2", "key name", LineForm::Text, 1},
    {"Key2Code", "key code", LineForm::Text, 1},
    {"Combo3", "key name", LineForm::Text, 2},
    {"Key3Code", "key code", LineForm::Text, 2},
    {"Combo4", "key name", LineForm::Text, 3},
    {"Key4Code", "key code", LineForm::Text, 3},
    {"Combo5", "key name", LineForm::Text, 4},
    {"Key5Code", "key code", LineForm::Text, 4},
    {"Combo7", "key name", LineForm::Text, 6},
    {"Combo8", "key name", LineForm::Text, 7},
    {"Combo9", "key name", LineForm::Text, 8},
    {"Combo10", "key name", LineForm::Text, 9},
    {"Combo11", "key name", LineForm::Text, 10},
    {"Text4(0)", "key code", LineForm::Text, 6},
    {"Text4(1)", "key code", LineForm::Text, 7},
    {"Text4(2)", "key code", LineForm::Text, 8},
    {"Text4(3)", "key code", LineForm::Text, 9},
    {"Text4(4)", "key code", LineForm::Text, 10},
};
// clang-format on

inline constexpr int kSettingsFileLines = static_cast<int>(std::size(kLinesBeforeModifierBoxes)) + kModifierBoxLines +
                                          static_cast<int>(std::size(kLinesAfterModifierBoxes));

struct SettingsFileLine {
    int number;  // from 1
    QString control;
    QString holds;
    LineForm form;
};

// Every line, in the file's order.
const std::vector<SettingsFileLine>& settingsFileLines();

// The form of every line, in the file's order.
std::vector<LineForm> settingsLineForms();

#endif
