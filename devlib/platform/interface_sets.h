// The device-information sets behind a SETUPAPI.DLL stand-in: each set is a
// snapshot of interface paths, handed out with the platform's conventions
// (the size query, the detail buffer with its fixed part, the last error).
#ifndef DRAVIK_INTERFACE_SETS_H
#define DRAVIK_INTERFACE_SETS_H

#include <set>
#include <string>
#include <vector>

#include "backend.h"
#include "without_exceptions.h"

class InterfaceSets {
public:
    // Keeps the kernel services that the module's link entry was given.
    BOOL link(const KernelServices* kernel);
    // Records the error that the kernel's GetLastError reports next.
    void fail(DWORD code) const;

    // A new set of the paths that listPaths() gives, or INVALID_HANDLE_VALUE
    // with ERROR_NOT_ENOUGH_MEMORY when they can't be listed or kept.
    template <typename ListPaths>
    HDEVINFO create(ListPaths listPaths)
    {
        return withoutExceptions<HDEVINFO>(
            INVALID_HANDLE_VALUE, [this, &listPaths] { return add(listPaths()); },
            [this](const std::exception*) { fail(ERROR_NOT_ENOUGH_MEMORY); });
    }
    BOOL enumerate(HDEVINFO set, const GUID* interfaceClass, DWORD index, PSP_DEVICE_INTERFACE_DATA data);
    BOOL detail(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                DWORD detailSize, DWORD* requiredSize);
    BOOL destroy(HDEVINFO set);

    // The index at which enumerate() found the interface.
    static DWORD indexOf(const SP_DEVICE_INTERFACE_DATA& data) { return data.Reserved; }

private:
    struct Set {
        GUID interfaceClass;
        std::vector<std::string> paths;
    };
    HDEVINFO add(std::vector<std::string> paths);
    Set* find(HDEVINFO set) const;

    const KernelServices* kernel_ = nullptr;
    std::set<Set*> sets_;
};

// The sets of the module at hand (each module holds its own), alive for the
// whole process.
InterfaceSets& moduleInterfaceSets();

// Both SETUPAPI stand-ins enumerate the keyboard interface class only.
extern const GUID kKeyboardInterfaceClass;
bool isKeyboardInterfaceClass(const GUID* interfaceClass);

#endif
