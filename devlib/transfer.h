// The two feature-report transfers: the only code that calls the HID
// library's feature entry points.
#ifndef DRAVIK_TRANSFER_H
#define DRAVIK_TRANSFER_H

#include <array>
#include <cstdint>

// Report ID 0 followed by eight payload bytes.
using FeatureReport = std::array<uint8_t, 9>;

// Each returns 1 on success. On failure it assigns its detail code to the
// active sensor's error word, except while the HID library is not bound.
int ReadFeatureRpt(FeatureReport& report);
int WriteFeatureRpt(FeatureReport& report);

#endif
