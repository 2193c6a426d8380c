// The six command buttons, the File menu's "E&xit" and "Disable keystrokes".
#ifndef CONFIGWIN_COMMAND_HANDLERS_H
#define CONFIGWIN_COMMAND_HANDLERS_H

class Form1;

void connectCommandHandlers(Form1& form);

#endif
