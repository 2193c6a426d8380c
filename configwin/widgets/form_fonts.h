// The fonts the window and the About box ask for.
#ifndef CONFIGWIN_FORM_FONTS_H
#define CONFIGWIN_FORM_FONTS_H

#include <QFont>

// What every control of both forms shows its text in, unless it says otherwise.
QFont formFont();

// Where the machine lacks a family the forms ask for, an installed one of the
// same look: "Arial" has its metric twin through fontconfig, "Arial Black"
// has none and would fall back to a wider face than the rest of the window.
// Process-wide; called once the application exists.
void mapFormFonts();

#endif
