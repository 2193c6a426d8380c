// Every caption of the window and the About box fits where it is drawn, in
// the fonts the forms get on this machine.
#include "about/frm_about.h"
#include "start_up.h"
#include "widgets/form_fonts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QStyleOptionGroupBox>
#include <QTabWidget>

#include <climits>

namespace {

// What the user sees of a caption: "&" marks the mnemonic, "&&" is one "&".
QString shownText(QString text)
{
    text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

// The first fault found, in words; empty when the text fits.
QString textFault(const QWidget& widget, const QString& text, const QRect& room, bool wraps = false)
{
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics(widget.font());
    const QSize needed = wraps ? metrics.boundingRect(QRect(0, 0, room.width(), INT_MAX), Qt::TextWordWrap, text).size()
                               : QSize(metrics.horizontalAdvance(text), metrics.height());
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return QStringLiteral("\"%1\" needs %2x%3 pixels, has %4x%5")
        .arg(text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

QString labelFault(const QLabel& label)
{
    const int margin = label.margin() + qMax(label.indent(), 0);
    return textFault(label, label.text(), label.contentsRect().adjusted(margin, margin, -margin, -margin),
                     label.wordWrap());
}

QString buttonFault(const QAbstractButton& button, QStyle::SubElement contents)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    option.icon = button.icon();
    option.iconSize = button.iconSize();
    const QRect room = button.style()->subElementRect(contents, &option, &button);
    return textFault(button, shownText(button.text()), room);
}

// Qt keeps two pixels between a line edit's frame and its text.
constexpr int kLineEditTextMargin = 2;

QString lineEditFault(const QLineEdit& box)
{
    QStyleOptionFrame option;
    option.initFrom(&box);
    option.lineWidth = box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &box) : 0;
    const QMargins margins = box.textMargins();
    const QRect room = box.style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, &box)
                           .marginsRemoved(margins)
                           .adjusted(kLineEditTextMargin, 0, -kLineEditTextMargin, 0);
    return textFault(box, box.text(), room);
}

QStyleOptionGroupBox groupBoxOption(const QGroupBox& box)
{
    QStyleOptionGroupBox option;
    option.initFrom(&box);
    option.text = box.title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    option.textAlignment = box.alignment();
    return option;
}

QString groupBoxFault(const QGroupBox& box)
{
    const QStyleOptionGroupBox option = groupBoxOption(box);
    const QRect title = box.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &box);
    return textFault(box, shownText(box.title()), title.intersected(box.rect()));
}

// Pixels between a frame's inside edge and what it holds; less, and an
// option button's circle runs into the frame's line.
constexpr int kFrameClearance = 2;

// A control in a frame stays clear of the frame's border and title.
QString placeFault(const QWidget& widget)
{
    const auto* frame = qobject_cast<const QGroupBox*>(widget.parentWidget());
    if (!frame)
        return {};
    const QStyleOptionGroupBox option = groupBoxOption(*frame);
    const QRect inside = frame->style()
                             ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, frame)
                             .adjusted(kFrameClearance, kFrameClearance, -kFrameClearance, -kFrameClearance);
    if (inside.contains(widget.geometry()))
        return {};
    const QRect place = widget.geometry();
    return QStringLiteral("lies at %1,%2 %3x%4, outside its frame's inside %5,%6 %7x%8")
        .arg(place.x())
        .arg(place.y())
        .arg(place.width())
        .arg(place.height())
        .arg(inside.x())
        .arg(inside.y())
        .arg(inside.width())
        .arg(inside.height());
}

QString fault(const QWidget& widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(&widget))
        return labelFault(*label);
    if (const auto* box = qobject_cast<const QCheckBox*>(&widget))
        return buttonFault(*box, QStyle::SE_CheckBoxContents);
    if (const auto* option = qobject_cast<const QRadioButton*>(&widget))
        return buttonFault(*option, QStyle::SE_RadioButtonContents);
    if (const auto* button = qobject_cast<const QPushButton*>(&widget))
        return buttonFault(*button, QStyle::SE_PushButtonContents);
    if (const auto* box = qobject_cast<const QLineEdit*>(&widget)) {
        // A key list's own edit field is the list's business.
        if (qobject_cast<const QComboBox*>(box->parentWidget()))
            return {};
        return lineEditFault(*box);
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&widget))
        return groupBoxFault(*frame);
    return {};
}

// Checks every control of `window` that the user can see at the moment.
void expectEverythingFits(const QWidget& window)
{
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->visibleRegion().isEmpty())
            continue;
        for (const QString& found : {fault(*widget), placeFault(*widget)})
            EXPECT_TRUE(found.isEmpty()) << window.objectName().toStdString() << "/"
                                         << widget->objectName().toStdString() << ": " << found.toStdString();
    }
}

class TextFit : public StartUp {
protected:
    TextFit() { mapFormFonts(); }

    void expectEveryTabFits()
    {
        form.show();
        form.Command6->click();
        for (int tab = 0; tab < form.SSTab1->count(); ++tab) {
            SCOPED_TRACE(form.SSTab1->tabText(tab).toStdString());
            form.SSTab1->setCurrentIndex(tab);
            QApplication::processEvents();
            expectEverythingFits(form);
        }
    }

    void expectAboutBoxFits()
    {
        frmAbout about(ui, &form);
        about.Form_Load();
        about.show();
        QApplication::processEvents();
        expectEverythingFits(about);
    }
};

}  // namespace

TEST_F(TextFit, TheWindowAndTheAboutBoxAsDesigned)
{
    ui.answers = {MessageAnswer::Ok};
    expectEveryTabFits();
    expectAboutBoxFits();
}

TEST_F(TextFit, TheWindowShowingASensorsConfiguration)
{
    ASSERT_EQ(start(), std::nullopt);
    ui.answers = {MessageAnswer::Ok};
    expectEveryTabFits();
    expectAboutBoxFits();
}

// The title and the About box are drawn in the family of the rest of the window.
TEST_F(TextFit, TitleAndAboutBoxShareTheWindowsFontFamily)
{
    frmAbout about(ui, &form);
    const QString family = QFontInfo(form.Label2->font()).family();
    for (const QWidget* widget : {static_cast<QWidget*>(form.Label7), static_cast<QWidget*>(about.Label1),
                                  static_cast<QWidget*>(about.lblTitle), static_cast<QWidget*>(about.cmdOK)}) {
        SCOPED_TRACE(widget->objectName().toStdString());
        EXPECT_EQ(QFontInfo(widget->font()).family(), family);
    }
}
