#ifndef CONFIGWIN_PRESET_HANDLERS_H
#define CONFIGWIN_PRESET_HANDLERS_H

class Form1;

// Binds the three preset buttons of "Quick Configuration".
void connectPresetHandlers(Form1& form);

#endif
