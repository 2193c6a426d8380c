// A UiSeam for tests: answers come from scripts, every box and dialog is kept.
#ifndef CONFIGWIN_TESTS_SCRIPTED_UI_SEAM_H
#define CONFIGWIN_TESTS_SCRIPTED_UI_SEAM_H

#include "dialogs/ui_seam.h"

#include <deque>
#include <optional>
#include <ostream>
#include <vector>

class ScriptedUiSeam : public UiSeam {
public:
    // Answers for the next boxes, in order. Once they run out a box is
    // answered with its default button, as if the user pressed Enter.
    std::deque<MessageAnswer> answers;
    // Choices for the next file dialogs; once they run out the dialog is cancelled.
    std::deque<std::optional<QString>> fileChoices;

    std::vector<MessageBoxRequest> boxes;
    std::vector<OpenFileRequest> fileDialogs;

    MessageAnswer message(const MessageBoxRequest& request) override
    {
        boxes.push_back(request);
        if (answers.empty())
            return defaultAnswer(request);
        const MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<QString> openFile(const OpenFileRequest& request) override
    {
        fileDialogs.push_back(request);
        if (fileChoices.empty())
            return std::nullopt;
        // Swapped out rather than copied, which GCC's optimiser takes for a
        // read of an uninitialised QString.
        std::optional<QString> choice;
        choice.swap(fileChoices.front());
        fileChoices.pop_front();
        return choice;
    }
};

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const MessageBoxRequest& box, std::ostream* out)
{
    *out << "box \"" << box.text.toStdString() << "\" titled \"" << box.title.toStdString() << "\", buttons "
         << static_cast<int>(box.buttons) << ", icon " << static_cast<int>(box.icon) << ", default "
         << static_cast<int>(box.defaultButton);
}

inline void PrintTo(const OpenFileRequest& dialog, std::ostream* out)
{
    *out << "dialog \"" << dialog.title.toStdString() << "\" filter \"" << dialog.filter.toStdString() << "\" name \""
         << dialog.initialName.toStdString() << "\"";
}

#endif
