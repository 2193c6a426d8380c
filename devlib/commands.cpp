// Commands that act on the sensor at once: resets, user defaults, the range
// reading and the keystroke halt.
#include "lib_state.h"
#include "protocol.h"

namespace {

// The sensor rewrites its stored configuration within this time.
constexpr DWORD kStoredConfigPauseMs = 2000;

// One family of sensors keeps idle flags through a factory reset that must
// be cleared afterwards.
constexpr uint16_t kIdleFlagsFamilyMask = 0xFFF0;
constexpr uint16_t kIdleFlagsFamily = 0x0400;

int32_t storedConfigCommand(uint8_t commandByte)
{
    DeviceRecord& device = activeRecord();
    device.lastLibErr = 0;
    if (!sendCommand(commandByte)) {
        device.lastLibErr |= liberr::kOpReset;
        return 0;
    }
    Sleep(kStoredConfigPauseMs);
    return ReadCfg();
}

}  // namespace

extern "C" {

int32_t DRAVIK_CALL ResetFactoryDflts(void)
{
    if (!storedConfigCommand(command::kFactoryReset))
        return 0;
    DeviceRecord& device = activeRecord();
    if ((device.DID & kIdleFlagsFamilyMask) != kIdleFlagsFamily)
        return 1;
    device.idleParms.FlagsI = 0;
    device.idleChanged = 1;
    if (!WriteCfg())
        return 0;
    return ReadCfg();
}

int32_t DRAVIK_CALL ResetUserDflts(void)
{
    return storedConfigCommand(command::kUserReset);
}

int32_t DRAVIK_CALL SaveUserDflts(void)
{
    return storedConfigCommand(command::kUserSave);
}

int32_t DRAVIK_CALL GetObjRangeInfo(tsObjRangeInfo* range)
{
    DeviceRecord& device = activeRecord();
    if (range == nullptr) {
        device.lastLibErr = liberr::kOpRange | liberr::kNullPointer;
        return 0;
    }
    device.lastLibErr = 0;
    BlockData reply;
    if (!readBlock(command::kRange, reply)) {
        device.lastLibErr |= liberr::kOpRange;
        return 0;
    }
    const uint8_t state = reply[0];
    range->CurrRange = unpackField(Packing::Distance, reply[1]);
    range->InRange = state & 0x01;
    range->InRangePend = (state >> 1) & 0x01;
    range->OutRangePend = (state >> 2) & 0x01;
    return 1;
}

int32_t DRAVIK_CALL HaltKBSends(int32_t halt)
{
    connectError = 0;
    if (!sendCommand(halt != 0 ? command::kHaltKeys : command::kResumeKeys)) {
        connectError |= connerr::kHalt;
        return 0;
    }
    return 1;
}

}  // extern "C"
