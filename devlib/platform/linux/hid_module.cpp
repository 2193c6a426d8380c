// The HID.DLL stand-in over hidraw.
#include "../hid_class.h"
#include "../module_exports.h"
#include "hidraw.h"

namespace {
const DeviceBackend kHidrawBackend = {hidraw::open, hidraw::close, nullptr};
}  // namespace

DRAVIK_MODULE_EXPORT BOOL DravikLinkModule(const KernelServices*, ModuleLink* link)
{
    link->backend = &kHidrawBackend;
    return TRUE;
}

DRAVIK_MODULE_EXPORT BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes)
{
    return hidraw::attributes(device, attributes) ? 1 : 0;
}

DRAVIK_MODULE_EXPORT BOOLEAN HidD_GetFeature(HANDLE device, void* report, ULONG length)
{
    return hidraw::getFeature(device, report, length) ? 1 : 0;
}

DRAVIK_MODULE_EXPORT BOOLEAN HidD_SetFeature(HANDLE device, void* report, ULONG length)
{
    return hidraw::setFeature(device, report, length) ? 1 : 0;
}

DRAVIK_MODULE_EXPORT void HidD_GetHidGuid(GUID* guid)
{
    reportHidClass(guid);
}

DRAVIK_MODULE_EXPORT int32_t HidP_GetCaps(void*, void*)
{
    return refuseCaps();
}
