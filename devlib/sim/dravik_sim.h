/* dravik_sim: a simulated presence sensor (and other HID keyboards) for
 * running the Dravik library without hardware.
 *
 * libdravik_sim.so holds one simulator per process. Its HID side (the three
 * dravikSimHid* functions, with the signatures of the HID library's entry
 * points) and its device backend (opening and closing a device path, and the
 * clock behind the library's pauses) stand in for the platform; the control
 * API below creates devices, sets their contents, injects faults and reads
 * the trace. Call it from one thread, as the library itself.
 *
 * Firmware of a simulated sensor
 * ------------------------------
 * Every feature report is 9 bytes: report ID 0 and eight payload bytes. A
 * report of another length or report ID is refused.
 *
 * A feature write whose byte 1 has bit 7 set is a command report; any other
 * feature write is a data report for the block named by the last accepted
 * command report. The library's data reports always have bit 7 of byte 1
 * clear.
 *
 * Command reports:
 *   0x80-0x85  names a configuration block (sensing, walk-away 1 and 2,
 *              walk-up 1 and 2, idle) for the next feature read or data report
 *   0x8A       names the identity block
 *   0x8F       names the range reply
 *   0x90       commit: for each bit k set in byte 2 (k = 0 to 5) the staged
 *              block 0x80 + k becomes the current one
 *   0xA0       factory reset: the current and staged blocks become the
 *              factory blocks
 *   0xB0, 0xB1 clear, set the halt flag (keystrokes resumed, stopped)
 *   0xD0       reset to user defaults: the current and staged blocks become
 *              the stored user set
 *   0xE0       save user defaults: the stored user set becomes the current
 *              blocks
 *   any other  accepted; it names nothing
 * No command changes the identity block or the halt flag unless listed.
 *
 * Data reports: for a configuration block, bytes 1 to 8 become its staged
 * block (current only after a commit naming it); for the identity block,
 * bytes 2 and 3 (low byte first) become the LUID at once; otherwise ignored.
 *
 * Feature read: answers report ID 0 and the block named by the last command
 * report: the current configuration block; the identity block (LUID low and
 * high, DID low and high, then the four nibbles, each in the low half of its
 * byte); the range reply; eight zero bytes when the command names nothing.
 *
 * A device that is not a sensor (an ordinary keyboard) refuses every feature
 * read and write.
 *
 * A new sensor starts with the same plausible defaults in all four sets of
 * blocks, LUID 0, its version number as DID, the DID's four digits (high
 * first) as nibbles, a range reply "in range at 36 inches" and the halt flag
 * clear.
 *
 * Trace line format (dravikSimFormatTraceEntry)
 * ---------------------------------------------
 *   T+<ms> <device> <event>[ <detail>][ refused]
 * <ms> is the simulator's clock in decimal, <device> is dev<id> or "-" when
 * no device is concerned. Events and their details:
 *   command <9 bytes>    a command report (as sent)
 *   data <9 bytes>       a data report (as sent)
 *   read <9 bytes>       a feature read (the reply; no bytes when refused)
 *   pause <ms>           a pause of the library (device "-")
 *   open <path>          a device open (device "-" when no device has the path)
 *   close                a handle closed
 *   attributes <vid> <pid> <version>   the HID attributes answered (4 hex
 *                        digits each; none when refused)
 *   list                 the device list asked for (device "-")
 *   interface            the device's interface listed
 *   size                 the size query of the interface's details
 *   detail               the interface's details asked for
 * Bytes are two upper-case hex digits separated by single blanks. Example:
 *   T+0 dev0 command 00 80 00 00 00 00 00 00 00
 *   T+0 - pause 250
 *   T+250 dev0 data 00 02 96 10 31 7D 05 02 00
 *
 * Clock: virtual by default: a pause is recorded and advances the clock by
 * its length without sleeping. With real time on, a pause sleeps and the
 * clock reads the milliseconds elapsed since the trace was last cleared.
 */
#ifndef DRAVIK_SIM_H
#define DRAVIK_SIM_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32) && defined(DRAVIK_SIM_BUILD)
#define DRAVIK_SIM_API __declspec(dllexport)
#elif defined(_WIN32)
#define DRAVIK_SIM_API __declspec(dllimport)
#elif defined(__GNUC__)
#define DRAVIK_SIM_API __attribute__((visibility("default")))
#else
#define DRAVIK_SIM_API
#endif

/* The HID side keeps the calling convention of the entry points it stands
 * for: stdcall on 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define DRAVIK_SIM_HID_CALL __stdcall
#else
#define DRAVIK_SIM_HID_CALL
#endif
/* The HID library's ULONG report length. */
#ifdef _WIN32
typedef unsigned long DravikSimReportLength;
#else
typedef uint32_t DravikSimReportLength;
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Declared by the library's platform layer (platform/platform.h and
 * platform/backend.h). */
struct HIDD_ATTRIBUTES;
struct DeviceBackend;

/* ---- The simulator as a whole ---- */

/* Removes every device, fault, missing name and trace entry, restarts the
 * clock at 0 and returns to the virtual clock. Handles opened before are no
 * longer valid. */
DRAVIK_SIM_API void dravikSimReset(void);

/* Non-zero: pauses sleep for real. */
DRAVIK_SIM_API void dravikSimSetRealTime(int realTime);

/* ---- Devices ---- */

typedef struct DravikSimDeviceSpec {
    const char* path; /* device path; opened ignoring case */
    uint16_t vendorId;
    uint16_t productId;
    uint16_t versionNumber; /* HID attributes' VersionNumber */
    int isSensor;           /* 0: an ordinary keyboard */
} DravikSimDeviceSpec;

/* Returns the new device's id (0, 1, ... in order of creation), or -1 for a
 * null spec or path or when the simulator runs out of memory. */
DRAVIK_SIM_API int dravikSimAddDevice(const DravikSimDeviceSpec* spec);
DRAVIK_SIM_API int dravikSimDeviceCount(void);

/* The four sets of configuration blocks a sensor keeps. */
enum {
    DRAVIK_SIM_CURRENT = 0, /* what the sensor works with and reports */
    DRAVIK_SIM_STAGED = 1,  /* written, not yet committed */
    DRAVIK_SIM_FACTORY = 2, /* restored by 0xA0 */
    DRAVIK_SIM_USER = 3     /* stored by 0xE0, restored by 0xD0 */
};

/* One configuration block (command 0x80 to 0x85) of one set. They return 1,
 * or 0 for an unknown device, set or command. */
DRAVIK_SIM_API int dravikSimSetBlock(int device, int set, uint8_t command, const uint8_t data[8]);
DRAVIK_SIM_API int dravikSimGetBlock(int device, int set, uint8_t command, uint8_t data[8]);

/* The identity block; nibbles may be null (set: kept; get: not written). */
DRAVIK_SIM_API int dravikSimSetIdentity(int device, uint16_t luid, uint16_t did, const uint8_t nibbles[4]);
DRAVIK_SIM_API int dravikSimGetIdentity(int device, uint16_t* luid, uint16_t* did, uint8_t nibbles[4]);

/* The eight payload bytes answered to the range command 0x8F. */
DRAVIK_SIM_API int dravikSimSetRange(int device, const uint8_t reply[8]);

/* 1 while keystrokes are halted, 0 when not, -1 for an unknown device. */
DRAVIK_SIM_API int dravikSimHalted(int device);

/* ---- Faults ---- */

/* Kinds of events, as bits: what a fault can refuse and what the trace
 * records. */
enum {
    DRAVIK_SIM_OPEN = 1u << 0,           /* a device open: returns INVALID_HANDLE_VALUE */
    DRAVIK_SIM_ATTRIBUTES = 1u << 1,     /* a HID attributes query: fails, nothing filled */
    DRAVIK_SIM_CLOSE = 1u << 2,          /* trace only */
    DRAVIK_SIM_COMMAND_REPORT = 1u << 4, /* a feature write that is a command report */
    DRAVIK_SIM_DATA_REPORT = 1u << 5,    /* a feature write that is a data report */
    DRAVIK_SIM_FEATURE_READ = 1u << 6,   /* a feature read */
    DRAVIK_SIM_PAUSE = 1u << 7,          /* trace only */
    DRAVIK_SIM_REPORTS = DRAVIK_SIM_COMMAND_REPORT | DRAVIK_SIM_DATA_REPORT | DRAVIK_SIM_FEATURE_READ,
    /* The steps of an enumeration (see Enumeration below). */
    DRAVIK_SIM_LIST = 1u << 8,         /* the device list: not given */
    DRAVIK_SIM_INTERFACE = 1u << 9,    /* an interface: answered as the end of the list */
    DRAVIK_SIM_SIZE_QUERY = 1u << 10,  /* the details' size: fails with another error than
                                          ERROR_INSUFFICIENT_BUFFER */
    DRAVIK_SIM_DETAIL_QUERY = 1u << 11 /* the details: fail */
};

#define DRAVIK_SIM_ANY_DEVICE (-1)
#define DRAVIK_SIM_ANY_COMMAND (-1)

/* A fault refuses the events that match all of its conditions. The command
 * of a command report is its byte 1; a data report or a feature read belongs
 * to the command of the last accepted command report (none before the
 * first). A refused report changes nothing in the sensor. */
typedef struct DravikSimFault {
    unsigned kinds;    /* DRAVIK_SIM_* event bits; 0 matches nothing */
    int device;        /* a device id or DRAVIK_SIM_ANY_DEVICE */
    int command;       /* a command byte or DRAVIK_SIM_ANY_COMMAND */
    unsigned position; /* 0: every matching event; n: only the n-th matching
                          event after the fault was added */
} DravikSimFault;

/* Returns 1, or 0 for a null fault or when the simulator runs out of memory. */
DRAVIK_SIM_API int dravikSimAddFault(const DravikSimFault* fault);
DRAVIK_SIM_API void dravikSimClearFaults(void);

/* ---- Trace ---- */

typedef struct DravikSimTraceEntry {
    unsigned kind;     /* one DRAVIK_SIM_* event bit */
    int device;        /* device id, -1 when none */
    uint64_t timeMs;   /* the simulator's clock when it happened */
    int refused;       /* 1 when a fault or the device refused it */
    uint32_t pauseMs;  /* pause: its length */
    uint8_t bytes[9];  /* command, data: the report; read: the reply */
    uint16_t vendorId; /* attributes: as answered */
    uint16_t productId;
    uint16_t versionNumber;
    char path[128]; /* open: the path asked for, cut to 127 characters */
} DravikSimTraceEntry;

DRAVIK_SIM_API size_t dravikSimTraceCount(void);
/* Copies entry index (0 = oldest); returns 0 when there is no such entry. */
DRAVIK_SIM_API int dravikSimTraceEntry(size_t index, DravikSimTraceEntry* entry);
/* Empties the trace and restarts the clock at 0. */
DRAVIK_SIM_API void dravikSimClearTrace(void);
/* Called with every entry as it is recorded; null stops the calls. */
typedef void (*DravikSimTraceListener)(const DravikSimTraceEntry* entry, void* context);
DRAVIK_SIM_API void dravikSimSetTraceListener(DravikSimTraceListener listener, void* context);
/* Writes the entry as one line (format above, no line end) like snprintf:
 * returns the line's length; writes at most size - 1 characters and a 0.
 * Out of memory it writes an empty line and returns 0. */
DRAVIK_SIM_API size_t dravikSimFormatTraceEntry(const DravikSimTraceEntry* entry, char* buffer, size_t size);

/* ---- Enumeration ----
 * The device-setup stand-in lists every device, in order of creation, as an
 * interface of the keyboard class whose details carry the device's path.
 * Each step below is recorded in the trace and can be refused by a fault;
 * the device of the list itself is -1. */

/* Records one step (one of the four kinds above) of the device's interface;
 * returns 1 when a fault refuses it or the trace has no room for it. */
DRAVIK_SIM_API int dravikSimEnumerationStep(unsigned kind, int device);
/* The device's path, or null for an unknown device. */
DRAVIK_SIM_API const char* dravikSimDevicePath(int device);
/* The size that the size query of the device's details reports; 0, the
 * default, reports what the path needs. Returns 0 for an unknown device. */
DRAVIK_SIM_API int dravikSimSetDetailSize(int device, uint32_t size);
DRAVIK_SIM_API uint32_t dravikSimDetailSize(int device);

/* ---- Missing modules and entry points ----
 * A name is "HID.DLL", "SETUPAPI.DLL" or one of their entry points. The
 * stand-in modules of a missing library can't be loaded; a missing entry
 * point can't be resolved. */

/* Returns 1, or 0 for a null name or when the simulator runs out of memory. */
DRAVIK_SIM_API int dravikSimSetMissing(const char* name, int missing);
DRAVIK_SIM_API int dravikSimIsMissing(const char* name);

/* ---- Scenario files ----
 * A scenario sets the simulator up from a JSON file (format in the
 * README). It starts from dravikSimReset(). A path that names no regular
 * file (a folder, FIFO, device, socket) is refused without being opened.
 * Returns 1, or 0 with a message naming the file and the fault, or that
 * memory ran out, in message (like snprintf; may be null), the simulator then
 * reset. */
DRAVIK_SIM_API int dravikSimLoadScenario(const char* path, char* message, size_t size);

/* What the stand-in modules call when they are loaded: once per process, loads
 * the scenario that the environment variable DRAVIK_SIM names and, when
 * DRAVIK_SIM_LOG names a file, writes every trace entry to it as one line
 * as it happens. Later calls return the first call's result. Returns 1 when
 * DRAVIK_SIM is unset; 0, after a message on stderr, when the scenario or
 * the log can't be used. */
DRAVIK_SIM_API int dravikSimStartFromEnvironment(void);

/* ---- The platform side ---- */

/* With the signatures of HidD_GetAttributes, HidD_GetFeature and
 * HidD_SetFeature; a handle the simulator did not open is refused. An event
 * that the trace has no room for fails and changes nothing. */
DRAVIK_SIM_API uint8_t DRAVIK_SIM_HID_CALL dravikSimHidGetAttributes(void* handle, struct HIDD_ATTRIBUTES* attributes);
DRAVIK_SIM_API uint8_t DRAVIK_SIM_HID_CALL dravikSimHidGetFeature(void* handle, void* report,
                                                                  DravikSimReportLength length);
DRAVIK_SIM_API uint8_t DRAVIK_SIM_HID_CALL dravikSimHidSetFeature(void* handle, void* report,
                                                                  DravikSimReportLength length);

/* Opens a device by path, closes a handle, pauses on the simulator's clock.
 * An open or close that the trace has no room for fails; such a pause passes
 * unrecorded. */
DRAVIK_SIM_API const struct DeviceBackend* dravikSimDeviceBackend(void);

#ifdef _WIN32
/* On Windows the library calls the real kernel, so the simulator takes over
 * the kernel imports of the module that holds the library (Dravik.dll, or a
 * program built with the library's code in it). A device open (CreateFileA
 * asking for no access, with OPEN_EXISTING), CloseHandle of a handle such an
 * open gave, and Sleep go to the device backend; GetProcAddress finds no
 * entry point that dravikSimIsMissing names; every other call goes on to the
 * kernel. The HID.DLL stand-in routes the library this way while it is
 * loaded. Calls nest: the module gets its own imports back once routing
 * was turned off as often as on. Returns 1, or 0 when the imports can't be
 * changed. */
DRAVIK_SIM_API int dravikSimRouteKernel(void* module, int routed);

/* The arguments of the last routed device open, the security descriptor as
 * the platform's security services read it. */
typedef struct DravikSimOpenCall {
    uint32_t access;
    uint32_t shareMode;
    uint32_t creation;
    uint32_t flags;
    int hasTemplate;
    int hasSecurity;         /* security attributes given */
    uint32_t securityLength; /* their nLength */
    int inheritHandle;
    int descriptorValid; /* the descriptor is an initialised one */
    int daclPresent;
    int daclNull;
    int daclDefaulted;
} DravikSimOpenCall;

/* Returns 0 when no device open was routed yet. */
DRAVIK_SIM_API int dravikSimLastOpenCall(DravikSimOpenCall* call);
#endif

#ifdef __cplusplus
}
#endif

#endif
