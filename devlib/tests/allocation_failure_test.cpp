// The C entry points that allocate, each run with its first allocation
// failing, then its second, and so on: each answers with its failure result,
// changes nothing, and lets no exception out (the test would report it).
// The program's allocations all go through the operators below, those of the
// library, of its modules and of the simulator included.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "discovery_fixture.h"
#include "platform/backend.h"
#include "sysfs_fixture.h"

namespace {

// Counts down to the allocation that fails; 0: none does.
size_t allocationsUntilFailure = 0;
bool allocationFailed = false;
// A failed allocation throws an int instead of std::bad_alloc: something no
// handler of std::exception takes.
bool failureThrowsAnInt = false;

void* allocate(size_t size) noexcept
{
    if (allocationsUntilFailure != 0 && --allocationsUntilFailure == 0) {
        allocationFailed = true;
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateOrThrow(size_t size)
{
    if (void* block = allocate(size))
        return block;
    if (failureThrowsAnInt)
        throw 42;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(size_t size)
{
    return allocateOrThrow(size);
}
void* operator new[](size_t size)
{
    return allocateOrThrow(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, size_t) noexcept
{
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

namespace {

// Runs call with its n-th allocation failing for n = 1, 2, ... until a run
// meets no failure, and check(result, failed) after each run, when nothing
// fails any more. Returns the number of runs that met a failure.
template <typename Call, typename Check>
size_t failEachAllocationOf(Call call, Check check)
{
    for (size_t n = 1;; ++n) {
        allocationFailed = false;
        allocationsUntilFailure = n;
        const auto result = call();
        allocationsUntilFailure = 0;
        check(result, allocationFailed);
        if (!allocationFailed || ::testing::Test::HasFailure())
            return n - 1;
    }
}

std::string contentsOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

size_t openDescriptors()
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {}));
}

class AllocationFailure : public DiscoveryTest {
protected:
    void SetUp() override
    {
        DiscoveryTest::SetUp();
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        DiscoveryTest::TearDown();
        std::filesystem::remove_all(folder_);
    }

    const std::string folder_ = ::testing::TempDir() + "dravik-allocation-" + std::to_string(getpid());
};

TEST_F(AllocationFailure, AScenarioThatCantBeHeldIsRefusedAsOutOfMemoryAndLeavesNothing)
{
    const std::string path = folder_ + "/scenario.json";
    std::ofstream(path) << R"({
      "devices": [
        {"path": "\\\\?\\hid#vid_3ace&pid_0501#a-path-longer-than-small-strings", "vendorId": "0x3ace",
         "productId": "0x0501", "versionNumber": 1,
         "blocks": {"current": {"0x80": [0, 150, 16, 49, 125, 5, 2, 0]}},
         "identity": {"luid": 4660}, "range": [3, 52, 0, 0, 0, 0, 0, 0], "detailSize": 300}
      ],
      "faults": [{"kinds": ["read", "command"], "device": 0, "command": "0x83", "position": 1},
                 {"kinds": ["list"]}],
      "missing": ["HidP_GetCaps"]
    })";
    char message[512];
    const size_t failures =
        failEachAllocationOf([&] { return dravikSimLoadScenario(path.c_str(), message, sizeof message); },
                             [&](int loaded, bool failed) {
                                 if (!failed) {
                                     EXPECT_EQ(loaded, 1) << message;
                                     return;
                                 }
                                 EXPECT_EQ(loaded, 0);
                                 EXPECT_EQ(std::string(message), path + ": out of memory");
                                 EXPECT_EQ(dravikSimDeviceCount(), 0);
                                 EXPECT_EQ(dravikSimEnumerationStep(DRAVIK_SIM_LIST, -1), 0);
                                 EXPECT_EQ(dravikSimIsMissing("HidP_GetCaps"), 0);
                             });
    EXPECT_GT(failures, 20u);
    EXPECT_EQ(dravikSimDeviceCount(), 1);
    EXPECT_EQ(dravikSimEnumerationStep(DRAVIK_SIM_LIST, -1), 1);
}

// A file a failed load has opened is closed again.
TEST_F(AllocationFailure, AScenarioThatCantBeHeldLeavesNoFileOpen)
{
    const std::string path = folder_ + "/scenario.json";
    std::ofstream(path) << R"({"devices": []})";
    const size_t descriptors = openDescriptors();
    char message[512];
    const size_t failures =
        failEachAllocationOf([&] { return dravikSimLoadScenario(path.c_str(), message, sizeof message); },
                             [&](int loaded, bool failed) {
                                 EXPECT_EQ(loaded, failed ? 0 : 1) << message;
                                 EXPECT_EQ(openDescriptors(), descriptors);
                             });
    EXPECT_GT(failures, 2u);
}

// Through the simulator's modules, as a program meets them: a sensor whose
// open or listing fails counts as not there.
TEST_F(AllocationFailure, AConnectionMeetingAFailedAllocationStillAnswers)
{
    addSensor();
    addSensor();
    const size_t failures = failEachAllocationOf([] { return USBConnect(nullptr); },
                                                 [](int32_t connected, bool) {
                                                     if (connected) {
                                                         EXPECT_GE(GetDevCnt(), 1);
                                                     } else {
                                                         EXPECT_NE(connectError, 0u);
                                                     }
                                                     USBDisconnect();
                                                     dravikSimClearTrace();
                                                 });
    EXPECT_GT(failures, 5u);
}

TEST_F(AllocationFailure, ATemplateFileIsWrittenWholeOrLeftAsItWas)
{
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    const std::string path = folder_ + "/template.txt";
    std::ofstream(path) << "as it was\n";
    const size_t descriptors = openDescriptors();
    const size_t failures = failEachAllocationOf([&] { return WriteDevCfgToFile(path.c_str()); },
                                                 [&](int32_t written, bool failed) {
                                                     EXPECT_EQ(written, failed ? 0 : 1);
                                                     EXPECT_EQ(filesIn(folder_),
                                                               std::vector<std::string>{"template.txt"});
                                                     EXPECT_EQ(openDescriptors(), descriptors);
                                                     if (failed) {
                                                         EXPECT_EQ(contentsOf(path), "as it was\n");
                                                     }
                                                 });
    EXPECT_GT(failures, 3u);
    EXPECT_NE(contentsOf(path).find("PingRateS = 500"), std::string::npos);
}

TEST_F(AllocationFailure, ATemplateFileThatCantBeReadChangesNoRecord)
{
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    const std::string path = folder_ + "/template.txt";
    std::ofstream(path) << "PingRateS = 700\n";
    const size_t descriptors = openDescriptors();
    const size_t failures = failEachAllocationOf([&] { return ReadDevCfgFmFile(path.c_str()); },
                                                 [&](int32_t read, bool failed) {
                                                     EXPECT_EQ(read, failed ? 0 : 1);
                                                     EXPECT_EQ(openDescriptors(), descriptors);
                                                     if (failed) {
                                                         EXPECT_EQ(activeRecord().tyvelParms.PingRateS, 500);
                                                         EXPECT_EQ(activeRecord().tyvelChanged, 0);
                                                     }
                                                 });
    EXPECT_GT(failures, 0u);
    EXPECT_EQ(activeRecord().tyvelParms.PingRateS, 700);
}

TEST_F(AllocationFailure, TheSimulatorsControlCallsAnswerWithTheirFailure)
{
    const DravikSimDeviceSpec spec{"\\\\?\\hid#vid_3ace&pid_0501#a-path-longer-than-small-strings", 0x3ace, 0x0501, 1,
                                   1};
    failEachAllocationOf([&] { return dravikSimAddDevice(&spec); },
                         [](int device, bool failed) {
                             EXPECT_EQ(device, failed ? -1 : dravikSimDeviceCount() - 1);
                             if (failed) {
                                 EXPECT_EQ(dravikSimDeviceCount(), 0);
                             }
                         });
    const DravikSimFault listing{DRAVIK_SIM_LIST, DRAVIK_SIM_ANY_DEVICE, DRAVIK_SIM_ANY_COMMAND, 0};
    failEachAllocationOf([&] { return dravikSimAddFault(&listing); },
                         [](int added, bool failed) {
                             EXPECT_EQ(added, failed ? 0 : 1);
                             EXPECT_EQ(dravikSimEnumerationStep(DRAVIK_SIM_LIST, -1), failed ? 0 : 1);
                         });
    failEachAllocationOf([] { return dravikSimSetMissing("SetupDiGetDeviceInterfaceDetailA", 1); },
                         [](int set, bool failed) {
                             EXPECT_EQ(set, failed ? 0 : 1);
                             EXPECT_EQ(dravikSimIsMissing("SetupDiGetDeviceInterfaceDetailA"), failed ? 0 : 1);
                         });
    DravikSimTraceEntry entry{};
    entry.kind = DRAVIK_SIM_OPEN;
    std::snprintf(entry.path, sizeof entry.path, "%s", spec.path);
    char line[256] = "unchanged";
    failEachAllocationOf([&] { return dravikSimFormatTraceEntry(&entry, line, sizeof line); },
                         [&](size_t length, bool failed) {
                             EXPECT_EQ(length, failed ? 0 : std::strlen(line));
                             if (failed) {
                                 EXPECT_STREQ(line, "");
                             }
                         });
}

// The trace grows now and then: the data report it can't grow for fails
// and stages nothing.
TEST_F(AllocationFailure, AnEventTheTraceHasNoRoomForFailsAndChangesNothing)
{
    const int sensor = addSensor();
    const HANDLE handle = dravikSimDeviceBackend()->open(pathOf(sensor).c_str());
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    uint8_t command[9] = {0, 0x80};
    ASSERT_EQ(dravikSimHidSetFeature(handle, command, sizeof command), 1);

    allocationFailed = false;
    uint8_t lastStaged = 0;
    size_t entries = 0;
    for (uint8_t n = 1; !allocationFailed; n = static_cast<uint8_t>(n % 0x7F + 1)) {
        const uint8_t data[9] = {0, n, n, n, n, n, n, n, n};
        entries = dravikSimTraceCount();
        allocationsUntilFailure = 1;
        const bool sent = dravikSimHidSetFeature(handle, const_cast<uint8_t*>(data), sizeof data) != 0;
        allocationsUntilFailure = 0;
        if (allocationFailed) {
            EXPECT_FALSE(sent);
            EXPECT_NE(n, lastStaged);
        } else {
            ASSERT_TRUE(sent);
            lastStaged = n;
        }
    }
    EXPECT_EQ(dravikSimTraceCount(), entries);
    uint8_t staged[8];
    dravikSimGetBlock(sensor, DRAVIK_SIM_STAGED, 0x80, staged);
    EXPECT_EQ(staged[0], lastStaged);
}

// SetupDiGetClassDevsA of the SETUPAPI.DLL stand-in setup with each of its
// allocations failing in turn: a listing that fails says
// ERROR_NOT_ENOUGH_MEMORY. Returns the number of failed listings.
size_t failEachAllocationOfAListing(HMODULE setup)
{
    auto getClassDevs = reinterpret_cast<PFN_SetupDiGetClassDevsA>(GetProcAddress(setup, "SetupDiGetClassDevsA"));
    auto destroy =
        reinterpret_cast<PFN_SetupDiDestroyDeviceInfoList>(GetProcAddress(setup, "SetupDiDestroyDeviceInfoList"));
    EXPECT_TRUE(getClassDevs && destroy);
    if (!getClassDevs || !destroy)
        return 0;
    return failEachAllocationOf(
        [&] {
            SetLastError(0);
            return getClassDevs(&GUID_DEVINTERFACE_KEYBOARD_VALUE, nullptr, nullptr, 0x12);
        },
        [&](HDEVINFO set, bool failed) {
            if (!failed) {
                EXPECT_NE(set, INVALID_HANDLE_VALUE);
                destroy(set);
                return;
            }
            EXPECT_EQ(set, INVALID_HANDLE_VALUE);
            EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
        });
}

// The hidraw modules over a sysfs tree of the test's own.
TEST(HidrawAllocationFailure, ListingAndOpeningSensorsFailWithTheirPlatformResults)
{
    SysfsFixture fixture;
    const ScopedEnv hidModule("DRAVIK_HID_DLL", DRAVIK_TEST_HID_MODULE);
    const ScopedEnv setupModule("DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SETUPAPI_MODULE);
    fixture.addNode(3, "0003:3ACE:0501.0007", descriptors::kKeyboard);
    const HMODULE setup = LoadLibraryA("SETUPAPI.DLL");
    const HMODULE hid = LoadLibraryA("HID.DLL");
    ASSERT_TRUE(setup != nullptr && hid != nullptr);
    EXPECT_GT(failEachAllocationOfAListing(setup), 10u);

    const size_t descriptors = openDescriptors();
    const char path[] = "\\\\?\\HID#Vid_3ace&Pid_0501#0003:3ACE:0501.0007#hidraw3";
    const size_t opens =
        failEachAllocationOf([&] { return CreateFileA(path, 0, 3, nullptr, OPEN_EXISTING, 0, nullptr); },
                             [&](HANDLE handle, bool failed) {
                                 EXPECT_EQ(handle == INVALID_HANDLE_VALUE, failed);
                                 if (!failed)
                                     CloseHandle(handle);
                                 EXPECT_EQ(openDescriptors(), descriptors);
                             });
    EXPECT_GT(opens, 5u);
    FreeLibrary(hid);
    FreeLibrary(setup);
}

// Whatever the C++ inside throws, std::exception or not, the entry points
// answer with their failure results and messages.
struct FailedAllocationsThrowAnInt {
    FailedAllocationsThrowAnInt() { failureThrowsAnInt = true; }
    ~FailedAllocationsThrowAnInt() { failureThrowsAnInt = false; }
};

class AllocationThrowingAnInt : public AllocationFailure {
    const FailedAllocationsThrowAnInt throwing_;
};

TEST_F(AllocationThrowingAnInt, AScenarioIsRefusedAsAnUnknownErrorAndLeavesNothing)
{
    const std::string path = folder_ + "/scenario.json";
    std::ofstream(path) << R"({"devices": [{"path": "\\\\?\\hid#vid_3ace&pid_0501#a-path-longer-than-small-strings",
                                           "vendorId": "0x3ace", "productId": "0x0501", "versionNumber": 1}],
                               "missing": ["HidP_GetCaps"]})";
    // Thrown inside one of the simulator's calls, it reaches the loader as
    // that call's failure: memory running out.
    const std::string unknown = path + ": unknown error";
    const std::string outOfMemory = path + ": out of memory";
    size_t unknownErrors = 0;
    char message[512];
    const size_t failures =
        failEachAllocationOf([&] { return dravikSimLoadScenario(path.c_str(), message, sizeof message); },
                             [&](int loaded, bool failed) {
                                 EXPECT_EQ(loaded, failed ? 0 : 1) << message;
                                 if (failed) {
                                     EXPECT_TRUE(message == unknown || message == outOfMemory) << message;
                                     unknownErrors += message == unknown;
                                     EXPECT_EQ(dravikSimDeviceCount(), 0);
                                     EXPECT_EQ(dravikSimIsMissing("HidP_GetCaps"), 0);
                                 }
                             });
    EXPECT_GT(failures, 10u);
    EXPECT_GT(unknownErrors, 5u);
    EXPECT_EQ(dravikSimDeviceCount(), 1);
}

TEST_F(AllocationThrowingAnInt, TheLibrarysAndTheSimulatorsCallsAnswerWithTheirFailure)
{
    addSensor();
    ASSERT_EQ(USBConnect(nullptr), 1);
    const std::string path = folder_ + "/template.txt";
    std::ofstream(path) << "as it was\n";
    const size_t writes = failEachAllocationOf([&] { return WriteDevCfgToFile(path.c_str()); },
                                               [&](int32_t written, bool failed) {
                                                   EXPECT_EQ(written, failed ? 0 : 1);
                                                   if (failed) {
                                                       EXPECT_EQ(contentsOf(path), "as it was\n");
                                                   }
                                               });
    EXPECT_GT(writes, 0u);

    const DravikSimDeviceSpec spec{"\\\\?\\hid#vid_3ace&pid_0501#a-path-longer-than-small-strings", 0x3ace, 0x0501, 1,
                                   1};
    const int devices = dravikSimDeviceCount();
    const size_t adds = failEachAllocationOf([&] { return dravikSimAddDevice(&spec); },
                                             [&](int device, bool failed) {
                                                 EXPECT_EQ(device, failed ? -1 : devices);
                                                 EXPECT_EQ(dravikSimDeviceCount(), failed ? devices : devices + 1);
                                             });
    EXPECT_GT(adds, 0u);
}

TEST(HidrawAllocationThrowingAnInt, LoadingAndListingFailWithNotEnoughMemory)
{
    const FailedAllocationsThrowAnInt throwing;
    SysfsFixture fixture;
    const ScopedEnv setupModule("DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SETUPAPI_MODULE);
    fixture.addNode(3, "0003:3ACE:0501.0007", descriptors::kKeyboard);
    const size_t loads = failEachAllocationOf(
        [] {
            SetLastError(0);
            return LoadLibraryA("SETUPAPI.DLL");
        },
        [](HMODULE module, bool failed) {
            EXPECT_EQ(module == nullptr, failed);
            if (failed) {
                EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
            } else {
                FreeLibrary(module);
            }
        });
    EXPECT_GT(loads, 0u);

    const HMODULE setup = LoadLibraryA("SETUPAPI.DLL");
    ASSERT_NE(setup, nullptr);
    EXPECT_GT(failEachAllocationOfAListing(setup), 10u);
    FreeLibrary(setup);
}

}  // namespace
