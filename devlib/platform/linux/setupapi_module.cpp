// The SETUPAPI.DLL stand-in over hidraw: the keyboard interfaces are the
// hidraw nodes whose report descriptor holds a keyboard collection.
#include "../interface_sets.h"
#include "../module_exports.h"
#include "hidraw.h"

namespace {
InterfaceSets& sets()
{
    return moduleInterfaceSets();
}
}  // namespace

DRAVIK_MODULE_EXPORT BOOL DravikLinkModule(const KernelServices* kernel, ModuleLink*)
{
    return sets().link(kernel);
}

DRAVIK_MODULE_EXPORT HDEVINFO SetupDiGetClassDevsA(const GUID* interfaceClass, LPCSTR, HWND, DWORD flags)
{
    if (interfaceClass == nullptr || (flags & DIGCF_DEVICEINTERFACE) == 0) {
        sets().fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return sets().create([interfaceClass] {
        return isKeyboardInterfaceClass(interfaceClass) ? hidraw::keyboardInterfacePaths() : std::vector<std::string>{};
    });
}

DRAVIK_MODULE_EXPORT BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID* interfaceClass,
                                                      DWORD index, PSP_DEVICE_INTERFACE_DATA data)
{
    return sets().enumerate(set, interfaceClass, index, data);
}

DRAVIK_MODULE_EXPORT BOOL SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                                           PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail, DWORD detailSize,
                                                           DWORD* requiredSize, PSP_DEVINFO_DATA)
{
    return sets().detail(set, data, detail, detailSize, requiredSize);
}

DRAVIK_MODULE_EXPORT BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set)
{
    return sets().destroy(set);
}
