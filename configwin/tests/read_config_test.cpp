#include "fields/check_update.h"
#include "fields/read_config.h"
#include "form/form1.h"
#include "sensor_window.h"

#include <QComboBox>

#include <string>
#include <utility>
#include <vector>

namespace {

using ReadConfigTest = SensorWindow;

void expectModifierWord(const Form1& form, int slot, int word)
{
    for (const ModifierColumn& column : kModifierColumns)
        EXPECT_EQ(checkValue(*(form.*column.boxes)[slot]), (word & column.bit) != 0 ? 1 : 0)
            << column.name << "(" << slot << ")";
}

std::vector<QString> texts(const std::vector<QLineEdit*>& boxes)
{
    std::vector<QString> shown;
    for (const QLineEdit* box : boxes)
        shown.push_back(box->text());
    return shown;
}

std::vector<QString> strings(std::initializer_list<const char*> list)
{
    std::vector<QString> result;
    for (const char* text : list)
        result.push_back(QLatin1String(text));
    return result;
}

}  // namespace

TEST_F(ReadConfigTest, FillsEveryControlFromTheSensorsRecords)
{
    sensor = SensorContents::varied();
    connect();
    // What the window showed before: boxes and lists the read must set or keep.
    setCheckValue(*form.bNoShowORLED, 1);
    setCheckValue(*form.Key1Mods2[0], 1);
    setCheckValue(*form.Key1Mods4[11], 1);
    form.Combo3->setCurrentIndex(5);

    ReadConfig(form);

    EXPECT_EQ(form.PressRate->text(), "30");
    expectModifierWord(form, 5, 2);
    EXPECT_EQ(form.Combo6->currentIndex(), 48);
    EXPECT_EQ(form.Combo6->currentText(), "ESC");
    EXPECT_EQ(form.Key6Code->text(), "41");

    EXPECT_EQ(checkValue(*form.bNoShowIRLED), 1);
    EXPECT_EQ(checkValue(*form.bNoShowORLED), 0);
    EXPECT_EQ(checkValue(*form.bNoShowXtLED), 1);
    EXPECT_EQ(texts({form.MaxDist, form.ORDBTm, form.IRDBTm, form.StartDly}), strings({"40", "7", "3", "2"}));
    EXPECT_EQ(texts({form.wCurrRange, form.bInRange, form.bInRangePend, form.bOutRangePend}),
              strings({"36", "1", "0", "1"}));

    EXPECT_EQ(form.KeyCount->text(), "3");
    EXPECT_EQ(form.InterKeyDelay->text(), "1024");
    // Key6Mods sits with the idle key but shows the sixth walk-away modifier.
    EXPECT_EQ(texts({form.Key1Mods, form.Key2Mods, form.Key3Mods, form.Key4Mods, form.Key5Mods, form.Key6Mods}),
              strings({"5", "65", "136", "0", "0", "34"}));
    EXPECT_EQ(texts({form.Key1Code, form.Key2Code, form.Key3Code, form.Key4Code, form.Key5Code}),
              strings({"76", "56", "50", "255", "0"}));
    for (auto [slot, word] : {std::pair{0, 5}, {1, 65}, {2, 136}, {3, 0}, {4, 0}})
        expectModifierWord(form, slot, word);
    EXPECT_EQ(form.Combo1->currentText(), "DELETE");
    EXPECT_EQ(form.Combo2->currentIndex(), 62);
    EXPECT_EQ(form.Combo2->currentText(), "/");
    // No entry carries 50: the list keeps its choice, the code box shows the record.
    EXPECT_EQ(form.Combo3->currentIndex(), 5);
    EXPECT_EQ(form.Combo4->currentIndex(), 103);
    EXPECT_EQ(form.Combo4->currentText(), "NULL");
    EXPECT_EQ(form.Combo5->currentText(), "NONE");

    EXPECT_EQ(form.KeyCountUp->text(), "2");
    EXPECT_EQ(form.InterKeyDelayUp->text(), "512");
    EXPECT_EQ(texts({form.Text4[0], form.Text4[1], form.Text4[2], form.Text4[3], form.Text4[4], form.Text4[5]}),
              strings({"56", "14", "49", "0", "55", "42"}));
    for (auto [slot, word] : {std::pair{6, 64}, {7, 1}, {8, 0}, {9, 0}, {10, 0}})
        expectModifierWord(form, slot, word);
    EXPECT_EQ(form.Combo7->currentIndex(), 62);
    EXPECT_EQ(form.Combo8->currentText(), "k");
    EXPECT_EQ(form.Combo9->currentIndex(), 56);
    EXPECT_EQ(form.Combo10->currentText(), "NONE");
    EXPECT_EQ(form.Combo11->currentIndex(), 60);
    EXPECT_EQ(form.Combo11->currentText(), ". PERIOD");

    // The sixth walk-up key shows only its code.
    expectModifierWord(form, 11, 4);
    EXPECT_EQ(form.Combo12->currentText(), "Combo5");

    EXPECT_EQ(form.FirstLoad, 0);
    EXPECT_FALSE(changed());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(form.LastErr->text(), "");
    // The range is read once; the handlers compared nothing while FirstLoad was set.
    EXPECT_EQ(commands(), std::vector<std::string>{"8F"});
}

TEST_F(ReadConfigTest, LedFlagsTickTheBoxesOfTheirBitsOnly)
{
    connect();
    struct Row {
        int flags;
        int red, yellow, green;
    };
    for (const Row& row : {Row{2, 1, 0, 0}, Row{5, 0, 1, 1}, Row{0, 0, 0, 0}, Row{0x7F, 1, 1, 1}, Row{8, 0, 0, 0}}) {
        SCOPED_TRACE(row.flags);
        for (QCheckBox* led : {form.bNoShowORLED, form.bNoShowXtLED, form.bNoShowIRLED})
            setCheckValue(*led, 1);
        setBlock(0x80, {row.flags, 125, 16, 49, 125, 5, 2, 0});
        ASSERT_EQ(dravik::ReadCfg(), 1);
        ReadConfig(form);
        EXPECT_EQ(checkValue(*form.bNoShowORLED), row.red);
        EXPECT_EQ(checkValue(*form.bNoShowXtLED), row.yellow);
        EXPECT_EQ(checkValue(*form.bNoShowIRLED), row.green);
    }
}

TEST_F(ReadConfigTest, EachListSelectsTheEntryOfItsOwnVariant)
{
    connect();
    struct Row {
        int code;
        int common;   // the position in every list but walk-up key 5's; -1: none
        int walkUp5;  // the position in walk-up key 5's list
    };
    const std::vector<Row> rows = {{56, 62, 62},    {55, 61, 60}, {49, 56, -1}, {50, -1, 61},
                                   {255, 103, 103}, {0, 0, 0},    {200, -1, -1}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.code);
        for (int slot = 0; slot < 11; ++slot)
            form.keySlot(slot).list->setCurrentIndex(1);
        const int c = row.code;
        setBlock(0x82, {0, 0, c, c, c, c, c, 0});
        setBlock(0x84, {0, 0, c, c, c, c, c, 0});
        setBlock(0x85, {0, 0, 0, c, 0, 7, 0, 46});
        ASSERT_EQ(dravik::ReadCfg(), 1);
        ReadConfig(form);
        for (int slot = 0; slot < 11; ++slot) {
            const KeySlot& key = form.keySlot(slot);
            SCOPED_TRACE(key.list->objectName().toStdString());
            const int position = slot == 10 ? row.walkUp5 : row.common;
            EXPECT_EQ(key.list->currentIndex(), position < 0 ? 1 : position);
            EXPECT_EQ(key.list->currentText(), key.list->itemText(key.list->currentIndex()));
            // The idle code box is written only by its list's choice.
            const bool idle = slot == 5;
            EXPECT_EQ(key.codeBox->text(), idle && position < 0 ? QStringLiteral("4") : QString::number(c));
        }
    }
}

TEST_F(ReadConfigTest, AFailedRangeReadingIsReportedAndShowsZeros)
{
    sensor.range = {3, 87, 0, 0, 0, 0, 0, 0};
    connect();
    refuse(DRAVIK_SIM_FEATURE_READ, 0x8F);
    ReadConfig(form);
    const QString status = QStringLiteral("USB Getrange %1").arg(0x1000000 + 0x102);
    EXPECT_EQ(form.LastErr->text(), status);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
    EXPECT_EQ(texts({form.wCurrRange, form.bInRange, form.bInRangePend, form.bOutRangePend}),
              strings({"0", "0", "0", "0"}));
    EXPECT_EQ(form.MaxDist->text(), "36");
    EXPECT_EQ(form.Combo1->currentText(), "l");
    EXPECT_EQ(form.FirstLoad, 0);
}

TEST_F(ReadConfigTest, WithoutAConfigurationEveryReadIsReportedAndZerosAreShown)
{
    // No sensor connected: the library has no configuration to copy.
    ui.answers = {MessageAnswer::Cancel, MessageAnswer::Ok};
    ReadConfig(form);
    const QString noConfiguration = QString::number(0x100000 + 2);
    const MessageBoxRequest delayBox{QStringLiteral("Delay must be in the range of (msec) min 64, max 16320!")};
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                            deviceErrorBox(QStringLiteral("USB ReadIdleParms ") + noConfiguration),
                            deviceErrorBox(QStringLiteral("USB ReadTyvelParms ") + noConfiguration),
                            // No HID library bound: the operation bit alone.
                            deviceErrorBox(QStringLiteral("USB Getrange %1").arg(0x1000000)),
                            deviceErrorBox(QStringLiteral("USB ReadWalkAway ") + noConfiguration),
                            delayBox,
                            deviceErrorBox(QStringLiteral("USB ReadWalkUp ") + noConfiguration),
                            delayBox,
                        }));
    EXPECT_EQ(form.LastErr->text(), QStringLiteral("USB ReadWalkUp ") + noConfiguration);
    EXPECT_EQ(texts({form.PressRate, form.MaxDist, form.ORDBTm, form.IRDBTm, form.StartDly, form.wCurrRange,
                     form.KeyCount, form.Key1Code, form.KeyCountUp, form.Text4[0], form.Text4[5]}),
              strings({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(texts({form.InterKeyDelay, form.InterKeyDelayUp}), strings({"512", "512"}));
    for (int slot = 0; slot < 11; ++slot)
        EXPECT_EQ(form.keySlot(slot).list->currentText(), "NONE");
    EXPECT_EQ(form.Key6Code->text(), "0");
    EXPECT_EQ(form.FirstLoad, 0);
}

TEST_F(ReadConfigTest, ALaterReadComparesOnceForEveryHandlerItsAssignmentsRun)
{
    connectAndShow();
    form.Combo1->setEditText(QStringLiteral("typed over"));
    // The sensor now has the red LED off, left Alt added to walk-away key 1
    // and "k" as walk-up key 1: three handlers run, each comparing in full.
    setBlock(0x80, {2, 125, 16, 49, 125, 5, 2, 0});
    setBlock(0x81, {1, 8, 12, 0, 0, 0, 0, 0});
    setBlock(0x84, {0, 0, 14, 0, 0, 0, 0, 0});
    ASSERT_EQ(dravik::ReadCfg(), 1);
    dravikSimClearTrace();
    ReadConfig(form);
    EXPECT_EQ(rangeReadings(), 1 + 3);
    EXPECT_EQ(form.FirstLoad, 0);
    // The last handler saw the window complete: nothing differs.
    EXPECT_FALSE(changed());
    EXPECT_EQ(form.Combo1->currentText(), "l");
    EXPECT_EQ(form.Text4[0]->text(), "14");
}

TEST_F(ReadConfigTest, IndicatorEndsAsTheLastHandlerLeftItWithNoComparisonOfItsOwn)
{
    connectAndShow();
    // Walk-away key 1 gains Ctrl, whose box runs the only handler; the
    // walk-up count, shown after it compared, has no handler.
    setBlock(0x81, {1, 8, 9, 0, 0, 0, 0, 0});
    setBlock(0x83, {3, 8, 0, 0, 0, 0, 0, 0});
    ASSERT_EQ(dravik::ReadCfg(), 1);
    dravikSimClearTrace();
    ReadConfig(form);
    EXPECT_EQ(rangeReadings(), 1 + 1);
    EXPECT_TRUE(changed());
    EXPECT_EQ(form.KeyCountUp->text(), "3");
    CheckUpdate(form);
    EXPECT_FALSE(changed());
}
