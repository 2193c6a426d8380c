// The Windows loader runs a module's DllMain where the Linux kernel stand-ins
// call its link entry: a refused link makes LoadLibraryA fail, and while the
// HID module is loaded the simulator serves the library's device opens,
// handles and pauses.
#include <windows.h>

#include "dravik_sim.h"
#include "platform/module_exports.h"

namespace {

void setLastError(DWORD code)
{
    SetLastError(code);
}

const KernelServices kKernel = {setLastError};
ModuleLink moduleLink;
HMODULE routedModule;

// Dravik.dll when a program loaded it, else the program, which then holds
// the library's code itself.
HMODULE libraryModule()
{
    const HMODULE library = GetModuleHandleA("Dravik.dll");
    return library != nullptr ? library : GetModuleHandleA(nullptr);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        if (!DravikLinkModule(&kKernel, &moduleLink))
            return FALSE;
        if (moduleLink.backend == nullptr)
            return TRUE;
        routedModule = libraryModule();
        return dravikSimRouteKernel(routedModule, 1);
    }
    // At process exit nothing calls the library any more.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && routedModule != nullptr)
        dravikSimRouteKernel(routedModule, 0);
    return TRUE;
}
