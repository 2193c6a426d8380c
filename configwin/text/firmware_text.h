#ifndef CONFIGWIN_FIRMWARE_TEXT_H
#define CONFIGWIN_FIRMWARE_TEXT_H

#include <QString>

#include <cstdint>

// "Firmware: v" and the four 4-bit digits of the sensor's 16-bit device
// identifier, high first, each in decimal after a blank of its own, "." after
// the second: 0x1A2B gives "Firmware: v  1 10. 2 11".
QString firmwareText(std::uint32_t deviceInfo);

#endif
