// Configuring the sensor from a settings file without showing the window.
#ifndef CONFIGWIN_UNATTENDED_H
#define CONFIGWIN_UNATTENDED_H

#include "app/exit_status.h"

#include <QString>

class Form1;

// Runs after a successful connection; returns the program's exit status.
ExitStatus runUnattended(Form1& form, const QString& settingsFile);

#endif
