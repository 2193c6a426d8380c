// The SETUPAPI.DLL stand-in over the sensor simulator: every simulated device
// is a keyboard interface, listed in order of creation, and each step can be
// refused by a simulator fault.
#include "dravik_sim.h"
#include "platform/interface_sets.h"
#include "platform/module_exports.h"

namespace {

InterfaceSets& sets()
{
    return moduleInterfaceSets();
}

BOOL isExported(const char* name)
{
    return dravikSimIsMissing(name) ? FALSE : TRUE;
}

int deviceOf(const SP_DEVICE_INTERFACE_DATA* data)
{
    return data == nullptr ? -1 : static_cast<int>(InterfaceSets::indexOf(*data));
}

}  // namespace

DRAVIK_MODULE_EXPORT BOOL DravikLinkModule(const KernelServices* kernel, ModuleLink* link)
{
    if (!dravikSimStartFromEnvironment() || dravikSimIsMissing("SETUPAPI.DLL"))
        return FALSE;
    link->hasEntry = isExported;
    return sets().link(kernel);
}

DRAVIK_MODULE_EXPORT HDEVINFO WINAPI SetupDiGetClassDevsA(const GUID* interfaceClass, LPCSTR, HWND, DWORD flags)
{
    if (interfaceClass == nullptr || (flags & DIGCF_DEVICEINTERFACE) == 0 ||
        dravikSimEnumerationStep(DRAVIK_SIM_LIST, -1)) {
        sets().fail(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    return sets().create([interfaceClass] {
        std::vector<std::string> paths;
        for (int device = 0; isKeyboardInterfaceClass(interfaceClass) && device < dravikSimDeviceCount(); ++device)
            paths.emplace_back(dravikSimDevicePath(device));
        return paths;
    });
}

DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA, const GUID* interfaceClass,
                                                             DWORD index, PSP_DEVICE_INTERFACE_DATA data)
{
    if (!sets().enumerate(set, interfaceClass, index, data))
        return FALSE;
    if (dravikSimEnumerationStep(DRAVIK_SIM_INTERFACE, static_cast<int>(index))) {
        sets().fail(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    return TRUE;
}

DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiGetDeviceInterfaceDetailA(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                                                  PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                                                                  DWORD detailSize, DWORD* requiredSize,
                                                                  PSP_DEVINFO_DATA)
{
    const int device = deviceOf(data);
    const bool sizeQuery = detail == nullptr;
    if (dravikSimEnumerationStep(sizeQuery ? DRAVIK_SIM_SIZE_QUERY : DRAVIK_SIM_DETAIL_QUERY, device)) {
        sets().fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const BOOL answered = sets().detail(set, data, detail, detailSize, requiredSize);
    if (sizeQuery && requiredSize != nullptr && dravikSimDetailSize(device) != 0)
        *requiredSize = dravikSimDetailSize(device);
    return answered;
}

DRAVIK_MODULE_EXPORT BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO set)
{
    return sets().destroy(set);
}
