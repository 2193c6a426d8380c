// The three operating-system presets of "Quick Configuration".
#ifndef CONFIGWIN_PRESETS_H
#define CONFIGWIN_PRESETS_H

class Form1;

void Option1_Click(Form1& form);
void Option2_Click(Form1& form);
void Option3_Click(Form1& form);

#endif
