#include "about/frm_about.h"
#include "about/registry.h"
#include "about/sys_info.h"
#include "form/form1.h"
#include "handlers/connect_handlers.h"
#include "scripted_ui_seam.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

class AboutBox : public ::testing::Test {
protected:
    // Opens the box from the Help menu, runs `act` on it once it is up and
    // closes it with "OK"; returns the box that was shown.
    frmAbout* openAnd(const std::function<void(frmAbout&)>& act = {})
    {
        frmAbout* shown = nullptr;
        QTimer::singleShot(0, [&] {
            shown = dynamic_cast<frmAbout*>(QApplication::activeModalWidget());
            if (!shown) {
                ADD_FAILURE() << "no modal About box";
                return;
            }
            if (act)
                act(*shown);
            shown->cmdOK->click();
        });
        form.About->trigger();
        return shown;
    }

    ScriptedUiSeam ui;
    Form1 form{ui};

    AboutBox() { connectHandlers(form); }
};

}  // namespace

TEST_F(AboutBox, ShowsTheTitleAndTheThreePartVersionModallyOverTheWindow)
{
    bool sawEverything = false;
    frmAbout* about = openAnd([&](frmAbout& box) {
        EXPECT_EQ(box.windowTitle(), "About");
        EXPECT_EQ(box.lblTitle->text(), "Tornel-Tyvel");
        EXPECT_EQ(box.lblVersion->text(), "Version 4.7.0");
        EXPECT_EQ(box.cmdOK->text(), "OK");
        EXPECT_EQ(box.cmdSysInfo->text(), "&System Info...");
        EXPECT_EQ(box.cmdOK->nextInFocusChain(), box.cmdSysInfo);
        EXPECT_TRUE(box.isModal());
        EXPECT_EQ(box.parentWidget(), &form);
        EXPECT_FALSE(box.Label1->text().isEmpty());
        EXPECT_EQ(box.size(), QSize(412, 249));
        sawEverything = true;
    });

    EXPECT_TRUE(sawEverything);
    ASSERT_NE(about, nullptr);
    EXPECT_FALSE(about->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutBox, OpensAgainWithTheSameTextsAndLeavesTheWindowAsItWas)
{
    form.MaxDist->setText(QStringLiteral("40"));
    form.SSTab1->setCurrentIndex(2);
    frmAbout* first = openAnd([](frmAbout& box) { box.lblVersion->setText(QStringLiteral("changed")); });
    QString version;
    frmAbout* second = openAnd([&](frmAbout& box) { version = box.lblVersion->text(); });

    EXPECT_EQ(first, second);
    EXPECT_EQ(version, "Version 4.7.0");
    EXPECT_EQ(form.MaxDist->text(), "40");
    EXPECT_EQ(form.SSTab1->currentIndex(), 2);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AboutBox, SystemInfoStartsTheRegisteredProgramAndTheBoxStaysOpen)
{
    struct RecordedStart : ProgramStart {
        QStringList started;
        bool start(const QString& path) override
        {
            started << path;
            return true;
        }
    } programs;
    setProgramStart(&programs);
    registry::storeString("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", "C:\\msinfo32.exe");
    bool stillOpen = false;
    openAnd([&](frmAbout& box) {
        box.cmdSysInfo->click();
        stillOpen = box.isVisible();
    });
    setProgramStart(nullptr);
    registry::clearStore();

    EXPECT_EQ(programs.started, QStringList{"C:\\msinfo32.exe"});
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(AboutBox, SystemInfoWithoutTheProgramSaysSoAndTheBoxStaysOpen)
{
    registry::clearStore();
    bool stillOpen = false;
    openAnd([&](frmAbout& box) {
        box.cmdSysInfo->click();
        stillOpen = box.isVisible();
    });

    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "System Information Is Unavailable At This Time");
}
