#include "fields/read_config.h"
#include "files/settings_file.h"
#include "form/form1.h"
#include "sensor_window.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

// Every control the file stores, read back as its line would hold it.
std::vector<QString> storedState(Form1& form)
{
    std::vector<QString> state;
    for (QLineEdit* box : {form.MaxDist, form.IRDBTm, form.ORDBTm, form.StartDly})
        state.push_back(box->text());
    for (QCheckBox* box : {form.bNoShowORLED, form.bNoShowXtLED, form.bNoShowIRLED, form.Check1})
        state.push_back(QString::number(checkValue(*box)));
    for (QLineEdit* box : {form.Key1Mods, form.Key2Mods, form.Key3Mods, form.Key4Mods, form.Key5Mods, form.KeyCount,
                           form.InterKeyDelay, form.KeyCountUp, form.InterKeyDelayUp})
        state.push_back(box->text());
    for (const ModifierColumn& column : kModifierColumns)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            state.push_back(QString::number(checkValue(*(form.*column.boxes)[slot])));
    for (int slot : {0, 1, 2, 3, 4, 6, 7, 8, 9, 10}) {
        state.push_back(form.keySlot(slot).list->currentText());
        state.push_back(form.keySlot(slot).codeBox->text());
    }
    return state;
}

class SettingsFileWithSensor : public SensorWindow {
protected:
    QString path(const char* name) const { return folder.filePath(QLatin1String(name)); }

    // Saves the window as it is, changed by `edit` first, to `name`; the
    // window is then put back as it was.
    QString savedWith(const char* name, const std::function<void()>& edit)
    {
        const QString file = path(name);
        const QString original = path("original.tyv");
        EXPECT_TRUE(saveSettingsFile(form, original));
        edit();
        EXPECT_TRUE(saveSettingsFile(form, file));
        EXPECT_TRUE(loadConfigData(form, original));
        dravikSimClearTrace();
        ui.boxes.clear();
        return file;
    }

    int halts() const
    {
        int count = 0;
        for (const std::string& command : commands())
            count += command == "B1";
        return count;
    }

    QTemporaryDir folder;
};

}  // namespace

TEST_F(SettingsFileWithSensor, SavedControlsLoadBackExactly)
{
    connectAndShow();
    form.MaxDist->setText(QStringLiteral("say \"99\""));
    form.IRDBTm->setText(QStringLiteral(" 3 "));
    form.ORDBTm->clear();
    form.StartDly->setText(QStringLiteral("\u00E9\u20AC"));
    setCheckValue(*form.bNoShowORLED, 1);
    setCheckValue(*form.bNoShowIRLED, 1);
    setCheckValue(*form.Check1, 1);
    form.Key3Mods->setText(QStringLiteral("\"\""));
    form.InterKeyDelay->setText(QStringLiteral("1000"));
    form.InterKeyDelayUp->setText(QStringLiteral("64"));
    for (const ModifierColumn& column : kModifierColumns)
        for (int slot = 0; slot < kKeySlotCount; ++slot)
            setCheckValue(*(form.*column.boxes)[slot], (slot * 3 + column.bit) % 4 == 1);
    form.Combo2->setCurrentIndex(91);
    form.Combo4->setEditText(QStringLiteral("  no such key "));
    form.Text4[3]->setText(QStringLiteral("200"));
    const std::vector<QString> saved = storedState(form);
    ASSERT_TRUE(saveSettingsFile(form, path("all.tyv")));

    ReadConfig(form);
    setCheckValue(*form.Check1, 0);
    ASSERT_NE(storedState(form), saved);
    ui.boxes.clear();

    ASSERT_TRUE(loadConfigData(form, path("all.tyv")));
    EXPECT_EQ(storedState(form), saved);
    EXPECT_EQ(form.Combo2->currentText(), "DELETE");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFileWithSensor, AFileThatTicksDisableKeystrokesStopsTheSensorAtOnce)
{
    connectAndShow();
    const QString ticking = savedWith("halt.tyv", [this] { setCheckValue(*form.Check1, 1); });

    ASSERT_TRUE(loadConfigData(form, ticking));

    EXPECT_EQ(commands(), std::vector<std::string>{"B1"});
    EXPECT_EQ(dravikSimHalted(0), 1);
    EXPECT_EQ(checkValue(*form.Check1), 1);

    dravikSimClearTrace();
    ASSERT_TRUE(loadConfigData(form, ticking));
    EXPECT_TRUE(commands().empty());
}

TEST_F(SettingsFileWithSensor, AKeyDelayOutsideItsLimitsBecomes512WithTheMessage)
{
    connectAndShow();
    const QString file = savedWith("delay.tyv", [this] {
        const QSignalBlocker quiet(form.InterKeyDelayUp);
        form.InterKeyDelayUp->setText(QStringLiteral("10"));
    });

    ASSERT_TRUE(loadConfigData(form, file));

    EXPECT_EQ(form.InterKeyDelayUp->text(), "512");
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{{"Delay must be in the range of (msec) min 64, max 16320!"}});
}

TEST_F(SettingsFileWithSensor, LoadedDistancesAndDelaysAreNotRangeChecked)
{
    connectAndShow();
    const QString file = savedWith("range.tyv", [this] {
        form.MaxDist->setText(QStringLiteral("99"));
        form.ORDBTm->setText(QStringLiteral("300"));
    });

    ASSERT_TRUE(loadConfigData(form, file));

    EXPECT_EQ(form.MaxDist->text(), "99");
    EXPECT_EQ(form.ORDBTm->text(), "300");
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_TRUE(commands().empty());
}

TEST_F(SettingsFileWithSensor, OpenChecksForChangesOnceAfterLoading)
{
    connectAndShow();
    const QString same = savedWith("same.tyv", [] {});
    const QString oneBox = savedWith("one.tyv", [this] { setCheckValue(*form.Key1Mods128[2], 1); });

    ui.fileChoices = {same};
    form.Open->trigger();
    EXPECT_EQ(rangeReadings(), 1);
    EXPECT_FALSE(changed());

    dravikSimClearTrace();
    ui.fileChoices = {oneBox};
    form.Open->trigger();
    EXPECT_EQ(rangeReadings(), 2);
    EXPECT_TRUE(changed());
    EXPECT_EQ(checkValue(*form.Key1Mods128[2]), 1);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SettingsFileWithSensor, OpeningAFaultyFileTouchesNeitherWindowNorSensor)
{
    connectAndShow();
    const QString file = path("short.tyv");
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write("\"40\"\r\n1\r\n");
    out.close();

    ui.fileChoices = {file};
    form.Open->trigger();

    EXPECT_EQ(form.MaxDist->text(), "36");
    EXPECT_TRUE(commands().empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              QStringLiteral("The settings file \"%1\" was not loaded: it ends after line 2, and a settings file has "
                             "133 lines.")
                  .arg(file));
}

// The README's unattended example configures the sensor with this file.
TEST_F(SettingsFileWithSensor, TheShippedSampleIsTheFactoryDefaultWindowAsSaved)
{
    connectAndShow();
    ASSERT_TRUE(saveSettingsFile(form, path("Default.tyv")));
    QFile saved(path("Default.tyv"));
    QFile sample(QStringLiteral(TORNEL_EXAMPLES_DIR "/Default.tyv"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly)) << sample.fileName().toStdString();

    EXPECT_EQ(sample.readAll(), saved.readAll());
}
