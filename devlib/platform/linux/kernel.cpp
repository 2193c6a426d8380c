// Linux stand-ins for the kernel services the library calls.
#include <ctime>

#include "../backend.h"

namespace {
const DeviceBackend* currentBackend = nullptr;
}

void installDeviceBackend(const DeviceBackend* backend) { currentBackend = backend; }

void Sleep(DWORD milliseconds)
{
    if (currentBackend != nullptr && currentBackend->sleep != nullptr) {
        currentBackend->sleep(milliseconds);
        return;
    }
    timespec pause{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    if (path == nullptr || currentBackend == nullptr || currentBackend->open == nullptr)
        return INVALID_HANDLE_VALUE;
    return currentBackend->open(path);
}

BOOL CloseHandle(HANDLE handle)
{
    if (currentBackend == nullptr || currentBackend->close == nullptr) return FALSE;
    return currentBackend->close(handle);
}
