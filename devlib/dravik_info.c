/* Prints the library's version, connects, and with a sensor reads its
 * configuration, writes the sensing record back and disconnects.
 * Exit status: 0 done, 1 no sensor connected, 2 a transfer failed. */
#include <stdio.h>

#include "Dravik.h"

static int failed(const char* operation)
{
    printf("%s failed: error 0x%x\n", operation, (unsigned)GetLastLibErr());
    USBDisconnect();
    return 2;
}

int main(void)
{
    int16_t major = 0, minor = 0, build = 0;
    GetLibVersion(&major, &minor, &build);
    printf("Dravik %d.%d.%d\n", major, minor, build);

    uint32_t deviceInfo = 0;
    if (!USBConnect(&deviceInfo)) {
        printf("USBConnect: no sensor connected (error 0x%x)\n", (unsigned)GetLastLibErr());
        USBDisconnect();
        return 1;
    }
    printf("USBConnect: %d sensor(s), firmware %x.%x.%x.%x\n", GetDevCnt(), (unsigned)(deviceInfo >> 12) & 0xF,
           (unsigned)(deviceInfo >> 8) & 0xF, (unsigned)(deviceInfo >> 4) & 0xF, (unsigned)deviceInfo & 0xF);

    tsTyvelParms sensing;
    if (!GetTyvelParms(&sensing)) return failed("GetTyvelParms");
    printf("Sensing: ping %d ms, range %d to %d in, walk-away %d s, walk-up %d s\n", sensing.PingRateS,
           sensing.MinDistS, sensing.MaxDistS, sensing.ORDBTmS, sensing.IRDBTmS);
    if (!SetTyvelParms(&sensing)) return failed("SetTyvelParms");
    if (!WriteCfg()) return failed("WriteCfg");
    if (!ReadCfg()) return failed("ReadCfg");
    printf("WriteCfg and ReadCfg: done\n");

    USBDisconnect();
    printf("USBDisconnect: done\n");
    return 0;
}
