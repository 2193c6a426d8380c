/* A program of one's own, linked against the library, started with
 * DRAVIK_SIM naming a scenario the simulator can't use. Each case runs in a
 * child process of its own, which must find no sensor at once and end
 * normally, leaving one line on stderr: the simulator's, naming the file and
 * why. Argument: an empty folder for the cases' files. Prints each case's
 * line; exit status 0 when every case behaved so, 1 otherwise. */
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Dravik.h"

/* Far more than any case needs, far less than the test's own timeout. */
#define ANSWER_TIMEOUT_MS 20000

/* The bytes of a scenario file, then a hole up to holeEnd when it is larger. */
typedef struct Contents {
    const char* text;
    off_t holeEnd;
} Contents;

typedef struct Case {
    const char* name;
    const char* file; /* in the folder, or an absolute path */
    int (*make)(const char* path, const Contents* contents);
    Contents contents;
    const char* why; /* the end of the simulator's line */
    size_t memoryMb; /* the address space the child may add, 0: no limit */
} Case;

static int makeFolder(const char* path, const Contents* contents)
{
    (void)contents;
    return mkdir(path, 0755);
}

static int makeFifo(const char* path, const Contents* contents)
{
    (void)contents;
    return mkfifo(path, 0644);
}

/* Bound to a socket in the folder, named relative to it: a socket's path
 * has a short limit. */
static int makeSocket(const char* path, const Contents* contents)
{
    (void)contents;
    const char* name = strrchr(path, '/') + 1;
    struct sockaddr_un address = {.sun_family = AF_UNIX};
    snprintf(address.sun_path, sizeof address.sun_path, "%s", name);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    return fd < 0 ? -1 : bind(fd, (const struct sockaddr*)&address, sizeof address);
}

/* A hole reads as zero bytes and takes no room on the disk. */
static int makeFile(const char* path, const Contents* contents)
{
    const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return -1;
    const size_t length = strlen(contents->text);
    const int made = write(fd, contents->text, length) == (ssize_t)length &&
                     (contents->holeEnd <= (off_t)length || ftruncate(fd, contents->holeEnd) == 0);
    return close(fd) == 0 && made ? 0 : -1;
}

#ifndef __SANITIZE_ADDRESS__
/* A list of 8 million numbers in 16 MB, which the simulator would hold as
 * 128 MB. */
static int makeLongList(const char* path, const Contents* contents)
{
    (void)contents;
    FILE* file = fopen(path, "wbx");
    if (file == NULL)
        return -1;
    static const char kTwentyZeros[] = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,";
    int made = fputs("{\"missing\": [", file) >= 0;
    for (int i = 0; i < 8 * 1000 * 1000 / 20 && made; ++i)
        made = fputs(kTwentyZeros, file) >= 0;
    made = made && fputs("0]}", file) >= 0;
    return fclose(file) == 0 && made ? 0 : -1;
}
#endif

/* What a case made, or left from an earlier run. */
static void removeFile(const char* path)
{
    if (unlink(path) != 0)
        rmdir(path);
}

static const Case kCases[] = {
    {"folder", "folder", makeFolder, {0}, "a folder, not a regular file", 0},
    {"FIFO", "fifo", makeFifo, {0}, "a FIFO, not a regular file", 0},
    {"device", "/dev/zero", NULL, {0}, "a device, not a regular file", 0},
    {"socket", "socket", makeSocket, {0}, "a socket, not a regular file", 0},
    {"missing", "missing.json", NULL, {0}, "No such file or directory", 0},
    {"malformed",
     "malformed.json",
     makeFile,
     {"{\"devices\": [{\"path\": ", 0},
     "[json.exception.parse_error.101] parse error at line 1, column 23: syntax error while parsing value - "
     "unexpected end of input; expected '[', '{', or a literal",
     0},
    /* 4 GiB, nearly all of it a hole: never read in whole. */
    {"huge",
     "huge.json",
     makeFile,
     {"{\"faults\": [", (off_t)4 << 30},
     "[json.exception.parse_error.101] parse error at line 1, column 13: syntax error while parsing value - "
     "unexpected end of input; expected '[', '{', or a literal",
     0},
#ifndef __SANITIZE_ADDRESS__
    /* Beyond the memory the child is given (the address sanitizer can't run
     * with its address space bounded). */
    {"beyond memory", "long-list.json", makeLongList, {0}, "out of memory", 64},
#endif
};

/* Bounds the address space to what the process has mapped and memoryMb more. */
static void limitMemory(size_t memoryMb)
{
    unsigned long pages = 0;
    FILE* statm = fopen("/proc/self/statm", "r");
    if (statm == NULL || fscanf(statm, "%lu", &pages) != 1)
        exit(4);
    fclose(statm);
    const rlim_t bytes = (rlim_t)pages * (rlim_t)sysconf(_SC_PAGESIZE) + (rlim_t)memoryMb * 1024 * 1024;
    const struct rlimit limit = {bytes, bytes};
    if (setrlimit(RLIMIT_AS, &limit) != 0)
        exit(4);
}

/* In the child: the library as a program meets it, through the public header. */
static void connectOnce(const char* scenario, size_t memoryMb, int errorPipe)
{
    dup2(errorPipe, STDERR_FILENO);
    if (memoryMb != 0)
        limitMemory(memoryMb);
    setenv("DRAVIK_SIM", scenario, 1);
    unsetenv("DRAVIK_SIM_LOG");
    const int connected = USBConnect(NULL);
    exit(connected == 0 && GetDevCnt() == 0 ? 0 : 1);
}

/* What the child writes on stderr until it ends or the time is up; 0 when
 * it ended in time. */
static int readUntilEnd(int fd, char* text, size_t size)
{
    size_t length = 0;
    struct pollfd waiting = {.fd = fd, .events = POLLIN};
    for (;;) {
        if (poll(&waiting, 1, ANSWER_TIMEOUT_MS) <= 0)
            return -1;
        const ssize_t count = read(fd, text + length, size - 1 - length);
        if (count <= 0)
            break;
        length += (size_t)count;
    }
    text[length] = '\0';
    return 0;
}

/* The library finds no sensor and the program ends normally, in time, with
 * the simulator's line alone on stderr. */
static int connectsToNothing(const Case* c, const char* path)
{
    int errorPipe[2];
    if (pipe(errorPipe) != 0) {
        perror("pipe");
        return 0;
    }
    fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        close(errorPipe[0]);
        connectOnce(path, c->memoryMb, errorPipe[1]);
    }
    close(errorPipe[1]);
    char errors[4096];
    const int answered = readUntilEnd(errorPipe[0], errors, sizeof errors) == 0;
    close(errorPipe[0]);
    if (!answered)
        kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);

    char expected[4096];
    snprintf(expected, sizeof expected, "dravik simulator: %s: %s\n", path, c->why);
    if (!answered) {
        printf("%s: no end after %d ms\n", c->name, ANSWER_TIMEOUT_MS);
        return 0;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        printf("%s: the program %s %d, stderr:\n%s", c->name, WIFEXITED(status) ? "exited with" : "died of signal",
               WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status), errors);
        return 0;
    }
    printf("%s: %s", c->name, errors);
    if (strcmp(errors, expected) != 0) {
        printf("  expected: %s", expected);
        return 0;
    }
    return 1;
}

static int runCase(const Case* c, const char* folder)
{
    char path[2048];
    if (c->file[0] == '/') {
        snprintf(path, sizeof path, "%s", c->file);
    } else {
        snprintf(path, sizeof path, "%s/%s", folder, c->file);
        removeFile(path);
    }
    if (c->make != NULL && c->make(path, &c->contents) != 0) {
        perror(path);
        return 0;
    }
    const int behaved = connectsToNothing(c, path);
    if (c->make != NULL)
        removeFile(path);
    return behaved;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    char folder[1024];
    if (chdir(argv[1]) != 0 || getcwd(folder, sizeof folder) == NULL) {
        perror(argv[1]);
        return 1;
    }
    int ok = 1;
    for (size_t i = 0; i < sizeof kCases / sizeof kCases[0]; ++i)
        ok = runCase(&kCases[i], folder) && ok;
    return ok ? 0 : 1;
}
