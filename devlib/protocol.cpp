#include "protocol.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "lib_state.h"
#include "records.h"
#include "transfer.h"

namespace {

// Where a written byte takes its value from. Two reserved fields are sent as
// the sensor last reported them, whatever the caller stored.
enum class Source { Record, LastRead };

struct FieldLayout {
    Packing packing;
    Source source;
};

constexpr FieldLayout kByte{Packing::Byte, Source::Record};
constexpr FieldLayout kLow7{Packing::Low7, Source::Record};
constexpr FieldLayout kLow4{Packing::Low4, Source::Record};
constexpr FieldLayout kLow4Written{Packing::Low4Written, Source::Record};
constexpr FieldLayout kPingStep{Packing::PingStep, Source::Record};
constexpr FieldLayout kInterKeyStep{Packing::InterKeyStep, Source::Record};
constexpr FieldLayout kDistance{Packing::Distance, Source::Record};
constexpr FieldLayout kByteLastRead{Packing::Byte, Source::LastRead};
constexpr FieldLayout kLow4WrittenLastRead{Packing::Low4Written, Source::LastRead};

constexpr size_t kFieldsPerBlock = std::tuple_size_v<BlockData>;

// Data byte n (1 to 8) of a block carries field firstField + n - 1 of its
// record.
struct BlockLayout {
    uint8_t command;
    size_t firstField;
    FieldLayout fields[kFieldsPerBlock];
};

const BlockLayout kSensingBlocks[] = {
    // LEDFlagsS, PingRateS, Reserved1S, MinDistS, MaxDistS, ORDBTmS, IRDBTmS, StartDlyS
    {command::kSensing, 0, {kLow7, kPingStep, kByte, kDistance, kDistance, kByte, kByte, kByte}},
};
const BlockLayout kWalkAwayBlocks[] = {
    // KeyCountWA, InterKeyDelayWA, Key1ModsWA to Key6ModsWA
    {command::kWalkAway1, 0, {kLow4, kInterKeyStep, kByte, kByte, kByte, kByte, kByte, kByte}},
    // Flags0WA, MinFltRepRate, Key1CodeWA to Key6CodeWA
    {command::kWalkAway2, 8, {kLow4Written, kByte, kByte, kByte, kByte, kByte, kByte, kByte}},
};
const BlockLayout kWalkUpBlocks[] = {
    // KeyCountWU, InterKeyDelayWU, Key1ModsWU to Key6ModsWU
    {command::kWalkUp1, 0, {kLow4, kInterKeyStep, kByte, kByte, kByte, kByte, kByte, kByte}},
    // Flags0WU, Reserved2WU, Key1CodeWU to Key6CodeWU
    {command::kWalkUp2, 8, {kLow4Written, kByteLastRead, kByte, kByte, kByte, kByte, kByte, kByte}},
};
const BlockLayout kIdleBlocks[] = {
    // Reserved1I, PressRateI, Key1ModsI, Key1CodeI, FlagsI, DMTODeltaI, DMTOTmI, TYBlankTmI
    {command::kIdle, 0, {kLow4WrittenLastRead, kByte, kByte, kByte, kByte, kByte, kByte, kByte}},
};

struct RecordLayout {
    size_t deviceOffset;  // of the cached record in a DeviceRecord
    size_t setOffset;     // of the same record in a RecordSet
    int32_t DeviceRecord::*changed;
    const BlockLayout* blocks;
    size_t blockCount;
};

// In the order the sensor's blocks carry them, which is also the order of a
// RecordSet and of DeviceRecord::lastReadFilled.
const RecordLayout kRecords[] = {
    {offsetof(DeviceRecord, tyvelParms), offsetof(RecordSet, tyvel), &DeviceRecord::tyvelChanged, kSensingBlocks,
     std::size(kSensingBlocks)},
    {offsetof(DeviceRecord, walkAwayParms), offsetof(RecordSet, walkAway), &DeviceRecord::walkAwayChanged,
     kWalkAwayBlocks, std::size(kWalkAwayBlocks)},
    {offsetof(DeviceRecord, walkUpParms), offsetof(RecordSet, walkUp), &DeviceRecord::walkUpChanged, kWalkUpBlocks,
     std::size(kWalkUpBlocks)},
    {offsetof(DeviceRecord, idleParms), offsetof(RecordSet, idle), &DeviceRecord::idleChanged, kIdleBlocks,
     std::size(kIdleBlocks)},
};
static_assert(std::size(kRecords) == std::extent_v<decltype(DeviceRecord::lastReadFilled)>, "one flag per record");

template <typename T>
unsigned char* bytesOf(T& object)
{
    return reinterpret_cast<unsigned char*>(&object);
}

int16_t fieldAt(const unsigned char* record, size_t field)
{
    int16_t value;
    std::memcpy(&value, record + field * sizeof value, sizeof value);
    return value;
}

void setFieldAt(unsigned char* record, size_t field, int16_t value)
{
    std::memcpy(record + field * sizeof value, &value, sizeof value);
}

void decodeBlock(const BlockLayout& block, const BlockData& data, unsigned char* record)
{
    for (size_t n = 0; n < data.size(); ++n)
        setFieldAt(record, block.firstField + n, unpackField(block.fields[n].packing, data[n]));
}

BlockData encodeBlock(const BlockLayout& block, const unsigned char* record, const unsigned char* lastRead)
{
    BlockData data{};
    for (size_t n = 0; n < data.size(); ++n) {
        const FieldLayout& field = block.fields[n];
        const unsigned char* from = field.source == Source::LastRead ? lastRead : record;
        data[n] = packField(field.packing, fieldAt(from, block.firstField + n));
    }
    return data;
}

uint8_t commitBits(const RecordLayout& record)
{
    uint8_t bits = 0;
    for (size_t b = 0; b < record.blockCount; ++b)
        bits |= 1u << (record.blocks[b].command - command::kSensing);
    return bits;
}

// Both the library-wide copy and the sensor's own, as the sensor reported
// the record (before any clamp).
void rememberLastRead(DeviceRecord& device, size_t index)
{
    const RecordLayout& record = kRecords[index];
    const size_t size = sizeof(int16_t) * kFieldsPerBlock * record.blockCount;
    std::memcpy(bytesOf(lastReadRecords) + record.setOffset, bytesOf(device) + record.deviceOffset, size);
    std::memcpy(bytesOf(device.lastRead) + record.setOffset, bytesOf(device) + record.deviceOffset, size);
    device.lastReadFilled[index] = 1;
}

// With several sensors open the library-wide copy may come from another
// sensor, so the sensor's own copy is preferred once it has been read.
const unsigned char* lastReadFor(DeviceRecord& device, size_t index)
{
    RecordSet& set = device.lastReadFilled[index] ? device.lastRead : lastReadRecords;
    return bytesOf(set) + kRecords[index].setOffset;
}

void clearChangedFlags(DeviceRecord& device)
{
    for (const RecordLayout& record : kRecords)
        device.*record.changed = 0;
}

bool readConfiguration(DeviceRecord& device)
{
    for (size_t index = 0; index < std::size(kRecords); ++index) {
        const RecordLayout& record = kRecords[index];
        for (size_t b = 0; b < record.blockCount; ++b) {
            BlockData data;
            if (!readBlock(record.blocks[b].command, data))
                return false;
            decodeBlock(record.blocks[b], data, bytesOf(device) + record.deviceOffset);
        }
        rememberLastRead(device, index);
    }
    CheckTyvelParms(&device.tyvelParms, CheckMode::Clamp);
    CheckWalkAwayParms(&device.walkAwayParms, CheckMode::Clamp);
    CheckWalkUpParms(&device.walkUpParms, CheckMode::Clamp);
    device.configValid = 1;
    clearChangedFlags(device);

    BlockData identity;
    if (!readBlock(command::kIdentity, identity))
        return false;
    device.LUID = static_cast<uint16_t>(identity[0] | identity[1] << 8);
    device.DID = static_cast<uint16_t>(identity[2] | identity[3] << 8);
    device.luidChanged = 0;
    return true;
}

bool writeConfiguration(DeviceRecord& device)
{
    uint8_t mask = 0;
    for (size_t index = 0; index < std::size(kRecords); ++index) {
        const RecordLayout& record = kRecords[index];
        if (!(device.*record.changed))
            continue;
        for (size_t b = 0; b < record.blockCount; ++b) {
            const BlockData data = encodeBlock(record.blocks[b], bytesOf(device) + record.deviceOffset,
                                               lastReadFor(device, index));
            if (!writeBlock(record.blocks[b].command, data))
                return false;
        }
        mask |= commitBits(record);
    }
    if (!sendCommand(command::kCommit, mask))
        return false;
    clearChangedFlags(device);

    if (device.luidChanged) {
        // The identity write carries the LUID one byte further on than the read.
        const BlockData identity{0, static_cast<uint8_t>(device.LUID & 0xFF), static_cast<uint8_t>(device.LUID >> 8)};
        if (!writeBlock(command::kIdentity, identity))
            return false;
        device.luidChanged = 0;
    }
    return true;
}

}  // namespace

uint8_t packField(Packing packing, int16_t value)
{
    switch (packing) {
    case Packing::Byte:
        return static_cast<uint8_t>(value);
    case Packing::Low7:
        return static_cast<uint8_t>(value & 0x7F);
    case Packing::Low4:
    case Packing::Low4Written:
        return static_cast<uint8_t>(value & 0x0F);
    case Packing::PingStep:
        return static_cast<uint8_t>(value / 4);
    case Packing::InterKeyStep:
        return static_cast<uint8_t>(value / 64);
    case Packing::Distance:
        return static_cast<uint8_t>(static_cast<int32_t>(std::floor(value * kDistanceFactor + 0.5)) & 0xFF);
    }
    return 0;
}

int16_t unpackField(Packing packing, uint8_t byte)
{
    switch (packing) {
    case Packing::Byte:
    case Packing::Low4Written:
        return byte;
    case Packing::Low7:
        return static_cast<int16_t>(byte & 0x7F);
    case Packing::Low4:
        return static_cast<int16_t>(byte & 0x0F);
    case Packing::PingStep:
        return static_cast<int16_t>(byte * 4);
    case Packing::InterKeyStep:
        return static_cast<int16_t>(byte * 64);
    case Packing::Distance:
        return static_cast<int16_t>(std::floor(byte / kDistanceFactor + 0.5));
    }
    return 0;
}

bool sendCommand(uint8_t commandByte, uint8_t argument)
{
    FeatureReport report{0, commandByte, argument};
    return WriteFeatureRpt(report) == 1;
}

namespace {

// The command report naming a block, then the time the sensor needs for it.
bool announceBlock(uint8_t commandByte)
{
    if (!sendCommand(commandByte))
        return false;
    Sleep(kBlockPauseMs);
    return true;
}

}  // namespace

bool readBlock(uint8_t commandByte, BlockData& data)
{
    if (!announceBlock(commandByte))
        return false;
    FeatureReport reply{};
    if (!ReadFeatureRpt(reply))
        return false;
    std::copy(reply.begin() + 1, reply.end(), data.begin());
    return true;
}

bool writeBlock(uint8_t commandByte, const BlockData& data)
{
    if (!announceBlock(commandByte))
        return false;
    FeatureReport report{};
    std::copy(data.begin(), data.end(), report.begin() + 1);
    return WriteFeatureRpt(report) == 1;
}

namespace {

// The error word starts at 0; a failed transfer leaves its detail code, over
// which the operation's bit goes.
int32_t runTransfer(bool (*transfer)(DeviceRecord&), uint32_t operationBit)
{
    DeviceRecord& device = activeRecord();
    device.lastLibErr = 0;
    if (transfer(device))
        return 1;
    device.lastLibErr |= operationBit;
    return 0;
}

}  // namespace

extern "C" {

int32_t DRAVIK_CALL ReadCfg(void)
{
    return runTransfer(readConfiguration, liberr::kOpRead);
}

int32_t DRAVIK_CALL WriteCfg(void)
{
    return runTransfer(writeConfiguration, liberr::kOpWrite);
}

}  // extern "C"
