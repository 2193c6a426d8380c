#include "text/system_text.h"

#include <cstring>

namespace {

constexpr char16_t kFirstByteCharacter = 0xDC00;

}  // namespace

QString systemText(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype length = 1;
        while (length < 4 && start + length < bytes.size() && !bytes.sliced(start, length).isValidUtf8())
            ++length;
        const QByteArrayView character = bytes.sliced(start, length);
        if (character.isValidUtf8()) {
            text += QString::fromUtf8(character);
            start += length;
        } else {
            text += QChar(kFirstByteCharacter + static_cast<unsigned char>(bytes[start]));
            ++start;
        }
    }
    return text;
}

QByteArray systemBytes(const QString& text)
{
    QByteArray bytes;
    qsizetype unconverted = 0;
    for (qsizetype index = 0; index < text.size(); ++index) {
        const char16_t unit = text[index].unicode();
        if (unit < kFirstByteCharacter + 0x80 || unit > kFirstByteCharacter + 0xFF ||
            (index > 0 && text[index - 1].isHighSurrogate()))
            continue;
        bytes += QStringView(text).sliced(unconverted, index - unconverted).toUtf8();
        bytes += static_cast<char>(unit - kFirstByteCharacter);
        unconverted = index + 1;
    }
    return bytes + QStringView(text).sliced(unconverted).toUtf8();
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
