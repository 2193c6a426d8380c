/* Stands for the program in the harness's own tests: one line under the
 * program's title that holds what a CMake list would mangle, after one of
 * another program's; with the argument "twice", that line twice. */
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    const int times = argc > 1 && strcmp(argv[1], "twice") == 0 ? 2 : 1;
    fputs("warning: a line of another program\n", stderr);
    for (int time = 0; time < times; ++time)
        fputs("Tornel-Tyvel: a;b \"c\" [d;e] f\\g\n", stderr);
    return 0;
}
