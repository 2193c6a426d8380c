#include "text/ansi_codepage.h"

#include <array>

namespace {

// The characters of the bytes 0x80 to 0x9F.
// clang-format off
constexpr std::array<char16_t, 32> kHighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

std::optional<char> byteFor(char16_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (std::size_t index = 0; index < kHighControlRange.size(); ++index)
        if (kHighControlRange[index] == character)
            return static_cast<char>(0x80 + index);
    return std::nullopt;
}

}  // namespace

QString fromAnsi(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        text.append(QChar(value >= 0x80 && value < 0xA0 ? kHighControlRange[value - 0x80] : char16_t{value}));
    }
    return text;
}

std::optional<QByteArray> toAnsi(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar character : text) {
        const std::optional<char> byte = byteFor(character.unicode());
        if (!byte)
            return std::nullopt;
        bytes.append(*byte);
    }
    return bytes;
}
