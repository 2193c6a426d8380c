#ifndef CONFIGWIN_READ_CONFIG_H
#define CONFIGWIN_READ_CONFIG_H

class Form1;

// Copies the library's four records and one range reading into the controls.
void ReadConfig(Form1& form);

#endif
