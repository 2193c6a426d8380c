// A text as a message shows it: each C0 control character and DEL as its
// Unicode picture (a NUL as U+2400), so that none cuts the line short or
// hides in it.
#ifndef CONFIGWIN_VISIBLE_CONTROLS_H
#define CONFIGWIN_VISIBLE_CONTROLS_H

#include <QString>

QString withVisibleControls(QString text);

#endif
