#ifndef CONFIGWIN_WRITE_CONFIG_H
#define CONFIGWIN_WRITE_CONFIG_H

class Form1;

// Builds the four records from the controls, stores them and writes the
// sensor. Returns false when it refused to write because a field could not
// be converted or could not travel; nothing was stored then. Otherwise true;
// "Config Changed" is then ticked exactly when the library refused a record
// or the send failed (both reported through ErReason).
bool WriteConfig(Form1& form);

#endif
