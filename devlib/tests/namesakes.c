/* A program with functions of its own named like the library's exports. The
 * library must call its own: any call that lands here ends the program with
 * status 3, naming the function. Argument: a template file to write and read.
 * Exit status: 0 the library worked and never called here, 1 a call failed. */
#include <stdio.h>
#include <unistd.h>

#include "Dravik.h"

static void calledFromLibrary(const char* name)
{
    fprintf(stderr, "the library called the program's own %s\n", name);
    _exit(3);
}

/* The namesakes only need their names: their arguments are never looked at. */
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define NAMESAKE(result, name, ...)                                                                                    \
    result name(__VA_ARGS__)                                                                                           \
    {                                                                                                                  \
        calledFromLibrary(#name);                                                                                      \
        return 0;                                                                                                      \
    }

NAMESAKE(int32_t, SetActDev, int32_t index)
NAMESAKE(int32_t, ReadCfg, void)
NAMESAKE(int32_t, WriteCfg, void)
NAMESAKE(int32_t, USBDisconnect, void)
NAMESAKE(uint32_t, GetLastLibErr, void)
NAMESAKE(int32_t, GetLibVersion, int16_t* major, int16_t* minor, int16_t* build)
NAMESAKE(int32_t, SetTyvelParms, const tsTyvelParms* parms)
NAMESAKE(int32_t, SetWalkAwayParms, const tsWalkAwayParms* parms)
NAMESAKE(int32_t, SetWalkUpParms, const tsWalkUpParms* parms)
NAMESAKE(int32_t, SetIdleParms, const tsIdleParms* parms)

static int expectSuccess(const char* call, int32_t result)
{
    if (result == 1)
        return 1;
    fprintf(stderr, "%s returned %d\n", call, (int)result);
    return 0;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s TEMPLATE-FILE\n", argv[0]);
        return 2;
    }
    /* Each of these calls some of the namesakes inside the library; the
     * library's unload at exit calls USBDisconnect. */
    int ok = expectSuccess("USBConnect", USBConnect(NULL)) && expectSuccess("ResetFactoryDflts", ResetFactoryDflts()) &&
             expectSuccess("WriteDevCfgToFile", WriteDevCfgToFile(argv[1])) &&
             expectSuccess("ReadDevCfgFmFile", ReadDevCfgFmFile(argv[1]));
    return ok ? 0 : 1;
}
