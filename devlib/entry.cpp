// The loader's entry point. The ELF loader has no DllMain, so a constructor
// and a destructor call it with the reasons the platform's loader would give.
#include "entry.h"
#include "lib_state.h"

BOOL WINAPI DllMain(HMODULE, DWORD reason, LPVOID)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        InitLibState();
        break;
    case DLL_PROCESS_DETACH:
        USBDisconnect();
        break;
    default:
        break;
    }
    return TRUE;
}

#ifndef _WIN32
__attribute__((constructor)) static void onLibraryLoad()
{
    DllMain(nullptr, DLL_PROCESS_ATTACH, nullptr);
}

__attribute__((destructor)) static void onLibraryUnload()
{
    DllMain(nullptr, DLL_PROCESS_DETACH, nullptr);
}
#endif
