#include "run/scripted_run.h"
#include "scripted_ui_seam.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// What the seam wrote to its log.
class Log {
public:
    Log() : file_(std::tmpfile(), &std::fclose) {}
    std::FILE* get() const { return file_.get(); }
    std::string text() const
    {
        std::rewind(file_.get());
        std::string text;
        for (int character; (character = std::fgetc(file_.get())) != EOF;)
            text += static_cast<char>(character);
        return text;
    }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

const MessageBoxRequest kDeviceError{"An error >USB Halt Keyboard 514 < was encountered.  Do you want to continue ?",
                                     MessageButtons::OkCancel, MessageIcon::Critical, DefaultButton::Second,
                                     "Tornel USB Device Error"};
const MessageBoxRequest kPrompt{"Write ?", MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second,
                                "Tornel USB Write Parameters"};
const MessageBoxRequest kPlain{"Wrong number of arguments, only 1 accepted"};
const MessageBoxRequest kBrokenName{
    "The settings file \"a\nb\r\nc\rd.tyv\" cannot be opened: No such file or directory.", MessageButtons::Ok,
    MessageIcon::Critical};

}  // namespace

TEST(EchoedUiSeam, WhereNobodyCanAnswerEachBoxIsOneLineAndItsDefaultAnswer)
{
    const struct {
        MessageBoxRequest box;
        MessageAnswer answer;
    } cases[] = {
        {kDeviceError, MessageAnswer::Cancel},
        {kPrompt, MessageAnswer::No},
        {{"Go on ?", MessageButtons::OkCancel, MessageIcon::None, DefaultButton::First, "T"}, MessageAnswer::Ok},
        {kPlain, MessageAnswer::Ok},
        {kBrokenName, MessageAnswer::Ok},
    };
    ScriptedUiSeam shown;
    shown.answers = {MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes, MessageAnswer::Yes,
                     MessageAnswer::Yes};
    const Log log;
    EchoedUiSeam seam(shown, true, log.get());

    for (const auto& test : cases)
        EXPECT_EQ(seam.message(test.box), test.answer) << test.box.text.toStdString();

    EXPECT_TRUE(shown.boxes.empty());
    EXPECT_EQ(log.text(),
              "Tornel USB Device Error: An error >USB Halt Keyboard 514 < was encountered.  Do you want to continue ?\n"
              "Tornel USB Write Parameters: Write ?\n"
              "T: Go on ?\n"
              "Tornel-Tyvel: Wrong number of arguments, only 1 accepted\n"
              "Tornel-Tyvel: The settings file \"a b c d.tyv\" cannot be opened: No such file or directory.\n");
}

TEST(EchoedUiSeam, WithSomeoneToAnswerTheBoxIsAlsoShownAndItsAnswerReturned)
{
    ScriptedUiSeam shown;
    shown.answers = {MessageAnswer::Ok};
    const Log log;
    EchoedUiSeam seam(shown, false, log.get());

    EXPECT_EQ(seam.message(kDeviceError), MessageAnswer::Ok);

    EXPECT_EQ(shown.boxes, std::vector<MessageBoxRequest>{kDeviceError});
    EXPECT_EQ(log.text(), messageLine(kDeviceError).toStdString() + "\n");
}

TEST(EchoedUiSeam, ALineGoesOnPastANul)
{
    ScriptedUiSeam shown;
    const Log log;
    EchoedUiSeam seam(shown, true, log.get());

    seam.message({QStringLiteral("a%1b").arg(QChar(0))});

    EXPECT_EQ(log.text(), std::string("Tornel-Tyvel: a\0b\n", 18));
}

TEST(ScriptedRun, IsAnyRunWithAnArgument)
{
    EXPECT_FALSE(isScriptedRun(QString()));
    EXPECT_FALSE(isScriptedRun(QStringLiteral(" \t ")));
    EXPECT_TRUE(isScriptedRun(QStringLiteral(" Default.tyv")));
    EXPECT_TRUE(isScriptedRun(QStringLiteral("a b")));
}

TEST(ScriptedRun, TheTestsRunWhereNobodyCanAnswer)
{
    EXPECT_TRUE(nobodyCanAnswer());
}
