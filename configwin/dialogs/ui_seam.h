// Everything the window asks the user through a dialog of its own goes through
// UiSeam, so tests can script the answers and check each box exactly.
#ifndef CONFIGWIN_UI_SEAM_H
#define CONFIGWIN_UI_SEAM_H

#include "app/app_info.h"

#include <QString>

#include <optional>

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Critical };
enum class DefaultButton { First, Second };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct MessageBoxRequest {
    QString text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    DefaultButton defaultButton = DefaultButton::First;
    QString title = QString::fromLatin1(kAppTitle);

    bool operator==(const MessageBoxRequest& other) const
    {
        return text == other.text && buttons == other.buttons && icon == other.icon &&
               defaultButton == other.defaultButton && title == other.title;
    }
};

struct OpenFileRequest {
    QString title;
    // Pairs of description and pattern joined by '|': "All Files (*.tyv)|*.tyv".
    QString filter;
    QString initialName;

    bool operator==(const OpenFileRequest& other) const
    {
        return title == other.title && filter == other.filter && initialName == other.initialName;
    }
};

class UiSeam {
public:
    virtual ~UiSeam() = default;

    // Shows a modal box and returns the button that closed it.
    virtual MessageAnswer message(const MessageBoxRequest& request) = 0;

    // Shows the open-file dialog; a name that does not exist yet is accepted.
    // Returns the chosen path, or nothing when the user cancels.
    virtual std::optional<QString> openFile(const OpenFileRequest& request) = 0;
};

// The button a box gives when the user just presses Enter.
MessageAnswer defaultAnswer(const MessageBoxRequest& request);

// The real dialogs.
class QtUiSeam : public UiSeam {
public:
    MessageAnswer message(const MessageBoxRequest& request) override;
    std::optional<QString> openFile(const OpenFileRequest& request) override;
};

// "All Files (*.tyv)|*.tyv" in the form QFileDialog takes: "All Files (*.tyv)".
QString qtNameFilters(const QString& filter);

#endif
