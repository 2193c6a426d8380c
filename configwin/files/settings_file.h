// The settings file: the state of the window's controls that
// files/settings_layout.h lists, one a line.
#ifndef CONFIGWIN_SETTINGS_FILE_H
#define CONFIGWIN_SETTINGS_FILE_H

#include <QString>

class Form1;

inline constexpr char kDefaultSettingsFile[] = "Default.tyv";

// Writes the controls to `path`; an existing file is replaced only once the
// new one is complete. On a failure says so in a box and returns false.
bool saveSettingsFile(Form1& form, const QString& path);

// Reads only a regular file of at most kSettingsFileBound bytes, and checks
// it whole first; a fault is shown in a box naming the file (and the line),
// and nothing is applied (false). Otherwise assigns the lines one by
// one, so each control's own handler runs before the next line.
bool loadConfigData(Form1& form, const QString& path);

#endif
