#include "form/form1.h"

#include "app/app_info.h"
#include "app/exit_status.h"
#include "binding/dravik_binding.h"
#include "fields/er_reason.h"
#include "fields/read_config.h"
#include "run/command_line.h"
#include "run/scripted_run.h"
#include "run/sensor_report.h"
#include "run/unattended.h"
#include "text/firmware_text.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QLabel>

std::optional<ExitStatus> Form1::Form_Load()
{
    setCheckValue(*ConfigChanged, 0);
    FirstLoad = 1;
    DeviceUpdated = true;

    lblTitle->setText(QString::fromLatin1(kAppTitle));
    lblVersion->setText(QStringLiteral("%1.%2").arg(kVersionMajor).arg(kVersionMinor));

    FillComboList();
    FillCombo2List();
    FillCombo3List();
    FillCombo4List();
    FillCombo5List();

    // Before the first library call, so a wrong count never loads the library.
    QString settingsFile;
    if (!GetCommandLine(ui, settingsFile, 2))
        return exitStatus(RunCause::RefusedArguments);
    if (!dravik::loadLibrary())
        return exitStatus(RunCause::LibraryMissing);

    std::int16_t major = 0;
    std::int16_t minor = 0;
    std::int16_t build = 0;
    if (dravik::GetLibVersion(&major, &minor, &build) != 0)
        LibVersion->setText(QStringLiteral("Library Version: %1 . %2 . %3").arg(major).arg(minor).arg(build));

    ErReason(*this, QStringLiteral("Ok"));
    setCheckValue(*CheckCnct, 1);

    std::uint32_t deviceInfo = 0;
    if (dravik::USBConnect(&deviceInfo) == 0) {
        if (!settingsFile.isEmpty()) {
            reportOnStderr(connectFailureCause());
            return exitStatus(RunCause::NoSensor);
        }
        ErReason(*this, QStringLiteral("USB Connect"));
        return std::nullopt;
    }
    FirmWare->setText(firmwareText(deviceInfo));

    if (dravik::ReadCfg() != 0)
        ReadConfig(*this);
    else
        ErReason(*this, QStringLiteral("ReadCfg"));

    if (!settingsFile.isEmpty())
        return runUnattended(*this, settingsFile);
    return std::nullopt;
}
