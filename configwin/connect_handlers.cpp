#include "connect_handlers.h"

#include "command_handlers.h"
#include "field_handlers.h"
#include "menu_handlers.h"
#include "preset_handlers.h"

void connectHandlers(Form1& form)
{
    connectFieldHandlers(form);
    connectCommandHandlers(form);
    connectMenuHandlers(form);
    connectPresetHandlers(form);
}
