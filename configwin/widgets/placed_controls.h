// Controls placed where a form's design puts them. Positions and sizes are in
// twips, 15 to a pixel, relative to the parent's top-left corner.
#ifndef CONFIGWIN_PLACED_CONTROLS_H
#define CONFIGWIN_PLACED_CONTROLS_H

#include <QRect>
#include <QString>

class QLabel;
class QPixmap;
class QWidget;

inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {pixels(left), pixels(top), pixels(width), pixels(height)};
}

template <typename Control>
Control* named(Control* control, const QString& name, const QRect& place)
{
    control->setObjectName(name);
    control->setGeometry(place);
    return control;
}

// Shows its caption as it is, never as rich text.
QLabel* plainLabel(QWidget* parent, const QString& name, const QString& caption, const QRect& place);
// The picture stretched over its place.
QLabel* picture(QWidget* parent, const QString& name, const QPixmap& pixmap, const QRect& place);

#endif
