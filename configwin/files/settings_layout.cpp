#include "files/settings_layout.h"

namespace {

QString holdsOf(const QString& what, int slot)
{
    return slot < 0 ? what : QStringLiteral("%1 of %2").arg(what, keystrokeName(slot));
}

void append(std::vector<SettingsFileLine>& lines, const QString& control, const QString& holds, LineForm form)
{
    lines.push_back({static_cast<int>(lines.size()) + 1, control, holds, form});
}

void append(std::vector<SettingsFileLine>& lines, const StoredControl& stored)
{
    append(lines, QLatin1String(stored.control), holdsOf(QLatin1String(stored.holds), stored.slot), stored.form);
}

std::vector<SettingsFileLine> expandedLines()
{
    std::vector<SettingsFileLine> lines;
    for (const StoredControl& stored : kLinesBeforeModifierBoxes)
        append(lines, stored);
    for (const ModifierKey& key : kModifierKeys)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            append(lines, QStringLiteral("%1(%2)").arg(QLatin1String(key.name)).arg(slot),
                   holdsOf(QLatin1String(key.modifier), slot), LineForm::State);
    for (const StoredControl& stored : kLinesAfterModifierBoxes)
        append(lines, stored);
    return lines;
}

}  // namespace

const std::vector<SettingsFileLine>& settingsFileLines()
{
    static const std::vector<SettingsFileLine> lines = expandedLines();
    return lines;
}

std::vector<LineForm> settingsLineForms()
{
    std::vector<LineForm> forms;
    for (const SettingsFileLine& line : settingsFileLines())
        forms.push_back(line.form);
    return forms;
}
