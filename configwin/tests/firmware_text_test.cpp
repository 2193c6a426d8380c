#include "text/firmware_text.h"

#include <gtest/gtest.h>

TEST(FirmwareText, EachDigitInDecimalAfterItsOwnBlank)
{
    EXPECT_EQ(firmwareText(0x0105), "Firmware: v  0 1. 0 5");
    EXPECT_EQ(firmwareText(0x1A2B), "Firmware: v  1 10. 2 11");
    EXPECT_EQ(firmwareText(0), "Firmware: v  0 0. 0 0");
    EXPECT_EQ(firmwareText(0xFFFF), "Firmware: v  15 15. 15 15");
}
