// The HID.DLL stand-in over hidraw.
#include "../backend.h"
#include "hidraw.h"

#include <type_traits>

namespace {
const DeviceBackend kHidrawBackend = {hidraw::open, hidraw::close, nullptr};
const GUID kHidInterfaceClass = {0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
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
    if (guid != nullptr) *guid = kHidInterfaceClass;
}

// No preparsed data exists here.
DRAVIK_MODULE_EXPORT int32_t HidP_GetCaps(void*, void*) { return HIDP_STATUS_INVALID_PREPARSED_DATA; }

static_assert(std::is_same_v<decltype(&HidD_GetAttributes), PFN_HidD_GetAttributes>);
static_assert(std::is_same_v<decltype(&HidD_GetFeature), PFN_HidD_GetFeature>);
static_assert(std::is_same_v<decltype(&HidD_SetFeature), PFN_HidD_SetFeature>);
static_assert(std::is_same_v<decltype(&HidD_GetHidGuid), PFN_HidD_GetHidGuid>);
static_assert(std::is_same_v<decltype(&HidP_GetCaps), PFN_HidP_GetCaps>);
static_assert(std::is_same_v<decltype(&DravikLinkModule), PFN_DravikLinkModule>);
