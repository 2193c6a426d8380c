// The platform services the library calls, with the platform's own names and
// 32-bit layouts. On Windows they are the real ones; elsewhere a backend file
// under platform/ stands in for them.
#ifndef DRAVIK_PLATFORM_H
#define DRAVIK_PLATFORM_H

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
// Only the device-interface types: the library binds SETUPAPI.DLL by name.
#include <setupapi.h>
#else

using BOOL = int32_t;
using BOOLEAN = uint8_t;
using DWORD = uint32_t;
using ULONG = uint32_t;
using USHORT = uint16_t;
using HANDLE = void*;
using HMODULE = void*;
using HDEVINFO = void*;
using HWND = void*;
using HLOCAL = void*;
using LPVOID = void*;
using LPCSTR = const char*;
using PSTR = char*;
using FARPROC = void (*)();
using SIZE_T = size_t;
using UINT = uint32_t;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};

#define WINAPI
#define TRUE 1
#define FALSE 0
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))
#define ERROR_INVALID_HANDLE 6u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_INSUFFICIENT_BUFFER 122u
#define ERROR_MOD_NOT_FOUND 126u
#define ERROR_PROC_NOT_FOUND 127u
#define ERROR_NO_MORE_ITEMS 259u
#define ERROR_UNKNOWN_REVISION 1305u
#define ERROR_INVALID_ACL 1336u
#define ERROR_INVALID_USER_BUFFER 1784u
#define LMEM_ZEROINIT 0x0040u
#define FILE_SHARE_READ 0x1u
#define FILE_SHARE_WRITE 0x2u
#define OPEN_EXISTING 3u
#define DIGCF_PRESENT 0x2u
#define DIGCF_DEVICEINTERFACE 0x10u
#define SECURITY_DESCRIPTOR_REVISION 1u
#define SECURITY_DESCRIPTOR_MIN_LENGTH 20u
#define SPINT_ACTIVE 0x1u
#define DLL_PROCESS_DETACH 0u
#define DLL_PROCESS_ATTACH 1u
#define DLL_THREAD_ATTACH 2u
#define DLL_THREAD_DETACH 3u

// A 32-bit process sees 12 bytes; the descriptor is held as a pointer here.
struct SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
};
using PSECURITY_DESCRIPTOR = void*;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

struct SP_DEVICE_INTERFACE_DATA {
    DWORD cbSize;
    GUID InterfaceClassGuid;
    DWORD Flags;
    uint32_t Reserved;
};
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == 28, "32-bit layout");

struct SP_DEVICE_INTERFACE_DETAIL_DATA_A {
    DWORD cbSize;
    char DevicePath[1];
};
static_assert(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + 1 == 5, "32-bit layout");
using PSP_DEVICE_INTERFACE_DATA = SP_DEVICE_INTERFACE_DATA*;
using PSP_DEVICE_INTERFACE_DETAIL_DATA_A = SP_DEVICE_INTERFACE_DETAIL_DATA_A*;
using PSP_DEVINFO_DATA = void*;

// Kernel and security services.
HMODULE LoadLibraryA(LPCSTR name);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation,
                   DWORD flags, HANDLE templateFile);
BOOL CloseHandle(HANDLE handle);
void Sleep(DWORD milliseconds);
HLOCAL LocalAlloc(UINT flags, SIZE_T bytes);
HLOCAL LocalFree(HLOCAL block);
DWORD GetLastError();
void SetLastError(DWORD code);
BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision);
BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL daclPresent, void* dacl, BOOL daclDefaulted);

#endif  // _WIN32

struct HIDD_ATTRIBUTES {
    ULONG Size;
    USHORT VendorID;
    USHORT ProductID;
    USHORT VersionNumber;
};
static_assert(sizeof(HIDD_ATTRIBUTES) == 12, "32-bit layout");
#define HIDP_STATUS_INVALID_PREPARSED_DATA (static_cast<int32_t>(0xC0110001u))

// Entry points of HID.DLL and SETUPAPI.DLL, as bound by name.
using PFN_HidD_GetAttributes = BOOLEAN(WINAPI*)(HANDLE, HIDD_ATTRIBUTES*);
using PFN_HidD_GetFeature = BOOLEAN(WINAPI*)(HANDLE, void*, ULONG);
using PFN_HidD_SetFeature = BOOLEAN(WINAPI*)(HANDLE, void*, ULONG);
using PFN_HidD_GetHidGuid = void(WINAPI*)(GUID*);
using PFN_HidP_GetCaps = int32_t(WINAPI*)(void*, void*);

using PFN_SetupDiGetClassDevsA = HDEVINFO(WINAPI*)(const GUID*, LPCSTR, HWND, DWORD);
using PFN_SetupDiEnumDeviceInterfaces = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD,
                                                      PSP_DEVICE_INTERFACE_DATA);
using PFN_SetupDiGetDeviceInterfaceDetailA = BOOL(WINAPI*)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA,
                                                           PSP_DEVICE_INTERFACE_DETAIL_DATA_A, DWORD, DWORD*,
                                                           PSP_DEVINFO_DATA);
using PFN_SetupDiDestroyDeviceInfoList = BOOL(WINAPI*)(HDEVINFO);

#endif
