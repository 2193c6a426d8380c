#include "about/frm_about.h"

#include "app/app_info.h"
#include "widgets/artwork.h"
#include "widgets/form_fonts.h"
#include "about/sys_info.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kTwipsPerPixel = 15;

QRect place(int left, int top, int width, int height)
{
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel};
}

template <typename Control>
Control* named(Control* control, const char* name, const QRect& where)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(where);
    return control;
}

QLabel* text(QWidget* parent, const char* name, const char* caption, const QRect& where)
{
    auto* label = named(new QLabel(QLatin1String(caption), parent), name, where);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* picture(QWidget* parent, const char* name, const QPixmap& pixmap, const QRect& where)
{
    auto* label = named(new QLabel(parent), name, where);
    label->setPixmap(pixmap);
    label->setScaledContents(true);
    return label;
}

QFrame* line(QWidget* parent, const char* name, int left, int right, int top, const QColor& colour)
{
    auto* frame = named(new QFrame(parent), name, place(left, top, right - left, kTwipsPerPixel));
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
    setFixedSize(6180 / kTwipsPerPixel, 3735 / kTwipsPerPixel);

    lblTitle = text(this, "lblTitle", "Application Title", place(930, 120, 4092, 480));
    lblTitle->setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    lblVersion = text(this, "lblVersion", "Version", place(930, 660, 4695, 225));
    Label1 = text(this, "Label1",
                  "Tornel-Tyvel is the configuration tool of the Tornel sensor.  For support, enhancements "
                  "and more products, contact Quendar.",
                  place(960, 960, 4575, 570));
    Label1->setWordWrap(true);
    Image2 = picture(this, "Image2", sensorPicture(), place(0, 0, 735, 690));
    Line1[1] = line(this, "Line1_1", 105, 5537, 2310, QColor(128, 128, 128));
    Line1[0] = line(this, "Line1_0", 120, 5537, 2325, Qt::white);
    Image1 = picture(this, "Image1", rangePicture(), place(240, 2520, 3480, 810));
    cmdOK = named(new QPushButton(QStringLiteral("OK"), this), "cmdOK", place(4125, 2505, 1467, 345));
    cmdOK->setDefault(true);
    cmdSysInfo = named(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo",
                       place(4140, 2955, 1452, 345));
    setTabOrder(cmdOK, cmdSysInfo);

    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

void frmAbout::Form_Load()
{
    lblVersion->setText(
        QStringLiteral("Version %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
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
