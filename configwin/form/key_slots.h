// The window's twelve key slots, numbered as the keystrokes they show, and
// their names in messages.
#ifndef CONFIGWIN_KEY_SLOTS_H
#define CONFIGWIN_KEY_SLOTS_H

#include <QString>

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

#endif
