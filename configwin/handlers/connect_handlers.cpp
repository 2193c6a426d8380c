#include "handlers/connect_handlers.h"

#include "handlers/command_handlers.h"
#include "handlers/field_handlers.h"
#include "handlers/menu_handlers.h"
#include "handlers/preset_handlers.h"

void connectHandlers(Form1& form)
{
    connectFieldHandlers(form);
    connectCommandHandlers(form);
    connectMenuHandlers(form);
    connectPresetHandlers(form);
}
