/* Reports what the library finds and changes nothing on any sensor: the
 * library's version, the sensors, and for each its LUID, DID and four
 * records as the connection read them. With no sensor found on Linux, it
 * names the hidraw nodes this user may not open.
 * Exit status: 0 done, 1 no sensor found, 2 a sensor's configuration
 * couldn't be read. */
#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "Dravik.h"

#ifdef __linux__
#include "closed_hidraw_nodes.h"

/* Where the hidraw nodes are; tests name a folder of their own. */
#ifndef DRAVIK_INFO_DEVICE_FOLDER
#define DRAVIK_INFO_DEVICE_FOLDER "/dev"
#endif
#endif

typedef struct Field {
    const char* name;
    size_t offset;
} Field;

/* clang-format off */
#define FIELD(record, name) {#name, offsetof(record, name)}
/* clang-format on */
#define COUNT(table) (sizeof(table) / sizeof((table)[0]))

static const Field kTyvelFields[] = {
    FIELD(tsTyvelParms, LEDFlagsS), FIELD(tsTyvelParms, PingRateS), FIELD(tsTyvelParms, Reserved1S),
    FIELD(tsTyvelParms, MinDistS),  FIELD(tsTyvelParms, MaxDistS),  FIELD(tsTyvelParms, ORDBTmS),
    FIELD(tsTyvelParms, IRDBTmS),   FIELD(tsTyvelParms, StartDlyS),
};

/* The two keystroke records differ in their suffix and their tenth field. */
#define KEYSTROKE_FIELDS(record, s, tenth)                                                                             \
    FIELD(record, KeyCount##s), FIELD(record, InterKeyDelay##s), FIELD(record, Key1Mods##s),                           \
        FIELD(record, Key2Mods##s), FIELD(record, Key3Mods##s), FIELD(record, Key4Mods##s),                            \
        FIELD(record, Key5Mods##s), FIELD(record, Key6Mods##s), FIELD(record, Flags0##s), FIELD(record, tenth),        \
        FIELD(record, Key1Code##s), FIELD(record, Key2Code##s), FIELD(record, Key3Code##s),                            \
        FIELD(record, Key4Code##s), FIELD(record, Key5Code##s), FIELD(record, Key6Code##s)

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
    uint32_t readError;

    SetActDev(index);
    readError = GetLastLibErr(); /* the connection's read; a Get replaces it */
    printf("Sensor %d: LUID 0x%04x, DID 0x%04x\n", index, (unsigned)GetLUID(), (unsigned)GetDID());
    if (!GetTyvelParms(&sensing) || !GetWalkAwayParms(&walkAway) || !GetWalkUpParms(&walkUp) || !GetIdleParms(&idle)) {
        if (readError != 0)
            printf("  configuration not read (error 0x%x)\n", (unsigned)readError);
        else
            printf("  configuration not read\n");
        return 0;
    }
    printRecord("tsTyvelParms", &sensing, kTyvelFields, COUNT(kTyvelFields));
    printRecord("tsWalkAwayParms", &walkAway, kWalkAwayFields, COUNT(kWalkAwayFields));
    printRecord("tsWalkUpParms", &walkUp, kWalkUpFields, COUNT(kWalkUpFields));
    printRecord("tsIdleParms", &idle, kIdleFields, COUNT(kIdleFields));
    return 1;
}

#ifdef __linux__
static void printClosedNode(const char* node, int error, void* context)
{
    size_t* printed = context;
    if ((*printed)++ == 0)
        printf("hidraw nodes this user may not open:\n");
    printf("  %s: %s\n", node, strerror(error));
}

static void nameClosedHidrawNodes(void)
{
    size_t printed = 0;
    if (visitClosedHidrawNodes(DRAVIK_INFO_DEVICE_FOLDER, printClosedNode, &printed) != 0)
        printf("A sensor among them needs the udev rule: " DRAVIK_UDEV_RULE_HINT ".\n");
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
        printf("USBConnect: no sensor found\n");
#ifdef __linux__
        nameClosedHidrawNodes();
#endif
        USBDisconnect();
        return 1;
    }
    printf("USBConnect: %d sensor(s)\n", count);
    for (i = 0; i < count; ++i)
        allRead = reportSensor(i) && allRead;

    USBDisconnect();
    printf("USBDisconnect: done\n");
    return allRead ? 0 : 2;
}
