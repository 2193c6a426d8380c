// Typing into a field of a shown window and tabbing out of it, as the user does.
#ifndef CONFIGWIN_TESTS_LEAVE_FIELD_H
#define CONFIGWIN_TESTS_LEAVE_FIELD_H

#include "form/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

inline void enterField(Form1& form, QLineEdit* field, const QString& text)
{
    form.SSTab1->setCurrentIndex(field == form.PressRate ? 3 : 0);
    form.StartDly->show();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    field->setFocus(Qt::MouseFocusReason);
    ASSERT_TRUE(field->hasFocus());
    field->setText(text);
}

inline void leaveField(Form1& form)
{
    form.Command5->setFocus(Qt::TabFocusReason);
}

#endif
