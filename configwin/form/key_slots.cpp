#include "form/key_slots.h"

QString keystrokeName(int slot)
{
    if (slot < kIdleSlot)
        return QStringLiteral("walk-away keystroke %1").arg(slot + 1);
    if (slot == kIdleSlot)
        return QStringLiteral("the idle keystroke");
    return QStringLiteral("walk-up keystroke %1").arg(slot - kIdleSlot);
}
