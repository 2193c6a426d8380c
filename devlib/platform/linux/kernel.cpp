// Linux stand-ins for the kernel and security services the library calls.
#include <dlfcn.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "../backend.h"
#include "../without_exceptions.h"

namespace {

const DeviceBackend* currentBackend = nullptr;
// Not thread_local: the library is called from one thread, and a TLS block in
// a library loaded at run time trips the leak checker of GCC 12's sanitizer
// runtime, in every program that loads it under the sanitizer.
DWORD lastError = 0;

// The platform's library names and the files that stand for them in the
// library's private folder dravik/ beside libDravik.so (installed or built):
// the hidraw backend, or the simulator while DRAVIK_SIM names a scenario. An
// environment variable may name another file instead.
struct ModuleFile {
    const char* name;
    const char* overrideVariable;
    const char* hidrawFile;
    const char* simulatorFile;
    bool carriesDevices;  // its backend serves CreateFileA, CloseHandle and Sleep
};
const ModuleFile kModuleFiles[] = {
    {"HID.DLL", "DRAVIK_HID_DLL", "libdravik_hid.so", "libdravik_sim_hid.so", true},
    {"SETUPAPI.DLL", "DRAVIK_SETUPAPI_DLL", "libdravik_setupapi.so", "libdravik_sim_setupapi.so", false},
};

// The modules handed out and not yet freed, as a list through the modules
// themselves: plain static data, intact when the library frees its modules
// from its unload, after the static destructors have run.
struct LoadedModule {
    void* library;
    ModuleLink link;
    LoadedModule* next;
};
LoadedModule* firstModule = nullptr;

LoadedModule* moduleOf(HMODULE handle)
{
    for (LoadedModule* module = firstModule; module != nullptr; module = module->next) {
        if (module == handle)
            return module;
    }
    return nullptr;
}

void forget(const LoadedModule* module)
{
    for (LoadedModule** link = &firstModule; *link != nullptr; link = &(*link)->next) {
        if (*link == module) {
            *link = module->next;
            return;
        }
    }
}

bool sameNameIgnoringCase(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

bool variableSet(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Where libDravik.so really is: a program may load it through a link.
std::string libraryDirectory()
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LoadLibraryA), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    char* resolved = realpath(info.dli_fname, nullptr);
    const std::string file = resolved != nullptr ? resolved : info.dli_fname;
    std::free(resolved);
    const auto slash = file.rfind('/');
    return slash == std::string::npos ? "." : file.substr(0, slash);
}

const ModuleFile* moduleNamed(const char* name)
{
    for (const ModuleFile& module : kModuleFiles) {
        if (sameNameIgnoringCase(name, module.name))
            return &module;
    }
    return nullptr;
}

std::string fileFor(const ModuleFile& module)
{
    if (variableSet(module.overrideVariable))
        return std::getenv(module.overrideVariable);
    const char* file = variableSet("DRAVIK_SIM") ? module.simulatorFile : module.hidrawFile;
    return libraryDirectory() + "/dravik/" + file;
}

// Without its module the library finds no sensor, which alone would not say
// that a file is missing; each file is named once, not at every connection.
void reportUnloadable(const ModuleFile& module, const std::string& file)
{
    static std::string lastReported[std::size(kModuleFiles)];
    std::string& reported = lastReported[&module - kModuleFiles];
    if (reported == file)
        return;
    reported = file;
    std::fprintf(stderr, "Dravik: %s\n", dlerror());
}

const KernelServices kKernelServices = {SetLastError};

// The layout of a security descriptor in a 32-bit process.
struct SecurityDescriptor32 {
    uint8_t Revision;
    uint8_t Sbz1;
    uint16_t Control;
    uint32_t Owner;
    uint32_t Group;
    uint32_t Sacl;
    uint32_t Dacl;
};
static_assert(sizeof(SecurityDescriptor32) == SECURITY_DESCRIPTOR_MIN_LENGTH, "32-bit layout");
constexpr uint16_t kDaclPresent = 0x0004;
constexpr uint16_t kDaclDefaulted = 0x0008;

// The largest block a 32-bit process could be given.
constexpr SIZE_T kLargestLocalBlock = 0x7FFFFFFF;

}  // namespace

void installDeviceBackend(const DeviceBackend* backend)
{
    currentBackend = backend;
}

DWORD GetLastError()
{
    return lastError;
}

void SetLastError(DWORD code)
{
    lastError = code;
}

namespace {

// The module's file loaded and linked; nullptr with the last error set when
// it can't be. What allocates comes before the load or after a failed one.
LoadedModule* loadModule(const ModuleFile& known)
{
    std::unique_ptr<LoadedModule> module(new LoadedModule{nullptr, ModuleLink{}, nullptr});
    const std::string file = fileFor(known);
    module->library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (module->library == nullptr) {
        reportUnloadable(known, file);
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (auto linkModule = reinterpret_cast<PFN_DravikLinkModule>(dlsym(module->library, DRAVIK_LINK_MODULE_ENTRY))) {
        if (!linkModule(&kKernelServices, &module->link)) {
            dlclose(module->library);
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }
    if (!known.carriesDevices)
        module->link.backend = nullptr;
    if (module->link.backend != nullptr)
        installDeviceBackend(module->link.backend);
    module->next = firstModule;
    firstModule = module.get();
    return module.release();
}

}  // namespace

// Modules stay mapped once loaded, so whatever state they keep outlives a
// FreeLibrary and even the static destructors that run before our unload.
HMODULE LoadLibraryA(LPCSTR name)
{
    const ModuleFile* known = name == nullptr ? nullptr : moduleNamed(name);
    if (known == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return withoutExceptions<HMODULE>(
        nullptr, [known] { return loadModule(*known); },
        [](const std::exception*) { SetLastError(ERROR_NOT_ENOUGH_MEMORY); });
}

FARPROC GetProcAddress(HMODULE handle, LPCSTR name)
{
    const LoadedModule* module = moduleOf(handle);
    void* entry = nullptr;
    if (module != nullptr && name != nullptr && (module->link.hasEntry == nullptr || module->link.hasEntry(name)))
        entry = dlsym(module->library, name);
    if (entry == nullptr)
        SetLastError(ERROR_PROC_NOT_FOUND);
    return reinterpret_cast<FARPROC>(entry);
}

BOOL FreeLibrary(HMODULE handle)
{
    LoadedModule* module = moduleOf(handle);
    if (module == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (module->link.backend != nullptr && module->link.backend == currentBackend)
        installDeviceBackend(nullptr);
    forget(module);
    dlclose(module->library);
    delete module;
    return TRUE;
}

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

// Access rights come from the device node's permissions here, so the
// security attributes are not consulted.
HANDLE CreateFileA(LPCSTR path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE)
{
    if (path == nullptr || currentBackend == nullptr || currentBackend->open == nullptr)
        return INVALID_HANDLE_VALUE;
    return currentBackend->open(path);
}

BOOL CloseHandle(HANDLE handle)
{
    if (currentBackend == nullptr || currentBackend->close == nullptr)
        return FALSE;
    return currentBackend->close(handle);
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes)
{
    if (bytes > kLargestLocalBlock) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const SIZE_T size = bytes == 0 ? 1 : bytes;
    void* block = (flags & LMEM_ZEROINIT) != 0 ? std::calloc(1, size) : std::malloc(size);
    if (block == nullptr)
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return block;
}

HLOCAL LocalFree(HLOCAL block)
{
    std::free(block);
    return nullptr;
}

BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision)
{
    if (descriptor == nullptr || revision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    SecurityDescriptor32 fresh{};
    fresh.Revision = SECURITY_DESCRIPTOR_REVISION;
    std::memcpy(descriptor, &fresh, sizeof fresh);
    return TRUE;
}

// Only the null DACL, which grants everyone every access, fits the 32-bit
// descriptor: a real ACL's address does not.
BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL daclPresent, void* dacl, BOOL daclDefaulted)
{
    SecurityDescriptor32 current;
    if (descriptor == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memcpy(&current, descriptor, sizeof current);
    if (current.Revision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_UNKNOWN_REVISION);
        return FALSE;
    }
    if (dacl != nullptr) {
        SetLastError(ERROR_INVALID_ACL);
        return FALSE;
    }
    current.Control &= static_cast<uint16_t>(~(kDaclPresent | kDaclDefaulted));
    if (daclPresent)
        current.Control |= kDaclPresent;
    if (daclPresent && daclDefaulted)
        current.Control |= kDaclDefaulted;
    current.Dacl = 0;
    std::memcpy(descriptor, &current, sizeof current);
    return TRUE;
}
