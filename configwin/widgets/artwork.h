// The window's pictures, drawn rather than shipped as files.
#ifndef CONFIGWIN_ARTWORK_H
#define CONFIGWIN_ARTWORK_H

#include <QIcon>
#include <QPixmap>

// The sensor seen from the front: two transducers and the three LEDs.
QPixmap sensorPicture();
// A person in front of the sensor's pings.
QPixmap rangePicture();
QIcon applicationIcon();

#endif
