#include "fields/window_fields.h"
#include "files/settings_layout.h"
#include "form/form1.h"
#include "scripted_ui_seam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

bool isText(Rule rule)
{
    return rule == Rule::Strict || rule == Rule::Leading || rule == Rule::KeyCount;
}

// The settings file's line of the row's control, 0 when the file keeps none.
int settingsLine(const WindowField& row)
{
    const std::vector<SettingsFileLine>& lines = settingsFileLines();
    const auto line = std::find_if(lines.begin(), lines.end(),
                                   [&row](const SettingsFileLine& stored) { return stored.control == row.name; });
    return line == lines.end() ? 0 : line->number;
}

bool inRecords(const WindowRecords& records, const std::int16_t* field)
{
    const auto* first = reinterpret_cast<const unsigned char*>(&records);
    const auto* at = reinterpret_cast<const unsigned char*>(field);
    return at >= first && at + sizeof *field <= first + sizeof records;
}

class WindowFields : public ::testing::Test {
protected:
    ScriptedUiSeam ui;
    Form1 form{ui};
    WindowRecords records;
    std::vector<WindowField> rows = windowFields(form);
};

}  // namespace

// A slip in the table would otherwise surface only as a crash in one walk.
TEST_F(WindowFields, EveryRowHasTheControlItsRulesNeed)
{
    for (const WindowField& row : rows) {
        SCOPED_TRACE(row.name.toStdString());
        const FieldControl& control = row.control;
        EXPECT_TRUE(inRecords(records, &row.fieldIn(records)));
        for (Rule rule : {row.writing.rule, row.compared}) {
            EXPECT_TRUE(!isText(rule) || control.text);
            EXPECT_TRUE(rule != Rule::Bit || control.box);
            EXPECT_TRUE(rule != Rule::ModifierByte ||
                        (control.modifierSlot >= 0 && control.modifierSlot < kKeySlotCount));
        }
        EXPECT_NE(row.compared, Rule::KeyCount);
        EXPECT_TRUE((row.shown != Shown::Decimal && row.check.when == FieldCheck::When::Never) || control.text);
        EXPECT_TRUE(row.shown != Shown::ListEntry || control.list);
        EXPECT_TRUE(row.shown != Shown::Kept || (row.writing.rule == Rule::None && row.compared == Rule::None));
        EXPECT_TRUE(settingsLine(row) == 0 ||
                    (control.text != nullptr) + (control.list != nullptr) + (control.box != nullptr) == 1);
    }
}

// With "Disable keystrokes" on line 8 and the modifier boxes on 18-113, the
// fields take every other line once.
TEST_F(WindowFields, FieldsTakeTheSettingsLinesLeftByTheCheckBoxes)
{
    std::multiset<int> lines;
    for (const WindowField& row : rows)
        if (settingsLine(row) != 0)
            lines.insert(settingsLine(row));
    std::multiset<int> expected;
    for (int line = 1; line <= kSettingsFileLines; ++line)
        if (line != 8 && (line < 18 || line > 113))
            expected.insert(line);
    EXPECT_EQ(lines, expected);
}
