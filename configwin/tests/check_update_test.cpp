#include "fields/check_update.h"
#include "fields/read_config.h"
#include "form/form1.h"
#include "sensor_window.h"

#include <QComboBox>

#include <functional>
#include <string>
#include <vector>

namespace {

using CheckUpdateTest = SensorWindow;

struct Row {
    const char* what;
    std::function<void(Form1&)> edit;
    bool differs;
};

std::function<void(Form1&)> text(QLineEdit* Form1::*box, const char* value)
{
    return [box, value](Form1& form) { (form.*box)->setText(QLatin1String(value)); };
}

std::function<void(Form1&)> walkUpCode(int key, const char* value)
{
    return [key, value](Form1& form) { form.Text4[key]->setText(QLatin1String(value)); };
}

std::function<void(Form1&)> tick(QCheckBox* Form1::*box)
{
    return [box](Form1& form) { setCheckValue(*(form.*box), 1); };
}

std::function<void(Form1&)> tickModifier(KeySlotCheckBoxes Form1::*boxes, int slot)
{
    return [boxes, slot](Form1& form) { setCheckValue(*(form.*boxes)[slot], 1); };
}

}  // namespace

TEST_F(CheckUpdateTest, WhileFirstLoadIsSetOnlyMarksTheWindowAsMatching)
{
    connect();
    form.LastErr->setText(QStringLiteral("before"));
    setCheckValue(*form.ConfigChanged, 1);
    form.DeviceUpdated = false;
    form.MaxDist->setText(QStringLiteral("50"));
    CheckUpdate(form);
    EXPECT_FALSE(changed());
    EXPECT_TRUE(form.DeviceUpdated);
    EXPECT_EQ(dravikSimTraceCount(), 0u);
    EXPECT_EQ(form.LastErr->text(), "before");
}

TEST_F(CheckUpdateTest, AWindowShowingWhatWasReadMatchesWithOneRangeReading)
{
    sensor = SensorContents::varied();
    sensor.range = {3, 87, 0, 0, 0, 0, 0, 0};
    connectAndShow();
    setCheckValue(*form.ConfigChanged, 1);
    CheckUpdate(form);
    EXPECT_FALSE(changed());
    EXPECT_TRUE(form.DeviceUpdated);
    EXPECT_EQ(commands(), std::vector<std::string>{"8F"});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CheckUpdateTest, EachComparedValueByItsRule)
{
    const std::vector<Row> rows = {
        {"PressRate blanks", text(&Form1::PressRate, " 0 "), false},
        {"PressRate empty", text(&Form1::PressRate, ""), true},
        {"PressRate 0.5", text(&Form1::PressRate, "0.5"), true},
        {"PressRate letters", text(&Form1::PressRate, "0s"), true},
        {"idle modifier", tickModifier(&Form1::Key1Mods128, 5), true},
        {"idle code leading", text(&Form1::Key6Code, "0abc"), false},
        {"idle code empty", text(&Form1::Key6Code, ""), false},
        {"idle code 1", text(&Form1::Key6Code, "1"), true},
        {"red LED", tick(&Form1::bNoShowORLED), true},
        {"yellow LED", tick(&Form1::bNoShowXtLED), true},
        {"green LED", tick(&Form1::bNoShowIRLED), true},
        {"MaxDist 36.0", text(&Form1::MaxDist, "36.0"), false},
        {"MaxDist blanks", text(&Form1::MaxDist, " 36 "), false},
        {"MaxDist 36.5", text(&Form1::MaxDist, "36.5"), true},
        {"MaxDist letters", text(&Form1::MaxDist, "36abc"), true},
        {"MaxDist empty", text(&Form1::MaxDist, ""), true},
        {"ORDBTm 6", text(&Form1::ORDBTm, "6"), true},
        {"IRDBTm 2.0", text(&Form1::IRDBTm, "2.0"), false},
        {"IRDBTm 3", text(&Form1::IRDBTm, "3"), true},
        {"StartDly 1", text(&Form1::StartDly, "1"), true},
        {"range 36", text(&Form1::wCurrRange, "36"), false},
        {"range 35", text(&Form1::wCurrRange, "35"), true},
        {"in range 0", text(&Form1::bInRange, "0"), true},
        {"in range pending 1", text(&Form1::bInRangePend, "1"), true},
        {"out of range pending", text(&Form1::bOutRangePend, "1"), false},
        {"KeyCount 1.0", text(&Form1::KeyCount, "1.0"), false},
        {"KeyCount 2", text(&Form1::KeyCount, "2"), true},
        {"KeyCount letters", text(&Form1::KeyCount, "1x"), true},
        {"InterKeyDelay leading", text(&Form1::InterKeyDelay, "512abc"), false},
        {"InterKeyDelay 576", text(&Form1::InterKeyDelay, "576"), true},
        {"walk-away modifier", tickModifier(&Form1::Key1Mods1, 0), true},
        {"walk-away key 5 modifier", tickModifier(&Form1::Key1Mods16, 4), true},
        {"walk-away code 15.0", text(&Form1::Key1Code, "15.0"), false},
        {"walk-away code 16", text(&Form1::Key1Code, "16"), true},
        {"walk-away code letters", text(&Form1::Key5Code, "0a"), true},
        {"KeyCountUp leading", text(&Form1::KeyCountUp, "0xyz"), false},
        {"KeyCountUp 1", text(&Form1::KeyCountUp, "1"), true},
        {"InterKeyDelayUp leading", text(&Form1::InterKeyDelayUp, "512 ms"), false},
        {"InterKeyDelayUp 640", text(&Form1::InterKeyDelayUp, "640"), true},
        {"walk-up modifier", tickModifier(&Form1::Key1Mods2, 6), true},
        {"walk-up key 5 modifier", tickModifier(&Form1::Key1Mods64, 10), true},
        {"walk-up code 0", walkUpCode(0, "0"), false},
        {"walk-up code 1", walkUpCode(4, "1"), true},
        {"walk-up code letters", walkUpCode(2, "0abc"), true},
        {"sixth walk-up code", walkUpCode(5, "7"), false},
        {"sixth walk-up modifier", tickModifier(&Form1::Key1Mods8, 11), false},
        {"sixth walk-up list", [](Form1& form) { form.Combo12->setCurrentIndex(4); }, false},
        {"modifier word texts", text(&Form1::Key1Mods, "200"), false},
        {"sixth walk-away modifier text", text(&Form1::Key6Mods, "9"), false},
        {"Disable keystrokes", tick(&Form1::Check1), false},
        {"key list text", [](Form1& form) { form.Combo1->setEditText(QStringLiteral("DELETE")); }, false},
    };
    connectAndShow();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        row.edit(form);
        CheckUpdate(form);
        EXPECT_EQ(changed(), row.differs);
        EXPECT_EQ(form.DeviceUpdated, !row.differs);
        // Reading the configuration again puts the controls back, but for the
        // idle code box, which only its list's choice writes.
        ReadConfig(form);
        form.Key6Code->setText(QStringLiteral("0"));
        CheckUpdate(form);
        EXPECT_FALSE(changed());
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(CheckUpdateTest, TickingAModifierTicksTheIndicatorAndClearingItClearsIt)
{
    connectAndShow();
    setCheckValue(*form.Key1Mods4[7], 1);
    EXPECT_TRUE(changed());
    setCheckValue(*form.Key1Mods4[7], 0);
    EXPECT_FALSE(changed());
    EXPECT_EQ(rangeReadings(), 2);
}

TEST_F(CheckUpdateTest, AFailedRangeReadingIsQuietAndComparesWithZeros)
{
    connectAndShow();
    form.LastErr->setText(QStringLiteral("before"));
    refuse(DRAVIK_SIM_COMMAND_REPORT, 0x8F);
    CheckUpdate(form);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.LastErr->text(), "before");
    EXPECT_TRUE(changed());
    for (QLineEdit* shown : {form.wCurrRange, form.bInRange, form.bInRangePend})
        shown->setText(QStringLiteral("0"));
    form.bOutRangePend->setText(QStringLiteral("1"));
    CheckUpdate(form);
    EXPECT_FALSE(changed());
}

TEST_F(CheckUpdateTest, APersonWhoMovedKeepsTheIndicatorTickedAfterTheEditIsUndone)
{
    connectAndShow();
    setRange({0, 160, 0, 0, 0, 0, 0, 0});
    form.MaxDist->setText(QStringLiteral("40"));
    CheckUpdate(form);
    EXPECT_TRUE(changed());
    form.MaxDist->setText(QStringLiteral("36"));
    CheckUpdate(form);
    EXPECT_TRUE(changed());
}

TEST_F(CheckUpdateTest, FailedRecordReadsAreReportedAndCompareWithZeros)
{
    // No configuration read: every record read fails.
    form.FirstLoad = 0;
    for (QLineEdit* box :
         {form.PressRate,  form.Key6Code, form.MaxDist,      form.ORDBTm,   form.IRDBTm,        form.StartDly,
          form.wCurrRange, form.bInRange, form.bInRangePend, form.KeyCount, form.InterKeyDelay, form.Key1Code,
          form.Key2Code,   form.Key3Code, form.Key4Code,     form.Key5Code, form.KeyCountUp,    form.InterKeyDelayUp,
          form.Text4[0],   form.Text4[1], form.Text4[2],     form.Text4[3], form.Text4[4]}) {
        const QSignalBlocker quiet(box);
        box->setText(QStringLiteral("0"));
    }
    CheckUpdate(form);
    const QString noConfiguration = QString::number(0x100000 + 2);
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                            deviceErrorBox(QStringLiteral("USB GetIdleParms ") + noConfiguration),
                            deviceErrorBox(QStringLiteral("USB GetTyvelParms ") + noConfiguration),
                            deviceErrorBox(QStringLiteral("USB GetWalkAway ") + noConfiguration),
                            deviceErrorBox(QStringLiteral("USB GetWalkUp ") + noConfiguration),
                        }));
    EXPECT_EQ(form.LastErr->text(), QStringLiteral("USB GetWalkUp ") + noConfiguration);
    EXPECT_FALSE(changed());
    setCheckValue(*form.Key1Mods1[3], 1);
    EXPECT_TRUE(changed());
}

TEST_F(CheckUpdateTest, EveryHandlerRunComparesOnceAndADelayResetTwice)
{
    connectAndShow();
    struct Run {
        const char* what;
        std::function<void()> edit;
        int readings;
    };
    const std::vector<Run> runs = {
        {"modifier click", [&] { setCheckValue(*form.Key1Mods8[2], 1); }, 1},
        {"modifier box left as it is", [&] { setCheckValue(*form.Key1Mods8[2], 1); }, 0},
        {"LED click", [&] { setCheckValue(*form.bNoShowIRLED, 1); }, 1},
        {"key choice", [&] { form.Combo8->setCurrentIndex(30); }, 1},
        {"same key again", [&] { form.Combo8->setCurrentIndex(30); }, 0},
        {"key delay accepted", [&] { form.InterKeyDelayUp->setText(QStringLiteral("640")); }, 1},
        {"key delay reset", [&] { form.InterKeyDelay->setText(QStringLiteral("40")); }, 2},
        {"leave check", [&] { form.MaxDist->setText(QStringLiteral("70")); }, 0},
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.what);
        dravikSimClearTrace();
        run.edit();
        EXPECT_EQ(rangeReadings(), run.readings);
    }
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(changed());
}
