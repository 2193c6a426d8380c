#include "sim_fixture.h"
#include "transfer.h"

namespace {

using TransferTest = SimTest;

enum class Binding { Unbound, EmptySlot, NoEntry, Refused, Accepted };

struct TransferCase {
    Binding binding;
    int result;
    uint32_t readWord;   // lastLibErr after ReadFeatureRpt, starting from 0xABC0000
    uint32_t writeWord;  // the same after WriteFeatureRpt
};

TEST_F(TransferTest, DetailCodesReplaceTheWordAndNothingIsStoredWhileUnbound)
{
    const TransferCase cases[] = {
        {Binding::Unbound, 0, 0xABC0000, 0xABC0000},  {Binding::EmptySlot, 0, 0x100, 0x200},
        {Binding::NoEntry, 0, 0x101, 0x201},          {Binding::Refused, 0, 0x102, 0x202},
        {Binding::Accepted, 1, 0xABC0000, 0xABC0000},
    };
    for (const TransferCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.binding));
        restart();
        addSensor();
        if (c.binding == Binding::Unbound)
            hidLibrary = HidBinding{};
        if (c.binding == Binding::EmptySlot)
            activeDevice = 1;
        if (c.binding == Binding::NoEntry)
            hidLibrary.HidD_GetFeature = hidLibrary.HidD_SetFeature = nullptr;
        if (c.binding == Binding::Refused)
            refuse(DRAVIK_SIM_REPORTS, 0);

        FeatureReport report{0, 0x8F};
        activeRecord().lastLibErr = 0xABC0000;
        EXPECT_EQ(WriteFeatureRpt(report), c.result);
        EXPECT_EQ(activeRecord().lastLibErr, c.writeWord);

        FeatureReport reply{};
        activeRecord().lastLibErr = 0xABC0000;
        EXPECT_EQ(ReadFeatureRpt(reply), c.result);
        EXPECT_EQ(activeRecord().lastLibErr, c.readWord);
        if (c.result == 1) {
            EXPECT_EQ(reply[1], 0x01);  // the simulator's default range reply
            EXPECT_EQ(reply[2], 0x7D);
        }
    }
}

TEST_F(TransferTest, ATransferSendsTheBufferAsItIsAndNeverPauses)
{
    addSensor();
    FeatureReport report{0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    ASSERT_EQ(WriteFeatureRpt(report), 1);
    EXPECT_EQ(traceLines(), std::vector<std::string>{"T+0 dev0 data 00 12 34 56 78 9A BC DE F0"});
}

}  // namespace
