#include "sensor_window.h"

#include <QComboBox>
#include <QRadioButton>
#include <QSignalBlocker>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

// What the factory reset sends and reads before the first write.
const Texts kResetAndRead = {"A0", "80", "81", "82", "83", "84", "85", "8A"};
const Texts kWriteAll = {"80", "81", "82", "83", "84", "85", "90 3F"};
const Texts kFactoryBlocks = {
    "80: 00 7D 10 31 7D 05 02 00", "81: 01 08 08 00 00 00 00 00", "82: 00 00 0F 00 00 00 00 00",
    "83: 00 08 00 00 00 00 00 00", "84: 00 00 00 00 00 00 00 00", "85: 00 00 00 00 00 07 00 2E",
};
// The factory settings with a space as walk-up keys 4 and 5.
const Texts kShownBlocks = {
    "80: 00 7D 10 31 7D 05 02 00", "81: 01 08 08 00 00 00 00 00", "82: 00 00 0F 00 00 00 00 00",
    "83: 02 08 00 00 00 00 00 00", "84: 00 00 00 00 00 2C 2C 00", "85: 00 00 00 00 00 07 00 2E",
};

Texts operator+(Texts first, const Texts& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

Texts rangeExchanges(int count)
{
    return Texts(count, "8F");
}

// A keystroke as a preset leaves it: its modifier boxes Ctrl, Alt and GUI
// (1 ticked, 0 clear), its code box and its list's text.
struct KeyAfter {
    int slot;
    int ctrl, alt, gui;
    const char* code;
    const char* list;
};

struct PresetCase {
    const char* name;
    QRadioButton* Form1::*button;
    bool announces;
    // Started from the factory settings, whose walk-away key 1 is GUI+L.
    int modifierChanges;
    Texts secondWrite;
    std::vector<KeyAfter> keys;
    const char* status;
};

// clang-format off
const PresetCase kPresets[] = {
    {"Windows 2000", &Form1::Option1, true, 4,
     {"80: 00 7D 10 31 7D 05 02 00", "81: 04 08 0D 00 00 00 00 00", "82: 00 00 4C 0E 2A 29 00 00",
      "83: 03 08 05 00 00 00 00 00", "84: 00 00 4C 00 00 2C 2C 00", "85: 00 00 00 00 00 07 00 2E"},
     {{0, 1, 1, 1, "76", "DELETE"}, {1, 0, 0, 0, "14", "k"},    {2, 0, 0, 0, "42", "BCKSPC"},
      {3, 0, 0, 0, "41", "ESC"},    {4, 0, 0, 0, "0", "NONE"},  {6, 1, 1, 0, "76", "DELETE"},
      {7, 0, 0, 0, "0", "NONE"},    {8, 0, 0, 0, "0", "NONE"},  {9, 0, 0, 0, "44", "SPACE"},
      {10, 0, 0, 0, "44", "SPACE"}},
     "Windows 2k Written 0"},
    {"Windows XP Classic", &Form1::Option2, false, 6,
     {"80: 00 7D 10 31 7D 05 02 00", "81: 01 08 08 00 00 00 00 00", "82: 00 00 0F 00 00 00 00 00",
      "83: 03 08 05 00 00 00 00 00", "84: 00 00 4C 00 00 2C 2C 00", "85: 00 00 00 00 00 07 00 2E"},
     {{0, 0, 0, 1, "15", "L"},      {1, 0, 0, 0, "0", "NONE"},  {2, 0, 0, 0, "0", "NONE"},
      {3, 0, 0, 0, "0", "NONE"},    {4, 0, 0, 0, "0", "NONE"},  {6, 1, 1, 0, "76", "DELETE"},
      {7, 0, 0, 0, "0", "NONE"},    {8, 0, 0, 0, "0", "NONE"},  {9, 0, 0, 0, "44", "SPACE"},
      {10, 0, 0, 0, "44", "SPACE"}},
     "Windows XP Classic Written 0"},
    {"XP Welcome Screen", &Form1::Option3, true, 0, kFactoryBlocks,
     {{0, 0, 0, 1, "15", "L"},      {1, 0, 0, 0, "0", "NONE"},  {2, 0, 0, 0, "0", "NONE"},
      {3, 0, 0, 0, "0", "NONE"},    {4, 0, 0, 0, "0", "NONE"},  {6, 0, 0, 0, "0", "NONE"},
      {7, 0, 0, 0, "0", "NONE"},    {8, 0, 0, 0, "0", "NONE"},  {9, 0, 0, 0, "0", "NONE"},
      {10, 0, 0, 0, "0", "NONE"}},
     "Windows XP Written 0"},
};
// clang-format on

class PresetTest : public SensorWindow {
protected:
    // Walk-up keys 4 and 5 hold a space, which only one preset changes.
    void showFactorySettingsWithSpaces()
    {
        connectAndShow();
        for (int slot : {9, 10}) {
            const QSignalBlocker quiet(form.keySlot(slot).list);
            form.keySlot(slot).codeBox->setText(QStringLiteral("44"));
            form.keySlot(slot).list->setEditText(QStringLiteral("SPACE"));
        }
    }

    bool anOptionIsChosen() const
    {
        return form.Option1->isChecked() || form.Option2->isChecked() || form.Option3->isChecked();
    }

    // The status line at the moment the factory reset reaches the sensor.
    QString statusAtReset()
    {
        struct Watch {
            Form1* form;
            QString status;
        } watch{&form, QStringLiteral("<no reset>")};
        dravikSimSetTraceListener(
            [](const DravikSimTraceEntry* entry, void* context) {
                auto* seen = static_cast<Watch*>(context);
                if (entry->kind == DRAVIK_SIM_COMMAND_REPORT && entry->bytes[1] == 0xA0)
                    seen->status = seen->form->LastErr->text();
            },
            &watch);
        (form.*kPresets[current].button)->click();
        dravikSimSetTraceListener(nullptr, nullptr);
        return watch.status;
    }

    std::size_t current = 0;
};

}  // namespace

TEST_F(PresetTest, EachPresetResetsWritesSetsItsKeysAndWritesAgain)
{
    for (current = 0; current < std::size(kPresets); ++current) {
        const PresetCase& preset = kPresets[current];
        SCOPED_TRACE(preset.name);
        showFactorySettingsWithSpaces();
        form.LastErr->setText(QStringLiteral("before"));

        EXPECT_EQ(statusAtReset(), preset.announces ? "Working, please wait... 0" : "before");

        EXPECT_EQ(commands(), kResetAndRead + kWriteAll + rangeExchanges(preset.modifierChanges + 1) + kWriteAll);
        const Texts blocks = blocksWritten();
        ASSERT_EQ(blocks.size(), 12u);
        EXPECT_EQ(Texts(blocks.begin(), blocks.begin() + 6), kShownBlocks);
        EXPECT_EQ(Texts(blocks.begin() + 6, blocks.end()), preset.secondWrite);
        for (const KeyAfter& key : preset.keys) {
            SCOPED_TRACE(key.slot);
            EXPECT_EQ(checkValue(*form.Key1Mods1[key.slot]), key.ctrl);
            EXPECT_EQ(checkValue(*form.Key1Mods4[key.slot]), key.alt);
            EXPECT_EQ(checkValue(*form.Key1Mods8[key.slot]), key.gui);
            EXPECT_EQ(form.keySlot(key.slot).codeBox->text(), key.code);
            EXPECT_EQ(form.keySlot(key.slot).list->currentText(), key.list);
        }
        EXPECT_EQ(form.LastErr->text(), preset.status);
        EXPECT_FALSE(changed());
        EXPECT_FALSE(anOptionIsChosen());
        EXPECT_TRUE(ui.boxes.empty());
        dravik::USBDisconnect();
    }
}

TEST_F(PresetTest, ListTextsAreSetWithoutSelectingAnEntry)
{
    connectAndShow();
    const int selected = form.Combo3->currentIndex();

    form.Option1->click();

    EXPECT_EQ(form.Combo3->currentText(), "BCKSPC");
    EXPECT_EQ(form.Combo3->currentIndex(), selected);
    EXPECT_EQ(form.Combo1->currentText(), "DELETE");
}

TEST_F(PresetTest, UnwrittenEditsAndModifiersThePresetDoesNotNameAreWritten)
{
    connectAndShow();
    form.MaxDist->setText(QStringLiteral("40"));
    setCheckValue(*form.Key1Mods2[1], 1);
    dravikSimClearTrace();

    form.Option1->click();

    const Texts blocks = blocksWritten();
    ASSERT_EQ(blocks.size(), 12u);
    EXPECT_EQ(blocks[0], "80: 00 7D 10 31 8B 05 02 00");
    EXPECT_EQ(blocks[1], "81: 02 08 08 02 00 00 00 00");
    EXPECT_EQ(blocks[6], "80: 00 7D 10 31 8B 05 02 00");
    EXPECT_EQ(blocks[7], "81: 04 08 0D 02 00 00 00 00");
    EXPECT_EQ(blocks[8], "82: 00 00 4C 0E 2A 29 00 00");
}

TEST_F(PresetTest, TheSamePresetCanBeChosenAgainAndRunsAgain)
{
    connectAndShow();

    form.Option2->click();
    form.Option2->click();

    int resets = 0;
    for (const std::string& command : commands())
        resets += command == "A0";
    EXPECT_EQ(resets, 2);
    EXPECT_FALSE(anOptionIsChosen());
    EXPECT_EQ(form.LastErr->text(), "Windows XP Classic Written 0");
}

TEST_F(PresetTest, AFailedResetIsReportedAndThePresetGoesOn)
{
    connectAndShow();
    refuse(DRAVIK_SIM_COMMAND_REPORT, 0xA0);

    form.Option3->click();

    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(QStringLiteral("USB reset 524802"))});
    EXPECT_EQ(commands(), kWriteAll + rangeExchanges(1) + kWriteAll);
    EXPECT_EQ(form.LastErr->text(), "Windows XP Written 0");
    EXPECT_FALSE(anOptionIsChosen());
}

TEST_F(PresetTest, AWriteThatIsRefusedStopsThePresetBeforeItsKeys)
{
    connectAndShow();
    {
        const QSignalBlocker quiet(form.Key2Code);
        form.Key2Code->setText(QStringLiteral("abc"));
    }
    form.LastErr->setText(QStringLiteral("before"));

    form.Option1->click();

    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "Walk-Away Keystrokes, Keystroke 2, key code: \"abc\" is not a number.  "
                                "Nothing was written to the device.");
    EXPECT_EQ(commands(), kResetAndRead);
    EXPECT_EQ(form.Key1Code->text(), "15");
    EXPECT_EQ(checkValue(*form.Key1Mods1[0]), 0);
    EXPECT_EQ(form.LastErr->text(), "Working, please wait... 0");
    EXPECT_FALSE(anOptionIsChosen());
}
