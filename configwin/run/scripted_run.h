// A run started with arguments never shows its window: a script may be
// waiting for it, on a machine where nobody can see or answer a box.
#ifndef CONFIGWIN_SCRIPTED_RUN_H
#define CONFIGWIN_SCRIPTED_RUN_H

#include "dialogs/ui_seam.h"

#include <QString>

#include <cstdio>
#include <optional>

// True when the argument part holds any argument (one settings file, or the
// wrong count).
bool isScriptedRun(const QString& argumentPart);

// The platforms Qt is to try, chosen before the QApplication is made.
struct PlatformChoice {
    // Where the window is meant to open, as "DISPLAY=:0" or "QT_QPA_PLATFORM=xcb".
    QString meant;
    // Offscreen ends the list, so that nothing answering there never aborts.
    bool offscreenLastResort = false;
};

// Without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM a scripted run takes
// the offscreen platform; the window can't open then, which one line on
// stderr says, and the result is nothing. Otherwise the platforms of the
// display variables (or those QT_QPA_PLATFORM names) are tried first.
std::optional<PlatformChoice> prepareDisplay(bool scripted);

// Once the QApplication is made: false, with one line on stderr, when the
// window would open on the last resort. A scripted run goes on there.
bool displayAnswered(const PlatformChoice& choice, bool scripted);

// One line on stderr under the application's title.
void reportOnStderr(const QString& text);

// On Qt's offscreen and minimal platforms a box is shown to nobody.
bool nobodyCanAnswer();

// The box as one line: its title, ": " and its text, line breaks as blanks.
QString messageLine(const MessageBoxRequest& request);

// Writes every box to `log` as its messageLine before it is shown. Where
// nobody can answer, the box is not shown and gives its default answer.
class EchoedUiSeam : public UiSeam {
public:
    EchoedUiSeam(UiSeam& shown, bool answerByDefault, std::FILE* log = stderr)
        : shown_(shown), answerByDefault_(answerByDefault), log_(log)
    {
    }

    MessageAnswer message(const MessageBoxRequest& request) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override { return shown_.openFile(request); }

private:
    UiSeam& shown_;
    bool answerByDefault_;
    std::FILE* log_;
};

#endif
