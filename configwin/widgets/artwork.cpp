#include "widgets/artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kPictureSize = 128;

QPixmap blankPicture()
{
    QPixmap picture(kPictureSize, kPictureSize);
    picture.fill(Qt::white);
    return picture;
}

}  // namespace

QPixmap sensorPicture()
{
    QPixmap picture = blankPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 40, 40), 2));
    painter.setBrush(QColor(70, 75, 85));
    painter.drawRoundedRect(QRectF(10, 30, 108, 68), 10, 10);
    painter.setBrush(QColor(190, 195, 200));
    painter.drawEllipse(QPointF(38, 58), 16, 16);
    painter.drawEllipse(QPointF(90, 58), 16, 16);
    const QColor leds[] = {QColor(220, 40, 40), QColor(240, 200, 30), QColor(40, 180, 60)};
    for (int i = 0; i < 3; ++i) {
        painter.setBrush(leds[i]);
        painter.drawEllipse(QPointF(50 + 14 * i, 88), 4, 4);
    }
    return picture;
}

QPixmap rangePicture()
{
    QPixmap picture = blankPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(30, 90, 200), 3));
    for (int radius = 20; radius <= 60; radius += 20)
        painter.drawArc(QRectF(10 - radius, 64 - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(QPointF(96, 34), 11, 11);
    QPainterPath body;
    body.addRoundedRect(QRectF(82, 48, 28, 66), 10, 10);
    painter.drawPath(body);
    return picture;
}

QIcon applicationIcon()
{
    return QIcon(sensorPicture());
}
