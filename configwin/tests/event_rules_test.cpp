// When the leave checks run, and a button's click surviving a check's box.
// Mouse events go through the window system layer, as a real click does, so
// a modal box blocks them.
#define QTEST_QPA_MOUSE_HANDLING

#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "scripted_ui_seam.h"
#include "widgets/check_value.h"
#include "widgets/event_rules.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

const MessageBoxRequest kDistanceBox{QStringLiteral("The value must be between 14 and 60!"), MessageButtons::OkCancel,
                                     MessageIcon::Critical, DefaultButton::Second, QStringLiteral("Tornel Parameter")};

// A shown window whose comparisons stop at once, so no check reaches the
// library.
template <typename Seam>
class ShownForm : public ::testing::Test {
protected:
    Seam ui;
    Form1 form{ui};

    void SetUp() override
    {
        connectHandlers(form);
        form.FirstLoad = 1;
        form.SSTab1->setCurrentIndex(0);
        form.show();
    }

    // Puts the text in the field and the focus there, as the user would.
    void editField(QLineEdit* field, const char* text)
    {
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        field->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(field->hasFocus());
        field->setText(QLatin1String(text));
    }
};

using LeaveCheck = ShownForm<ScriptedUiSeam>;
using LeaveCheckWithRealBox = ShownForm<QtUiSeam>;

}  // namespace

TEST_F(LeaveCheck, RunsWhenTheFocusMovesToAnotherControlOfTheWindow)
{
    for (Qt::FocusReason reason : {Qt::MouseFocusReason, Qt::TabFocusReason, Qt::BacktabFocusReason,
                                   Qt::ShortcutFocusReason, Qt::OtherFocusReason}) {
        SCOPED_TRACE(reason);
        editField(form.MaxDist, "100");
        ui.boxes.clear();
        form.bNoShowIRLED->setFocus(reason);
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0], kDistanceBox);
        EXPECT_EQ(form.MaxDist->text(), "36");
    }
}

TEST_F(LeaveCheck, RunsOnTabFromTheKeyboard)
{
    editField(form.ORDBTm, "300");
    QTest::keyClick(form.ORDBTm, Qt::Key_Tab);
    EXPECT_FALSE(form.ORDBTm->hasFocus());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(form.ORDBTm->text(), "0");
}

TEST_F(LeaveCheck, DoesNotRunWhenTheWindowLosesTheFocusOrCodeChangesTheText)
{
    editField(form.MaxDist, "100");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    form.MaxDist->setText(QStringLiteral("5"));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.MaxDist->text(), "5");

    // Back in the window, the focus is in the field again; leaving it checks.
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_TRUE(form.MaxDist->hasFocus());
    form.Command5->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(LeaveCheck, DoesNotRunWhenAPopupTakesTheFocus)
{
    editField(form.MaxDist, "100");
    form.Command5->setFocus(Qt::PopupFocusReason);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.MaxDist->text(), "100");
}

TEST_F(LeaveCheck, RunsOnlyForTheFieldThatIsLeft)
{
    form.MaxDist->setText(QStringLiteral("100"));
    editField(form.IRDBTm, "12");
    form.Command5->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.MaxDist->text(), "100");
}

TEST_F(LeaveCheck, EnterInTheFieldChecksNothing)
{
    editField(form.MaxDist, "100");
    QTest::keyClick(form.MaxDist, Qt::Key_Return);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(form.MaxDist->hasFocus());
}

TEST_F(LeaveCheck, AButtonPressedAndReleasedAfterTheCheckIsClickedOnce)
{
    QSignalSpy clicked(form.Command4, &QPushButton::clicked);
    editField(form.MaxDist, "100");
    QTest::mousePress(form.Command4, Qt::LeftButton);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(form.Command4->isDown());
    QTest::mouseRelease(form.Command4, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_FALSE(form.Command4->isDown());
}

TEST_F(LeaveCheckWithRealBox, AButtonWhoseReleaseTheBoxTookIsStillClickedOnceAfterTheBox)
{
    // Targets whose own handlers show nothing and keep the window open here.
    for (QAbstractButton* target :
         {static_cast<QAbstractButton*>(form.Command4), static_cast<QAbstractButton*>(form.bNoShowIRLED)}) {
        SCOPED_TRACE(target->objectName().toStdString());
        QSignalSpy clicked(target, &QAbstractButton::clicked);
        editField(form.MaxDist, "100");
        bool boxShown = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            boxShown = box != nullptr;
            // The user lets go of the button while the box is up, then answers it.
            QTest::mouseRelease(target, Qt::LeftButton);
            if (box)
                box->button(QMessageBox::Ok)->click();
        });
        QTest::mousePress(target, Qt::LeftButton);
        EXPECT_TRUE(boxShown);
        EXPECT_EQ(form.MaxDist->text(), "36");
        QCoreApplication::processEvents();
        EXPECT_EQ(clicked.count(), 1);
        EXPECT_FALSE(target->isDown());
        // The next click is an ordinary one.
        QTest::mouseClick(target, Qt::LeftButton);
        EXPECT_EQ(clicked.count(), 2);
    }
}

TEST_F(LeaveCheckWithRealBox, ACheckBoxClickedOutOfAFieldWithABoxStillChanges)
{
    editField(form.IRDBTm, "256");
    QTimer::singleShot(0, [&] {
        QTest::mouseRelease(form.bNoShowXtLED, Qt::LeftButton);
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->button(QMessageBox::Ok)->click();
    });
    QTest::mousePress(form.bNoShowXtLED, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(checkValue(*form.bNoShowXtLED), 1);
    EXPECT_EQ(form.IRDBTm->text(), "0");
}

TEST(SelectEntryWithCode, SelectsTheLastEntryCarryingTheCodeAndShowsItsText)
{
    QComboBox list;
    list.setEditable(true);
    for (const auto& [text, code] : {std::pair{"a", 4}, {"b", 5}, {"twin", 5}, {"c", 6}})
        list.addItem(QLatin1String(text), code);
    list.setCurrentIndex(-1);
    QSignalSpy changed(&list, &QComboBox::currentIndexChanged);

    selectEntryWithCode(list, 5);
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_EQ(list.currentText(), "twin");
    EXPECT_EQ(changed.count(), 2);

    // Text set by code over the same selection: shown again, nothing runs.
    list.setEditText(QStringLiteral("typed"));
    selectEntryWithCode(list, 5);
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_EQ(list.currentText(), "twin");
    EXPECT_EQ(changed.count(), 4);  // the earlier entry with the code, then back

    list.setEditText(QStringLiteral("typed"));
    selectEntryWithCode(list, 99);
    EXPECT_EQ(list.currentIndex(), 2);
    EXPECT_EQ(list.currentText(), "typed");
}
