// Text in Windows-1252, the single-byte code page of the platform the
// settings files and registry values come from. Qt 6 only knows it with ICU,
// so the 32 characters of 0x80-0x9F come from a table; the rest is Latin-1.
// The five bytes the code page leaves undefined map to the control characters
// of the same number, so every byte sequence decodes and encodes back unchanged.
#ifndef CONFIGWIN_ANSI_CODEPAGE_H
#define CONFIGWIN_ANSI_CODEPAGE_H

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

QString fromAnsi(QByteArrayView bytes);

// Nothing when the text holds a character the code page lacks.
std::optional<QByteArray> toAnsi(const QString& text);

#endif
