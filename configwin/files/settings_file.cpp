#include "files/settings_file.h"

#include "text/ansi_codepage.h"
#include "widgets/check_value.h"
#include "form/form1.h"
#include "form/key_slots.h"
#include "files/settings_file_check.h"
#include "fields/window_fields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// One line of the file: a text box's or a key list's text between double
// quotes, or a check box's state as a bare 0 or 1.
struct StoredControl {
    QString name;
    QString holds;
    QLineEdit* text = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* box = nullptr;
};

QString modifierName(int bit)
{
    const char* const names[] = {"left Ctrl", "left Shift", "left Alt", "left GUI",
                                 "right Ctrl", "right Shift", "right Alt", "right GUI"};
    int index = 0;
    while ((1 << index) != bit)
        ++index;
    return QLatin1String(names[index]);
}

struct NumberedControl {
    int line;
    StoredControl control;
};

// The controls in the order of the file's lines: the window's fields that
// the file keeps, "Disable keystrokes" and every modifier box, the hidden
// slots' included.
std::vector<StoredControl> storedControls(Form1& form)
{
    std::vector<NumberedControl> numbered;
    WindowRecords unused;
    for (const WindowField& row : windowFields(form, unused)) {
        if (row.settings.line == 0)
            continue;
        const FieldControl& control = row.control;
        numbered.push_back({row.settings.line,
                            {row.name, row.settings.holds, control.text, control.list, control.box}});
    }
    numbered.push_back({8, {QStringLiteral("Check1"), QStringLiteral("\"Disable keystrokes\""), nullptr, nullptr,
                            form.Check1}});
    constexpr int kFirstModifierLine = 18;
    for (std::size_t column = 0; column < kModifierColumns.size(); ++column)
        for (int slot = 0; slot < kKeySlotCount; ++slot) {
            const ModifierColumn& modifier = kModifierColumns[column];
            numbered.push_back({kFirstModifierLine + static_cast<int>(column) * kKeySlotCount + slot,
                                {QStringLiteral("%1(%2)").arg(QLatin1String(modifier.name)).arg(slot),
                                 QStringLiteral("%1 of %2").arg(modifierName(modifier.bit), keystrokeName(slot)),
                                 nullptr, nullptr, (form.*modifier.boxes)[slot]}});
        }
    std::sort(numbered.begin(), numbered.end(),
              [](const NumberedControl& a, const NumberedControl& b) { return a.line < b.line; });
    std::vector<StoredControl> lines;
    for (NumberedControl& entry : numbered)
        lines.push_back(std::move(entry.control));
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
    case LineFault::LfLineEnds:
        return QStringLiteral("its lines end with LF alone, and a settings file's lines end with CR LF (convert it "
                              "with unix2dos or sed -i 's/$/\\r/').");
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
    const QString problem = writeSettingsBytes(path, *bytes);
    if (problem.isEmpty())
        return true;
    tell(form, QStringLiteral("The settings file \"%1\" cannot be written: %2.").arg(path, problem));
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
