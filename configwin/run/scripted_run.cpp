#include "run/scripted_run.h"

#include "app/app_info.h"
#include "run/command_line.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>

bool isScriptedRun(const QString& argumentPart)
{
    return !splitArguments(argumentPart, 1).isEmpty();
}

std::optional<PlatformChoice> prepareDisplay(bool scripted)
{
    const QString named = qEnvironmentVariable("QT_QPA_PLATFORM");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    const QString x11 = qEnvironmentVariable("DISPLAY");
    QStringList platforms;
    QStringList meant;
    if (!named.isEmpty()) {
        platforms << named;
        meant << QStringLiteral("QT_QPA_PLATFORM=") + named;
    } else {
        // As Qt itself would: the session's own kind first.
        const bool waylandFirst = !wayland.isEmpty() && (x11.isEmpty() || qEnvironmentVariable("XDG_SESSION_TYPE") ==
                                                                              QLatin1String("wayland"));
        if (waylandFirst)
            platforms << QStringLiteral("wayland");
        if (!x11.isEmpty())
            platforms << QStringLiteral("xcb");
        if (!wayland.isEmpty() && !waylandFirst)
            platforms << QStringLiteral("wayland");
        if (!wayland.isEmpty())
            meant << QStringLiteral("WAYLAND_DISPLAY=") + wayland;
        if (!x11.isEmpty())
            meant << QStringLiteral("DISPLAY=") + x11;
    }
    if (platforms.isEmpty()) {
        if (!scripted) {
            reportOnStderr(
                QStringLiteral("no display: the window needs DISPLAY or WAYLAND_DISPLAY (or QT_QPA_PLATFORM)"));
            return std::nullopt;
        }
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return PlatformChoice{};
    }
    PlatformChoice choice{meant.join(QStringLiteral(" or ")), !named.contains(QLatin1String("offscreen"))};
    if (choice.offscreenLastResort)
        platforms << QStringLiteral("offscreen");
    qputenv("QT_QPA_PLATFORM", platforms.join(QLatin1Char(';')).toLocal8Bit());
    return choice;
}

bool displayAnswered(const PlatformChoice& choice, bool scripted)
{
    if (scripted || !choice.offscreenLastResort || QGuiApplication::platformName() != QLatin1String("offscreen"))
        return true;
    reportOnStderr(QStringLiteral("no display: nothing answers at ") + choice.meant);
    return false;
}

namespace {

// All of it: printf's %s would end the line at a NUL.
void writeLine(std::FILE* file, const QString& line)
{
    const QByteArray bytes = line.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file);
    std::fflush(file);
}

}  // namespace

void reportOnStderr(const QString& text)
{
    writeLine(stderr, QLatin1String(kAppTitle) + QStringLiteral(": ") + text);
}

bool nobodyCanAnswer()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("offscreen") || platform == QLatin1String("minimal");
}

QString messageLine(const MessageBoxRequest& request)
{
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|\r|\n"));
    return request.title + QStringLiteral(": ") + QString(request.text).replace(lineBreaks, QStringLiteral(" "));
}

MessageAnswer EchoedUiSeam::message(const MessageBoxRequest& request)
{
    writeLine(log_, messageLine(request));
    return answerByDefault_ ? defaultAnswer(request) : shown_.message(request);
}
