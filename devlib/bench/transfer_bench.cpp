// Runs the sensor exchanges against the simulator on the real clock and
// shows how much time the library adds to the pauses the protocol demands.
// Exits with 1 when an operation fails or its overhead reaches 0.5 %.
#include <chrono>
#include <cstdio>

#include "lib_state.h"
#include "platform/backend.h"
#include "sim_binding.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kOverheadLimitPercent = 0.5;

const DeviceBackend* simulatorBackend;
Clock::duration timeInSleep;

void timedSleep(DWORD milliseconds)
{
    const Clock::time_point start = Clock::now();
    simulatorBackend->sleep(milliseconds);
    timeInSleep += Clock::now() - start;
}

void markAllFourChanged()
{
    DeviceRecord& device = activeRecord();
    SetTyvelParms(&device.tyvelParms);
    SetWalkAwayParms(&device.walkAwayParms);
    SetWalkUpParms(&device.walkUpParms);
    SetIdleParms(&device.idleParms);
}

int32_t readRange()
{
    tsObjRangeInfo range;
    return GetObjRangeInfo(&range);
}

uint64_t recordedPauseMs()
{
    uint64_t total = 0;
    for (size_t i = 0; i < dravikSimTraceCount(); ++i) {
        DravikSimTraceEntry entry;
        dravikSimTraceEntry(i, &entry);
        if (entry.kind == DRAVIK_SIM_PAUSE)
            total += entry.pauseMs;
    }
    return total;
}

double inMilliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Operation {
    const char* name;
    void (*prepare)();
    int32_t (*run)();
    uint64_t mandatedPauseMs;
};

const Operation kOperations[] = {
    {"ReadCfg", nullptr, ReadCfg, 7 * 250},
    {"WriteCfg (all four)", markAllFourChanged, WriteCfg, 6 * 250},
    {"ResetFactoryDflts", nullptr, ResetFactoryDflts, 2000 + 7 * 250 + 250 + 7 * 250},
    {"GetObjRangeInfo", nullptr, readRange, 250},
};

}  // namespace

int main()
{
    dravikSimReset();
    bindSimulator();
    simulatorBackend = dravikSimDeviceBackend();
    const DeviceBackend timed = {simulatorBackend->open, simulatorBackend->close, timedSleep};
    installDeviceBackend(&timed);
    // A sensor of the family whose factory reset also rewrites the idle block.
    if (openSimulatedSensor(0x0405) < 0) {
        std::fprintf(stderr, "the simulated sensor did not open\n");
        return 1;
    }
    dravikSimSetRealTime(1);

    std::printf("%-20s %12s %12s %10s %12s %10s\n", "operation", "wall ms", "in Sleep ms", "pauses ms", "overhead ms",
                "overhead");
    bool ok = true;
    for (const Operation& op : kOperations) {
        if (op.prepare != nullptr)
            op.prepare();
        dravikSimClearTrace();
        timeInSleep = Clock::duration::zero();
        const Clock::time_point start = Clock::now();
        const int32_t result = op.run();
        const Clock::duration wall = Clock::now() - start;

        const double overheadMs = inMilliseconds(wall - timeInSleep);
        const double share = 100.0 * overheadMs / static_cast<double>(op.mandatedPauseMs);
        std::printf("%-20s %12.3f %12.3f %10llu %12.3f %9.4f%%\n", op.name, inMilliseconds(wall),
                    inMilliseconds(timeInSleep), static_cast<unsigned long long>(op.mandatedPauseMs), overheadMs,
                    share);
        if (result != 1) {
            std::printf("  failed with error word 0x%X\n", GetLastLibErr());
            ok = false;
        }
        if (recordedPauseMs() != op.mandatedPauseMs) {
            std::printf("  paused %llu ms instead\n", static_cast<unsigned long long>(recordedPauseMs()));
            ok = false;
        }
        if (share >= kOverheadLimitPercent) {
            std::printf("  overhead at or above %.1f %%\n", kOverheadLimitPercent);
            ok = false;
        }
    }
    unbindSimulator();
    return ok ? 0 : 1;
}
