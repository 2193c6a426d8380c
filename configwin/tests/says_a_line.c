/* Stands for the program in the harness's own tests: one line under the
 * program's title that holds what a CMake list would mangle, after one of
 * another program's. */
#include <stdio.h>

int main(void)
{
    fputs("warning: a line of another program\n", stderr);
    fputs("Tornel-Tyvel: a;b \"c\" [d;e] f\\g\n", stderr);
    return 0;
}
