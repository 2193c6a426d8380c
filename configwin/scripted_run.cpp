#include "scripted_run.h"

#include "app_info.h"
#include "command_line.h"

#include <QGuiApplication>
#include <QRegularExpression>

bool isScriptedRun(const QString& argumentPart)
{
    return !splitArguments(argumentPart, 1).isEmpty();
}

bool prepareDisplay(bool scripted)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    if (scripted) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    std::fprintf(stderr, "%s: no display: the window needs DISPLAY or WAYLAND_DISPLAY (or QT_QPA_PLATFORM)\n",
                 kAppTitle);
    return false;
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
    std::fprintf(log_, "%s\n", messageLine(request).toLocal8Bit().constData());
    std::fflush(log_);
    return answerByDefault_ ? defaultAnswer(request) : shown_.message(request);
}
