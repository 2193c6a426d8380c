#include "run/unattended.h"

#include "binding/dravik_binding.h"
#include "fields/write_config.h"
#include "files/settings_file.h"
#include "form/form1.h"
#include "run/scripted_run.h"
#include "run/sensor_report.h"
#include "widgets/check_value.h"

#include <QCheckBox>

#include <optional>

namespace {

// False when the write was refused before anything was stored.
bool writeOnce(Form1& form, RunCauses& met)
{
    const WriteOutcome write = writeConfigOutcome(form);
    if (!write.written)
        met.add(RunCause::RefusedValue);
    if (write.recordRefused)
        met.add(RunCause::RecordRefused);
    if (write.sendFailed)
        met.add(RunCause::SendFailed);
    return write.written;
}

}  // namespace

ExitStatus runUnattended(Form1& form, const QString& settingsFile)
{
    RunCauses met;
    setCheckValue(*form.CheckCnct, 1);
    // Loading the file runs the handlers that stop the keystrokes and check the key delays.
    form.HaltRefused = false;
    form.KeyDelayReplaced = false;
    if (loadConfigData(form, settingsFile)) {
        if (form.HaltRefused)
            met.add(RunCause::HaltRefused);
        if (form.KeyDelayReplaced)
            met.add(RunCause::KeyDelayReplaced);
        // A refused write stored nothing; the same controls would be refused again.
        if (writeOnce(form, met))
            writeOnce(form, met);
        if (const std::optional<QString> configured = configuredAmongOthers())
            reportOnStderr(*configured);
    } else {
        met.add(RunCause::RefusedFile);
    }
    dravik::USBDisconnect();
    return met.status();
}
