// The two ways the window reads a number out of a text box, and the storing
// of a number in a 16-bit record field.
#ifndef CONFIGWIN_TEXT_NUMBER_H
#define CONFIGWIN_TEXT_NUMBER_H

#include <QString>

#include <cstdint>
#include <optional>

// The number the text's leading numeric part gives: blanks, tabs and line
// feeds are skipped wherever they stand; a sign, a decimal point and an
// exponent belong to the number; "&H" and "&O" start a hexadecimal or octal
// number. Reading stops at the first character that cannot continue the
// number; 0 when there is none. Never fails: a number too large for a double
// gives an infinity.
double numericValue(const QString& text);

// The whole text as a number, blanks around it allowed: a sign, digits, "."
// as the decimal point and "," between groups of three digits, whatever the
// machine's locale. Nothing for any other text, the empty one included, and
// for a number too large for a double.
std::optional<double> strictNumber(const QString& text);

// To the nearest integer, halves to even; nothing outside -32768..32767.
std::optional<std::int16_t> roundedToField(double value);

#endif
