#include "dialogs/ui_seam.h"
#include "scripted_ui_seam.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `act` on the modal dialog that `show` opens, once it is up.
template <typename Dialog>
void whileShown(const std::function<void(Dialog&)>& act, const std::function<void()>& show)
{
    QTimer::singleShot(0, [&act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog";
            for (QWidget* window : QApplication::topLevelWidgets())
                if (auto* found = qobject_cast<QDialog*>(window); found && found->isVisible())
                    found->reject();
            return;
        }
        act(*dialog);
    });
    show();
}

struct ShownBox {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

struct BoxCase {
    MessageBoxRequest request;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::StandardButton pressed;
    MessageAnswer answer;
};

}  // namespace

TEST(QtUiSeam, ShowsTheBoxAsAskedAndReturnsThePressedButton)
{
    // clang-format off
    const BoxCase cases[] = {
        {{"An error >ReadCfg 131330 < was encountered.  Do you want to continue ?", MessageButtons::OkCancel,
          MessageIcon::Critical, DefaultButton::Second, "Tornel USB Device Error"},
         QMessageBox::Critical, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Ok,
         MessageAnswer::Ok},
        {{"Write?", MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second, "Tornel USB Write Parameters"},
         QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::Yes,
         MessageAnswer::Yes},
        {{"Write?", MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second, "Tornel USB Write Parameters"},
         QMessageBox::Critical, QMessageBox::Yes | QMessageBox::No, QMessageBox::No, QMessageBox::No,
         MessageAnswer::No},
        {{"Proceed with Caution!"}, QMessageBox::NoIcon, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok,
         MessageAnswer::Ok},
        {{"Leave?", MessageButtons::OkCancel, MessageIcon::None, DefaultButton::First, "T"}, QMessageBox::NoIcon,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok, QMessageBox::Cancel, MessageAnswer::Cancel},
        // clang-format on
    };
    QtUiSeam seam;
    for (const BoxCase& c : cases) {
        SCOPED_TRACE(c.request.text.toStdString());
        ShownBox shown;
        MessageAnswer answer{};
        whileShown<QMessageBox>(
            [&](QMessageBox& box) {
                shown = {box.text(), box.windowTitle(), box.icon(), box.standardButtons(),
                         box.standardButton(box.defaultButton())};
                box.button(c.pressed)->click();
            },
            [&] { answer = seam.message(c.request); });
        EXPECT_EQ(shown.text, c.request.text);
        EXPECT_EQ(shown.title, c.request.title);
        EXPECT_EQ(shown.icon, c.icon);
        EXPECT_EQ(shown.buttons, c.buttons);
        EXPECT_EQ(shown.defaultButton, c.defaultButton);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(QtUiSeam, BoxWithoutTitleOfItsOwnCarriesTheApplicationTitle)
{
    EXPECT_EQ(MessageBoxRequest{}.title, "Tornel-Tyvel");
}

TEST(QtUiSeam, EscapeAnswersCancel)
{
    QtUiSeam seam;
    MessageAnswer answer{};
    whileShown<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); },
                            [&] {
                                answer = seam.message({"Go on?", MessageButtons::OkCancel});
                            });
    EXPECT_EQ(answer, MessageAnswer::Cancel);
}

TEST(QtUiSeam, OpenDialogHasTitleFilterAndInitialNameAndTakesANewName)
{
    QTemporaryDir folder;
    const QString initial = QDir(folder.path()).filePath("Default.tyv");
    const QString typed = QDir(folder.path()).filePath("new settings.tyv");
    QString title;
    QStringList filters;
    QStringList preselected;
    QtUiSeam seam;
    std::optional<QString> chosen;
    whileShown<QFileDialog>(
        [&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            preselected = dialog.selectedFiles();
            dialog.selectFile(typed);
            static_cast<QDialog&>(dialog).accept();
        },
        [&] {
            chosen = seam.openFile({"Save As", "All Files (*.tyv)|*.tyv", initial});
        });
    EXPECT_EQ(title, "Save As");
    EXPECT_EQ(filters, QStringList{"All Files (*.tyv)"});
    EXPECT_EQ(preselected, QStringList{initial});
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(*chosen, typed);
}

TEST(QtUiSeam, CancelledOpenDialogChoosesNothing)
{
    QtUiSeam seam;
    std::optional<QString> chosen = QString("unchanged");
    whileShown<QFileDialog>([](QFileDialog& dialog) { static_cast<QDialog&>(dialog).reject(); },
                            [&] {
                                chosen = seam.openFile({"Open", "All Files (*.tyv)|*.tyv", {}});
                            });
    EXPECT_FALSE(chosen.has_value());
}

TEST(QtNameFilters, TurnsDescriptionPatternPairsIntoQtFilters)
{
    EXPECT_EQ(qtNameFilters("All Files (*.tyv)|*.tyv"), "All Files (*.tyv)");
    EXPECT_EQ(qtNameFilters("Settings|*.tyv"), "Settings (*.tyv)");
    EXPECT_EQ(qtNameFilters("Text|*.txt;*.log|All (*.*)|*.*"), "Text (*.txt *.log);;All (*.*)");
}

TEST(ScriptedUiSeam, AnswersFromTheScriptThenWithTheDefaultButtonAndKeepsEveryBox)
{
    ScriptedUiSeam seam;
    seam.answers = {MessageAnswer::Yes};
    const MessageBoxRequest prompt{"Write?", MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second,
                                   "Tornel USB Write Parameters"};
    EXPECT_EQ(seam.message(prompt), MessageAnswer::Yes);
    EXPECT_EQ(seam.message(prompt), MessageAnswer::No);
    EXPECT_EQ(seam.message({"Done"}), MessageAnswer::Ok);
    ASSERT_EQ(seam.boxes.size(), 3u);
    EXPECT_EQ(seam.boxes[0], prompt);
    EXPECT_EQ(seam.boxes[2].title, "Tornel-Tyvel");

    seam.fileChoices = {QString("a.tyv")};
    EXPECT_EQ(seam.openFile({"Open", "All Files (*.tyv)|*.tyv", {}}), QString("a.tyv"));
    EXPECT_FALSE(seam.openFile({"Save As", "All Files (*.tyv)|*.tyv", {}}).has_value());
    ASSERT_EQ(seam.fileDialogs.size(), 2u);
    EXPECT_EQ(seam.fileDialogs[1].title, "Save As");
}
