/* Runs a program with stderr on a pipe whose read end is already closed, as
 * a script that stopped reading leaves it; the status is the program's. */
#include <signal.h>
#include <unistd.h>

int main(int argc, char* argv[])
{
    int ends[2];
    if (argc < 2 || pipe(ends) != 0)
        return 125;
    close(ends[0]);
    /* As a shell starts a program: a write to the pipe raises SIGPIPE. */
    signal(SIGPIPE, SIG_DFL);
    dup2(ends[1], STDERR_FILENO);
    close(ends[1]);
    execv(argv[1], argv + 1);
    return 126;
}
