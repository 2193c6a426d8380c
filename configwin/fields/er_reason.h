// The one reporter of library failures, and the status-line writer.
#ifndef CONFIGWIN_ER_REASON_H
#define CONFIGWIN_ER_REASON_H

#include <QString>

class Form1;

void ErReason(Form1& form, const QString& label);

// The reporter for a range reading that fails while the window compares: it
// shows nothing, so the check never interrupts editing.
void ErReasonQuiet(Form1& form, const QString& label);

#endif
