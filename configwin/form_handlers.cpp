#include "form_handlers.h"

#include "command_handlers.h"
#include "settings_handlers.h"

void connectHandlers(Form1& form)
{
    connectFieldHandlers(form);
    connectCommandHandlers(form);
    connectSettingsHandlers(form);
}
