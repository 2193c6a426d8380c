#include "unattended.h"

#include <cstdlib>

// Until settings files can be loaded, a run with one ends after start-up.
int runUnattended(Form1&, const QString&)
{
    return EXIT_SUCCESS;
}
