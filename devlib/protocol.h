// The sensor's feature-report protocol: command bytes, unit packing and the
// two exchange patterns (command report, pause, then a feature read or a
// data report) shared by the configuration transfer and the device commands.
#ifndef DRAVIK_PROTOCOL_H
#define DRAVIK_PROTOCOL_H

#include <array>
#include <cstdint>

#include "platform/platform.h"

namespace command {
constexpr uint8_t kSensing = 0x80;
constexpr uint8_t kWalkAway1 = 0x81;
constexpr uint8_t kWalkAway2 = 0x82;
constexpr uint8_t kWalkUp1 = 0x83;
constexpr uint8_t kWalkUp2 = 0x84;
constexpr uint8_t kIdle = 0x85;
constexpr uint8_t kIdentity = 0x8A;
constexpr uint8_t kRange = 0x8F;
constexpr uint8_t kCommit = 0x90;
constexpr uint8_t kFactoryReset = 0xA0;
constexpr uint8_t kResumeKeys = 0xB0;
constexpr uint8_t kHaltKeys = 0xB1;
constexpr uint8_t kUserReset = 0xD0;
constexpr uint8_t kUserSave = 0xE0;
}  // namespace command

// The sensor needs this long to answer a command with its block.
constexpr DWORD kBlockPauseMs = 250;

// Sensor distance units per inch.
constexpr double kDistanceFactor = 3.472222;

// How a record field travels as one byte.
enum class Packing {
    Byte,          // the byte; the field's low 8 bits
    Low7,          // low 7 bits both ways
    Low4,          // low 4 bits both ways
    Low4Written,   // all 8 bits read, low 4 bits written
    PingStep,      // 4 ms per unit, remainder dropped
    InterKeyStep,  // 64 ms per unit, remainder dropped
    Distance,      // inches, kDistanceFactor units per inch, rounded
};

uint8_t packField(Packing packing, int16_t value);
int16_t unpackField(Packing packing, uint8_t byte);

// The eight payload bytes of one block.
using BlockData = std::array<uint8_t, 8>;

// A command report alone; the argument travels in byte 2 (the commit mask).
bool sendCommand(uint8_t commandByte, uint8_t argument = 0);
// Command report, pause, feature read of the block it names.
bool readBlock(uint8_t commandByte, BlockData& data);
// Command report, pause, data report.
bool writeBlock(uint8_t commandByte, const BlockData& data);

#endif
