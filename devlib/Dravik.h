/* Dravik: access library for the USB ultrasonic presence sensor.
 *
 * Every operation acts on the active sensor (see SetActDev) and returns 1 for
 * success and 0 for failure; the reason for a 0 is read with GetLastLibErr.
 * The library keeps global state and no locks: call it from one thread.
 */
#ifndef DRAVIK_H
#define DRAVIK_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define DRAVIK_CALL __stdcall
#else
#define DRAVIK_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The sensors the library accepts: either vendor ID with the product ID. */
#define DRAVIK_VENDOR_ID_1 0x3aceu
#define DRAVIK_VENDOR_ID_2 0x3acfu
#define DRAVIK_PRODUCT_ID 0x0501u

/* Sensing record. Distances in inches, ping rate in ms, delays in seconds. */
typedef struct tsTyvelParms {
    int16_t LEDFlagsS; /* 1 green off, 2 red off, 4 yellow off */
    int16_t PingRateS; /* 200..1020 */
    int16_t Reserved1S;
    int16_t MinDistS; /* 1..59 */
    int16_t MaxDistS; /* 15..60 */
    int16_t ORDBTmS;
    int16_t IRDBTmS;
    int16_t StartDlyS;
} tsTyvelParms;

/* Walk-away keystroke record: up to six keys with their modifier bytes. */
typedef struct tsWalkAwayParms {
    int16_t KeyCountWA;      /* at most 6 */
    int16_t InterKeyDelayWA; /* 64..16320 ms */
    int16_t Key1ModsWA;
    int16_t Key2ModsWA;
    int16_t Key3ModsWA;
    int16_t Key4ModsWA;
    int16_t Key5ModsWA;
    int16_t Key6ModsWA;
    int16_t Flags0WA; /* sensor flags, low 4 bits sent */
    int16_t MinFltRepRate;
    int16_t Key1CodeWA;
    int16_t Key2CodeWA;
    int16_t Key3CodeWA;
    int16_t Key4CodeWA;
    int16_t Key5CodeWA;
    int16_t Key6CodeWA;
} tsWalkAwayParms;

/* Walk-up keystroke record; Reserved2WU is never sent as stored. */
typedef struct tsWalkUpParms {
    int16_t KeyCountWU;
    int16_t InterKeyDelayWU;
    int16_t Key1ModsWU;
    int16_t Key2ModsWU;
    int16_t Key3ModsWU;
    int16_t Key4ModsWU;
    int16_t Key5ModsWU;
    int16_t Key6ModsWU;
    int16_t Flags0WU;
    int16_t Reserved2WU;
    int16_t Key1CodeWU;
    int16_t Key2CodeWU;
    int16_t Key3CodeWU;
    int16_t Key4CodeWU;
    int16_t Key5CodeWU;
    int16_t Key6CodeWU;
} tsWalkUpParms;

/* Idle record. DMTODeltaI is in sensor distance units, not inches. */
typedef struct tsIdleParms {
    int16_t Reserved1I;
    int16_t PressRateI; /* seconds, 0 = off */
    int16_t Key1ModsI;
    int16_t Key1CodeI;
    int16_t FlagsI;
    int16_t DMTODeltaI;
    int16_t DMTOTmI;
    int16_t TYBlankTmI;
} tsIdleParms;

/* One range reading. */
typedef struct tsObjRangeInfo {
    int16_t CurrRange;    /* inches */
    int16_t InRange;      /* 0 or 1 */
    int16_t InRangePend;  /* 0 or 1 */
    int16_t OutRangePend; /* 0 or 1 */
} tsObjRangeInfo;

/* A GUID in the platform's memory layout. */
typedef struct DravikGuid {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
} DravikGuid;

#ifdef __cplusplus
#define DRAVIK_STATIC_ASSERT static_assert
#else
#define DRAVIK_STATIC_ASSERT _Static_assert
#endif
DRAVIK_STATIC_ASSERT(sizeof(tsTyvelParms) == 16, "tsTyvelParms is 16 bytes");
DRAVIK_STATIC_ASSERT(sizeof(tsWalkAwayParms) == 32, "tsWalkAwayParms is 32 bytes");
DRAVIK_STATIC_ASSERT(sizeof(tsWalkUpParms) == 32, "tsWalkUpParms is 32 bytes");
DRAVIK_STATIC_ASSERT(sizeof(tsIdleParms) == 16, "tsIdleParms is 16 bytes");
DRAVIK_STATIC_ASSERT(sizeof(tsObjRangeInfo) == 8, "tsObjRangeInfo is 8 bytes");
DRAVIK_STATIC_ASSERT(sizeof(DravikGuid) == 16, "DravikGuid is 16 bytes");

/* Connection and hot-plug. USBConnect stores sensor 0's device identifier
 * through deviceInfo when it is not null. ChkAddArrival and ChkDelRemoval
 * take the device path of an arriving or departing HID interface (on Linux
 * built from the hidraw event's DEVPATH, see the README). */
int32_t DRAVIK_CALL USBConnect(uint32_t* deviceInfo);
int32_t DRAVIK_CALL USBDisconnect(void);
int32_t DRAVIK_CALL ChkAddArrival(const char* devicePath);
int32_t DRAVIK_CALL ChkDelRemoval(const char* devicePath);

/* Selection and identity. Only the low 16 bits of index and luid count. */
int16_t DRAVIK_CALL GetDevCnt(void);
int16_t DRAVIK_CALL GetActDev(void);
int32_t DRAVIK_CALL SetActDev(int32_t index);
uint16_t DRAVIK_CALL GetLUID(void);
int32_t DRAVIK_CALL SetLUID(uint32_t luid);
uint16_t DRAVIK_CALL GetDID(void);
int32_t DRAVIK_CALL GetHIDGuid(DravikGuid* guid); /* 0 and nothing written for null */

/* Configuration transfer. */
int32_t DRAVIK_CALL ReadCfg(void);
int32_t DRAVIK_CALL WriteCfg(void);
int32_t DRAVIK_CALL ResetFactoryDflts(void);
int32_t DRAVIK_CALL ResetUserDflts(void);
int32_t DRAVIK_CALL SaveUserDflts(void);

/* Cached records: Get needs a completed ReadCfg, Set checks and marks changed. */
int32_t DRAVIK_CALL GetTyvelParms(tsTyvelParms* parms);
int32_t DRAVIK_CALL SetTyvelParms(const tsTyvelParms* parms);
int32_t DRAVIK_CALL GetWalkAwayParms(tsWalkAwayParms* parms);
int32_t DRAVIK_CALL SetWalkAwayParms(const tsWalkAwayParms* parms);
int32_t DRAVIK_CALL GetWalkUpParms(tsWalkUpParms* parms);
int32_t DRAVIK_CALL SetWalkUpParms(const tsWalkUpParms* parms);
int32_t DRAVIK_CALL GetIdleParms(tsIdleParms* parms);
int32_t DRAVIK_CALL SetIdleParms(const tsIdleParms* parms);

/* Sensing. A non-zero flag stops the sensor's keystrokes, 0 resumes them. */
int32_t DRAVIK_CALL GetObjRangeInfo(tsObjRangeInfo* range);
int32_t DRAVIK_CALL HaltKBSends(int32_t halt);

/* Template files: the active sensor's four cached records as text.
 * WriteDevCfgToFile returns 1 once the whole file is written and closed; on 0
 * a file that stood at the path is kept as it was. A path naming anything but
 * a regular file the caller may write (a FIFO, a device, a folder, a
 * read-only file) gives 0 at once and is left as it is. The new file keeps
 * the old one's owner, group, mode, ACL and extended attributes, or the old
 * file is written in place, once the room for the new bytes is taken. The
 * caller's signal handling is left alone: a signal that ends the process
 * during the call may leave the new file beside the old one (the file's name,
 * a point and six letters), or, written in place, part of the new bytes.
 * ReadDevCfgFmFile loads a file through SetWalkAwayParms, SetWalkUpParms,
 * SetTyvelParms and SetIdleParms, which store every record they accept.
 * It returns 0 in two cases: the path names no regular file of at most 1 MiB
 * (1048576 bytes) that could be opened and read whole (no Set is called,
 * GetLastLibErr is untouched; reading stops as soon as it passes 1 MiB,
 * whatever size the file claims), or a Set refused its record (GetLastLibErr
 * gives the first refusal's word). */
int32_t DRAVIK_CALL WriteDevCfgToFile(const char* path);
int32_t DRAVIK_CALL ReadDevCfgFmFile(const char* path);

/* Housekeeping. GetLibVersion writes the library's version (major, minor,
 * build: the numbers its file carries) through the pointers that are set. */
int32_t DRAVIK_CALL GetLibVersion(int16_t* major, int16_t* minor, int16_t* build);
uint32_t DRAVIK_CALL GetLastLibErr(void);

#ifdef __cplusplus
}
#endif

#endif
