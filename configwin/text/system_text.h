// A name or an argument as the system gives it, and back: UTF-8, but for each
// byte that is not, which becomes a character of its own (U+DC80 to U+DCFF),
// so that a file named in Latin-1 is still found.
#ifndef CONFIGWIN_SYSTEM_TEXT_H
#define CONFIGWIN_SYSTEM_TEXT_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

QString systemText(QByteArrayView bytes);
QByteArray systemBytes(const QString& text);

// Why a system call failed with `error`, as the C library words it.
QString systemReason(int error);

#endif
