// The utility's command line: blanks and tabs separate the arguments and every
// other character, quotation marks included, belongs to one.
#ifndef CONFIGWIN_COMMAND_LINE_H
#define CONFIGWIN_COMMAND_LINE_H

#include <QString>
#include <QStringList>

class UiSeam;

// The arguments after the program's name as the process received them, joined
// by single blanks: the argument part of its command line. A name that holds a
// blank therefore reads as two arguments; one that is not UTF-8 keeps its
// bytes (systemText).
QString joinArguments(int argc, const char* const argv[]);

// The argument part that GetCommandLine reads; main() records it before Qt
// takes its own options out of the arguments.
void setArgumentPart(const QString& argumentPart);
QString argumentPart();

// The first maxArgs arguments of an argument part.
QStringList splitArguments(const QString& argumentPart, int maxArgs);

// Reads the recorded argument part. With one argument settingsFile becomes
// it, with none the empty text. With more it shows "Wrong number of arguments,
// only 1 accepted" and returns false: the program must end.
bool GetCommandLine(UiSeam& ui, QString& settingsFile, int MaxArgs = 10);

#endif
