/* Reports what the library finds and changes nothing on any sensor: the
 * library's version, the sensors, and for each its LUID, DID and four
 * records as the connection read them. With no sensor found on Linux, it
 * names the hidraw nodes this user may not open.
 * Exit status: 0 done, 1 no sensor found, 2 a sensor's configuration
 * couldn't be read. */
#ifdef __linux__
#define _POSIX_C_SOURCE 200809L
#endif

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "Dravik.h"

#ifdef __linux__
#include <errno.h>
#include <fcntl.h>
#include <glob.h>
#include <stdlib.h>
#include <unistd.h>

/* Where the hidraw nodes are; tests name a folder of their own. */
#ifndef DRAVIK_INFO_DEVICE_FOLDER
#define DRAVIK_INFO_DEVICE_FOLDER "/dev"
#endif
#endif

typedef struct Field {
    const char* name;
    size_t offset;
} Field;

#define FIELD(record, name) {#name, offsetof(record, name)}
#define COUNT(table) (sizeof(table) / sizeof((table)[0]))

static const Field kTyvelFields[] = {
    FIELD(tsTyvelParms, LEDFlagsS), FIELD(tsTyvelParms, PingRateS), FIELD(tsTyvelParms, Reserved1S),
    FIELD(tsTyvelParms, MinDistS),  FIELD(tsTyvelParms, MaxDistS),  FIELD(tsTyvelParms, ORDBTmS),
    FIELD(tsTyvelParms, IRDBTmS),   FIELD(tsTyvelParms, StartDlyS),
};

/* The two keystroke records differ in their suffix and their tenth field. */
#define KEYSTROKE_FIELDS(record, s, tenth)                                                     \
    FIELD(record, KeyCount##s), FIELD(record, InterKeyDelay##s), FIELD(record, Key1Mods##s),   \
        FIELD(record, Key2Mods##s), FIELD(record, Key3Mods##s), FIELD(record, Key4Mods##s),    \
        FIELD(record, Key5Mods##s), FIELD(record, Key6Mods##s), FIELD(record, Flags0##s),      \
        FIELD(record, tenth), FIELD(record, Key1Code##s), FIELD(record, Key2Code##s),          \
        FIELD(record, Key3Code##s), FIELD(record, Key4Code##s), FIELD(record, Key5Code##s),    \
        FIELD(record, Key6Code##s)

static const Field kWalkAwayFields[] = {KEYSTROKE_FIELDS(tsWalkAwayParms, WA, MinFltRepRate)};
static const Field kWalkUpFields[] = {KEYSTROKE_FIELDS(tsWalkUpParms, WU, Reserved2WU)};

static const Field kIdleFields[] = {
    FIELD(tsIdleParms, Reserved1I), FIELD(tsIdleParms, PressRateI), FIELD(tsIdleParms, Key1ModsI),
    FIELD(tsIdleParms, Key1CodeI),  FIELD(tsIdleParms, FlagsI),     FIELD(tsIdleParms, DMTODeltaI),
    FIELD(tsIdleParms, DMTOTmI),    FIELD(tsIdleParms, TYBlankTmI),
};

static void printRecord(const char* name, const void* record, const Field* fields, size_t count)
{
    size_t i;
    printf("  %s\n", name);
    for (i = 0; i < count; ++i) {
        int16_t value;
        memcpy(&value, (const char*)record + fields[i].offset, sizeof value);
        printf("    %s = %d\n", fields[i].name, value);
    }
}

/* The active sensor's identity and cached records; 0 when its
 * configuration was never read. */
static int reportSensor(int16_t index)
{
    tsTyvelParms sensing;
    tsWalkAwayParms walkAway;
    tsWalkUpParms walkUp;
    tsIdleParms idle;

    SetActDev(index);
    printf("Sensor %d: LUID 0x%04x, DID 0x%04x\n", index, (unsigned)GetLUID(), (unsigned)GetDID());
    if (!GetTyvelParms(&sensing) || !GetWalkAwayParms(&walkAway) || !GetWalkUpParms(&walkUp) ||
        !GetIdleParms(&idle)) {
        printf("  configuration not read (error 0x%x)\n", (unsigned)GetLastLibErr());
        return 0;
    }
    printRecord("tsTyvelParms", &sensing, kTyvelFields, COUNT(kTyvelFields));
    printRecord("tsWalkAwayParms", &walkAway, kWalkAwayFields, COUNT(kWalkAwayFields));
    printRecord("tsWalkUpParms", &walkUp, kWalkUpFields, COUNT(kWalkUpFields));
    printRecord("tsIdleParms", &idle, kIdleFields, COUNT(kIdleFields));
    return 1;
}

#ifdef __linux__
/* A sensor whose node this user may not open is never found. */
static void nameClosedHidrawNodes(void)
{
    const char* scenario = getenv("DRAVIK_SIM");
    glob_t nodes;
    size_t i, closed = 0;

    if (scenario != NULL && *scenario != '\0') return; /* the simulator stands in for hidraw */
    if (glob(DRAVIK_INFO_DEVICE_FOLDER "/hidraw*", 0, NULL, &nodes) != 0) return;
    for (i = 0; i < nodes.gl_pathc; ++i) {
        const int fd = open(nodes.gl_pathv[i], O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            continue;
        }
        if (closed++ == 0) printf("hidraw nodes this user may not open:\n");
        printf("  %s: %s\n", nodes.gl_pathv[i], strerror(errno));
    }
    globfree(&nodes);
    if (closed != 0)
        printf("A sensor among them needs the udev rule: see \"Sensors on Linux: hidraw, udev rule, hot-plug "
               "paths\" in the README.\n");
}
#endif

int main(void)
{
    int16_t major = 0, minor = 0, build = 0;
    int16_t count, i;
    int allRead = 1;

    GetLibVersion(&major, &minor, &build);
    printf("Dravik %d.%d.%d\n", major, minor, build);

    USBConnect(NULL);
    count = GetDevCnt();
    if (count == 0) {
        printf("USBConnect: no sensor connected (error 0x%x)\n", (unsigned)GetLastLibErr());
#ifdef __linux__
        nameClosedHidrawNodes();
#endif
        USBDisconnect();
        return 1;
    }
    printf("USBConnect: %d sensor(s)\n", count);
    for (i = 0; i < count; ++i) allRead = reportSensor(i) && allRead;

    USBDisconnect();
    printf("USBDisconnect: done\n");
    return allRead ? 0 : 2;
}
