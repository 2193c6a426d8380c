#include "about/frm_about.h"

#include "about/sys_info.h"
#include "app/app_info.h"
#include "widgets/artwork.h"
#include "widgets/form_fonts.h"
#include "widgets/placed_controls.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

QFrame* line(QWidget* parent, const QString& name, int left, int right, int top, const QColor& colour)
{
    auto* frame = named(new QFrame(parent), name, twipsRect(left, top, right - left, kTwipsPerPixel));
    frame->setAutoFillBackground(true);
    QPalette colours = frame->palette();
    colours.setColor(QPalette::Window, colour);
    frame->setPalette(colours);
    return frame;
}

}  // namespace

frmAbout::frmAbout(UiSeam& ui, QWidget* owner) : QDialog(owner), ui_(ui)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    // A window of its own takes the application's font, not its owner's.
    setFont(formFont());
    setFixedSize(pixels(6180), pixels(3735));

    lblTitle = plainLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Application Title"),
                          twipsRect(930, 120, 4092, 480));
    lblTitle->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    lblVersion = plainLabel(this, QStringLiteral("lblVersion"), QStringLiteral("Version"),
                            twipsRect(930, 660, 4695, 225));
    Label1 = plainLabel(this, QStringLiteral("Label1"),
                        QStringLiteral("Tornel-Tyvel is the configuration tool of the Tornel sensor.  For support, "
                                       "enhancements and more products, contact Quendar."),
                        twipsRect(960, 960, 4575, 570));
    Label1->setWordWrap(true);
    Image2 = picture(this, QStringLiteral("Image2"), sensorPicture(), twipsRect(0, 0, 735, 690));
    Line1[1] = line(this, QStringLiteral("Line1_1"), 105, 5537, 2310, QColor(128, 128, 128));
    Line1[0] = line(this, QStringLiteral("Line1_0"), 120, 5537, 2325, Qt::white);
    Image1 = picture(this, QStringLiteral("Image1"), rangePicture(), twipsRect(240, 2520, 3480, 810));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("cmdOK"),
                  twipsRect(4125, 2505, 1467, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = named(new QPushButton(QStringLiteral("&System Info..."), this), QStringLiteral("cmdSysInfo"),
                       twipsRect(4140, 2955, 1452, 345));
    setTabOrder(cmdOK, cmdSysInfo);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void frmAbout::Form_Load()
{
    lblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
    lblTitle->setText(QLatin1String(kAppTitle));
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo(ui_);
}
