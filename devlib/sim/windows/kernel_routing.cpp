// Points a module's kernel imports at the simulator. The library calls the
// kernel through its import address table, so rewriting the table's slots
// reroutes exactly the calls of that module and of no other.
#include <windows.h>

#include <cstring>
#include <map>
#include <set>

#include "dravik_sim.h"
#include "platform/backend.h"
#include "platform/never_destroyed.h"
#include "platform/without_exceptions.h"

namespace {

std::set<HANDLE>& kernelFileHandles()
{
    static NeverDestroyed<std::set<HANDLE>> handles;
    return handles.get();
}

DravikSimOpenCall lastOpen;
bool anyOpen = false;

void recordOpen(DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security, DWORD creation, DWORD flags,
                HANDLE templateFile)
{
    DravikSimOpenCall call{};
    call.access = access;
    call.shareMode = shareMode;
    call.creation = creation;
    call.flags = flags;
    call.hasTemplate = templateFile != nullptr;
    call.hasSecurity = security != nullptr;
    if (security != nullptr) {
        call.securityLength = security->nLength;
        call.inheritHandle = security->bInheritHandle;
        BOOL present = FALSE;
        BOOL defaulted = FALSE;
        PACL dacl = nullptr;
        call.descriptorValid = security->lpSecurityDescriptor != nullptr &&
                               IsValidSecurityDescriptor(security->lpSecurityDescriptor) &&
                               GetSecurityDescriptorDacl(security->lpSecurityDescriptor, &present, &dacl, &defaulted);
        call.daclPresent = present;
        call.daclNull = dacl == nullptr;
        call.daclDefaulted = defaulted;
    }
    lastOpen = call;
    anyOpen = true;
}

// The library opens a device asking for neither reading nor writing; a file
// is opened for one of them and stays the kernel's.
HANDLE WINAPI routedCreateFileA(LPCSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                                DWORD creation, DWORD flags, HANDLE templateFile)
{
    if (access == 0 && creation == OPEN_EXISTING) {
        recordOpen(access, shareMode, security, creation, flags, templateFile);
        return dravikSimDeviceBackend()->open(path);
    }
    const HANDLE file = CreateFileA(path, access, shareMode, security, creation, flags, templateFile);
    if (file == INVALID_HANDLE_VALUE)
        return file;
    // A file whose handle can't be kept could never be closed.
    if (!withoutExceptions(false, [file] { return kernelFileHandles().insert(file).second; })) {
        CloseHandle(file);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

BOOL WINAPI routedCloseHandle(HANDLE handle)
{
    if (kernelFileHandles().erase(handle) != 0)
        return CloseHandle(handle);
    return dravikSimDeviceBackend()->close(handle);
}

void WINAPI routedSleep(DWORD milliseconds)
{
    dravikSimDeviceBackend()->sleep(milliseconds);
}

// An entry point the simulator counts as missing can't be resolved.
FARPROC WINAPI routedGetProcAddress(HMODULE module, LPCSTR name)
{
    const bool byName = (reinterpret_cast<uintptr_t>(name) >> 16) != 0;
    if (byName && dravikSimIsMissing(name)) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return GetProcAddress(module, name);
}

struct RoutedImport {
    const char* name;
    void* replacement;
};
const RoutedImport kRoutedImports[] = {
    {"CreateFileA", reinterpret_cast<void*>(&routedCreateFileA)},
    {"CloseHandle", reinterpret_cast<void*>(&routedCloseHandle)},
    {"Sleep", reinterpret_cast<void*>(&routedSleep)},
    {"GetProcAddress", reinterpret_cast<void*>(&routedGetProcAddress)},
};

struct RoutedModule {
    int depth = 0;
    std::map<void**, void*> original;  // each rewritten slot and what it held
};

std::map<HMODULE, RoutedModule>& routedModules()
{
    static NeverDestroyed<std::map<HMODULE, RoutedModule>> modules;
    return modules.get();
}

const void* routedReplacementFor(const char* name)
{
    for (const RoutedImport& import : kRoutedImports)
        if (std::strcmp(import.name, name) == 0)
            return import.replacement;
    return nullptr;
}

bool writeSlot(void** slot, void* value)
{
    DWORD previous = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &previous))
        return false;
    *slot = value;
    VirtualProtect(slot, sizeof *slot, previous, &previous);
    return true;
}

// The import slots of module that are bound to a kernel32 entry we route.
std::map<void**, const void*> routableSlots(HMODULE module)
{
    std::map<void**, const void*> slots;
    auto* const base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return slots;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return slots;
    for (auto* library = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         library->Name != 0; ++library) {
        if (_stricmp(reinterpret_cast<const char*>(base + library->Name), "kernel32.dll") != 0)
            continue;
        const DWORD namesAt = library->OriginalFirstThunk != 0 ? library->OriginalFirstThunk : library->FirstThunk;
        const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const void* replacement = routedReplacementFor(reinterpret_cast<const char*>(byName->Name));
            if (replacement != nullptr)
                slots[reinterpret_cast<void**>(&bound->u1.Function)] = replacement;
        }
    }
    return slots;
}

bool restore(const RoutedModule& routed)
{
    bool restored = true;
    for (const auto& [slot, held] : routed.original)
        restored = writeSlot(slot, held) && restored;
    return restored;
}

bool route(HMODULE module)
{
    RoutedModule& routed = routedModules()[module];
    if (routed.depth++ > 0)
        return true;
    // Each slot's value is kept before the slot is written, so that memory
    // running out midway leaves every slot restorable.
    const bool written = withoutExceptions(false, [module, &routed] {
        for (const auto& [slot, replacement] : routableSlots(module)) {
            routed.original[slot] = *slot;
            if (!writeSlot(slot, const_cast<void*>(replacement)))
                return false;
        }
        return true;
    });
    if (!written) {
        restore(routed);
        routedModules().erase(module);
    }
    return written;
}

bool unroute(HMODULE module)
{
    const auto found = routedModules().find(module);
    if (found == routedModules().end())
        return false;
    if (--found->second.depth > 0)
        return true;
    const bool restored = restore(found->second);
    routedModules().erase(found);
    return restored;
}

}  // namespace

extern "C" {

int dravikSimRouteKernel(void* module, int routed)
{
    if (module == nullptr)
        return 0;
    const auto handle = static_cast<HMODULE>(module);
    return withoutExceptions(0, [handle, routed] { return (routed ? route(handle) : unroute(handle)) ? 1 : 0; });
}

int dravikSimLastOpenCall(DravikSimOpenCall* call)
{
    if (call == nullptr || !anyOpen)
        return 0;
    *call = lastOpen;
    return 1;
}

}  // extern "C"
