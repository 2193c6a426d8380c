#include "text/text_number.h"

#include <QLocale>

#include <cmath>

namespace {

bool isSkippedBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'z')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'Z')
        return u - u'A' + 10;
    return -1;
}

// The value of the digits of `radix` at the start of `text`.
double radixValue(const QString& text, int radix)
{
    double value = 0;
    for (QChar c : text) {
        const int digit = digitValue(c);
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
    }
    return value;
}

// C-locale conversion of a text already known to be a plain decimal number.
double decimalValue(const QString& number)
{
    // Overflow gives an infinity, underflow 0.
    return QLocale::c().toDouble(number);
}

class Reader {
public:
    explicit Reader(const QString& text) : text_(text) {}

    bool atEnd() const { return at_ >= text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_[at_]; }
    bool take(QChar c)
    {
        if (atEnd() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    int takeDigits(QString& into)
    {
        int count = 0;
        while (!atEnd() && isDigit(text_[at_])) {
            into += text_[at_++];
            ++count;
        }
        return count;
    }
    bool takeSign(QString& into)
    {
        if (take(QLatin1Char('+')))
            return true;
        if (take(QLatin1Char('-'))) {
            into += QLatin1Char('-');
            return true;
        }
        return false;
    }
    int position() const { return at_; }
    void rewind(int position) { at_ = position; }
    QString rest() const { return text_.mid(at_); }

private:
    QString text_;
    int at_ = 0;
};

}  // namespace

double numericValue(const QString& text)
{
    QString packed;
    for (QChar c : text)
        if (!isSkippedBlank(c))
            packed += c;

    Reader reader(packed);
    if (reader.take(QLatin1Char('&'))) {
        if (reader.take(QLatin1Char('H')) || reader.take(QLatin1Char('h')))
            return radixValue(reader.rest(), 16);
        if (reader.take(QLatin1Char('O')) || reader.take(QLatin1Char('o')))
            return radixValue(reader.rest(), 8);
        return 0;
    }

    QString number;
    reader.takeSign(number);
    int digits = reader.takeDigits(number);
    if (reader.take(QLatin1Char('.'))) {
        number += QLatin1Char('.');
        digits += reader.takeDigits(number);
    }
    if (digits == 0)
        return 0;

    const int beforeExponent = reader.position();
    if (reader.take(QLatin1Char('E')) || reader.take(QLatin1Char('e'))) {
        QString exponent = QStringLiteral("e");
        reader.takeSign(exponent);
        if (reader.takeDigits(exponent) > 0)
            number += exponent;
        else
            reader.rewind(beforeExponent);
    }
    return decimalValue(number);
}

std::optional<double> strictNumber(const QString& text)
{
    int first = 0;
    int last = text.size();
    while (first < last && (text[first] == QLatin1Char(' ') || text[first] == QLatin1Char('\t')))
        ++first;
    while (last > first && (text[last - 1] == QLatin1Char(' ') || text[last - 1] == QLatin1Char('\t')))
        --last;
    Reader reader(text.mid(first, last - first));

    QString number;
    reader.takeSign(number);
    int digits = reader.takeDigits(number);
    // Thousands separators only between groups of three after the first one.
    if (digits > 0 && digits <= 3) {
        while (reader.take(QLatin1Char(','))) {
            if (reader.takeDigits(number) != 3)
                return std::nullopt;
            digits += 3;
        }
    }
    if (reader.take(QLatin1Char('.'))) {
        number += QLatin1Char('.');
        digits += reader.takeDigits(number);
    }
    if (digits == 0 || !reader.atEnd())
        return std::nullopt;
    const double value = decimalValue(number);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::int16_t> roundedToField(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value);
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}
