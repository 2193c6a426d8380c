#ifndef CONFIGWIN_KEY_SLOTS_H
#define CONFIGWIN_KEY_SLOTS_H

#include "form1.h"

#include <array>

// One of the eight modifier check-box arrays with the bit of the USB HID
// modifier byte it stands for.
struct ModifierColumn {
    KeySlotCheckBoxes Form1::*boxes;
    const char* name;
    int bit;
};

// In the order a keystroke frame shows them: the left column's Shft, Ctrl,
// Alt, GUI, then the right column's boxes of the same rows.
extern const std::array<ModifierColumn, 8> kModifierColumns;

// The slot's modifier byte: each box's value times its bit, summed.
int modifierByte(const Form1& form, int slot);

#endif
