#include "files/settings_layout.h"
#include "form/form1.h"
#include "scripted_ui_seam.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <gtest/gtest.h>

#include <set>

// The writer and the reader find each line's control by its name; a line
// naming no control, or one of the wrong kind, would break both.
TEST(SettingsLayout, EachLineNamesOneControlOfItsForm)
{
    ScriptedUiSeam ui;
    Form1 form{ui};
    const std::vector<SettingsFileLine>& lines = settingsFileLines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kSettingsFileLines));
    std::set<QWidget*> stored;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const SettingsFileLine& line = lines[index];
        SCOPED_TRACE(line.control.toStdString());
        EXPECT_EQ(line.number, static_cast<int>(index) + 1);
        QWidget* control = controlNamed(form, line.control);
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(stored.insert(control).second);
        if (line.form == LineForm::State)
            EXPECT_NE(qobject_cast<QCheckBox*>(control), nullptr);
        else
            EXPECT_TRUE(qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control));
    }
}

TEST(SettingsLayout, NamesLinesAsMessagesShowThem)
{
    const struct {
        int number;
        const char* control;
        const char* holds;
    } cases[] = {
        {1, "MaxDist", "detection range"},
        {8, "Check1", "\"Disable keystrokes\""},
        {9, "Key1Mods", "modifier word of walk-away keystroke 1"},
        {18, "Key1Mods2(0)", "left Shift of walk-away keystroke 1"},
        {30, "Key1Mods1(0)", "left Ctrl of walk-away keystroke 1"},
        {35, "Key1Mods1(5)", "left Ctrl of the idle keystroke"},
        {88, "Key1Mods16(10)", "right Ctrl of walk-up keystroke 5"},
        {113, "Key1Mods128(11)", "right GUI of walk-up keystroke 6"},
        {114, "Combo1", "key name of walk-away keystroke 1"},
        {123, "Key5Code", "key code of walk-away keystroke 5"},
        {124, "Combo7", "key name of walk-up keystroke 1"},
        {133, "Text4(4)", "key code of walk-up keystroke 5"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.number);
        const SettingsFileLine& line = settingsFileLines().at(expected.number - 1);
        EXPECT_EQ(line.control, QLatin1String(expected.control));
        EXPECT_EQ(line.holds, QLatin1String(expected.holds));
    }
}
