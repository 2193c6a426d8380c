// The whole start-up against the simulated sensor, as the program runs it.
#ifndef CONFIGWIN_TESTS_START_UP_H
#define CONFIGWIN_TESTS_START_UP_H

#include "run/command_line.h"
#include "sensor_window.h"

#include <optional>
#include <string>
#include <vector>

class StartUp : public SensorWindow {
protected:
    // Form_Load prepares the window itself, on a library as a new process
    // finds it.
    void SetUp() override { dravik::USBDisconnect(); }

    void TearDown() override
    {
        setArgumentPart(QString());
        SensorWindow::TearDown();
    }

    // Attaches `sensor` and runs Form_Load with this argument part.
    std::optional<int> start(const char* argumentPart = "")
    {
        EXPECT_NO_FATAL_FAILURE(attach());
        setArgumentPart(QString::fromLatin1(argumentPart));
        return form.Form_Load();
    }

    // The commands of a configuration read.
    static std::vector<std::string> configurationRead() { return {"80", "81", "82", "83", "84", "85", "8A"}; }

    static std::vector<std::string> joined(std::vector<std::string> first, const std::vector<std::string>& second)
    {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }

    // The connection's read, the second read and the range reading.
    static std::vector<std::string> startUpCommands()
    {
        return joined(joined(configurationRead(), configurationRead()), {"8F"});
    }

    static std::vector<std::string> firstCommands(size_t count)
    {
        std::vector<std::string> sent = commands();
        sent.resize(std::min(count, sent.size()));
        return sent;
    }

    static std::vector<unsigned> pauses()
    {
        std::vector<unsigned> lengths;
        for (const DravikSimTraceEntry& entry : trace())
            if (entry.kind == DRAVIK_SIM_PAUSE)
                lengths.push_back(entry.pauseMs);
        return lengths;
    }
};

#endif
