#ifndef DRAVIK_TESTS_SIM_FIXTURE_H
#define DRAVIK_TESTS_SIM_FIXTURE_H

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "lib_fixture.h"
#include "sim_binding.h"

// The library bound to a fresh simulator on its virtual clock. Sensors
// opened with addSensor() get simulator id n and slot n, in order.
class SimTest : public LibTest {
protected:
    void SetUp() override { restart(); }
    void TearDown() override { unbindSimulator(); }

    // Back to a freshly loaded library bound to an empty simulator, for
    // tables whose rows each need a fresh start.
    void restart()
    {
        LibTest::SetUp();
        dravikSimReset();
        bindSimulator();
    }

    // Opens a sensor and starts the trace afresh at T+0.
    int addSensor(uint16_t versionNumber = 0x0500)
    {
        const int device = openSimulatedSensor(versionNumber);
        dravikSimClearTrace();
        return device;
    }

    static void refuse(unsigned kinds, unsigned position, int command = DRAVIK_SIM_ANY_COMMAND,
                       int device = DRAVIK_SIM_ANY_DEVICE)
    {
        const DravikSimFault fault{kinds, device, command, position};
        dravikSimAddFault(&fault);
    }

    static std::vector<DravikSimTraceEntry> traceEntries()
    {
        std::vector<DravikSimTraceEntry> entries(dravikSimTraceCount());
        for (size_t i = 0; i < entries.size(); ++i)
            dravikSimTraceEntry(i, &entries[i]);
        return entries;
    }

    static std::string lineOf(const DravikSimTraceEntry& entry)
    {
        std::string line(dravikSimFormatTraceEntry(&entry, nullptr, 0), '\0');
        dravikSimFormatTraceEntry(&entry, line.data(), line.size() + 1);
        return line;
    }

    static std::vector<std::string> traceLines()
    {
        std::vector<std::string> lines;
        for (const DravikSimTraceEntry& entry : traceEntries())
            lines.push_back(lineOf(entry));
        return lines;
    }

    // The reports and pauses without times and bytes except a command's byte:
    // "command 80", "pause 250", "read", "data", each with " refused" when so.
    static std::vector<std::string> exchangeOutline()
    {
        std::vector<std::string> outline;
        for (const DravikSimTraceEntry& entry : traceEntries()) {
            std::string item;
            char text[16];
            if (entry.kind == DRAVIK_SIM_COMMAND_REPORT) {
                std::snprintf(text, sizeof text, "command %02X", entry.bytes[1]);
                item = text;
            } else if (entry.kind == DRAVIK_SIM_PAUSE) {
                item = "pause " + std::to_string(entry.pauseMs);
            } else if (entry.kind == DRAVIK_SIM_FEATURE_READ) {
                item = "read";
            } else if (entry.kind == DRAVIK_SIM_DATA_REPORT) {
                item = "data";
            } else {
                continue;
            }
            outline.push_back(entry.refused ? item + " refused" : item);
        }
        return outline;
    }

    static size_t reportCount()
    {
        size_t count = 0;
        for (const DravikSimTraceEntry& entry : traceEntries())
            count += (entry.kind & DRAVIK_SIM_REPORTS) != 0;
        return count;
    }

    // The bytes of every data report sent, as trace lines without time.
    static std::vector<std::string> dataReports()
    {
        std::vector<std::string> reports;
        for (const DravikSimTraceEntry& entry : traceEntries()) {
            if (entry.kind != DRAVIK_SIM_DATA_REPORT)
                continue;
            const std::string line = lineOf(entry);
            reports.push_back(line.substr(line.find("data ") + 5));
        }
        return reports;
    }

    static void setBlock(int device, uint8_t command, std::vector<uint8_t> data, int set = DRAVIK_SIM_CURRENT)
    {
        data.resize(8);
        dravikSimSetBlock(device, set, command, data.data());
    }
};

// A record's fields as a list, for comparisons that name the field that differs.
template <typename Record>
std::vector<int16_t> fieldsOf(const Record& record)
{
    std::vector<int16_t> fields(sizeof record / sizeof(int16_t));
    std::memcpy(fields.data(), &record, sizeof record);
    return fields;
}

#endif
