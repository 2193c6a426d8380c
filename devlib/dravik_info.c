/* Loads the library and prints its version. */
#include <stdio.h>

#include "Dravik.h"

int main(void)
{
    int16_t major = 0, minor = 0, build = 0;
    GetLibVersion(&major, &minor, &build);
    printf("Dravik %d.%d.%d\n", major, minor, build);
    return 0;
}
