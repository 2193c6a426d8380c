// The handlers of single edits: key choices, clicks on the check boxes of the
// field table's rows, the leave checks of the numeric fields and the two
// key-delay checks. Each ends in CheckUpdate.
#ifndef CONFIGWIN_FIELD_HANDLERS_H
#define CONFIGWIN_FIELD_HANDLERS_H

class Form1;

void connectFieldHandlers(Form1& form);

#endif
