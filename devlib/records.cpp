#include "records.h"

#include <cstddef>
#include <cstring>

#include "lib_state.h"

namespace {

struct FieldLimit {
    size_t offset;  // byte offset of the int16_t field
    int16_t low;    // accepted from here ...
    int16_t high;   // ... to here, inclusive
    uint32_t code;
    int16_t clampLow;
    int16_t clampHigh;
};

const FieldLimit kTyvelLimits[] = {
    {offsetof(tsTyvelParms, PingRateS), 200, 1020, 0x1000, 200, 1020},
    {offsetof(tsTyvelParms, MinDistS), 1, 59, 0x1001, 1, 59},
    {offsetof(tsTyvelParms, MaxDistS), 15, 60, 0x1002, 15, 60},
};
// A negative key count is refused as well: the sensor would receive its low
// four bits as a count of up to 15 keys. Clamp mode never sees one.
const FieldLimit kWalkAwayLimits[] = {
    {offsetof(tsWalkAwayParms, KeyCountWA), 0, 6, 0x1010, 0, 0},
    {offsetof(tsWalkAwayParms, InterKeyDelayWA), 64, 16320, 0x1011, 64, 16320},
};
const FieldLimit kWalkUpLimits[] = {
    {offsetof(tsWalkUpParms, KeyCountWU), 0, 6, 0x1020, 0, 0},
    {offsetof(tsWalkUpParms, InterKeyDelayWU), 64, 16320, 0x1021, 64, 16320},
};

template <size_t N>
int checkFields(void* record, const FieldLimit (&limits)[N], CheckMode mode)
{
    auto* bytes = static_cast<unsigned char*>(record);
    for (const FieldLimit& limit : limits) {
        int16_t value;
        std::memcpy(&value, bytes + limit.offset, sizeof value);
        if (value >= limit.low && value <= limit.high)
            continue;
        if (mode == CheckMode::Reject) {
            activeRecord().lastLibErr |= limit.code;
            return 0;
        }
        const int16_t clamped = value < limit.low ? limit.clampLow : limit.clampHigh;
        std::memcpy(bytes + limit.offset, &clamped, sizeof clamped);
    }
    return 1;
}

template <typename Record>
int32_t getRecord(Record* out, const Record& stored)
{
    DeviceRecord& device = activeRecord();
    device.lastLibErr = liberr::kOpGet;
    if (out == nullptr) {
        device.lastLibErr = liberr::kOpGet | liberr::kNullPointer;
        return 0;
    }
    if (!device.configValid) {
        device.lastLibErr = liberr::kOpGet | liberr::kNotRead;
        return 0;
    }
    *out = stored;
    device.lastLibErr = 0;
    return 1;
}

template <typename Record>
int32_t setRecord(const Record* in, Record& stored, int32_t& changed, int (*check)(Record*, CheckMode))
{
    DeviceRecord& device = activeRecord();
    device.lastLibErr = liberr::kOpSet;
    if (in == nullptr) {
        device.lastLibErr = liberr::kOpSet | liberr::kNullPointer;
        return 0;
    }
    Record candidate = *in;
    if (!check(&candidate, CheckMode::Reject))
        return 0;
    stored = candidate;
    changed = 1;
    device.lastLibErr = 0;
    return 1;
}

}  // namespace

int CheckTyvelParms(tsTyvelParms* parms, CheckMode mode)
{
    return checkFields(parms, kTyvelLimits, mode);
}

int CheckWalkAwayParms(tsWalkAwayParms* parms, CheckMode mode)
{
    return checkFields(parms, kWalkAwayLimits, mode);
}

int CheckWalkUpParms(tsWalkUpParms* parms, CheckMode mode)
{
    return checkFields(parms, kWalkUpLimits, mode);
}

int CheckIdleParms(tsIdleParms*, CheckMode)
{
    return 1;
}

extern "C" {

int32_t DRAVIK_CALL GetTyvelParms(tsTyvelParms* parms)
{
    return getRecord(parms, activeRecord().tyvelParms);
}

int32_t DRAVIK_CALL SetTyvelParms(const tsTyvelParms* parms)
{
    DeviceRecord& device = activeRecord();
    return setRecord(parms, device.tyvelParms, device.tyvelChanged, CheckTyvelParms);
}

int32_t DRAVIK_CALL GetWalkAwayParms(tsWalkAwayParms* parms)
{
    return getRecord(parms, activeRecord().walkAwayParms);
}

int32_t DRAVIK_CALL SetWalkAwayParms(const tsWalkAwayParms* parms)
{
    DeviceRecord& device = activeRecord();
    return setRecord(parms, device.walkAwayParms, device.walkAwayChanged, CheckWalkAwayParms);
}

int32_t DRAVIK_CALL GetWalkUpParms(tsWalkUpParms* parms)
{
    return getRecord(parms, activeRecord().walkUpParms);
}

int32_t DRAVIK_CALL SetWalkUpParms(const tsWalkUpParms* parms)
{
    DeviceRecord& device = activeRecord();
    return setRecord(parms, device.walkUpParms, device.walkUpChanged, CheckWalkUpParms);
}

int32_t DRAVIK_CALL GetIdleParms(tsIdleParms* parms)
{
    return getRecord(parms, activeRecord().idleParms);
}

int32_t DRAVIK_CALL SetIdleParms(const tsIdleParms* parms)
{
    DeviceRecord& device = activeRecord();
    return setRecord(parms, device.idleParms, device.idleChanged, CheckIdleParms);
}

}  // extern "C"
