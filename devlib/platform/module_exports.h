// The entry points of the HID.DLL and SETUPAPI.DLL stand-in modules, declared
// once so that every module defines them with the signatures the library
// binds them by.
#ifndef DRAVIK_MODULE_EXPORTS_H
#define DRAVIK_MODULE_EXPORTS_H

#include <type_traits>

#include "backend.h"

DRAVIK_MODULE_EXPORT BOOL DravikLinkModule(const KernelServices* kernel, ModuleLink* link);

DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes);
DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_GetFeature(HANDLE device, void* report, ULONG length);
DRAVIK_MODULE_EXPORT BOOLEAN WINAPI HidD_SetFeature(HANDLE device, void* report, ULONG length);
DRAVIK_MODULE_EXPORT void WINAPI HidD_GetHidGuid(GUID* guid);
DRAVIK_MODULE_EXPORT int32_t WINAPI HidP_GetCaps(void* preparsedData, void* capabilities);

DRAVIK_MODULE_EXPORT HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* interfaceClass, LPCSTR enumerator, HWND parent,
                                                          DWORD flags);
DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device,
                                                             const GUID* interfaceClass, DWORD index,
                                                             PSP_DEVICE_INTERFACE_DATA data);
DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                                                  PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                                                  DWORD detailSize, DWORD* requiredSize,
                                                                  PSP_DEVINFO_DATA device);
DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set);

static_assert(std::is_same_v<decltype(&DravikLinkModule), PFN_DravikLinkModule>);
static_assert(std::is_same_v<decltype(&HidD_GetAttributes), PFN_HidD_GetAttributes>);
static_assert(std::is_same_v<decltype(&HidD_GetFeature), PFN_HidD_GetFeature>);
static_assert(std::is_same_v<decltype(&HidD_SetFeature), PFN_HidD_SetFeature>);
static_assert(std::is_same_v<decltype(&HidD_GetHidGuid), PFN_HidD_GetHidGuid>);
static_assert(std::is_same_v<decltype(&HidP_GetCaps), PFN_HidP_GetCaps>);
static_assert(std::is_same_v<decltype(&SetupDiGetClassDevsA), PFN_SetupDiGetClassDevsA>);
static_assert(std::is_same_v<decltype(&SetupDiEnumDeviceInterfaces), PFN_SetupDiEnumDeviceInterfaces>);
static_assert(std::is_same_v<decltype(&SetupDiGetDeviceInterfaceDetailA), PFN_SetupDiGetDeviceInterfaceDetailA>);
static_assert(std::is_same_v<decltype(&SetupDiDestroyDeviceInfoList), PFN_SetupDiDestroyDeviceInfoList>);

#endif
