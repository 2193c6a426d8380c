#include "run/sensor_report.h"

#include "binding/dravik_binding.h"
#include "closed_hidraw_nodes.h"
#include "text/system_text.h"

#include <QStringList>

#include <cstdint>

namespace {

void collectClosedNode(const char* node, int error, void* context)
{
    static_cast<QStringList*>(context)->append(
        QStringLiteral("%1 (%2)").arg(QString::fromLocal8Bit(node), systemReason(error)));
}

const char* deviceFolder = "/dev";

QString hex(unsigned value, int digits = 0)
{
    return QStringLiteral("0x%1").arg(value, digits, 16, QLatin1Char('0'));
}

}  // namespace

void setDeviceFolder(const char* folder)
{
    deviceFolder = folder;
}

QString connectFailureCause()
{
    const int count = dravik::GetDevCnt();
    if (count == 0) {
        QStringList closed;
        if (visitClosedHidrawNodes(deviceFolder, collectClosedNode, &closed) == 0)
            return QStringLiteral("no sensor: none is attached");
        return QStringLiteral("no sensor: this user may not open %1; a sensor among them needs the udev rule: %2")
            .arg(closed.join(QStringLiteral(", ")), QLatin1String(DRAVIK_UDEV_RULE_HINT));
    }
    // The connection stops at the first sensor whose read fails; the others
    // keep the word of their successful read, 0.
    for (int index = 0; index < count; ++index) {
        dravik::SetActDev(index);
        if (const std::uint32_t word = dravik::GetLastLibErr())
            return QStringLiteral("no sensor: the configuration read of sensor %1 failed (error %2)")
                .arg(index)
                .arg(hex(word));
    }
    return QStringLiteral("no sensor: the connection failed");
}

std::optional<QString> configuredAmongOthers()
{
    const int count = dravik::GetDevCnt();
    if (count < 2)
        return std::nullopt;
    return QStringLiteral("configured sensor 0 (LUID %1, DID %2); %3 other sensor(s) left alone")
        .arg(hex(dravik::GetLUID(), 4), hex(dravik::GetDID(), 4))
        .arg(count - 1);
}
