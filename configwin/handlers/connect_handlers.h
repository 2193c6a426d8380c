// The window's handlers, bound to its controls after the layout is built:
// the layout itself binds none.
#ifndef CONFIGWIN_CONNECT_HANDLERS_H
#define CONFIGWIN_CONNECT_HANDLERS_H

class Form1;

// Every handler of the window: fields, commands, menus and presets.
void connectHandlers(Form1& form);

#endif
