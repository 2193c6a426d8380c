#include "settings_file.h"

#include "ansi_codepage.h"
#include "check_value.h"
#include "form1.h"
#include "form_logic.h"
#include "key_slots.h"
#include "settings_file_check.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSaveFile>

#include <optional>
#include <vector>

namespace {

constexpr char kFileFilter[] = "All Files (*.tyv)|*.tyv";

// One line of the file: a text box's or a key list's text between double
// quotes, or a check box's state as a bare 0 or 1.
struct StoredControl {
    QString name;
    QString holds;
    QLineEdit* text = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* box = nullptr;
};

QString keystrokeName(int slot)
{
    if (slot < 5)
        return QStringLiteral("walk-away keystroke %1").arg(slot + 1);
    if (slot == 5)
        return QStringLiteral("the idle keystroke");
    return QStringLiteral("walk-up keystroke %1").arg(slot - 5);
}

QString modifierName(int bit)
{
    const char* const names[] = {"left Ctrl", "left Shift", "left Alt", "left GUI",
                                 "right Ctrl", "right Shift", "right Alt", "right GUI"};
    int index = 0;
    while ((1 << index) != bit)
        ++index;
    return QLatin1String(names[index]);
}

StoredControl textLine(QLineEdit* box, const QString& holds)
{
    return {box->objectName(), holds, box, nullptr, nullptr};
}

StoredControl stateLine(QCheckBox* box, const QString& name, const QString& holds)
{
    return {name, holds, nullptr, nullptr, box};
}

StoredControl listLine(QComboBox* list, const QString& holds)
{
    return {list->objectName(), holds, nullptr, list, nullptr};
}

QString codeBoxName(const Form1& form, int slot)
{
    return slot >= 6 ? QStringLiteral("Text4(%1)").arg(slot - 6) : form.keySlot(slot).codeBox->objectName();
}

// The controls in the order of the file's lines.
std::vector<StoredControl> storedControls(Form1& form)
{
    std::vector<StoredControl> lines{
        textLine(form.MaxDist, QStringLiteral("detection range")),
        textLine(form.IRDBTm, QStringLiteral("walk-up delay")),
        textLine(form.ORDBTm, QStringLiteral("walk-away delay")),
        textLine(form.StartDly, QStringLiteral("power-up delay")),
        stateLine(form.bNoShowORLED, QStringLiteral("bNoShowORLED"), QStringLiteral("\"Out-of-Range Red\"")),
        stateLine(form.bNoShowXtLED, QStringLiteral("bNoShowXtLED"), QStringLiteral("\"Transition Yellow\"")),
        stateLine(form.bNoShowIRLED, QStringLiteral("bNoShowIRLED"), QStringLiteral("\"In-Range Green\"")),
        stateLine(form.Check1, QStringLiteral("Check1"), QStringLiteral("\"Disable keystrokes\"")),
    };
    QLineEdit* const modifierWords[] = {form.Key1Mods, form.Key2Mods, form.Key3Mods, form.Key4Mods, form.Key5Mods};
    for (int slot = 0; slot < 5; ++slot)
        lines.push_back(textLine(modifierWords[slot], QStringLiteral("modifier word of %1").arg(keystrokeName(slot))));
    lines.push_back(textLine(form.KeyCount, QStringLiteral("walk-away key count")));
    lines.push_back(textLine(form.InterKeyDelay, QStringLiteral("walk-away key delay")));
    lines.push_back(textLine(form.KeyCountUp, QStringLiteral("walk-up key count")));
    lines.push_back(textLine(form.InterKeyDelayUp, QStringLiteral("walk-up key delay")));
    for (const ModifierColumn& column : kModifierColumns)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            lines.push_back(stateLine((form.*column.boxes)[slot],
                                      QStringLiteral("%1(%2)").arg(QLatin1String(column.name)).arg(slot),
                                      QStringLiteral("%1 of %2").arg(modifierName(column.bit), keystrokeName(slot))));
    const auto keyName = [&form](int slot) {
        return listLine(form.keySlot(slot).list, QStringLiteral("key name of %1").arg(keystrokeName(slot)));
    };
    const auto keyCode = [&form](int slot) {
        StoredControl line = textLine(form.keySlot(slot).codeBox, QStringLiteral("key code of %1").arg(keystrokeName(slot)));
        line.name = codeBoxName(form, slot);
        return line;
    };
    for (int slot = 0; slot < 5; ++slot) {
        lines.push_back(keyName(slot));
        lines.push_back(keyCode(slot));
    }
    for (int slot = 6; slot <= 10; ++slot)
        lines.push_back(keyName(slot));
    for (int slot = 6; slot <= 10; ++slot)
        lines.push_back(keyCode(slot));
    return lines;
}

QString storedText(const StoredControl& control)
{
    return control.text ? control.text->text() : control.list->currentText();
}

void tell(Form1& form, const QString& text)
{
    form.ui.message({text, MessageButtons::Ok, MessageIcon::Critical});
}

// The file's bytes, or nothing when a text can't be written as one line in
// the code page; the box then names the control.
std::optional<QByteArray> settingsFileBytes(Form1& form)
{
    QByteArray bytes;
    for (const StoredControl& control : storedControls(form)) {
        const QString text = control.box ? QString() : storedText(control);
        const std::optional<QByteArray> line = control.box ? QByteArray::number(checkValue(*control.box))
                                                           : toAnsi(QLatin1Char('"') + text + QLatin1Char('"'));
        // A CR would end the line early and shift every line after it.
        if (!line || text.contains(QLatin1Char('\r'))) {
            tell(form, QStringLiteral("The settings were not saved: the %1 (%2) holds a character that a "
                                      "settings file cannot hold.")
                           .arg(control.holds, control.name));
            return std::nullopt;
        }
        bytes.append(*line);
        bytes.append("\r\n");
    }
    return bytes;
}

// Why the check refused a file, naming the line.
QString lineFault(const CheckedSettings& checked, const std::vector<StoredControl>& controls)
{
    const int line = checked.faultLine;
    const QString where = QStringLiteral("line %1 (%2)").arg(line).arg(controls[line - 1].holds);
    switch (checked.fault) {
    case LineFault::Missing:
        if (line == 1)
            return QStringLiteral("it is empty.");
        return QStringLiteral("it ends after line %1, and a settings file has %2 lines.")
            .arg(line - 1)
            .arg(kSettingsFileLines);
    case LineFault::NotState:
        return QStringLiteral("%1 must be 0 or 1.").arg(where);
    case LineFault::NotText:
    case LineFault::None:
        break;
    }
    return QStringLiteral("%1 must be a text between double quotes.").arg(where);
}

}  // namespace

bool saveSettingsFile(Form1& form, const QString& path)
{
    const std::optional<QByteArray> bytes = settingsFileBytes(form);
    if (!bytes)
        return false;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(*bytes) == bytes->size() && file.commit())
        return true;
    tell(form, QStringLiteral("The settings file \"%1\" cannot be written: %2.").arg(path, file.errorString()));
    return false;
}

bool loadConfigData(Form1& form, const QString& path)
{
    const auto refuse = [&form, &path](const QString& fault) {
        tell(form, QStringLiteral("The settings file \"%1\" %2").arg(path, fault));
        return false;
    };
    const FileBytes file = readSettingsBytes(path);
    if (!file.problem.isEmpty())
        return refuse(file.problem);
    const std::vector<StoredControl> controls = storedControls(form);
    std::vector<LineForm> forms;
    for (const StoredControl& control : controls)
        forms.push_back(control.box ? LineForm::State : LineForm::Text);

    const CheckedSettings checked = checkSettingsFile(file.bytes, forms);
    if (checked.fault != LineFault::None)
        return refuse(QStringLiteral("was not loaded: ") + lineFault(checked, controls));

    for (std::size_t index = 0; index < controls.size(); ++index) {
        const StoredControl& control = controls[index];
        const QString& value = checked.values[index];
        if (control.box)
            setCheckValue(*control.box, value.toInt());
        else if (control.text)
            control.text->setText(value);
        else
            control.list->setEditText(value);
    }
    return true;
}

void Open_Click(Form1& form)
{
    const std::optional<QString> path =
        form.ui.openFile({QStringLiteral("Open"), QLatin1String(kFileFilter), QString()});
    if (!path || path->isEmpty())
        return;
    if (loadConfigData(form, *path))
        CheckUpdate(form);
}

void Save_Click(Form1& form)
{
    saveSettingsFile(form, QLatin1String(kDefaultSettingsFile));
}

void SaveAs_Click(Form1& form)
{
    const std::optional<QString> path =
        form.ui.openFile({QStringLiteral("Save As"), QLatin1String(kFileFilter), QString()});
    if (path && !path->isEmpty())
        saveSettingsFile(form, *path);
}
