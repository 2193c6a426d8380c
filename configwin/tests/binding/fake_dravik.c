/* A stand-in device library with its own version and last error. Every other
 * function the utility calls is there to be found, and ends the test when
 * called. Dravik.h is left out: its declarations would clash with those. */
#include <stdint.h>
#include <stdlib.h>

int32_t GetLibVersion(int16_t* major, int16_t* minor, int16_t* build)
{
    *major = 41;
    *minor = 42;
    *build = 43;
    return 1;
}

uint32_t GetLastLibErr(void)
{
    return 0x20102u;
}

static void notForThisTest(void)
{
    abort();
}

#define FOUND(name) void name(void) __attribute__((alias("notForThisTest")));

FOUND(USBConnect)
FOUND(USBDisconnect)
FOUND(ReadCfg)
FOUND(WriteCfg)
FOUND(ResetFactoryDflts)
FOUND(GetTyvelParms)
FOUND(SetTyvelParms)
FOUND(GetWalkAwayParms)
FOUND(SetWalkAwayParms)
FOUND(GetWalkUpParms)
FOUND(SetWalkUpParms)
FOUND(GetIdleParms)
FOUND(SetIdleParms)
FOUND(GetObjRangeInfo)
FOUND(HaltKBSends)
FOUND(GetDevCnt)
FOUND(SetActDev)
FOUND(GetLUID)
FOUND(GetDID)
