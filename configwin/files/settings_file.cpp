#include "files/settings_file.h"

#include "files/settings_file_check.h"
#include "files/settings_layout.h"
#include "form/form1.h"
#include "text/ansi_codepage.h"
#include "text/system_text.h"
#include "widgets/check_value.h"

#include "whole_file_save.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <optional>
#include <vector>

namespace {

// The control a line stores: a text box, a key list or a check box.
struct LineControl {
    const SettingsFileLine& line;
    QLineEdit* text = nullptr;
    QComboBox* list = nullptr;
    QCheckBox* box = nullptr;
};

// The controls in the order of the file's lines.
std::vector<LineControl> storedControls(const Form1& form)
{
    std::vector<LineControl> controls;
    for (const SettingsFileLine& line : settingsFileLines()) {
        QWidget* control = controlNamed(form, line.control);
        controls.push_back({line, qobject_cast<QLineEdit*>(control), qobject_cast<QComboBox*>(control),
                            qobject_cast<QCheckBox*>(control)});
    }
    return controls;
}

QString storedText(const LineControl& control)
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
    for (const LineControl& control : storedControls(form)) {
        const QString text = control.box ? QString() : storedText(control);
        const std::optional<QByteArray> line = control.box ? QByteArray::number(checkValue(*control.box))
                                                           : toAnsi(QLatin1Char('"') + text + QLatin1Char('"'));
        // A CR would end the line early and shift every line after it.
        if (!line || text.contains(QLatin1Char('\r'))) {
            tell(form, QStringLiteral("The settings were not saved: the %1 (%2) holds a character that a "
                                      "settings file cannot hold.")
                           .arg(control.line.holds, control.line.control));
            return std::nullopt;
        }
        bytes.append(*line);
        bytes.append("\r\n");
    }
    return bytes;
}

// Why a save failed, as it follows "cannot be written: ".
QString saveProblem(int error)
{
    switch (error) {
    case kForeignLinkInSharedFolder:
        return QStringLiteral("it is reached through a symbolic link another user made in a shared folder");
    case kNotARegularFile:
        return QStringLiteral("it is not a regular file");
    default:
        return systemReason(error);
    }
}

// Why the check refused a file, naming the line.
QString lineFault(const CheckedSettings& checked, const std::vector<LineControl>& controls)
{
    const int line = checked.faultLine;
    const QString where = QStringLiteral("line %1 (%2)").arg(line).arg(controls[line - 1].line.holds);
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
    const int error = saveWholeFile(systemBytes(path).constData(), bytes->constData(),
                                    static_cast<std::size_t>(bytes->size()), EndSignals::NotedUntilTheSaveEnds);
    if (error == 0)
        return true;
    tell(form, QStringLiteral("The settings file \"%1\" cannot be written: %2.").arg(path, saveProblem(error)));
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
    const std::vector<LineControl> controls = storedControls(form);

    const CheckedSettings checked = checkSettingsFile(file.bytes, settingsLineForms());
    if (checked.fault != LineFault::None)
        return refuse(QStringLiteral("was not loaded: ") + lineFault(checked, controls));

    for (std::size_t index = 0; index < controls.size(); ++index) {
        const LineControl& control = controls[index];
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
