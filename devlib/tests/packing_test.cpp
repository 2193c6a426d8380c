#include <gtest/gtest.h>

#include "protocol.h"

namespace {

TEST(PackingTest, DistancesRoundToTheNearestSensorUnit)
{
    const struct {
        int16_t inches;
        uint8_t byte;
    } writes[] = {{14, 49}, {15, 52}, {36, 125}, {59, 205}, {60, 208}, {0, 0}, {73, 253}};
    for (const auto& w : writes)
        EXPECT_EQ(packField(Packing::Distance, w.inches), w.byte) << w.inches;

    const struct {
        uint8_t byte;
        int16_t inches;
    } reads[] = {{0, 0},    {1, 0},    {2, 1},    {49, 14},  {52, 15}, {125, 36},
                 {208, 60}, {210, 60}, {211, 61}, {252, 73}, {255, 73}};
    for (const auto& r : reads)
        EXPECT_EQ(unpackField(Packing::Distance, r.byte), r.inches) << int(r.byte);
}

TEST(PackingTest, EveryWholeInchFromZeroToSeventyThreeSurvivesTheRoundTrip)
{
    for (int16_t inches = 0; inches <= 73; ++inches)
        EXPECT_EQ(unpackField(Packing::Distance, packField(Packing::Distance, inches)), inches);
}

TEST(PackingTest, StepsDropTheRemainderAndMasksDifferByDirection)
{
    const struct {
        Packing packing;
        int16_t field;
        uint8_t sent;
        int16_t readBack;
    } cases[] = {
        {Packing::PingStep, 1020, 255, 1020}, {Packing::PingStep, 203, 50, 200},
        {Packing::PingStep, 600, 150, 600},   {Packing::InterKeyStep, 16320, 255, 16320},
        {Packing::InterKeyStep, 100, 1, 64},  {Packing::Byte, 300, 44, 44},
        {Packing::Byte, -1, 0xFF, 255},       {Packing::Low7, 0xFF, 0x7F, 0x7F},
        {Packing::Low4, 0x17, 0x07, 0x07},    {Packing::Low4Written, 0xF3, 0x03, 0x03},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        EXPECT_EQ(packField(c.packing, c.field), c.sent);
        EXPECT_EQ(unpackField(c.packing, c.sent), c.readBack);
    }
    // Bytes as the sensor reports them.
    EXPECT_EQ(unpackField(Packing::Low4Written, 0xF3), 0xF3);
    EXPECT_EQ(unpackField(Packing::Low4, 0x17), 7);
    EXPECT_EQ(unpackField(Packing::Low7, 0x85), 5);
    EXPECT_EQ(unpackField(Packing::PingStep, 255), 1020);
    EXPECT_EQ(unpackField(Packing::InterKeyStep, 0), 0);
}

}  // namespace
