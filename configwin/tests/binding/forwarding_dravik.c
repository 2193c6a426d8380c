/* A device library that forwards each of the real library's functions to it
 * (DRAVIK_LIBRARY, by its full path), except the one the environment variable
 * FORWARDING_DRAVIK_LACKS names, which it lacks. Each function is an indirect
 * one whose resolver hands over the real library's own address, so the
 * lookup of a lacked one finds nothing; the real library is opened, not
 * linked, so that no lookup through this library's handle reaches it. */
#include <dlfcn.h>
#include <stdlib.h>
#include <string.h>

typedef void (*Function)(void);

static void* real;

__attribute__((constructor)) static void openTheRealLibrary(void)
{
    real = dlopen(DRAVIK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
}

static Function forwarded(const char* name)
{
    const char* lacked = getenv("FORWARDING_DRAVIK_LACKS");
    if (!real || (lacked && strcmp(lacked, name) == 0))
        return NULL;
    void* address = dlsym(real, name);
    Function function;
    memcpy(&function, &address, sizeof function);
    return function;
}

#define FORWARD(name)                                                                                                  \
    static Function resolve##name(void)                                                                                \
    {                                                                                                                  \
        return forwarded(#name);                                                                                       \
    }                                                                                                                  \
    void name(void) __attribute__((ifunc("resolve" #name)));

FORWARD(ChkAddArrival)
FORWARD(ChkDelRemoval)
FORWARD(GetActDev)
FORWARD(GetDID)
FORWARD(GetDevCnt)
FORWARD(GetHIDGuid)
FORWARD(GetIdleParms)
FORWARD(GetLUID)
FORWARD(GetLastLibErr)
FORWARD(GetLibVersion)
FORWARD(GetObjRangeInfo)
FORWARD(GetTyvelParms)
FORWARD(GetWalkAwayParms)
FORWARD(GetWalkUpParms)
FORWARD(HaltKBSends)
FORWARD(ReadCfg)
FORWARD(ReadDevCfgFmFile)
FORWARD(ResetFactoryDflts)
FORWARD(ResetUserDflts)
FORWARD(SaveUserDflts)
FORWARD(SetActDev)
FORWARD(SetIdleParms)
FORWARD(SetLUID)
FORWARD(SetTyvelParms)
FORWARD(SetWalkAwayParms)
FORWARD(SetWalkUpParms)
FORWARD(USBConnect)
FORWARD(USBDisconnect)
FORWARD(WriteCfg)
FORWARD(WriteDevCfgToFile)
