// Feeds arbitrary bytes to the template reader as the content of a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "lib_state.h"

namespace {

std::string inputPath;

void removeInput() { unlink(inputPath.c_str()); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    char pattern[] = "/tmp/dravik-fuzz-XXXXXX";
    const int fd = mkstemp(pattern);
    if (fd < 0) std::abort();
    close(fd);
    inputPath = pattern;
    std::atexit(removeInput);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* file = std::fopen(inputPath.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0) std::abort();

    InitLibState();
    DeviceTable[0].configValid = 1;
    DeviceTable[0].tyvelParms = tsTyvelParms{0, 600, 16, 14, 36, 5, 2, 0};
    DeviceTable[0].walkAwayParms.InterKeyDelayWA = 512;
    DeviceTable[0].walkUpParms.InterKeyDelayWU = 512;
    const int32_t result = ReadDevCfgFmFile(inputPath.c_str());

    // A readable file gives 0 only through a refused record, whose check
    // leaves its word behind; otherwise every record was stored.
    const DeviceRecord& device = DeviceTable[0];
    const bool stored = result == 1 && device.lastLibErr == 0 && device.idleChanged == 1;
    const bool refused = result == 0 && (device.lastLibErr & 0xFFF000) == 0x201000;
    if (!stored && !refused) std::abort();
    return 0;
}
