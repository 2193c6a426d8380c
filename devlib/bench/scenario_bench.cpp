// Times the simulator loading scenario files of many fault rules, and
// sensor exchanges matched against the largest of them. Exits with 1 when a
// load fails or the largest takes 2 s or more (meant for a Release build).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "dravik_sim.h"
#include "platform/backend.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kRuleCounts[] = {10000, 100000, 1000000};
constexpr double kLargestLoadLimitSeconds = 2.0;
constexpr int kExchanges = 10000;

// Two sensors and rules of every sort: a few kinds, both devices, the six
// configuration blocks, each rule its own position.
std::string scenarioText(size_t rules)
{
    const char* const kinds[] = {R"(["read"])", R"(["command", "data"])", R"(["reports"])", R"(["open"])"};
    std::string text = R"({"devices": [)"
                       R"({"path": "sensor0", "vendorId": "0x3ace", "productId": "0x0501", "versionNumber": 1},)"
                       R"({"path": "sensor1", "vendorId": "0x3ace", "productId": "0x0501", "versionNumber": 1}],)"
                       "\n\"faults\": [\n";
    for (size_t i = 0; i < rules; ++i) {
        char rule[160];
        std::snprintf(rule, sizeof rule, R"(%s{"kinds": %s, "device": %zu, "command": "0x%zX", "position": %zu})",
                      i == 0 ? "" : ",\n", kinds[i % 4], i % 2, 0x80 + i % 6, i + 1);
        text += rule;
    }
    return text + "]}\n";
}

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A command report naming block 0x80 and a feature read, kExchanges times,
// on the first sensor.
double exchangeSeconds()
{
    void* sensor = dravikSimDeviceBackend()->open("sensor0");
    uint8_t command[9] = {0, 0x80};
    uint8_t reply[9];
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kExchanges; ++i) {
        dravikSimHidSetFeature(sensor, command, sizeof command);
        dravikSimHidGetFeature(sensor, reply, sizeof reply);
    }
    return secondsSince(start);
}

}  // namespace

int main()
{
    const std::string file = std::filesystem::temp_directory_path() /
                             ("dravik-scenario-bench-" + std::to_string(getpid()) + ".json");
    bool ok = true;
    double largestLoad = 0;
    for (size_t rules : kRuleCounts) {
        std::ofstream(file) << scenarioText(rules);
        char message[512];
        const Clock::time_point start = Clock::now();
        const int loaded = dravikSimLoadScenario(file.c_str(), message, sizeof message);
        largestLoad = secondsSince(start);
        std::printf("%8zu fault rules: loaded in %.3f s\n", rules, largestLoad);
        if (!loaded) {
            std::printf("  refused: %s\n", message);
            ok = false;
        }
    }
    std::remove(file.c_str());
    std::printf("%d exchanges against %zu rules: %.3f s\n", kExchanges, kRuleCounts[2], exchangeSeconds());
    if (largestLoad >= kLargestLoadLimitSeconds) {
        std::printf("  the largest load took %.1f s or more\n", kLargestLoadLimitSeconds);
        ok = false;
    }
    return ok ? 0 : 1;
}
