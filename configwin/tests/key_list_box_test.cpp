#include "fill_key_list.h"
#include "widgets/key_list_box.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

class KeyListBoxTest : public ::testing::Test {
protected:
    QWidget window;
    KeyListBox* list = new KeyListBox(&window);
    QLineEdit* elsewhere = new QLineEdit(&window);

    void SetUp() override
    {
        elsewhere->move(0, 40);
        keycatalog::appendKeyList(*list, keycatalog::KeyListVariant::Common);
        window.show();
        QApplication::setActiveWindow(&window);
        list->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(list->hasFocus());
    }

    void type(const char* text)
    {
        list->lineEdit()->clear();
        QTest::keyClicks(list->lineEdit(), text);
    }

    void turnWheel()
    {
        const QPointF centre = list->rect().center();
        QWheelEvent wheel(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
    }
};

}  // namespace

TEST_F(KeyListBoxTest, IsAnEditableUnsortedListWithoutCompleter)
{
    EXPECT_TRUE(list->isEditable());
    EXPECT_EQ(list->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(list->completer(), nullptr);
    EXPECT_EQ(list->itemText(0), "NONE");
    EXPECT_EQ(list->itemText(103), "NULL");
}

TEST_F(KeyListBoxTest, TypedNameIsNeitherSelectedNorInsertedOnEnter)
{
    type("ESC");
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(list->currentIndex(), -1);
    EXPECT_EQ(list->count(), 104);
    EXPECT_EQ(list->currentText(), "ESC");
}

TEST_F(KeyListBoxTest, TypedNameIsNotSelectedOnLeavingTheField)
{
    list->setCurrentIndex(5);
    type("DELETE");
    elsewhere->setFocus();
    QApplication::processEvents();
    ASSERT_FALSE(list->hasFocus());
    EXPECT_EQ(list->currentIndex(), 5);
    EXPECT_EQ(list->currentText(), "DELETE");
    EXPECT_EQ(list->count(), 104);
}

TEST_F(KeyListBoxTest, WheelChangesTheSelectionOnlyWhileFocused)
{
    list->setCurrentIndex(10);
    elsewhere->setFocus();
    QApplication::processEvents();
    turnWheel();
    EXPECT_EQ(list->currentIndex(), 10);

    list->setFocus();
    QApplication::processEvents();
    turnWheel();
    EXPECT_EQ(list->currentIndex(), 11);
}
