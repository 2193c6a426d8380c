// The library's code is part of this program, so while a device backend is
// installed the simulator serves this program's device opens, handles and
// pauses.
#include <cstdio>
#include <cstdlib>

#include "dravik_sim.h"
#include "platform/backend.h"

void installDeviceBackend(const DeviceBackend* backend)
{
    static bool routed = false;
    if (backend != nullptr && backend != dravikSimDeviceBackend()) {
        std::fprintf(stderr, "only the simulator's device backend can serve the kernel here\n");
        std::abort();
    }
    if ((backend != nullptr) == routed)
        return;
    if (!dravikSimRouteKernel(GetModuleHandleA(nullptr), backend != nullptr)) {
        std::fprintf(stderr, "the kernel imports of this program can't be routed\n");
        std::abort();
    }
    routed = backend != nullptr;
}
