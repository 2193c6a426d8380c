#ifndef CONFIGWIN_WRITE_CONFIG_H
#define CONFIGWIN_WRITE_CONFIG_H

class Form1;

struct WriteOutcome {
    // False when the write was refused because a field could not be converted
    // or could not travel; nothing was stored then.
    bool written = false;
    // Reported through ErReason; the sensor then differs from the window.
    bool recordRefused = false;
    bool sendFailed = false;
};

// Builds the four records from the controls, stores them and writes the
// sensor. "Config Changed" is ticked afterwards exactly when the library
// refused a record or the send failed.
WriteOutcome writeConfigOutcome(Form1& form);

// As writeConfigOutcome; true when it wrote.
bool WriteConfig(Form1& form);

#endif
