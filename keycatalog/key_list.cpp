#include "key_list.h"

namespace keycatalog {
namespace {

// clang-format off
constexpr KeyList kCommon = {{
    {"NONE", 0},
    {"a", 4}, {"b", 5}, {"c", 6}, {"d", 7}, {"e", 8}, {"f", 9}, {"g", 10},
    {"h", 11}, {"i", 12}, {"j", 13}, {"k", 14}, {"l", 15}, {"m", 16}, {"n", 17},
    {"o", 18}, {"p", 19}, {"q", 20}, {"r", 21}, {"s", 22}, {"t", 23}, {"u", 24},
    {"v", 25}, {"w", 26}, {"x", 27}, {"y", 28}, {"z", 29},
    {"1", 30}, {"2", 31}, {"3", 32}, {"4", 33}, {"5", 34},
    {"6", 35}, {"7", 36}, {"8", 37}, {"9", 38}, {"0", 39},
    {"!", 158}, {"@", 159}, {"#", 160}, {"$", 161}, {"%", 162},
    {"^", 163}, {"&", 164}, {"*", 165}, {"(", 166}, {")", 167},
    {"ENTER", 40}, {"ESC", 41}, {"BKSPC", 42}, {"TAB", 43}, {"SPACE5", 44},
    {"- MINUS", 45}, {"=", 46}, {"[", 47}, {"]", 48},
    {"\\\\", 49},
    {"; SEMICOLON", 51}, {"' SNGLQUOTE", 52}, {"`", 53}, {", COMMA", 54},
    {". PERIOD", 55}, {"/", 56},
    // The second "(" and ")" are Shift with "[" and "]", as they always were.
    {"_ UNDERSCORE", 173}, {"+", 174}, {"(", 175}, {")", 176}, {"|", 177},
    {": COLON", 179}, {" DBLQUOTE", 180}, {"~", 181}, {"<", 182}, {">", 183},
    {"?", 184},
    {"F1", 58}, {"F2", 59}, {"F3", 60}, {"F4", 61}, {"F5", 62}, {"F6", 63},
    {"F7", 64}, {"F8", 65}, {"F9", 66}, {"F10", 67}, {"F11", 68}, {"F12", 69},
    {"PRNTSCRN", 70}, {"SCRLLOCK", 71},
    {"INSERT", 73}, {"HOME", 74}, {"PGUP", 75}, {"DELETE", 76}, {"END", 77},
    {"PGDN", 78}, {"RIGHT", 79}, {"LEFT", 80}, {"DOWN", 81}, {"UP", 82},
    {"KP /", 84}, {"KP *", 85}, {"KP -", 86}, {"KP +", 87}, {"KP ENTER", 88},
    {"NULL", 255},
}};
// clang-format on

constexpr bool everyEntryFilled(const KeyList& list)
{
    for (const KeyEntry& entry : list)
        if (entry.text == nullptr)
            return false;
    return true;
}
static_assert(everyEntryFilled(kCommon), "the catalogue lists all 104 keys");

constexpr int kBackslash = 56;
constexpr int kWalkUp5Backslash = 61;
constexpr KeyCode kNonUsHash = 50;

constexpr KeyList makeWalkUp5()
{
    KeyList list = kCommon;
    for (int position = kBackslash; position < kWalkUp5Backslash; ++position)
        list[position] = kCommon[position + 1];
    list[kWalkUp5Backslash] = {kCommon[kBackslash].text, kNonUsHash};
    return list;
}

constexpr KeyList kWalkUp5 = makeWalkUp5();

}  // namespace

const KeyList& keyList(KeyListVariant variant)
{
    return variant == KeyListVariant::WalkUp5 ? kWalkUp5 : kCommon;
}

}  // namespace keycatalog
