// One edit from the key press to the sensor, through the shown window.
#include "leave_field.h"
#include "start_up.h"

#include <QPushButton>
#include <QTest>

#include <string>
#include <vector>

using OneEdit = StartUp;

TEST_F(OneEdit, ANewDistanceTravelsWithAllSixBlocksAndTheFullCommitMask)
{
    ASSERT_EQ(start(), std::nullopt);
    EXPECT_EQ(form.LastErr->text(), "Ok 0");
    enterField(form, form.MaxDist, QStringLiteral("40"));
    dravikSimClearTrace();
    leaveField(form);
    EXPECT_TRUE(changed());
    EXPECT_TRUE(ui.boxes.empty());

    dravikSimClearTrace();
    ui.answers = {MessageAnswer::Yes};
    QTest::mouseClick(form.Command4, Qt::LeftButton);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>(
                            {{QStringLiteral("The changes are about to be written to the device.  Do you want to "
                                             "write the changes?"),
                              MessageButtons::YesNo, MessageIcon::Critical, DefaultButton::Second,
                              QStringLiteral("Tornel USB Write Parameters")}}));
    // 40 inches travel as 139 units (0x8B); everything else as it was read.
    EXPECT_EQ(blocksWritten(), (std::vector<std::string>{
                                   "80: 00 7D 10 31 8B 05 02 00",
                                   "81: 01 08 08 00 00 00 00 00",
                                   "82: 00 00 0F 00 00 00 00 00",
                                   "83: 00 08 00 00 00 00 00 00",
                                   "84: 00 00 00 00 00 00 00 00",
                                   "85: 00 00 00 00 00 07 00 2E",
                               }));
    EXPECT_EQ(commands(), (std::vector<std::string>{"80", "81", "82", "83", "84", "85", "90 3F"}));
    EXPECT_FALSE(changed());
    EXPECT_TRUE(form.isVisible());
}
