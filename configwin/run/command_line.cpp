#include "run/command_line.h"

#include "dialogs/ui_seam.h"
#include "text/system_text.h"

namespace {

QString& recordedArgumentPart()
{
    static QString argumentPart;
    return argumentPart;
}

bool separates(QChar character)
{
    return character == QLatin1Char(' ') || character == QLatin1Char('\t');
}

}  // namespace

QString joinArguments(int argc, const char* const argv[])
{
    QStringList arguments;
    for (int index = 1; index < argc; ++index)
        arguments << systemText(argv[index]);
    return arguments.join(QLatin1Char(' '));
}

void setArgumentPart(const QString& argumentPart)
{
    recordedArgumentPart() = argumentPart;
}

QString argumentPart()
{
    return recordedArgumentPart();
}

QStringList splitArguments(const QString& argumentPart, int maxArgs)
{
    QStringList arguments;
    bool open = false;
    for (const QChar character : argumentPart) {
        if (separates(character)) {
            open = false;
            continue;
        }
        if (!open) {
            if (arguments.size() == maxArgs)
                break;
            arguments << QString();
            open = true;
        }
        arguments.back() += character;
    }
    return arguments;
}

bool GetCommandLine(UiSeam& ui, QString& settingsFile, int MaxArgs)
{
    const QStringList arguments = splitArguments(argumentPart(), MaxArgs);
    if (arguments.size() > 1) {
        ui.message({QStringLiteral("Wrong number of arguments, only 1 accepted")});
        return false;
    }
    settingsFile = arguments.isEmpty() ? QString() : arguments.front();
    return true;
}
