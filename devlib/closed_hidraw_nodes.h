/* A sensor whose hidraw node this user may not open is never found: the
 * nodes that don't open tell a missing udev rule from a missing sensor. */
#ifndef DRAVIK_CLOSED_HIDRAW_NODES_H
#define DRAVIK_CLOSED_HIDRAW_NODES_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Where a user reads how the udev rule opens the sensor's node. */
#define DRAVIK_UDEV_RULE_HINT "see \"Sensors on Linux: hidraw, udev rule, hot-plug paths\" in the README"

typedef void (*ClosedNodeVisit)(const char* node, int error, void* context);

/* Calls visit with each hidraw node in folder that this user may not open
 * and the errno of the attempt; returns how many there were. None while the
 * simulator stands in for hidraw (DRAVIK_SIM set). */
size_t visitClosedHidrawNodes(const char* folder, ClosedNodeVisit visit, void* context);

#ifdef __cplusplus
}
#endif

#endif
