// The edit handlers on their own: with FirstLoad set their change detection
// stops at once, so nothing here reaches the library.
#include "fields/window_fields.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "leave_field.h"
#include "scripted_ui_seam.h"
#include "widgets/check_value.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

const QString kAppTitleText = QStringLiteral("Tornel-Tyvel");
const MessageBoxRequest kDelayBox{QStringLiteral("Delay must be in the range of (msec) min 64, max 16320!"),
                                  MessageButtons::Ok, MessageIcon::None, DefaultButton::First, kAppTitleText};

MessageBoxRequest parameterBox(const char* text)
{
    return {QLatin1String(text), MessageButtons::OkCancel, MessageIcon::Critical, DefaultButton::Second,
            QStringLiteral("Tornel Parameter")};
}

class FieldHandlers : public ::testing::Test {
protected:
    ScriptedUiSeam ui;
    Form1 form{ui};

    void SetUp() override
    {
        connectHandlers(form);
        form.FirstLoad = 1;
        form.FillComboList();
        form.FillCombo2List();
        form.FillCombo3List();
        form.FillCombo4List();
        form.FillCombo5List();
    }

    // Marks the window as differing, so a run of CheckUpdate shows.
    void markChanged()
    {
        form.DeviceUpdated = false;
        setCheckValue(*form.ConfigChanged, 1);
    }
    bool checkUpdateRan() const { return form.DeviceUpdated && checkValue(*form.ConfigChanged) == 0; }

    void leave(QLineEdit* field, const QString& text)
    {
        enterField(form, field, text);
        markChanged();
        leaveField(form);
    }
};

struct LeaveCase {
    const char* text;
    bool refused;
};

}  // namespace

TEST_F(FieldHandlers, KeyChoiceWritesTheEntrysCodeIntoItsSlotsCodeBox)
{
    struct Choice {
        int position;
        const char* text;
        int code;
    };
    const std::vector<Choice> choices = {{0, "NONE", 0}, {103, "NULL", 255}, {91, "DELETE", 76}, {45, "(", 166},
                                         {65, "(", 175}, {62, "/", 56},      {11, "k", 14},      {48, "ESC", 41}};
    for (int slot = 0; slot < 11; ++slot) {
        const KeySlot& key = form.keySlot(slot);
        SCOPED_TRACE(key.list->objectName().toStdString());
        for (const Choice& choice : choices) {
            markChanged();
            key.list->setCurrentIndex(choice.position);
            EXPECT_EQ(key.list->currentText(), choice.text);
            EXPECT_EQ(key.codeBox->text(), QString::number(choice.code));
            EXPECT_TRUE(checkUpdateRan());
        }
        // Part of the common list in every slot; walk-up key 5 has it one place earlier.
        key.list->setCurrentIndex(key.list->findText(QStringLiteral("; SEMICOLON")));
        EXPECT_EQ(key.codeBox->text(), "51");
        EXPECT_EQ(key.list->currentIndex(), slot == 10 ? 56 : 57);
    }
    form.Combo11->setCurrentIndex(60);
    EXPECT_EQ(form.Combo11->currentText(), ". PERIOD");
    EXPECT_EQ(form.Text4[4]->text(), "55");
}

TEST_F(FieldHandlers, SixthWalkUpKeysListHasNoHandler)
{
    markChanged();
    form.Combo12->setCurrentIndex(91);
    EXPECT_EQ(form.Text4[5]->text(), "Text4");
    EXPECT_FALSE(checkUpdateRan());
}

TEST_F(FieldHandlers, KeyListWithNoEntrySelectedKeepsItsCodeBoxAndStillChecks)
{
    form.Combo3->setCurrentIndex(12);
    ASSERT_EQ(form.Key3Code->text(), "15");
    markChanged();
    form.Combo3->setCurrentIndex(-1);
    EXPECT_EQ(form.Key3Code->text(), "15");
    EXPECT_TRUE(checkUpdateRan());
}

TEST_F(FieldHandlers, TypingIntoAKeyListsTextChangesNothing)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.SSTab1->setCurrentIndex(1);
    form.Combo2->setFocus();
    markChanged();
    QTest::keyClicks(form.Combo2, QStringLiteral("DELETE"));
    QTest::keyClick(form.Combo2, Qt::Key_Return);
    form.Command2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form.Combo2->currentText(), "DELETE");
    EXPECT_EQ(form.Combo2->currentIndex(), -1);
    EXPECT_EQ(form.Key2Code->text(), "Text4");
    EXPECT_FALSE(checkUpdateRan());
}

TEST_F(FieldHandlers, EveryModifierBoxAndLedBoxRunsOnlyTheCheck)
{
    std::vector<QCheckBox*> boxes = {form.bNoShowIRLED, form.bNoShowORLED, form.bNoShowXtLED};
    for (const ModifierColumn& column : kModifierColumns)
        for (QCheckBox* box : form.*column.boxes)
            boxes.push_back(box);
    for (QCheckBox* box : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        for (int value : {1, 0}) {
            markChanged();
            setCheckValue(*box, value);
            EXPECT_TRUE(checkUpdateRan());
        }
        markChanged();
        setCheckValue(*box, 0);
        EXPECT_FALSE(checkUpdateRan()) << "an assignment that changes nothing runs nothing";
    }
    EXPECT_EQ(form.Key1Mods->text(), "Text4");
    EXPECT_TRUE(ui.boxes.empty());
}

// A row's box that no handler reaches would be written and compared, yet a
// click would leave "Config Changed" as it was.
TEST_F(FieldHandlers, EveryCheckBoxOfTheFieldTableRunsTheCheckOnAClick)
{
    std::set<QCheckBox*> clicked;
    for (const WindowField& row : windowFields(form)) {
        for (QCheckBox* box : checkBoxes(form, row.control)) {
            SCOPED_TRACE(row.name.toStdString() + " " + box->objectName().toStdString());
            EXPECT_TRUE(clicked.insert(box).second) << "named by two rows";
            for (int click = 0; click < 2; ++click) {
                markChanged();
                box->click();
                EXPECT_TRUE(checkUpdateRan());
            }
        }
    }
    EXPECT_EQ(clicked.size(), 3 + kModifierColumns.size() * kKeySlotCount);
}

TEST_F(FieldHandlers, DistanceLeaveCheck)
{
    const std::vector<LeaveCase> cases = {
        {"14", false},  {"60", false}, {"59.5", false}, {"40 inches", false}, {" 2 0", false}, {"13.9", true},
        {"60.5", true}, {"0", true},   {"a14", true},   {"", true},           {"1e400", true}, {"-20", true},
    };
    for (const LeaveCase& c : cases) {
        SCOPED_TRACE(c.text);
        ui.boxes.clear();
        ui.answers = {MessageAnswer::Cancel};
        leave(form.MaxDist, QLatin1String(c.text));
        EXPECT_TRUE(checkUpdateRan());
        EXPECT_EQ(form.MaxDist->text(), c.refused ? QStringLiteral("36") : QLatin1String(c.text));
        if (c.refused)
            EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{parameterBox("The value must be between 14 and 60!")});
        else
            EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(FieldHandlers, SecondsLeaveChecks)
{
    const std::vector<LeaveCase> cases = {
        {"255", false}, {"0", false},    {"", false},  {"abc", false}, {"12 s", false},
        {"256", true},  {"255.5", true}, {"-1", true}, {"-0.1", true},
    };
    for (QLineEdit* field : {form.IRDBTm, form.ORDBTm, form.StartDly, form.PressRate}) {
        for (const LeaveCase& c : cases) {
            SCOPED_TRACE(field->objectName().toStdString() + " " + c.text);
            ui.boxes.clear();
            leave(field, QLatin1String(c.text));
            EXPECT_TRUE(checkUpdateRan());
            EXPECT_EQ(field->text(), c.refused ? QStringLiteral("0") : QLatin1String(c.text));
            if (c.refused)
                EXPECT_EQ(ui.boxes,
                          std::vector<MessageBoxRequest>{parameterBox("The value must be between 0 and 255!")});
            else
                EXPECT_TRUE(ui.boxes.empty());
        }
    }
}

TEST_F(FieldHandlers, KeyDelayCheckOnEveryChangePutsBack512BeforeTheMessage)
{
    const std::vector<LeaveCase> cases = {
        {"64", false},     {"16320", false}, {"5120", false}, {"100ms", false}, {"63.9", true},
        {"16320.5", true}, {"16321", true},  {"51", true},    {"", true},       {"abc", true},
    };
    for (QLineEdit* field : {form.InterKeyDelay, form.InterKeyDelayUp}) {
        for (const LeaveCase& c : cases) {
            SCOPED_TRACE(field->objectName().toStdString() + " " + c.text);
            field->setText(QStringLiteral("1000"));
            ui.boxes.clear();
            markChanged();
            field->setText(QLatin1String(c.text));
            EXPECT_TRUE(checkUpdateRan());
            EXPECT_EQ(field->text(), c.refused ? QStringLiteral("512") : QLatin1String(c.text));
            EXPECT_EQ(ui.boxes,
                      c.refused ? std::vector<MessageBoxRequest>{kDelayBox} : std::vector<MessageBoxRequest>{});
        }
    }
}

TEST_F(FieldHandlers, TypingInAKeyDelayChecksEachKeystroke)
{
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.SSTab1->setCurrentIndex(1);
    form.InterKeyDelay->setText(QStringLiteral("512"));
    form.InterKeyDelay->setFocus();
    form.InterKeyDelay->end(false);
    QTest::keyClick(form.InterKeyDelay, Qt::Key_0);
    EXPECT_EQ(form.InterKeyDelay->text(), "5120");
    EXPECT_TRUE(ui.boxes.empty());
    QTest::keyClick(form.InterKeyDelay, Qt::Key_Backspace);
    QTest::keyClick(form.InterKeyDelay, Qt::Key_Backspace);
    EXPECT_EQ(form.InterKeyDelay->text(), "512");
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{kDelayBox});
    form.InterKeyDelay->selectAll();
    QTest::keyClick(form.InterKeyDelay, Qt::Key_1);
    EXPECT_EQ(form.InterKeyDelay->text(), "512");
    EXPECT_EQ(ui.boxes.size(), 2u);
    // Typing goes on in the text put back.
    form.InterKeyDelay->end(false);
    QTest::keyClick(form.InterKeyDelay, Qt::Key_0);
    EXPECT_EQ(form.InterKeyDelay->text(), "5120");
}
