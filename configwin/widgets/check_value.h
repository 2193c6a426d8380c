// A check box's value as the window's code uses it: 0 clear, 1 ticked,
// 2 greyed. Qt numbers its states differently (Checked is 2).
#ifndef CONFIGWIN_CHECK_VALUE_H
#define CONFIGWIN_CHECK_VALUE_H

class QCheckBox;

int checkValue(const QCheckBox& box);

// Sets the box and, like a click, emits stateChanged when the value changes.
// Returns false and leaves the box alone for a value other than 0, 1 or 2.
bool setCheckValue(QCheckBox& box, int value);

#endif
