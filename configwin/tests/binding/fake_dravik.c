/* A stand-in device library that exports only two functions. */
#include "Dravik.h"

int32_t DRAVIK_CALL GetLibVersion(int16_t* major, int16_t* minor, int16_t* build)
{
    *major = 41;
    *minor = 42;
    *build = 43;
    return 1;
}

uint32_t DRAVIK_CALL GetLastLibErr(void)
{
    return 0x20102u;
}
