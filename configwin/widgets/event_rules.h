// How the window's handlers are triggered where Qt's own signals do not
// already match: checks on leaving a field, and selecting a list entry.
#ifndef CONFIGWIN_EVENT_RULES_H
#define CONFIGWIN_EVENT_RULES_H

#include <functional>

class QComboBox;
class QLineEdit;
class QWidget;

// Runs `check` when the user moves the focus from `field` to another control
// of `window` (by mouse, Tab, Backtab, a shortcut or code), not when the
// window loses the focus or a popup opens. Should the check's message boxes
// take the mouse release of a click on a button, the button's click still
// runs once the boxes have closed.
void installLeaveCheck(QWidget& window, QLineEdit& field, std::function<void()> check);

// Selects every entry whose item datum is `code`, in order, so the last one
// stays selected; selecting the entry already selected runs no handler but
// shows the entry's text again. With no such entry the list is not touched.
void selectEntryWithCode(QComboBox& list, int code);

#endif
