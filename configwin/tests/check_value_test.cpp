#include "widgets/check_value.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(CheckValue, ReadsAndWritesZeroOneAndTwo)
{
    QCheckBox box;
    const std::pair<int, Qt::CheckState> values[] = {{1, Qt::Checked}, {2, Qt::PartiallyChecked}, {0, Qt::Unchecked}};
    for (auto [value, state] : values) {
        EXPECT_TRUE(setCheckValue(box, value));
        EXPECT_EQ(box.checkState(), state);
        EXPECT_EQ(checkValue(box), value);
    }
}

TEST(CheckValue, RefusesOtherValuesAndKeepsTheBox)
{
    QCheckBox box;
    setCheckValue(box, 1);
    for (int value : {3, -1, 255}) {
        EXPECT_FALSE(setCheckValue(box, value));
        EXPECT_EQ(checkValue(box), 1);
    }
}

TEST(CheckValue, ReportsEveryChangeLikeAClick)
{
    QCheckBox box;
    QSignalSpy changes(&box, &QCheckBox::stateChanged);
    setCheckValue(box, 1);
    setCheckValue(box, 1);
    setCheckValue(box, 0);
    EXPECT_EQ(changes.count(), 2);
}

TEST(CheckValue, UserClicksOnlyTickOrClearAfterTheBoxWasGreyed)
{
    QCheckBox box;
    setCheckValue(box, 2);
    setCheckValue(box, 0);
    box.show();
    for (int expected : {1, 0, 1}) {
        QTest::mouseClick(&box, Qt::LeftButton);
        EXPECT_EQ(checkValue(box), expected);
    }
}
