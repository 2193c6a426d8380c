// The order of message, reset and comparison in the field checks, seen from
// the trace of range readings each comparison makes.
#include "leave_field.h"
#include "sensor_window.h"

#include <vector>

namespace {

using FieldChecks = SensorWindow;

struct Moment {
    QString text;
    int readings;
};

}  // namespace

TEST_F(FieldChecks, ALeaveCheckShowsItsMessageThenResetsTheTextThenCompares)
{
    connectAndShow();
    std::vector<Moment> atBox;
    ui.whileShown = [&](const MessageBoxRequest&) { atBox.push_back({form.MaxDist->text(), rangeReadings()}); };
    enterField(form, form.MaxDist, QStringLiteral("70"));
    leaveField(form);
    ASSERT_EQ(atBox.size(), 1u);
    EXPECT_EQ(atBox[0].text, "70");
    EXPECT_EQ(atBox[0].readings, 0);
    EXPECT_EQ(form.MaxDist->text(), "36");
    EXPECT_EQ(rangeReadings(), 1);
    EXPECT_FALSE(changed());

    enterField(form, form.MaxDist, QStringLiteral("59.5"));
    leaveField(form);
    EXPECT_EQ(atBox.size(), 1u);
    EXPECT_EQ(rangeReadings(), 2);
    EXPECT_TRUE(changed());
}

TEST_F(FieldChecks, AKeyDelayResetComparesOnceBeforeTheMessageAndOnceAfter)
{
    connectAndShow();
    std::vector<Moment> atBox;
    ui.whileShown = [&](const MessageBoxRequest&) { atBox.push_back({form.InterKeyDelayUp->text(), rangeReadings()}); };
    form.InterKeyDelayUp->setText(QStringLiteral("20000"));
    ASSERT_EQ(atBox.size(), 1u);
    EXPECT_EQ(atBox[0].text, "512");
    EXPECT_EQ(atBox[0].readings, 1);
    EXPECT_EQ(rangeReadings(), 2);
    EXPECT_FALSE(changed());
}
