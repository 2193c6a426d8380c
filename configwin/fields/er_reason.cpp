#include "fields/er_reason.h"

#include "binding/dravik_binding.h"
#include "form/form1.h"

#include <QLineEdit>

#include <cstdint>

void ErReason(Form1& form, const QString& label)
{
    const auto word = static_cast<std::int32_t>(dravik::GetLastLibErr());
    form.LastErr->setText(label + QLatin1Char(' ') + QString::number(word));
    if (word == 0)
        return;
    form.ui.message({QStringLiteral("An error >") + form.LastErr->text() +
                         QStringLiteral(" < was encountered.  Do you want to continue ?"),
                     MessageButtons::OkCancel, MessageIcon::Critical, DefaultButton::Second,
                     QStringLiteral("Tornel USB Device Error")});
}

void ErReasonQuiet(Form1&, const QString&) {}
