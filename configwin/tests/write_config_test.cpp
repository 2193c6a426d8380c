#include "fields/check_update.h"
#include "fields/write_config.h"
#include "form/form1.h"
#include "sensor_window.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <string>
#include <vector>

namespace {

using WriteConfigTest = SensorWindow;
using Blocks = std::vector<std::string>;

// The six blocks of the factory settings as the window writes them back.
const Blocks kFactoryBlocks = {
    "80: 00 7D 10 31 7D 05 02 00", "81: 01 08 08 00 00 00 00 00", "82: 00 00 0F 00 00 00 00 00",
    "83: 00 08 00 00 00 00 00 00", "84: 00 00 00 00 00 00 00 00", "85: 00 00 00 00 00 07 00 2E",
};
const std::vector<std::string> kAllBlocksCommitted = {"80", "81", "82", "83", "84", "85", "90 3F"};

MessageBoxRequest refusalBox(const QString& text)
{
    return {text, MessageButtons::Ok, MessageIcon::Critical, DefaultButton::First, QStringLiteral("Tornel-Tyvel")};
}

// Sets a text without running its change handler, as a window that never
// read a configuration, or a settings file, leaves it.
void putText(QLineEdit* box, const char* text)
{
    const QSignalBlocker quiet(box);
    box->setText(QLatin1String(text));
}

}  // namespace

TEST_F(WriteConfigTest, WritesBackWhatItReadAsAllSixBlocksAndACommit)
{
    connectAndShow();
    EXPECT_TRUE(WriteConfig(form));
    EXPECT_EQ(blocksWritten(), kFactoryBlocks);
    EXPECT_EQ(commands(), kAllBlocksCommitted);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WriteConfigTest, BuildsEachRecordFromTheControls)
{
    connectAndShow();
    form.MaxDist->setText(QStringLiteral("40"));
    form.ORDBTm->setText(QStringLiteral("7"));
    form.StartDly->setText(QStringLiteral("3.5"));
    setCheckValue(*form.bNoShowXtLED, 1);
    setCheckValue(*form.Key1Mods2[0], 1);
    form.Combo2->setCurrentIndex(91);
    form.InterKeyDelay->setText(QStringLiteral("1000"));
    form.Text4[0]->setText(QStringLiteral("12"));
    setCheckValue(*form.Key1Mods64[6], 1);
    form.InterKeyDelayUp->setText(QStringLiteral("1024"));
    form.Combo6->setCurrentIndex(11);
    setCheckValue(*form.Key1Mods128[5], 1);
    putText(form.PressRate, "20");
    setCheckValue(*form.ConfigChanged, 1);
    form.DeviceUpdated = false;
    dravikSimClearTrace();

    EXPECT_TRUE(WriteConfig(form));
    EXPECT_EQ(blocksWritten(), (Blocks{
                                   "80: 04 7D 10 31 8B 07 02 04",
                                   "81: 02 0F 0A 00 00 00 00 00",
                                   "82: 00 00 0F 4C 00 00 00 00",
                                   "83: 01 10 40 00 00 00 00 00",
                                   "84: 00 00 0C 00 00 00 00 00",
                                   "85: 00 14 80 0E 00 07 00 2E",
                               }));
    EXPECT_EQ(commands(), kAllBlocksCommitted);
    EXPECT_FALSE(changed());
    EXPECT_TRUE(form.DeviceUpdated);
    EXPECT_EQ(form.KeyCount->text(), "2");
    EXPECT_EQ(form.KeyCountUp->text(), "1");
    // The library keeps the values as stored, 4 for the 3.5 shown, which the
    // next comparison, unrounded, finds different; the key counts are equal.
    tsWalkAwayParms away{};
    ASSERT_EQ(dravik::GetWalkAwayParms(&away), 1);
    EXPECT_EQ(away.InterKeyDelayWA, 1000);
    CheckUpdate(form);
    EXPECT_TRUE(changed());
    form.StartDly->setText(QStringLiteral("4"));
    CheckUpdate(form);
    EXPECT_FALSE(changed());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WriteConfigTest, ReplacesWhatTheWindowDoesNotShowWithZerosButKeepsTheFetchedIdleAndSensingFields)
{
    sensor.block(0x80) = {0, 200, 21, 21, 125, 5, 2, 0};
    sensor.block(0x81) = {1, 8, 8, 0, 0, 0, 0, 0x22};
    sensor.block(0x82) = {0x0F, 0x33, 15, 0, 0, 0, 0, 9};
    sensor.block(0x84) = {0x0A, 0x44, 0, 0, 0, 0, 0, 42};
    sensor.block(0x85) = {0x0B, 30, 2, 41, 0x11, 7, 3, 46};
    connectAndShow();
    EXPECT_TRUE(WriteConfig(form));
    EXPECT_EQ(blocksWritten(), (Blocks{
                                   "80: 00 C8 15 15 7D 05 02 00",
                                   "81: 01 08 08 00 00 00 00 00",
                                   "82: 00 00 0F 00 00 00 00 00",
                                   "83: 00 08 00 00 00 00 00 00",
                                   // The reserved byte goes back as the sensor reported it.
                                   "84: 00 44 00 00 00 00 00 00",
                                   "85: 0B 1E 02 29 11 07 03 2E",
                               }));
}

TEST_F(WriteConfigTest, KeyCountIsTheNumberOfNonEmptyKeysWhereverTheEmptyOnesLie)
{
    connectAndShow();
    struct Row {
        const char* codes[5];
        int mods[5];
        int count;
        const char* awayCodes;  // block 0x82 after its two flag bytes
    };
    const std::vector<Row> rows = {
        {{"0", "0", "0", "0", "0"}, {0, 0, 0, 0, 0}, 0, "00 00 00 00 00 00"},
        {{"4", "0", "6", "0", "0"}, {0, 0, 0, 0, 0}, 2, "04 00 06 00 00 00"},
        {{"0", "0", "0", "0", "0"}, {0, 0, 0, 0, 4}, 1, "00 00 00 00 00 00"},
        {{"0", "0.4", "0", "0", "0"}, {0, 0, 0, 0, 0}, 0, "00 00 00 00 00 00"},
        {{"0", "30", "0", "0", "41"}, {0, 0, 1, 0, 0}, 3, "00 1E 00 00 29 00"},
        {{"4", "5", "6", "7", "8"}, {1, 2, 4, 8, 16}, 5, "04 05 06 07 08 00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count);
        for (int key = 0; key < 5; ++key) {
            for (int tab : {0, 6}) {
                form.keySlot(tab + key).codeBox->setText(QLatin1String(row.codes[key]));
                for (const ModifierColumn& column : kModifierColumns)
                    setCheckValue(*(form.*column.boxes)[tab + key], (row.mods[key] & column.bit) != 0 ? 1 : 0);
            }
        }
        dravikSimClearTrace();
        ASSERT_TRUE(WriteConfig(form));
        const Blocks blocks = blocksWritten();
        ASSERT_EQ(blocks.size(), 6u);
        char count[3];
        std::snprintf(count, sizeof count, "%02X", row.count);
        EXPECT_EQ(blocks[1].substr(0, 6), std::string("81: ") + count);
        EXPECT_EQ(blocks[2].substr(10), row.awayCodes);
        EXPECT_EQ(blocks[3].substr(0, 6), std::string("83: ") + count);
        EXPECT_EQ(blocks[4].substr(10), row.awayCodes);
        EXPECT_EQ(form.KeyCount->text(), QString::number(row.count));
        EXPECT_EQ(form.KeyCountUp->text(), QString::number(row.count));
    }
}

TEST_F(WriteConfigTest, ModifierBytesAndLedFlagsAddTheBoxValuesTimesTheirBits)
{
    connectAndShow();
    for (const ModifierColumn& column : kModifierColumns)
        setCheckValue(*(form.*column.boxes)[1], 1);
    setCheckValue(*form.Key1Mods2[2], 1);
    setCheckValue(*form.Key1Mods1[2], 1);
    // A greyed box counts twice its bit.
    setCheckValue(*form.Key1Mods4[3], 2);
    struct Row {
        int green, red, yellow;
        const char* flags;
    };
    for (const Row& row : {Row{1, 1, 1, "07"}, Row{0, 0, 1, "04"}, Row{1, 0, 0, "01"}, Row{0, 1, 0, "02"}}) {
        setCheckValue(*form.bNoShowIRLED, row.green);
        setCheckValue(*form.bNoShowORLED, row.red);
        setCheckValue(*form.bNoShowXtLED, row.yellow);
        dravikSimClearTrace();
        ASSERT_TRUE(WriteConfig(form));
        const Blocks blocks = blocksWritten();
        ASSERT_EQ(blocks.size(), 6u);
        EXPECT_EQ(blocks[0].substr(4, 2), row.flags);
        EXPECT_EQ(blocks[1], "81: 04 08 08 FF 03 08 00 00");
    }
}

TEST_F(WriteConfigTest, DistanceIsRoundedHalvesToEvenAndTheLibraryRefusesFourteen)
{
    struct Row {
        const char* text;
        const char* sent;  // nullptr: the sensing record is refused
    };
    for (const Row& row : {Row{"14.6", "34"}, Row{"59.5", "D0"}, Row{"40 inches", "8B"}, Row{"15.5", "38"},
                           Row{"14", nullptr}, Row{"14.5", nullptr}, Row{"abc", nullptr}, Row{"61", nullptr}}) {
        SCOPED_TRACE(row.text);
        TearDown();
        ui.boxes.clear();
        connectAndShow();
        form.MaxDist->setText(QLatin1String(row.text));
        EXPECT_TRUE(WriteConfig(form));
        const Blocks blocks = blocksWritten();
        if (row.sent) {
            ASSERT_EQ(blocks.size(), 6u);
            EXPECT_EQ(blocks[0].substr(16, 2), row.sent);
            EXPECT_EQ(commands().back(), "90 3F");
            EXPECT_FALSE(changed());
            EXPECT_TRUE(ui.boxes.empty());
            continue;
        }
        const QString status = QStringLiteral("USB SetTyvelParms %1").arg(0x200000 + 0x1002);
        EXPECT_EQ(form.LastErr->text(), status);
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
        // The other records still go; the sensor now differs from the window.
        EXPECT_EQ(blocks, Blocks(kFactoryBlocks.begin() + 1, kFactoryBlocks.end()));
        EXPECT_EQ(commands().back(), "90 3E");
        EXPECT_TRUE(changed());
        EXPECT_FALSE(form.DeviceUpdated);
    }
}

TEST_F(WriteConfigTest, AFieldThatCannotBeWrittenRefusesTheWholeWriteNamingIt)
{
    struct Row {
        QLineEdit* Form1::*box;
        int text4;  // the walk-up code box of this index when box is null
        const char* text;
        const char* message;
    };
    const std::vector<Row> rows = {
        {&Form1::Key2Code, 0, "Text4", "Walk-Away Keystrokes, Keystroke 2, key code: \"Text4\" is not a number."},
        {&Form1::Key1Code, 0, "", "Walk-Away Keystrokes, Keystroke 1, key code: \"\" is not a number."},
        {&Form1::Key3Code, 0, "12abc", "Walk-Away Keystrokes, Keystroke 3, key code: \"12abc\" is not a number."},
        {&Form1::Key4Code, 0, "256", "Walk-Away Keystrokes, Keystroke 4, key code: \"256\" must be between 0 and 255."},
        {&Form1::Key5Code, 0, "-1", "Walk-Away Keystrokes, Keystroke 5, key code: \"-1\" must be between 0 and 255."},
        {&Form1::InterKeyDelayUp, 0, "", "Walk-Up Keystrokes, Key delay: \"\" is not a number."},
        {&Form1::InterKeyDelayUp, 0, "1,5", "Walk-Up Keystrokes, Key delay: \"1,5\" is not a number."},
        {&Form1::InterKeyDelayUp, 0, "99999",
         "Walk-Up Keystrokes, Key delay: \"99999\" must be between -32768 and 32767."},
        {&Form1::InterKeyDelay, 0, "1e9", "Walk-Away Keystrokes, Key delay: \"1e9\" must be between -32768 and 32767."},
        {&Form1::ORDBTm, 0, "300", "Walk-Away Delay: \"300\" must be between 0 and 255."},
        {&Form1::IRDBTm, 0, "255.5", "Walk-Up Delay: \"255.5\" must be between 0 and 255."},
        {&Form1::StartDly, 0, "-1", "Power-up Delay: \"-1\" must be between 0 and 255."},
        {&Form1::MaxDist, 0, "1e10", "Detection range: \"1e10\" must be between -32768 and 32767."},
        {&Form1::MaxDist, 0, "1e400", "Detection range: \"1e400\" must be between -32768 and 32767."},
        {nullptr, 2, "300", "Walk-Up Keystrokes, Keystroke 3, key code: \"300\" must be between 0 and 255."},
        {nullptr, 4, "-0.6", "Walk-Up Keystrokes, Keystroke 5, key code: \"-0.6\" must be between 0 and 255."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.message);
        TearDown();
        ui.boxes.clear();
        connectAndShow();
        putText(row.box ? form.*row.box : form.Text4[row.text4], row.text);
        setCheckValue(*form.ConfigChanged, 1);
        form.DeviceUpdated = false;
        tsTyvelParms before{};
        ASSERT_EQ(dravik::GetTyvelParms(&before), 1);
        dravikSimClearTrace();

        EXPECT_FALSE(WriteConfig(form));
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{refusalBox(
                                QLatin1String(row.message) + QStringLiteral("  Nothing was written to the device."))});
        EXPECT_EQ(dravikSimTraceCount(), 0u);
        EXPECT_TRUE(changed());
        EXPECT_FALSE(form.DeviceUpdated);
        EXPECT_EQ(form.LastErr->text(), "");
    }
}

// A settings file can put any of them in a text box; the characters beside
// them stay as they are.
TEST_F(WriteConfigTest, ARefusalShowsTheControlCharactersOfTheTextAsTheirPictures)
{
    const struct {
        QString text;
        const char16_t* shown;
    } cases[] = {
        {QStringLiteral("%1%2").arg(QChar(0)).arg(15), u"\u240015"},
        {QStringLiteral("1\t2\x1b\x1f\x7f"), u"1\u24092\u241B\u241F\u2421"},
        {QStringLiteral("1\n\r"), u"1\u240A\u240D"},
        {QStringLiteral("1 5"), u"1 5"},
        {QString::fromUtf16(u"\x1f ~\x7f\u00a0"), u"\u241F ~\u2421\u00A0"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(QString::fromUtf16(test.shown).toStdString());
        TearDown();
        ui.boxes.clear();
        connectAndShow();
        {
            const QSignalBlocker quiet(form.Key1Code);
            form.Key1Code->setText(test.text);
        }

        EXPECT_FALSE(WriteConfig(form));

        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{refusalBox(
                                QStringLiteral("Walk-Away Keystrokes, Keystroke 1, key code: \"%1\" is not a number.  "
                                               "Nothing was written to the device.")
                                    .arg(QString::fromUtf16(test.shown)))});
    }
}

TEST_F(WriteConfigTest, ARefusalNamesTheFirstFieldOfAWindowThatNeverReadTheSensor)
{
    connect();
    EXPECT_FALSE(WriteConfig(form));
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{refusalBox(QStringLiteral(
                            "Walk-Away Keystrokes, Keystroke 1, key code: \"Text4\" is not a number.  Nothing was "
                            "written to the device."))});
    EXPECT_EQ(dravikSimTraceCount(), 0u);
}

TEST_F(WriteConfigTest, HiddenIdleFieldsWithoutAValueKeepTheSensorsOwn)
{
    sensor.block(0x85) = {0, 30, 2, 41, 0, 7, 0, 46};
    for (const auto& [rate, code] : {std::pair{"", "Text4"}, {"300", "256"}, {"abc", "4 1"}}) {
        SCOPED_TRACE(rate);
        TearDown();
        connectAndShow();
        putText(form.PressRate, rate);
        putText(form.Key6Code, code);
        setCheckValue(*form.Key1Mods1[5], 1);
        EXPECT_TRUE(WriteConfig(form));
        EXPECT_TRUE(ui.boxes.empty());
        const Blocks blocks = blocksWritten();
        ASSERT_EQ(blocks.size(), 6u);
        EXPECT_EQ(blocks[5], "85: 00 1E 03 29 00 07 00 2E");
    }
}

TEST_F(WriteConfigTest, AFailedSendIsReportedAndLeavesTheIndicatorTicked)
{
    connectAndShow();
    refuse(DRAVIK_SIM_DATA_REPORT, 0x83);
    EXPECT_TRUE(WriteConfig(form));
    const QString status = QStringLiteral("USB WriteCfg %1").arg(0x40000 + 0x202);
    EXPECT_EQ(form.LastErr->text(), status);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
    EXPECT_EQ(blocksWritten(), Blocks(kFactoryBlocks.begin(), kFactoryBlocks.begin() + 3));
    EXPECT_EQ(commands(), (std::vector<std::string>{"80", "81", "82", "83"}));
    EXPECT_TRUE(changed());
    EXPECT_FALSE(form.DeviceUpdated);
}

TEST_F(WriteConfigTest, WithoutAConfigurationEveryFailureIsReportedInOrder)
{
    for (QLineEdit* code : {form.Key1Code, form.Key2Code, form.Key3Code, form.Key4Code, form.Key5Code})
        code->setText(QStringLiteral("0"));
    form.InterKeyDelay->setText(QStringLiteral("512"));
    form.InterKeyDelayUp->setText(QStringLiteral("512"));
    ui.boxes.clear();
    EXPECT_TRUE(WriteConfig(form));
    const QString noConfiguration = QString::number(0x100000 + 2);
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                            deviceErrorBox(QStringLiteral("USB getIdleParms ") + noConfiguration),
                            deviceErrorBox(QStringLiteral("USB getTyvelParms ") + noConfiguration),
                            // The zero ping rate of a record that could not be fetched.
                            deviceErrorBox(QStringLiteral("USB SetTyvelParms %1").arg(0x200000 + 0x1000)),
                            deviceErrorBox(QStringLiteral("USB WriteCfg %1").arg(0x40000)),
                        }));
    EXPECT_TRUE(changed());
}

TEST_F(WriteConfigTest, RefusedKeystrokeRecordsAreReportedWithTheirLabels)
{
    connectAndShow();
    putText(form.InterKeyDelay, "63");
    putText(form.InterKeyDelayUp, "20000");
    EXPECT_TRUE(WriteConfig(form));
    EXPECT_EQ(ui.boxes, (std::vector<MessageBoxRequest>{
                            deviceErrorBox(QStringLiteral("USB SetWalkAway %1").arg(0x200000 + 0x1011)),
                            deviceErrorBox(QStringLiteral("USB SetWalkUp %1").arg(0x200000 + 0x1021)),
                        }));
    EXPECT_EQ(commands(), (std::vector<std::string>{"80", "85", "90 21"}));
    EXPECT_TRUE(changed());
}
