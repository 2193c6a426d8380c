#include "text/firmware_text.h"

namespace {

QString digit(std::uint32_t deviceInfo, int shift)
{
    return QLatin1Char(' ') + QString::number((deviceInfo >> shift) & 0xF);
}

}  // namespace

QString firmwareText(std::uint32_t deviceInfo)
{
    return QStringLiteral("Firmware: v ") + digit(deviceInfo, 12) + digit(deviceInfo, 8) + QLatin1Char('.') +
           digit(deviceInfo, 4) + digit(deviceInfo, 0);
}
