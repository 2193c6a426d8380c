#ifndef DRAVIK_TESTS_DISCOVERY_FIXTURE_H
#define DRAVIK_TESTS_DISCOVERY_FIXTURE_H

#include <cstdio>
#include <string>
#include <vector>

#include "discovery.h"
#include "scoped_env.h"
#include "sim_fixture.h"

// The library as a program meets it: bound at run time to the simulator's
// stand-ins for HID.DLL and SETUPAPI.DLL, which list every simulated device.
class DiscoveryTest : public SimTest {
protected:
    void SetUp() override
    {
        LibTest::SetUp();
        dravikSimReset();
    }
    void TearDown() override
    {
        USBDisconnect();
        dravikSimReset();
    }

    // Sensor n has the path "\\?\hid#vid_<vendor>&pid_0501#sim#n", its
    // version number as HID attribute and versionNumber + 0x1000 as identifier.
    static int addSensor(uint16_t versionNumber = 0x0100, uint16_t vendorId = DRAVIK_VENDOR_ID_1)
    {
        return addDevice(pathFor(vendorId, DRAVIK_PRODUCT_ID, dravikSimDeviceCount()), vendorId, DRAVIK_PRODUCT_ID,
                         versionNumber, true);
    }
    static int addKeyboard()
    {
        return addDevice(pathFor(0x046d, 0xc31c, dravikSimDeviceCount()), 0x046d, 0xc31c, 0x6400, false);
    }
    static int addDevice(const std::string& path, uint16_t vendorId, uint16_t productId, uint16_t versionNumber,
                         bool isSensor)
    {
        const DravikSimDeviceSpec spec{path.c_str(), vendorId, productId, versionNumber, isSensor ? 1 : 0};
        const int device = dravikSimAddDevice(&spec);
        dravikSimSetIdentity(device, 0, static_cast<uint16_t>(versionNumber + 0x1000), nullptr);
        return device;
    }
    static std::string pathFor(uint16_t vendorId, uint16_t productId, int n)
    {
        char path[64];
        std::snprintf(path, sizeof path, "\\\\?\\hid#vid_%04x&pid_%04x#sim#%d", vendorId, productId, n);
        return path;
    }
    static std::string pathOf(int device) { return dravikSimDevicePath(device); }

    // The trace entries of one kind, as "dev<n>" or "dev<n> refused".
    static std::vector<std::string> eventsOf(unsigned kind)
    {
        std::vector<std::string> events;
        for (const DravikSimTraceEntry& entry : traceEntries()) {
            if (entry.kind != kind)
                continue;
            std::string event = entry.device < 0 ? "-" : "dev" + std::to_string(entry.device);
            events.push_back(entry.refused ? event + " refused" : event);
        }
        return events;
    }
    // The devices that received a command report, once each, in order.
    static std::vector<int> devicesCommanded()
    {
        std::vector<int> devices;
        for (const DravikSimTraceEntry& entry : traceEntries()) {
            if (entry.kind == DRAVIK_SIM_COMMAND_REPORT && (devices.empty() || devices.back() != entry.device))
                devices.push_back(entry.device);
        }
        return devices;
    }

    ScopedEnv hidModule{"DRAVIK_HID_DLL", DRAVIK_TEST_SIM_HID_MODULE};
    ScopedEnv setupModule{"DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SIM_SETUPAPI_MODULE};
};

using Events = std::vector<std::string>;

#endif
