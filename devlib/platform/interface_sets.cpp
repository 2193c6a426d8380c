#include "interface_sets.h"

#include <cstring>
#include <memory>

#include "never_destroyed.h"

namespace {
// The fixed part of SP_DEVICE_INTERFACE_DETAIL_DATA_A in a 32-bit process.
constexpr DWORD kDetailFixedSize = 5;
}  // namespace

const GUID kKeyboardInterfaceClass = {0x884B96C3, 0x56EF, 0x11D1, {0xBC, 0x8C, 0x00, 0xA0, 0xC9, 0x14, 0x05, 0xDD}};

bool isKeyboardInterfaceClass(const GUID* interfaceClass)
{
    return interfaceClass != nullptr && std::memcmp(interfaceClass, &kKeyboardInterfaceClass, sizeof(GUID)) == 0;
}

InterfaceSets& moduleInterfaceSets()
{
    static NeverDestroyed<InterfaceSets> sets;
    return sets.get();
}

BOOL InterfaceSets::link(const KernelServices* kernel)
{
    kernel_ = kernel;
    return TRUE;
}

void InterfaceSets::fail(DWORD code) const
{
    if (kernel_ != nullptr && kernel_->setLastError != nullptr)
        kernel_->setLastError(code);
}

HDEVINFO InterfaceSets::add(std::vector<std::string> paths)
{
    std::unique_ptr<Set> set(new Set{kKeyboardInterfaceClass, std::move(paths)});
    sets_.insert(set.get());
    return set.release();
}

InterfaceSets::Set* InterfaceSets::find(HDEVINFO set) const
{
    const auto found = sets_.find(static_cast<Set*>(set));
    return found == sets_.end() ? nullptr : *found;
}

BOOL InterfaceSets::enumerate(HDEVINFO handle, const GUID* interfaceClass, DWORD index, PSP_DEVICE_INTERFACE_DATA data)
{
    const Set* set = find(handle);
    if (set == nullptr || interfaceClass == nullptr || data == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        fail(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (std::memcmp(interfaceClass, &set->interfaceClass, sizeof(GUID)) != 0 || index >= set->paths.size()) {
        fail(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = set->interfaceClass;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = index;
    return TRUE;
}

BOOL InterfaceSets::detail(HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_A detail,
                           DWORD detailSize, DWORD* requiredSize)
{
    const Set* set = find(handle);
    if (set == nullptr || data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
        data->Reserved >= set->paths.size()) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string& path = set->paths[data->Reserved];
    const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath) + path.size() + 1);
    if (detail == nullptr ? detailSize != 0 : detail->cbSize != kDetailFixedSize) {
        fail(ERROR_INVALID_USER_BUFFER);
        return FALSE;
    }
    if (requiredSize != nullptr)
        *requiredSize = needed;
    if (detailSize < needed) {
        fail(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(detail->DevicePath, path.c_str(), path.size() + 1);
    return TRUE;
}

BOOL InterfaceSets::destroy(HDEVINFO handle)
{
    Set* set = find(handle);
    if (set == nullptr) {
        fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    sets_.erase(set);
    delete set;
    return TRUE;
}
