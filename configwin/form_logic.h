// The window's binding between its controls and the library's records.
#ifndef CONFIGWIN_FORM_LOGIC_H
#define CONFIGWIN_FORM_LOGIC_H

#include <QString>

class Form1;

// The one reporter of library failures, and the status-line writer.
void ErReason(Form1& form, const QString& label);

// The reporter for a range reading that fails while the window compares: it
// shows nothing, so the check never interrupts editing.
void ErReasonQuiet(Form1& form, const QString& label);

// Copies the library's four records and one range reading into the controls.
void ReadConfig(Form1& form);

// Builds the four records from the controls, stores them and writes the
// sensor. Returns false when it refused to write because a field could not
// be converted or could not travel; nothing was stored then. Otherwise true;
// "Config Changed" is then ticked exactly when the library refused a record
// or the send failed (both reported through ErReason).
bool WriteConfig(Form1& form);

// Ticks or clears "Config Changed" against the library's records.
void CheckUpdate(Form1& form);

#endif
