// Reading and checking a settings file's bytes, apart from the window's
// controls: a file that is not a regular file, or one far larger than
// any settings file, is refused before it is read whole, and the check needs
// no widgets (the fuzz target runs it alone).
#ifndef CONFIGWIN_SETTINGS_FILE_CHECK_H
#define CONFIGWIN_SETTINGS_FILE_CHECK_H

#include "files/settings_layout.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// Above the largest file the window can write (its text lines of at most
// 32767 characters each, about 1.1 MB), and thousands of times a real one.
inline constexpr qint64 kSettingsFileBound = 2 * 1024 * 1024;

struct FileBytes {
    QByteArray bytes;
    // Why the file was not read, as it follows the file's name in a message
    // ("cannot be opened: it is not a regular file."); empty when it was read.
    QString problem;
};

// The bytes of the regular file `path` when it holds at most `bound` bytes.
// Never waits: a FIFO or a device is refused before it is opened for reading.
FileBytes readSettingsBytes(const QString& path, qint64 bound = kSettingsFileBound);

enum class LineFault { None, Missing, NotText, NotState, LfLineEnds };

struct CheckedSettings {
    // One per line: a text without its first and last character, or "0"/"1".
    std::vector<QString> values;
    // The first faulty line, counted from 1; 0 when the file was accepted.
    int faultLine = 0;
    LineFault fault = LineFault::None;
};

// Checks the first forms.size() lines of a file: each ends at a CR (a LF right
// after it belongs to the ending), a text line must hold at least its two
// quotes and a state line must be exactly 0 or 1; lines after those are ignored.
// A file whose lines end in LF alone is refused as such, at line 1.
CheckedSettings checkSettingsFile(const QByteArray& bytes, const std::vector<LineForm>& forms);

#endif
