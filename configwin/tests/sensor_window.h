// The window against the real libDravik.so bound to the simulated sensor:
// each test writes its sensor as a scenario file, names it in DRAVIK_SIM and
// reads the simulator's trace of what the window made the library send.
#ifndef CONFIGWIN_TESTS_SENSOR_WINDOW_H
#define CONFIGWIN_TESTS_SENSOR_WINDOW_H

#include "binding/dravik_binding.h"
#include "dravik_sim.h"
#include "fields/read_config.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "scripted_ui_seam.h"
#include "widgets/check_value.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// A sensor's current blocks 0x80-0x85 and its range reply, as the bytes it
// answers. The defaults are the factory settings: 36 inches, walk-away
// delay 5 s, walk-up delay 2 s, walk-away key GUI+L, key delays 512 ms.
struct SensorContents {
    std::array<std::array<int, 8>, 6> blocks = {{
        {0, 125, 16, 49, 125, 5, 2, 0},
        {1, 8, 8, 0, 0, 0, 0, 0},
        {0, 0, 15, 0, 0, 0, 0, 0},
        {0, 8, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 0, 0, 0},
        {0, 0, 0, 0, 0, 7, 0, 46},
    }};
    // In range at 36 inches.
    std::array<int, 8> range = {1, 125, 0, 0, 0, 0, 0, 0};
    // The identifier the identity block reports: the firmware digits.
    int deviceId = 0x0501;
    // False: no sensor is attached at all.
    bool attached = true;

    std::array<int, 8>& block(int command) { return blocks.at(command - 0x80); }

    // A sensor using most of what the window shows: all three kinds of LED
    // bit, modifiers on both sides, codes with and without an entry in
    // some lists, 255, and sixth keys.
    static SensorContents varied()
    {
        SensorContents sensor;
        sensor.block(0x80) = {5, 125, 16, 49, 139, 7, 3, 2};
        sensor.block(0x81) = {3, 16, 5, 65, 136, 0, 0, 34};
        sensor.block(0x82) = {0, 0, 76, 56, 50, 255, 0, 9};
        sensor.block(0x83) = {2, 8, 64, 1, 0, 0, 0, 0x80};
        sensor.block(0x84) = {0, 0, 56, 14, 49, 0, 55, 42};
        sensor.block(0x85) = {0, 30, 2, 41, 0, 7, 0, 46};
        sensor.range = {5, 125, 0, 0, 0, 0, 0, 0};
        return sensor;
    }

    std::string json() const
    {
        if (!attached)
            // clang-format off
        return R"({"devices": []})";
        const auto list = [](const std::array<int, 8>& bytes) {
            std::string text = "[";
            for (size_t n = 0; n < bytes.size(); ++n)
                text += (n ? ", " : "") + std::to_string(bytes[n]);
            return text + "]";
        };
        std::string current;
        for (size_t b = 0; b < blocks.size(); ++b)
            current += (b ? ", " : "") + std::string("\"0x8") + std::to_string(b) + "\": " + list(blocks[b]);
        return R"({"devices": [{"path": "\\\\?\\HID#Vid_3ace&Pid_0501#sim#0", "vendorId": "0x3ace",
                   "productId": "0x0501", "versionNumber": "0x0501",
                   "blocks": {"current": {)" + current + R"(}, "factory": {)" + current + R"(}},
                   "identity": {"luid": 0, "did": )" + std::to_string(deviceId) + R"(, "nibbles": [0, 5, 0, 1]},
                   "range": )" + list(range) + "}]}";
        // clang-format on
    }
};

// Scripted boxes that let a test look at the window while a box is up.
class ObservedUiSeam : public ScriptedUiSeam {
public:
    std::function<void(const MessageBoxRequest&)> whileShown;

    MessageAnswer message(const MessageBoxRequest& request) override
    {
        if (whileShown)
            whileShown(request);
        return ScriptedUiSeam::message(request);
    }
};

class SensorWindow : public ::testing::Test {
protected:
    ObservedUiSeam ui;
    Form1 form{ui};
    SensorContents sensor;

    SensorWindow() { connectHandlers(form); }

    // The window as it loads, before it looks for a sensor, on a library
    // without what earlier tests left in it (an error word).
    void SetUp() override
    {
        dravik::USBDisconnect();
        setCheckValue(*form.ConfigChanged, 0);
        form.FirstLoad = 1;
        form.DeviceUpdated = true;
        form.FillComboList();
        form.FillCombo2List();
        form.FillCombo3List();
        form.FillCombo4List();
        form.FillCombo5List();
    }

    void TearDown() override
    {
        dravik::USBDisconnect();
        qunsetenv("DRAVIK_SIM");
    }

    // Attaches `sensor` and connects; the trace starts afresh afterwards.
    void connect()
    {
        ASSERT_NO_FATAL_FAILURE(attach());
        std::uint32_t information = 0;
        ASSERT_EQ(dravik::USBConnect(&information), 1);
        dravikSimClearTrace();
    }

    // Attaches `sensor` (or, when it is not attached, nothing) for the next
    // connection; the trace starts at T+0.
    void attach()
    {
        ASSERT_TRUE(dir_.isValid());
        const QString path = dir_.filePath(QStringLiteral("sensor.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(sensor.json()));
        file.close();
        qputenv("DRAVIK_SIM", path.toLocal8Bit());
        // The first start in a process loads DRAVIK_SIM's file; later tests reload theirs.
        ASSERT_EQ(dravikSimStartFromEnvironment(), 1);
        char problem[512];
        ASSERT_EQ(dravikSimLoadScenario(path.toLocal8Bit().constData(), problem, sizeof problem), 1) << problem;
    }

    // Connects and shows the sensor's configuration as start-up does.
    void connectAndShow()
    {
        connect();
        ReadConfig(form);
        ASSERT_EQ(form.FirstLoad, 0);
        dravikSimClearTrace();
        ui.boxes.clear();
    }

    static void setBlock(int command, const std::array<int, 8>& bytes)
    {
        std::uint8_t data[8];
        for (size_t n = 0; n < 8; ++n)
            data[n] = static_cast<std::uint8_t>(bytes[n]);
        dravikSimSetBlock(0, DRAVIK_SIM_CURRENT, static_cast<std::uint8_t>(command), data);
    }
    static void setRange(const std::array<int, 8>& bytes)
    {
        std::uint8_t reply[8];
        for (size_t n = 0; n < 8; ++n)
            reply[n] = static_cast<std::uint8_t>(bytes[n]);
        dravikSimSetRange(0, reply);
    }
    static void refuse(unsigned kinds, int command, unsigned position = 0)
    {
        const DravikSimFault fault{kinds, DRAVIK_SIM_ANY_DEVICE, command, position};
        dravikSimAddFault(&fault);
    }

    static std::vector<DravikSimTraceEntry> trace()
    {
        std::vector<DravikSimTraceEntry> entries(dravikSimTraceCount());
        for (size_t n = 0; n < entries.size(); ++n)
            dravikSimTraceEntry(n, &entries[n]);
        return entries;
    }

    static std::string hex(const std::uint8_t* bytes, size_t count)
    {
        std::string text;
        for (size_t n = 0; n < count; ++n) {
            char digits[4];
            std::snprintf(digits, sizeof digits, n ? " %02X" : "%02X", bytes[n]);
            text += digits;
        }
        return text;
    }

    // The command byte of every command report, in order: "8F", "81", "90 3F"
    // (a commit with its mask).
    static std::vector<std::string> commands()
    {
        std::vector<std::string> sent;
        for (const DravikSimTraceEntry& entry : trace()) {
            if (entry.kind != DRAVIK_SIM_COMMAND_REPORT || entry.refused)
                continue;
            sent.push_back(hex(&entry.bytes[1], entry.bytes[1] == 0x90 ? 2 : 1));
        }
        return sent;
    }

    // Every data report as its block's command and its eight bytes:
    // "80: 00 7D 10 31 8B 07 03 00".
    static std::vector<std::string> blocksWritten()
    {
        std::vector<std::string> blocks;
        std::uint8_t block = 0;
        for (const DravikSimTraceEntry& entry : trace()) {
            if (entry.kind == DRAVIK_SIM_COMMAND_REPORT && !entry.refused)
                block = entry.bytes[1];
            if (entry.kind == DRAVIK_SIM_DATA_REPORT && !entry.refused)
                blocks.push_back(hex(&block, 1) + ": " + hex(&entry.bytes[1], 8));
        }
        return blocks;
    }

    static int rangeReadings()
    {
        int count = 0;
        for (const std::string& command : commands())
            count += command == "8F";
        return count;
    }

    static MessageBoxRequest deviceErrorBox(const QString& status)
    {
        return {QStringLiteral("An error >") + status +
                    QStringLiteral(" < was encountered.  Do you want to continue ?"),
                MessageButtons::OkCancel, MessageIcon::Critical, DefaultButton::Second,
                QStringLiteral("Tornel USB Device Error")};
    }

    bool changed() const { return checkValue(*form.ConfigChanged) == 1; }

private:
    QTemporaryDir dir_;
};

#endif
