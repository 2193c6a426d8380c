// How a run of the utility ends, for the script that started it.
#ifndef CONFIGWIN_EXIT_STATUS_H
#define CONFIGWIN_EXIT_STATUS_H

enum ExitStatus : int {
    ExitDone = 0,
    // A refused record, a failed send or a refused keystroke halt.
    ExitSensorStepFailed = 1,
    // Nothing was sent: wrong argument count, refused settings file, missing
    // library or no usable display for the window.
    ExitNotStarted = 2,
    // USBConnect failed: no sensor, none this user may open, or a failed
    // configuration read.
    ExitNoSensor = 3,
};

#endif
