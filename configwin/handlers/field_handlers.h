// The handlers of single edits: key choices, modifier and LED clicks, the
// leave checks of the numeric fields and the two key-delay checks. Each ends
// in CheckUpdate.
#ifndef CONFIGWIN_FIELD_HANDLERS_H
#define CONFIGWIN_FIELD_HANDLERS_H

class Form1;

void connectFieldHandlers(Form1& form);

#endif
