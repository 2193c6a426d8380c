#include "key_slots.h"

#include "check_value.h"

const std::array<ModifierColumn, 8> kModifierColumns = {{
    {&Form1::Key1Mods2, "Key1Mods2", 2},
    {&Form1::Key1Mods1, "Key1Mods1", 1},
    {&Form1::Key1Mods4, "Key1Mods4", 4},
    {&Form1::Key1Mods8, "Key1Mods8", 8},
    {&Form1::Key1Mods32, "Key1Mods32", 32},
    {&Form1::Key1Mods16, "Key1Mods16", 16},
    {&Form1::Key1Mods64, "Key1Mods64", 64},
    {&Form1::Key1Mods128, "Key1Mods128", 128},
}};

int modifierByte(const Form1& form, int slot)
{
    int byte = 0;
    for (const ModifierColumn& column : kModifierColumns)
        byte += checkValue(*(form.*column.boxes).at(slot)) * column.bit;
    return byte;
}
