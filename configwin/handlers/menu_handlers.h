// The File and Help menus: "&Open", "&Save", "Save &As" and "A&bout".
// "E&xit" is bound with the command buttons: it runs "OK".
#ifndef CONFIGWIN_MENU_HANDLERS_H
#define CONFIGWIN_MENU_HANDLERS_H

class Form1;

void connectMenuHandlers(Form1& form);

void Open_Click(Form1& form);
void Save_Click(Form1& form);
void SaveAs_Click(Form1& form);
// Shows the About box modal over the main window, made the first time.
void About_Click(Form1& form);

#endif
