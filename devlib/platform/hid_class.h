// What both HID.DLL stand-ins answer for the two entry points the library
// requires but never calls.
#ifndef DRAVIK_HID_CLASS_H
#define DRAVIK_HID_CLASS_H

#include "platform.h"

// The HID device-interface class, as HidD_GetHidGuid reports it.
inline constexpr GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

inline void reportHidClass(GUID* guid)
{
    if (guid != nullptr)
        *guid = kHidInterfaceClass;
}

// No preparsed data exists for the stand-ins.
inline int32_t refuseCaps()
{
    return HIDP_STATUS_INVALID_PREPARSED_DATA;
}

#endif
