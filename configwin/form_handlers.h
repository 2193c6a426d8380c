// The window's handlers, bound to its controls after the layout is built:
// the layout itself binds none.
#ifndef CONFIGWIN_FORM_HANDLERS_H
#define CONFIGWIN_FORM_HANDLERS_H

class Form1;

// Every handler of the window: fields, commands, menus and presets.
void connectHandlers(Form1& form);

// Change, click and leave handlers of the fields, key lists and check boxes.
void connectFieldHandlers(Form1& form);

#endif
