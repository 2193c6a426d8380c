// The fixed catalogue of keys a keystroke slot can name.
#ifndef KEYCATALOG_KEY_LIST_H
#define KEYCATALOG_KEY_LIST_H

#include <array>
#include <cstdint>

namespace keycatalog {

// 0 no key; a Keyboard/Keypad usage ID; bit 7 set = the same key with Shift;
// 255 the entry "NULL".
using KeyCode = std::uint8_t;

struct KeyEntry {
    const char* text;
    KeyCode code;
};

constexpr int kKeyListSize = 104;
using KeyList = std::array<KeyEntry, kKeyListSize>;

// Walk-up key 5's list places the backslash after ". PERIOD" and gives it the
// Non-US # usage (50) instead of 49; every other list uses the common one.
enum class KeyListVariant { Common, WalkUp5 };

const KeyList& keyList(KeyListVariant variant);

}  // namespace keycatalog

#endif
