// The About box.
#ifndef CONFIGWIN_FRM_ABOUT_H
#define CONFIGWIN_FRM_ABOUT_H

#include <QDialog>

#include <array>

class QFrame;
class QLabel;
class QPushButton;
class UiSeam;

class frmAbout : public QDialog {
public:
    frmAbout(UiSeam& ui, QWidget* owner);

    // Fills the labels; runs each time the box opens.
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* Label1;
    QLabel* Image1;
    QLabel* Image2;
    std::array<QFrame*, 2> Line1;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

private:
    UiSeam& ui_;
};

#endif
