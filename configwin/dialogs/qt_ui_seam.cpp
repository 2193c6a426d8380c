#include "dialogs/ui_seam.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

struct ButtonPair {
    QMessageBox::StandardButton first;
    QMessageBox::StandardButton second;
};

ButtonPair standardButtons(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::OkCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case MessageButtons::YesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    case MessageButtons::Ok:
        break;
    }
    return {QMessageBox::Ok, QMessageBox::NoButton};
}

MessageAnswer answerFor(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    case QMessageBox::Cancel:
        return MessageAnswer::Cancel;
    default:
        return MessageAnswer::Ok;
    }
}

}  // namespace

MessageAnswer defaultAnswer(const MessageBoxRequest& request)
{
    const bool second = request.defaultButton == DefaultButton::Second;
    switch (request.buttons) {
    case MessageButtons::OkCancel:
        return second ? MessageAnswer::Cancel : MessageAnswer::Ok;
    case MessageButtons::YesNo:
        return second ? MessageAnswer::No : MessageAnswer::Yes;
    case MessageButtons::Ok:
        break;
    }
    return MessageAnswer::Ok;
}

MessageAnswer QtUiSeam::message(const MessageBoxRequest& request)
{
    const ButtonPair pair = standardButtons(request.buttons);
    QMessageBox box(request.icon == MessageIcon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, request.title,
                    request.text, pair.first | pair.second);
    const bool second = request.defaultButton == DefaultButton::Second && pair.second != QMessageBox::NoButton;
    box.setDefaultButton(second ? pair.second : pair.first);
    box.exec();
    // Closing the box counts as its escape button, which Qt picks from the buttons.
    return answerFor(box.standardButton(box.clickedButton()));
}

std::optional<QString> QtUiSeam::openFile(const OpenFileRequest& request)
{
    QFileDialog dialog(nullptr, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(qtNameFilters(request.filter).split(QStringLiteral(";;")));
    if (!request.initialName.isEmpty())
        dialog.selectFile(request.initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

QString qtNameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString suffix = QStringLiteral("(%1)").arg(patterns);
        filters << (description.endsWith(suffix) ? description : description + QLatin1Char(' ') + suffix);
    }
    return filters.join(QStringLiteral(";;"));
}
