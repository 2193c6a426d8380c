// The HID.DLL stand-in over the sensor simulator.
#include "dravik_sim.h"
#include "platform/hid_class.h"
#include "platform/module_exports.h"

namespace {
BOOL isExported(const char* name)
{
    return dravikSimIsMissing(name) ? FALSE : TRUE;
}
}  // namespace

DRAVIK_MODULE_EXPORT BOOL DravikLinkModule(const KernelServices*, ModuleLink* link)
{
    if (!dravikSimStartFromEnvironment() || dravikSimIsMissing("HID.DLL"))
        return FALSE;
    link->backend = dravikSimDeviceBackend();
    link->hasEntry = isExported;
    return TRUE;
}

DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes)
{
    return dravikSimHidGetAttributes(device, attributes);
}

DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_GetFeature(HANDLE device, void* report, ULONG length)
{
    return dravikSimHidGetFeature(device, report, length);
}

DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_SetFeature(HANDLE device, void* report, ULONG length)
{
    return dravikSimHidSetFeature(device, report, length);
}

DRAVIK_MODULE_EXPORT void WINAPI HidD_GetHidGuid(GUID* guid)
{
    reportHidClass(guid);
}

DRAVIK_MODULE_EXPORT int32_t WINAPI HidP_GetCaps(void*, void*)
{
    return refuseCaps();
}
