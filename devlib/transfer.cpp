#include "transfer.h"

#include "lib_state.h"

#include <type_traits>

namespace {

// Reading and writing a feature report take the same arguments.
using FeatureCall = PFN_HidD_GetFeature;
static_assert(std::is_same_v<FeatureCall, PFN_HidD_SetFeature>);

struct TransferCodes {
    uint32_t noDevice;
    uint32_t noEntry;
    uint32_t refused;
};

int featureTransfer(FeatureCall call, FeatureReport& report, const TransferCodes& codes)
{
    if (hidLibrary.module == nullptr)
        return 0;
    DeviceRecord& device = activeRecord();
    if (device.deviceHandle == INVALID_HANDLE_VALUE) {
        device.lastLibErr = codes.noDevice;
        return 0;
    }
    if (call == nullptr) {
        device.lastLibErr = codes.noEntry;
        return 0;
    }
    if (!call(device.deviceHandle, report.data(), featureReportLength)) {
        device.lastLibErr = codes.refused;
        return 0;
    }
    return 1;
}

}  // namespace

static_assert(sizeof(FeatureReport) == 9, "one report ID and eight payload bytes");

int ReadFeatureRpt(FeatureReport& report)
{
    return featureTransfer(hidLibrary.HidD_GetFeature, report,
                           {liberr::kReadNoDevice, liberr::kReadNoEntry, liberr::kReadRefused});
}

int WriteFeatureRpt(FeatureReport& report)
{
    return featureTransfer(hidLibrary.HidD_SetFeature, report,
                           {liberr::kWriteNoDevice, liberr::kWriteNoEntry, liberr::kWriteRefused});
}
