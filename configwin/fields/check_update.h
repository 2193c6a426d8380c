#ifndef CONFIGWIN_CHECK_UPDATE_H
#define CONFIGWIN_CHECK_UPDATE_H

class Form1;

// Ticks or clears "Config Changed" against the library's records.
void CheckUpdate(Form1& form);

#endif
