#include "about/sys_info.h"

#include "dialogs/ui_seam.h"
#include "text/ansi_codepage.h"

#include <QDir>
#include <QProcess>

#include <algorithm>
#include <array>
#include <optional>

namespace {

class DetachedStart : public ProgramStart {
public:
    bool start(const QString& path) override { return QProcess::startDetached(path, {}); }
};

DetachedStart detachedStart;
ProgramStart* currentStart = &detachedStart;

constexpr std::uint32_t kValueBufferSize = 1024;

}  // namespace

ProgramStart& programStart()
{
    return *currentStart;
}

void setProgramStart(ProgramStart* start)
{
    currentStart = start ? start : &detachedStart;
}

QString findFirstFile(const QString& pattern)
{
    const qsizetype separator = std::max(pattern.lastIndexOf(QLatin1Char('\\')), pattern.lastIndexOf(QLatin1Char('/')));
    const QString folder = separator < 0 ? QStringLiteral(".")
                                         : pattern.left(separator + 1).replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QString name = pattern.mid(separator + 1);
    if (name.isEmpty())
        return {};
    const QStringList found = QDir(folder).entryList({name}, QDir::Files, QDir::Name);
    return found.isEmpty() ? QString() : found.constFirst();
}

bool GetKeyValue(registry::RegKey KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal)
{
    const std::optional<QByteArray> keyName = toAnsi(KeyName);
    const std::optional<QByteArray> valueName = toAnsi(SubKeyRef);
    registry::RegKey key = 0;
    if (!keyName || !valueName ||
        registry::RegOpenKeyExA(KeyRoot, keyName->constData(), 0, registry::KEY_QUERY_VALUE, &key) !=
            registry::ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::array<std::uint8_t, kValueBufferSize> buffer{};
    std::uint32_t size = kValueBufferSize;
    std::uint32_t type = 0;
    const bool read = registry::RegQueryValueExA(key, valueName->constData(), nullptr, &type, buffer.data(), &size) ==
                      registry::ERROR_SUCCESS;
    registry::RegCloseKey(key);
    if (!read) {
        KeyVal.clear();
        return false;
    }
    if (type == registry::REG_SZ) {
        const auto text = reinterpret_cast<const char*>(buffer.data());
        KeyVal = fromAnsi(QByteArray(text, static_cast<qsizetype>(qstrnlen(text, kValueBufferSize))));
    } else if (type == registry::REG_DWORD) {
        std::uint32_t value = 0;
        for (std::uint32_t index = 0; index < 4; ++index)
            value |= std::uint32_t{buffer[index]} << (8 * index);
        KeyVal = QStringLiteral("&h") + QString::number(value, 16).toUpper();
    }
    return true;
}

void StartSysInfo(UiSeam& ui)
{
    const registry::RegKey root = registry::HKEY_LOCAL_MACHINE;
    QString path;
    bool started = false;
    if (GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"), path)) {
        started = programStart().start(path);
    } else if (GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"), QStringLiteral("MSINFO"),
                           path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        started = !findFirstFile(path).isEmpty() && programStart().start(path);
    }
    if (!started)
        ui.message(
            {QStringLiteral("System Information Is Unavailable At This Time"), MessageButtons::Ok, MessageIcon::None});
}
