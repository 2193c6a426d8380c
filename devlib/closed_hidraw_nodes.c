#define _POSIX_C_SOURCE 200809L

#include "closed_hidraw_nodes.h"

#include <errno.h>
#include <fcntl.h>
#include <glob.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

size_t visitClosedHidrawNodes(const char* folder, ClosedNodeVisit visit, void* context)
{
    static const char kNodes[] = "/hidraw*";
    const char* scenario = getenv("DRAVIK_SIM");
    char* pattern;
    glob_t nodes;
    size_t i, closed = 0;

    if (scenario != NULL && *scenario != '\0')
        return 0;
    pattern = malloc(strlen(folder) + sizeof kNodes);
    if (pattern == NULL)
        return 0;
    strcpy(pattern, folder);
    strcat(pattern, kNodes);
    if (glob(pattern, 0, NULL, &nodes) == 0) {
        for (i = 0; i < nodes.gl_pathc; ++i) {
            const int fd = open(nodes.gl_pathv[i], O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                close(fd);
                continue;
            }
            ++closed;
            visit(nodes.gl_pathv[i], errno, context);
        }
        globfree(&nodes);
    }
    free(pattern);
    return closed;
}
