#include "fields/er_reason.h"
#include "sensor_window.h"

#include <vector>

namespace {

using ErReasonTest = SensorWindow;

}  // namespace

TEST_F(ErReasonTest, WithNoErrorWritesOnlyTheStatusLine)
{
    ErReason(form, QStringLiteral("Ok"));
    EXPECT_EQ(form.LastErr->text(), "Ok 0");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(ErReasonTest, WithAnErrorAsksWhetherToContinueWhateverTheAnswer)
{
    connect();
    refuse(DRAVIK_SIM_FEATURE_READ, 0x83);
    ASSERT_EQ(dravik::ReadCfg(), 0);
    for (MessageAnswer answer : {MessageAnswer::Ok, MessageAnswer::Cancel}) {
        ui.boxes.clear();
        ui.answers = {answer};
        ErReason(form, QStringLiteral("ReadCfg"));
        const QString status = QStringLiteral("ReadCfg %1").arg(0x20000 + 0x102);
        EXPECT_EQ(form.LastErr->text(), status);
        EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
    }
    EXPECT_EQ(ui.boxes[0].text, "An error >ReadCfg 131330 < was encountered.  Do you want to continue ?");
}

TEST_F(ErReasonTest, AStatusLabelAlsoShowsTheLatestFailure)
{
    tsTyvelParms sensing{0, 500, 16, 14, 14, 5, 2, 0};
    ASSERT_EQ(dravik::SetTyvelParms(&sensing), 0);
    ErReason(form, QStringLiteral("Windows XP Written"));
    const QString status = QStringLiteral("Windows XP Written %1").arg(0x200000 + 0x1002);
    EXPECT_EQ(form.LastErr->text(), status);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
}

TEST_F(ErReasonTest, OnlyTheQuietVariantIsQuiet)
{
    tsTyvelParms sensing{};
    ASSERT_EQ(dravik::GetTyvelParms(&sensing), 0);
    form.LastErr->setText(QStringLiteral("before"));
    ErReasonQuiet(form, QStringLiteral("USB range"));
    EXPECT_EQ(form.LastErr->text(), "before");
    EXPECT_TRUE(ui.boxes.empty());

    ErReason(form, QStringLiteral("usb range"));
    const QString status = QStringLiteral("usb range %1").arg(0x100000 + 2);
    EXPECT_EQ(form.LastErr->text(), status);
    EXPECT_EQ(ui.boxes, std::vector<MessageBoxRequest>{deviceErrorBox(status)});
}
