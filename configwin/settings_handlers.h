#ifndef CONFIGWIN_SETTINGS_HANDLERS_H
#define CONFIGWIN_SETTINGS_HANDLERS_H

class Form1;

// Binds "&Open", "&Save", "Save &As", "A&bout" and the three preset buttons.
void connectSettingsHandlers(Form1& form);

#endif
