#include "widgets/check_value.h"

#include <QCheckBox>

int checkValue(const QCheckBox& box)
{
    switch (box.checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Unchecked:
        break;
    }
    return 0;
}

bool setCheckValue(QCheckBox& box, int value)
{
    switch (value) {
    case 0:
    case 1:
        box.setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
        // Qt turns a box tri-state when it is greyed; a user's click must
        // still only tick or clear it.
        box.setTristate(false);
        return true;
    case 2:
        box.setCheckState(Qt::PartiallyChecked);
        return true;
    default:
        return false;
    }
}
