#include "widgets/placed_controls.h"

#include <QLabel>

QLabel* plainLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& place)
{
    auto* control = named(new QLabel(caption, parent), name, place);
    control->setTextFormat(Qt::PlainText);
    return control;
}

QLabel* picture(QWidget* parent, const QString& name, const QPixmap& pixmap, const QRect& place)
{
    auto* control = named(new QLabel(parent), name, place);
    control->setPixmap(pixmap);
    control->setScaledContents(true);
    return control;
}
