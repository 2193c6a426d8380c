// Finding and starting the system-information program from the About box.
#ifndef CONFIGWIN_SYS_INFO_H
#define CONFIGWIN_SYS_INFO_H

#include "about/registry.h"

#include <QString>

class UiSeam;

// Starts a program by its path with a normal, focused window, without
// waiting for it; false when it cannot be started.
class ProgramStart {
public:
    virtual ~ProgramStart() = default;
    virtual bool start(const QString& path) = 0;
};

// The start the About box uses; null puts the real one back.
ProgramStart& programStart();
void setProgramStart(ProgramStart* start);

// The name of the first plain file that `pattern` (a folder, a backslash or
// a slash, and a name that may hold wildcards) matches, or the empty text.
QString findFirstFile(const QString& pattern);

// Reads a REG_SZ value as text, a REG_DWORD value as "&h" and its hexadecimal
// digits; leaves KeyVal alone for any other type. Values over 1024 bytes
// count as missing. False, with KeyVal empty, when the value cannot be read.
bool GetKeyValue(registry::RegKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

// Starts the program that the registry names, or says it is unavailable.
void StartSysInfo(UiSeam& ui);

#endif
