// The window's twelve key slots, numbered as the keystrokes they show, their
// names in messages, and the eight modifier boxes of each.
#ifndef CONFIGWIN_KEY_SLOTS_H
#define CONFIGWIN_KEY_SLOTS_H

#include <QString>

#include <array>

// Slots 0-4 walk-away keys 1-5, 5 the idle key, 6-10 walk-up keys 1-5,
// 11 the sixth walk-up key.
constexpr int kKeySlotCount = 12;
constexpr int kFirstWalkAwaySlot = 0;
constexpr int kIdleSlot = 5;
constexpr int kFirstWalkUpSlot = 6;
constexpr int kSixthWalkUpSlot = 11;

// The keys the window shows of a keystroke record; the sixth is never shown.
constexpr int kShownKeys = 5;

// "walk-away keystroke 1", "the idle keystroke", "walk-up keystroke 6".
QString keystrokeName(int slot);

// One of a slot's modifier boxes: the name of its control array, the bit of
// the USB HID modifier byte it stands for and that modifier's name.
struct ModifierKey {
    const char* name;
    int bit;
    const char* modifier;
};

// In the order a keystroke frame shows them: the left column's Shft, Ctrl,
// Alt, GUI, then the right column's boxes of the same rows.
inline constexpr std::array<ModifierKey, 8> kModifierKeys = {{
    {"Key1Mods2", 2, "left Shift"},
    {"Key1Mods1", 1, "left Ctrl"},
    {"Key1Mods4", 4, "left Alt"},
    {"Key1Mods8", 8, "left GUI"},
    {"Key1Mods32", 32, "right Shift"},
    {"Key1Mods16", 16, "right Ctrl"},
    {"Key1Mods64", 64, "right Alt"},
    {"Key1Mods128", 128, "right GUI"},
}};

#endif
