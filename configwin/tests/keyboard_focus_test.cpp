// A keyboard user reaches with Tab only what the window shows.
#include "form/form1.h"
#include "scripted_ui_seam.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

// The control's name, or its nearest named parent's for a part of it (the
// text box inside a key list).
std::string nameOf(const QWidget* widget)
{
    while (widget && widget->objectName().isEmpty())
        widget = widget->parentWidget();
    return widget ? widget->objectName().toStdString() : "(unnamed)";
}

bool inSight(QWidget* control, QWidget* window)
{
    const QRect onWindow(control->mapTo(window, QPoint(0, 0)), control->size());
    return !control->visibleRegion().isEmpty() && window->rect().intersects(onWindow);
}

}  // namespace

TEST(KeyboardFocus, TabReachesOnlyControlsInSightOnEveryTab)
{
    ScriptedUiSeam ui;
    Form1 form{ui};
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    for (const bool advanced : {false, true}) {
        form.Label18->setVisible(advanced);
        form.StartDly->setVisible(advanced);
        for (int tab = 0; tab < form.SSTab1->count(); ++tab) {
            SCOPED_TRACE("tab " + std::to_string(tab) + (advanced ? ", Advanced shown" : ""));
            form.SSTab1->setCurrentIndex(tab);
            form.Command2->setFocus(Qt::TabFocusReason);
            std::set<std::string> reached;
            std::set<std::string> outOfSight;
            for (int step = 0; step < 200 && (step == 0 || !form.Command2->hasFocus()); ++step) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QWidget* focus = QApplication::focusWidget();
                ASSERT_NE(focus, nullptr);
                reached.insert(nameOf(focus));
                if (!inSight(focus, &form))
                    outOfSight.insert(nameOf(focus));
            }
            EXPECT_TRUE(form.Command2->hasFocus()) << "Tab never came back round";
            EXPECT_EQ(outOfSight, std::set<std::string>{});
            EXPECT_EQ(reached.count("StartDly"), tab == 0 && advanced ? 1u : 0u);
        }
    }
}
