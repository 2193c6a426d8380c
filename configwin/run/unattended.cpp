#include "run/unattended.h"

#include "app/exit_status.h"
#include "binding/dravik_binding.h"
#include "fields/er_reason.h"
#include "fields/write_config.h"
#include "files/settings_file.h"
#include "form/form1.h"
#include "run/scripted_run.h"
#include "run/sensor_report.h"
#include "widgets/check_value.h"

#include <QCheckBox>

#include <optional>

namespace {

struct WriteOutcome {
    bool written;
    // The library took all four records and sent them: the write leaves
    // "Config Changed" ticked when a record was refused or the send failed.
    bool complete;
};

WriteOutcome writeOnce(Form1& form)
{
    const bool written = WriteConfig(form);
    return {written, written && checkValue(*form.ConfigChanged) == 0};
}

struct FirstWrite {
    // The file's halt or resume of the keystrokes, if it asked for one, was sent.
    bool haltSent;
    WriteOutcome write;
};

// Nothing when the file could not be loaded; the sensor is not written then.
std::optional<FirstWrite> AutoConfig(Form1& form, const QString& fileName)
{
    setCheckValue(*form.CheckCnct, 1);
    form.HaltRefused = false;
    if (!loadConfigData(form, fileName))
        return std::nullopt;
    const bool haltSent = !form.HaltRefused;
    return FirstWrite{haltSent, writeOnce(form)};
}

}  // namespace

int runUnattended(Form1& form, const QString& settingsFile)
{
    ExitStatus status = ExitNotStarted;
    const std::optional<FirstWrite> first = AutoConfig(form, settingsFile);
    if (first) {
        status = ExitSensorStepFailed;
        // A refused write stored nothing; the same controls would be refused again.
        if (first->write.written) {
            const WriteOutcome second = writeOnce(form);
            if (first->haltSent && first->write.complete && second.complete)
                status = ExitDone;
        }
        if (const std::optional<QString> configured = configuredAmongOthers())
            reportOnStderr(*configured);
    }
    dravik::USBDisconnect();
    return status;
}
