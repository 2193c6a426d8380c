#include "unattended.h"

#include "check_value.h"
#include "dravik_binding.h"
#include "form1.h"
#include "form_logic.h"
#include "settings_file.h"

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

// Nothing when the file could not be loaded; the sensor is not written then.
std::optional<WriteOutcome> AutoConfig(Form1& form, const QString& fileName)
{
    setCheckValue(*form.CheckCnct, 1);
    if (!loadConfigData(form, fileName))
        return std::nullopt;
    return writeOnce(form);
}

}  // namespace

int runUnattended(Form1& form, const QString& settingsFile)
{
    bool complete = false;
    const std::optional<WriteOutcome> first = AutoConfig(form, settingsFile);
    // A refused write stored nothing; the same controls would be refused again.
    if (first && first->written) {
        const WriteOutcome second = writeOnce(form);
        complete = first->complete && second.complete;
    }
    dravik::USBDisconnect();
    return complete ? 0 : 1;
}
