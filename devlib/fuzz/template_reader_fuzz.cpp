// Feeds arbitrary bytes to the template reader as the content of a file.
#include <cstdint>
#include <cstdlib>

#include "fuzz_input_file.h"
#include "lib_state.h"

namespace {

const FuzzInputFile kInput("dravik-template-fuzz");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kInput.write(data, size);

    InitLibState();
    DeviceTable[0].configValid = 1;
    DeviceTable[0].tyvelParms = tsTyvelParms{0, 600, 16, 14, 36, 5, 2, 0};
    DeviceTable[0].walkAwayParms.InterKeyDelayWA = 512;
    DeviceTable[0].walkUpParms.InterKeyDelayWU = 512;
    const int32_t result = ReadDevCfgFmFile(kInput.path().c_str());

    // A readable file gives 0 only through a refused record, whose check
    // leaves its word behind; otherwise every record was stored.
    const DeviceRecord& device = DeviceTable[0];
    const bool stored = result == 1 && device.lastLibErr == 0 && device.idleChanged == 1;
    const bool refused = result == 0 && (device.lastLibErr & 0xFFF000) == 0x201000;
    if (!stored && !refused)
        std::abort();
    return 0;
}
