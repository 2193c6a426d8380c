// What a scripted run says about the sensors it found: a script can't see the
// window, so one line on stderr tells it why nothing was configured, or which
// sensor was.
#ifndef CONFIGWIN_SENSOR_REPORT_H
#define CONFIGWIN_SENSOR_REPORT_H

#include <QString>

#include <optional>

// Where the hidraw nodes are: /dev, unless a test build names a folder of its own.
void setDeviceFolder(const char* folder);

// After a failed USBConnect: no sensor attached, none that this user may open
// (the hidraw nodes in the device folder that don't open), or a configuration
// read that failed, with its error word.
QString connectFailureCause();

// With more than one sensor connected: the one the run works with (device 0)
// and how many it leaves alone.
std::optional<QString> configuredAmongOthers();

#endif
