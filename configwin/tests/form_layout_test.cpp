#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "scripted_ui_seam.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

enum class Kind { Label, TextBox, CheckBox, Button, Option, Frame, Shape, Picture, KeyList };

constexpr int kWindow = -1;
constexpr unsigned kHidden = 1;
constexpr unsigned kDisabled = 2;

struct Control {
    const char* name;
    QWidget* member;
    Kind kind;
    int tab;              // kWindow: on the window itself
    const char* caption;  // caption or initial text; nullptr: any non-empty text
    const char* toolTip;
    unsigned state = 0;
};

const char* const kDelayRangeTip = "May be set between 0 and 255.";
const char* const kLedTip =
    "Disables the LED on the unit.  The device is still operational, but no visual indication is given.";

std::vector<Control> designControls(Form1& f)
{
    return {
        {"Label7", f.Label7, Kind::Label, kWindow, "Tornel\u00ae-Tyvel Configuration Utility", ""},
        {"CheckCnct", f.CheckCnct, Kind::CheckBox, kWindow, "Connect USB Device", "", kDisabled},
        {"Label10", f.Label10, Kind::Label, kWindow, "Status", ""},
        {"LastErr", f.LastErr, Kind::TextBox, kWindow, "", ""},
        {"ConfigChanged", f.ConfigChanged, Kind::CheckBox, kWindow, "Config Changed", "", kDisabled},
        {"Command2", f.Command2, Kind::Button, kWindow, "OK", ""},
        {"Command3", f.Command3, Kind::Button, kWindow, "Cancel", ""},
        {"Command4", f.Command4, Kind::Button, kWindow, "Apply", ""},

        {"Shape1", f.Shape1, Kind::Shape, 0, "", ""},
        {"Shape2", f.Shape2, Kind::Shape, 0, "", ""},
        {"Shape3", f.Shape3, Kind::Shape, 0, "", ""},
        {"Shape4", f.Shape4, Kind::Shape, 0, "", ""},
        {"Shape5", f.Shape5, Kind::Shape, 0, "", ""},
        {"Label13", f.Label13, Kind::Label, 0, "Proximity Range", ""},
        {"Label2", f.Label2, Kind::Label, 0, "Detection range (24-42 inches)", ""},
        {"MaxDist", f.MaxDist, Kind::TextBox, 0, "",
         "This is the distance that defines where the in-range and out-of-range detection occurs."},
        {"Command5", f.Command5, Kind::Button, 0, "Read Now", ""},
        {"Label19", f.Label19, Kind::Label, 0, "Last range detected", ""},
        {"wCurrRange", f.wCurrRange, Kind::TextBox, 0, "", "Not being dynamically read."},
        {"Label5", f.Label5, Kind::Label, 0, "Timing Delays (0-255 seconds)", ""},
        {"Label3", f.Label3, Kind::Label, 0, "Walk-Up Delay before sending keystrokes", kDelayRangeTip},
        {"IRDBTm", f.IRDBTm, Kind::TextBox, 0, "",
         "This delay (0-255) is between when the user is detected as being in-range, and when the keystrokes "
         "are actually sent."},
        {"Label4", f.Label4, Kind::Label, 0, "Walk-Away Delay before sending keystrokes", kDelayRangeTip},
        {"ORDBTm", f.ORDBTm, Kind::TextBox, 0, "",
         "This delay (0-255) is between when the user is detected as being out-of-range, and when the "
         "keystrokes are actually sent."},
        {"Command6", f.Command6, Kind::Button, 0, "Advanced", ""},
        {"Label18", f.Label18, Kind::Label, 0, "Power-up Delay ",
         "Leave set to '0' unless you have a PC power-up problem with the USB device.", kHidden},
        {"StartDly", f.StartDly, Kind::TextBox, 0, "",
         "Some computers may need to have the device in an off state while booting up.", kHidden},
        {"Label22", f.Label22, Kind::Label, 0, "Disable LED", ""},
        {"bNoShowORLED", f.bNoShowORLED, Kind::CheckBox, 0, "Out-of-Range Red", kLedTip},
        {"bNoShowXtLED", f.bNoShowXtLED, Kind::CheckBox, 0, "Transition Yellow", kLedTip},
        {"bNoShowIRLED", f.bNoShowIRLED, Kind::CheckBox, 0, "In-Range Green", kLedTip},
        {"Label23", f.Label23, Kind::Label, 0, "Developer Mode", ""},
        {"Label24", f.Label24, Kind::Label, 0, "Select when using Quendar' software developer's kit.", ""},
        {"Check1", f.Check1, Kind::CheckBox, 0, "Disable keystrokes",
         "Disable to use with the software developer's kit"},
        {"Label1", f.Label1, Kind::Label, 0, "Quick Configuration", ""},
        {"Frame1", f.Frame1, Kind::Frame, 0, "Operating System", ""},
        {"Option1", f.Option1, Kind::Option, 0, "Windows 2000", "Sets keystrokes for W 2k OS"},
        {"Option2", f.Option2, Kind::Option, 0, "Windows XP Classic", "Sets keystrokes for W XP Classic Logon"},
        {"Option3", f.Option3, Kind::Option, 0, "XP Welcome Screen", "Sets keystrokes for W XP Welcom Screen Logon"},
        {"Command1", f.Command1, Kind::Button, 0, "Reset to Factory Defaults",
         "Resets all configurtation parameters to factory settings"},

        {"Frame2", f.Frame2, Kind::Frame, 1, "Keystroke 1", "When the user steps away there may be several keystroke"},
        {"Frame3", f.Frame3, Kind::Frame, 1, "Keystroke 2", ""},
        {"Frame4", f.Frame4, Kind::Frame, 1, "Keystroke 3", ""},
        {"Frame5", f.Frame5, Kind::Frame, 1, "Keystroke 4", ""},
        {"Frame6_0", f.Frame6[0], Kind::Frame, 1, "Keystroke 5", ""},
        {"Combo1", f.Combo1, Kind::KeyList, 1, "", ""},
        {"Combo2", f.Combo2, Kind::KeyList, 1, "", ""},
        {"Combo3", f.Combo3, Kind::KeyList, 1, "", ""},
        {"Combo4", f.Combo4, Kind::KeyList, 1, "", ""},
        {"Combo5", f.Combo5, Kind::KeyList, 1, "", ""},
        {"Key1Code", f.Key1Code, Kind::TextBox, 1, "Text4", "", kDisabled},
        {"Key2Code", f.Key2Code, Kind::TextBox, 1, "Text4", ""},
        {"Key3Code", f.Key3Code, Kind::TextBox, 1, "Text4", ""},
        {"Key4Code", f.Key4Code, Kind::TextBox, 1, "Text4", ""},
        {"Key5Code", f.Key5Code, Kind::TextBox, 1, "Text4", ""},
        {"Label9", f.Label9, Kind::Label, 1, "Key delay", ""},
        {"InterKeyDelay", f.InterKeyDelay, Kind::TextBox, 1, "", ""},
        {"Label8", f.Label8, Kind::Label, 1, "KeyCount", "", kHidden},
        {"KeyCount", f.KeyCount, Kind::TextBox, 1, "", "", kHidden},
        {"Key1Mods", f.Key1Mods, Kind::TextBox, 1, "Text4", "", kHidden},
        {"Key2Mods", f.Key2Mods, Kind::TextBox, 1, "Text4", "", kHidden | kDisabled},
        {"Key3Mods", f.Key3Mods, Kind::TextBox, 1, "Text4", "", kHidden | kDisabled},
        {"Key4Mods", f.Key4Mods, Kind::TextBox, 1, "Text4", "", kHidden | kDisabled},
        {"Key5Mods", f.Key5Mods, Kind::TextBox, 1, "Text4", "", kHidden | kDisabled},

        {"Frame6_1", f.Frame6[1], Kind::Frame, 2, "Keystroke 1", ""},
        {"Frame6_2", f.Frame6[2], Kind::Frame, 2, "Keystroke 2", ""},
        {"Frame6_3", f.Frame6[3], Kind::Frame, 2, "Keystroke 3", ""},
        {"Frame6_4", f.Frame6[4], Kind::Frame, 2, "Keystroke 4", ""},
        {"Frame6_5", f.Frame6[5], Kind::Frame, 2, "Keystroke 5", ""},
        {"Combo7", f.Combo7, Kind::KeyList, 2, "", ""},
        {"Combo8", f.Combo8, Kind::KeyList, 2, "", ""},
        {"Combo9", f.Combo9, Kind::KeyList, 2, "", ""},
        {"Combo10", f.Combo10, Kind::KeyList, 2, "", ""},
        {"Combo11", f.Combo11, Kind::KeyList, 2, "", ""},
        {"Text4_0", f.Text4[0], Kind::TextBox, 2, "Text4", ""},
        {"Text4_1", f.Text4[1], Kind::TextBox, 2, "Text4", "", kDisabled},
        {"Text4_2", f.Text4[2], Kind::TextBox, 2, "Text4", "", kDisabled},
        {"Text4_3", f.Text4[3], Kind::TextBox, 2, "Text4", "", kDisabled},
        {"Text4_4", f.Text4[4], Kind::TextBox, 2, "Text4", "", kDisabled},
        {"Label21", f.Label21, Kind::Label, 2, "Key delay", ""},
        {"InterKeyDelayUp", f.InterKeyDelayUp, Kind::TextBox, 2, "", ""},
        {"Label20", f.Label20, Kind::Label, 2, "KeyCount", "", kHidden},
        {"KeyCountUp", f.KeyCountUp, Kind::TextBox, 2, "", "", kHidden},

        {"lblTitle", f.lblTitle, Kind::Label, 3, "Application Title", ""},
        {"lblVersion", f.lblVersion, Kind::Label, 3, "Version", ""},
        {"Label6", f.Label6, Kind::Label, 3, nullptr, ""},
        {"FirmWare", f.FirmWare, Kind::Label, 3, "Firmware", ""},
        {"LibVersion", f.LibVersion, Kind::Label, 3, "Library Version:", ""},
        {"Image1", f.Image1, Kind::Picture, 3, "", ""},
        {"Image2", f.Image2, Kind::Picture, 3, "", ""},
        {"Label16", f.Label16, Kind::Label, 3,
         "The purpose of the Idle Keystroke is to prevent a screensaver from launching while a person is within "
         "the defined proximity zone.  The defined Idle Keystroke is sent at the periodic rate entered below.  "
         "The keystroke should be defined so as to not interfere with other applications.",
         ""},
        {"Label15", f.Label15, Kind::Label, 3, "If the rate is set to zero, this feature is disabled.", ""},
        {"Label17", f.Label17, Kind::Label, 3, "Keep Alive Rate (0-255)", ""},
        {"PressRate", f.PressRate, Kind::TextBox, 3, "", ""},
        {"Frame7", f.Frame7, Kind::Frame, 3, "Idle Keystroke", ""},
        {"Combo6", f.Combo6, Kind::KeyList, 3, "", ""},
        {"Key6Mods", f.Key6Mods, Kind::TextBox, 3, "Text4", "", kHidden | kDisabled},

        {"bInRange", f.bInRange, Kind::TextBox, kWindow, "InRange", "", kHidden},
        {"bInRangePend", f.bInRangePend, Kind::TextBox, kWindow, "InRangePend", "", kHidden},
        {"bOutRangePend", f.bOutRangePend, Kind::TextBox, kWindow, "OutRangePend", "", kHidden},
        {"Key6Code", f.Key6Code, Kind::TextBox, kWindow, "Text4", "", kHidden},
        {"Frame6_6", f.Frame6[6], Kind::Frame, kWindow, "Keystroke 6", ""},
        {"Combo12", f.Combo12, Kind::KeyList, kWindow, "Combo5", ""},
        {"Text4_5", f.Text4[5], Kind::TextBox, kWindow, "Text4", "", kDisabled},
    };
}

bool isKind(const QWidget& widget, Kind kind)
{
    switch (kind) {
    case Kind::Label:
        return widget.inherits("QLabel");
    case Kind::Picture:
        return widget.inherits("QLabel") && !static_cast<const QLabel&>(widget).pixmap().isNull();
    case Kind::TextBox:
        return widget.inherits("QLineEdit");
    case Kind::CheckBox:
        return widget.inherits("QCheckBox");
    case Kind::Button:
        return widget.inherits("QPushButton");
    case Kind::Option:
        return widget.inherits("QRadioButton");
    case Kind::Frame:
        return widget.inherits("QGroupBox");
    case Kind::Shape:
        return QByteArray(widget.metaObject()->className()) == "QFrame";
    case Kind::KeyList:
        return widget.inherits("QComboBox");
    }
    return false;
}

QString captionOf(const QWidget& widget)
{
    if (auto* label = qobject_cast<const QLabel*>(&widget))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->text();
    if (auto* text = qobject_cast<const QLineEdit*>(&widget))
        return text->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(&widget))
        return frame->title();
    if (auto* list = qobject_cast<const QComboBox*>(&widget))
        return list->currentText();
    return {};
}

int tabOf(const Form1& form, const QWidget& widget)
{
    for (const QWidget* up = &widget; up; up = up->parentWidget())
        for (int tab = 0; tab < form.SSTab1->count(); ++tab)
            if (up == form.SSTab1->widget(tab))
                return tab;
    return kWindow;
}

QRect rectIn(const QWidget& widget, const QWidget& ancestor)
{
    return QRect(widget.mapTo(&ancestor, QPoint(0, 0)), widget.size());
}

QString text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

class Form1Layout : public ::testing::Test {
protected:
    ScriptedUiSeam ui;
    Form1 form{ui};

    Form1Layout() { connectHandlers(form); }

    void showForm()
    {
        form.show();
        QApplication::processEvents();
    }
};

}  // namespace

TEST_F(Form1Layout, EveryControlIsItsMemberAndFoundByName)
{
    std::set<std::string> names;
    for (const Control& control : designControls(form)) {
        SCOPED_TRACE(control.name);
        EXPECT_TRUE(names.insert(control.name).second);
        ASSERT_NE(control.member, nullptr);
        EXPECT_EQ(form.findChild<QWidget*>(control.name), control.member);
        EXPECT_TRUE(isKind(*control.member, control.kind));
        EXPECT_EQ(tabOf(form, *control.member), control.tab);
    }
}

TEST_F(Form1Layout, ControlsCarryTheirCaptionsTextsAndToolTips)
{
    for (const Control& control : designControls(form)) {
        SCOPED_TRACE(control.name);
        if (control.caption)
            EXPECT_EQ(captionOf(*control.member), text(control.caption));
        else
            EXPECT_FALSE(captionOf(*control.member).isEmpty());
        EXPECT_EQ(control.member->toolTip(), text(control.toolTip));
    }
}

TEST_F(Form1Layout, OnlyTheDesignedControlsAreHiddenOrGreyed)
{
    for (const Control& control : designControls(form)) {
        SCOPED_TRACE(control.name);
        EXPECT_EQ(control.member->isHidden(), (control.state & kHidden) != 0);
        EXPECT_EQ(control.member->isEnabled(), (control.state & kDisabled) == 0);
    }
}

TEST_F(Form1Layout, WindowHasItsCaptionAndClientSize)
{
    EXPECT_EQ(form.windowTitle(), "Tornel-Tyvel Configuration Utility");
    EXPECT_EQ(form.centralWidget()->size(), QSize(744, 383));
    EXPECT_FALSE(form.windowIcon().isNull());
    const QFont title = form.Label7->font();
    EXPECT_EQ(title.family(), "Arial Black");
    EXPECT_DOUBLE_EQ(title.pointSizeF(), 15.75);
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(form.Label7->palette().color(QPalette::WindowText), form.palette().color(QPalette::Highlight));
}

TEST_F(Form1Layout, SectionHeadingsAreBoldArialNine)
{
    for (QLabel* heading : {form.Label13, form.Label5, form.Label22, form.Label23, form.Label1}) {
        SCOPED_TRACE(heading->text().toStdString());
        EXPECT_EQ(heading->font().family(), "Arial");
        EXPECT_EQ(heading->font().pointSize(), 9);
        EXPECT_TRUE(heading->font().bold());
    }
}

TEST_F(Form1Layout, OpensOnTheAboutTabOfFour)
{
    ASSERT_EQ(form.SSTab1->count(), 4);
    EXPECT_EQ(form.SSTab1->tabText(0), "Initial Setup");
    EXPECT_EQ(form.SSTab1->tabText(1), "Walk-Away Keystrokes");
    EXPECT_EQ(form.SSTab1->tabText(2), "Walk-Up Keystrokes ");
    EXPECT_EQ(form.SSTab1->tabText(3), "About");
    EXPECT_EQ(form.SSTab1->currentIndex(), 3);
    EXPECT_EQ(form.SSTab1->geometry(), QRect(8, 40, 697, 281));
    showForm();
    EXPECT_EQ(form.SSTab1->currentIndex(), 3);
    EXPECT_TRUE(form.lblTitle->isVisible());
    EXPECT_FALSE(form.Command6->isVisible());
}

TEST_F(Form1Layout, MenusHaveTheirCaptionsAndNoShortcuts)
{
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->menu(), form.File);
    EXPECT_EQ(menus[1]->menu(), form.Help);
    EXPECT_EQ(form.File->title(), "&File");
    EXPECT_EQ(form.Help->title(), "&Help");

    const QList<QAction*> file = form.File->actions();
    const QList<QAction*> expectedFile{form.Open, form.Save, form.SaveAs, form.Exit};
    EXPECT_EQ(file, expectedFile);
    EXPECT_EQ(form.Open->text(), "&Open");
    EXPECT_EQ(form.Save->text(), "&Save");
    EXPECT_EQ(form.SaveAs->text(), "Save &As");
    EXPECT_EQ(form.Exit->text(), "E&xit");
    EXPECT_EQ(form.Help->actions(), QList<QAction*>{form.About});
    EXPECT_EQ(form.About->text(), "A&bout");
    for (QAction* entry : {form.Open, form.Save, form.SaveAs, form.Exit, form.About}) {
        EXPECT_TRUE(entry->shortcut().isEmpty());
        EXPECT_EQ(form.findChild<QAction*>(entry->objectName()), entry);
    }
}

TEST_F(Form1Layout, BottomRowLiesBelowTheTabsLeftToRight)
{
    const std::vector<QWidget*> row{form.CheckCnct, form.Label10,  form.LastErr, form.ConfigChanged,
                                    form.Command2,  form.Command3, form.Command4};
    const int tabBottom = form.SSTab1->geometry().bottom();
    for (size_t i = 0; i < row.size(); ++i) {
        SCOPED_TRACE(row[i]->objectName().toStdString());
        EXPECT_GE(row[i]->y(), 344);
        EXPECT_LE(row[i]->y(), 348);
        EXPECT_GT(row[i]->y(), tabBottom);
        EXPECT_LE(row[i]->geometry().bottom(), form.centralWidget()->height());
        if (i > 0) {
            EXPECT_GT(row[i]->x(), row[i - 1]->geometry().right());
        }
    }
}

TEST_F(Form1Layout, IndicatorsAreGreyedTwoStateBoxesTheUserCannotClick)
{
    showForm();
    for (QCheckBox* indicator : {form.CheckCnct, form.ConfigChanged}) {
        SCOPED_TRACE(indicator->objectName().toStdString());
        EXPECT_TRUE(indicator->isVisible());
        EXPECT_FALSE(indicator->isEnabled());
        EXPECT_FALSE(indicator->isTristate());
        QTest::mouseClick(indicator, Qt::LeftButton);
        EXPECT_EQ(indicator->checkState(), Qt::Unchecked);
    }
}

TEST_F(Form1Layout, StatusLineIsLockedAndSkippedByTab)
{
    EXPECT_TRUE(form.LastErr->isReadOnly());
    EXPECT_FALSE(form.LastErr->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(form.LastErr->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    EXPECT_FALSE(form.wCurrRange->isReadOnly());
}

TEST_F(Form1Layout, AdvancedIsShownAndThePowerUpRowHidden)
{
    QWidget* setup = form.SSTab1->widget(0);
    EXPECT_TRUE(form.Command6->isVisibleTo(setup));
    EXPECT_TRUE(form.Command6->isEnabled());
    EXPECT_TRUE(form.Label18->isHidden());
    EXPECT_TRUE(form.StartDly->isHidden());
    EXPECT_FALSE(form.StartDly->isVisibleTo(setup));
}

TEST_F(Form1Layout, SetupTextBoxesAreNarrowAndRightOfTheirLabels)
{
    const std::vector<std::pair<QLabel*, QLineEdit*>> rows{{form.Label2, form.MaxDist},
                                                           {form.Label19, form.wCurrRange},
                                                           {form.Label3, form.IRDBTm},
                                                           {form.Label4, form.ORDBTm},
                                                           {form.Label18, form.StartDly}};
    for (auto [label, box] : rows) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_EQ(box->width(), 25);
        EXPECT_GT(box->x(), label->geometry().right());
        EXPECT_LT(std::abs(box->geometry().center().y() - label->geometry().center().y()), 8);
    }
}

TEST_F(Form1Layout, LedBoxesStandRedYellowGreen)
{
    EXPECT_EQ(form.bNoShowORLED->x(), form.bNoShowXtLED->x());
    EXPECT_EQ(form.bNoShowXtLED->x(), form.bNoShowIRLED->x());
    EXPECT_LT(form.bNoShowORLED->y(), form.bNoShowXtLED->y());
    EXPECT_LT(form.bNoShowXtLED->y(), form.bNoShowIRLED->y());
}

TEST_F(Form1Layout, OptionButtonsAreInTheOperatingSystemFrameAndNoneIsChosen)
{
    for (QRadioButton* option : {form.Option1, form.Option2, form.Option3}) {
        EXPECT_EQ(option->parentWidget(), form.Frame1);
        EXPECT_FALSE(option->isChecked());
    }
    form.Option2->setChecked(true);
    form.Option3->setChecked(true);
    EXPECT_FALSE(form.Option2->isChecked());
}

struct SlotDesign {
    int slot;
    QGroupBox* frame;
    QComboBox* list;
    QLineEdit* codeBox;
    bool codeBoxTakesTyping;
};

std::vector<SlotDesign> slotDesigns(Form1& f)
{
    return {
        {0, f.Frame2, f.Combo1, f.Key1Code, false},      {1, f.Frame3, f.Combo2, f.Key2Code, true},
        {2, f.Frame4, f.Combo3, f.Key3Code, true},       {3, f.Frame5, f.Combo4, f.Key4Code, true},
        {4, f.Frame6[0], f.Combo5, f.Key5Code, true},    {5, f.Frame7, f.Combo6, f.Key6Code, false},
        {6, f.Frame6[1], f.Combo7, f.Text4[0], true},    {7, f.Frame6[2], f.Combo8, f.Text4[1], false},
        {8, f.Frame6[3], f.Combo9, f.Text4[2], false},   {9, f.Frame6[4], f.Combo10, f.Text4[3], false},
        {10, f.Frame6[5], f.Combo11, f.Text4[4], false}, {11, f.Frame6[6], f.Combo12, f.Text4[5], false},
    };
}

TEST_F(Form1Layout, KeySlotsNameTheirFrameListAndCodeBox)
{
    for (const SlotDesign& design : slotDesigns(form)) {
        SCOPED_TRACE(design.slot);
        const KeySlot& slot = form.keySlot(design.slot);
        EXPECT_EQ(slot.frame, design.frame);
        EXPECT_EQ(slot.list, design.list);
        EXPECT_EQ(slot.codeBox, design.codeBox);
        EXPECT_EQ(slot.list->parentWidget(), slot.frame);
    }
}

TEST_F(Form1Layout, OnlyTheEnabledCodeBoxesAcceptTyping)
{
    showForm();
    for (const SlotDesign& design : slotDesigns(form)) {
        if (design.codeBox->isHidden())
            continue;
        SCOPED_TRACE(design.slot);
        QTest::keyClicks(design.codeBox, "57");
        EXPECT_EQ(design.codeBox->text(), design.codeBoxTakesTyping ? "Text457" : "Text4");
    }
    EXPECT_TRUE(form.Key6Code->isHidden());
}

TEST_F(Form1Layout, KeystrokeFramesStandSideBySideWithinTheirTab)
{
    showForm();
    const std::vector<std::pair<int, std::vector<QGroupBox*>>> tabs{
        {1, {form.Frame2, form.Frame3, form.Frame4, form.Frame5, form.Frame6[0]}},
        {2, {form.Frame6[1], form.Frame6[2], form.Frame6[3], form.Frame6[4], form.Frame6[5]}}};
    for (const auto& [tab, frames] : tabs) {
        form.SSTab1->setCurrentIndex(tab);
        QApplication::processEvents();
        for (size_t i = 1; i < frames.size(); ++i) {
            EXPECT_EQ(frames[i]->y(), frames[0]->y());
            EXPECT_GT(frames[i]->x(), frames[i - 1]->geometry().right());
        }
        EXPECT_LE(frames.back()->geometry().right(), form.SSTab1->widget(tab)->width());
        EXPECT_LE(frames[0]->geometry().bottom(), form.SSTab1->widget(tab)->height());
    }
}

TEST_F(Form1Layout, EveryKeystrokeFramePairsLeftAndRightModifiersByRow)
{
    const char* const captions[] = {"Shft", "Ctrl", "Alt", "GUI"};
    for (int slot = 0; slot < kKeySlotCount; ++slot) {
        SCOPED_TRACE(slot);
        QGroupBox* frame = form.keySlot(slot).frame;
        EXPECT_EQ(form.Label11[slot]->text(), "Left");
        EXPECT_EQ(form.Label12[slot]->text(), "Right");
        EXPECT_EQ(form.Label11[slot]->objectName(), QStringLiteral("Label11_%1").arg(slot));
        EXPECT_EQ(form.Label12[slot]->objectName(), QStringLiteral("Label12_%1").arg(slot));
        for (int row = 0; row < 4; ++row) {
            QCheckBox* left = (form.*kModifierColumns[row].boxes)[slot];
            QCheckBox* right = (form.*kModifierColumns[row + 4].boxes)[slot];
            EXPECT_EQ(left->objectName(), QStringLiteral("%1_%2").arg(kModifierColumns[row].name).arg(slot));
            EXPECT_EQ(form.findChild<QCheckBox*>(right->objectName()), right);
            EXPECT_EQ(left->parentWidget(), frame);
            EXPECT_EQ(right->parentWidget(), frame);
            EXPECT_EQ(left->text(), captions[row]);
            EXPECT_TRUE(right->text().isEmpty());
            EXPECT_EQ(left->y(), right->y());
            EXPECT_EQ(left->x(), form.Label11[slot]->x());
            EXPECT_EQ(right->x(), form.Label12[slot]->x());
            EXPECT_GT(left->y(), form.Label11[slot]->y());
            EXPECT_LT(left->geometry().bottom(), form.keySlot(slot).list->y());
            if (row > 0) {
                EXPECT_GT(left->y(), (form.*kModifierColumns[row - 1].boxes)[slot]->y());
            }
        }
        if (QLineEdit* codeBox = form.keySlot(slot).codeBox; codeBox->parentWidget() == frame) {
            EXPECT_GT(codeBox->x(), form.keySlot(slot).list->geometry().right());
        }
    }
}

TEST_F(Form1Layout, ModifierBoxesAreTheRowsOfTheUsbModifierByte)
{
    const std::vector<std::pair<KeySlotCheckBoxes Form1::*, int>> bits{
        {&Form1::Key1Mods1, 1},   {&Form1::Key1Mods2, 2},   {&Form1::Key1Mods4, 4},   {&Form1::Key1Mods8, 8},
        {&Form1::Key1Mods16, 16}, {&Form1::Key1Mods32, 32}, {&Form1::Key1Mods64, 64}, {&Form1::Key1Mods128, 128}};
    for (auto [boxes, bit] : bits) {
        (form.*boxes)[7]->setChecked(true);
        EXPECT_EQ(modifierByte(form, 7), bit);
        (form.*boxes)[7]->setChecked(false);
    }
    form.Key1Mods2[11]->setChecked(true);
    form.Key1Mods128[11]->setChecked(true);
    form.Key1Mods1[10]->setChecked(true);
    EXPECT_EQ(modifierByte(form, 11), 130);
    EXPECT_EQ(modifierByte(form, 10), 1);
    EXPECT_EQ(modifierByte(form, 0), 0);
    for (const ModifierColumn& column : kModifierColumns)
        (form.*column.boxes)[3]->setChecked(true);
    EXPECT_EQ(modifierByte(form, 3), 255);
}

TEST_F(Form1Layout, IdleKeyControlsLieBelowTheTabsVisibleArea)
{
    showForm();
    QWidget* about = form.SSTab1->widget(3);
    for (QWidget* control : std::vector<QWidget*>{form.Label16, form.Label15, form.Label17, form.PressRate, form.Frame7,
                                                  form.Combo6, form.Key1Mods4[5]}) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_GE(rectIn(*control, *form.SSTab1).top(), 4380 / 15);
        EXPECT_GE(rectIn(*control, *about).top(), about->height());
        EXPECT_TRUE(control->visibleRegion().isEmpty());
    }
    EXPECT_TRUE(form.Frame7->isVisible());
}

TEST_F(Form1Layout, SixthKeyAndHoldersLieBelowTheClientArea)
{
    showForm();
    QWidget* client = form.centralWidget();
    for (QWidget* control :
         std::vector<QWidget*>{form.Frame6[6], form.Combo12, form.Text4[5], form.Key1Mods8[11], form.bInRange,
                               form.bInRangePend, form.bOutRangePend, form.Key6Code}) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_GE(rectIn(*control, *client).top(), 6240 / 15);
        EXPECT_GE(rectIn(*control, *client).top(), client->height());
        EXPECT_TRUE(control->visibleRegion().isEmpty());
    }
    EXPECT_FALSE(form.Frame6[6]->isHidden());
}

TEST_F(Form1Layout, ControlsOutOfSightStillHoldValues)
{
    form.FillComboList();
    form.FillCombo2List();
    form.FillCombo3List();
    form.FillCombo4List();
    form.FillCombo5List();
    form.PressRate->setText("30");
    form.Combo6->setCurrentIndex(91);
    form.Key6Code->setText("76");
    form.Key1Mods4[5]->setChecked(true);
    form.Combo12->setEditText("ESC");
    form.Text4[5]->setText("41");
    form.Key1Mods128[11]->setChecked(true);
    form.bInRange->setText("1");

    EXPECT_EQ(form.PressRate->text(), "30");
    EXPECT_EQ(form.Combo6->currentIndex(), 91);
    EXPECT_EQ(form.Combo6->currentText(), "DELETE");
    EXPECT_EQ(form.Key6Code->text(), "76");
    EXPECT_EQ(modifierByte(form, 5), 4);
    EXPECT_EQ(form.Combo12->currentText(), "ESC");
    EXPECT_EQ(form.Text4[5]->text(), "41");
    EXPECT_EQ(modifierByte(form, 11), 128);
    EXPECT_EQ(form.bInRange->text(), "1");
}
