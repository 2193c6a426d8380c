// Dravik.dll as a Windows program meets it: loaded by name, its exports
// found by name and by ordinal and called with the platform's standard
// calling convention, and bound at run time to the simulated HID.DLL and
// SETUPAPI.DLL beside the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Dravik.h"
#include "dravik_sim.h"

namespace {

struct Export {
    WORD ordinal;
    const char* name;
    unsigned argumentBytes;
};

// clang-format off
const Export kExports[] = {
    {1, "ChkAddArrival", 4},     {2, "ChkDelRemoval", 4},      {3, "GetActDev", 0},
    {4, "GetDID", 0},            {5, "GetDevCnt", 0},          {6, "GetHIDGuid", 4},
    {7, "GetIdleParms", 4},      {8, "GetLUID", 0},            {9, "GetLastLibErr", 0},
    {10, "GetLibVersion", 12},   {11, "GetObjRangeInfo", 4},   {12, "GetTyvelParms", 4},
    {13, "GetWalkAwayParms", 4}, {14, "GetWalkUpParms", 4},    {15, "HaltKBSends", 4},
    {16, "ReadCfg", 0},          {17, "ReadDevCfgFmFile", 4},  {18, "ResetFactoryDflts", 0},
    {19, "ResetUserDflts", 0},   {20, "SaveUserDflts", 0},     {21, "SetActDev", 4},
    {22, "SetIdleParms", 4},     {23, "SetLUID", 4},           {24, "SetTyvelParms", 4},
    {25, "SetWalkAwayParms", 4}, {26, "SetWalkUpParms", 4},    {27, "USBConnect", 4},
    {28, "USBDisconnect", 0},    {29, "WriteCfg", 0},          {30, "WriteDevCfgToFile", 4},
};
// clang-format on

// Pushes `slots` zero arguments, calls entry and returns how many bytes of
// them the callee took off the stack; the stack is put right either way.
unsigned bytesTakenByCallee(FARPROC entry, unsigned slots)
{
    unsigned left = slots;
    __asm__ volatile("movl %%esp, %%esi\n\t"
                     "1:\n\t"
                     "testl %%ecx, %%ecx\n\t"
                     "jz 2f\n\t"
                     "pushl $0\n\t"
                     "decl %%ecx\n\t"
                     "jmp 1b\n\t"
                     "2:\n\t"
                     "call *%%ebx\n\t"
                     "movl %%esi, %%ecx\n\t"
                     "subl %%esp, %%ecx\n\t"
                     "movl %%esi, %%esp\n\t"
                     : "+c"(left)
                     : "b"(entry)
                     : "eax", "edx", "esi", "memory", "cc");
    return slots * 4 - left;
}

DWORD WINAPI doNothing(LPVOID)
{
    return 0;
}

std::string folderOf(HMODULE module)
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, path, sizeof path);
    const std::string file(path, length);
    return file.substr(0, file.find_last_of('\\'));
}

class LoadedLibrary {
public:
    LoadedLibrary() : module_(LoadLibraryA("Dravik.dll")) {}
    ~LoadedLibrary() { unload(); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    HMODULE module() const { return module_; }
    void unload()
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
        module_ = nullptr;
    }
    template <typename Function>
    Function* entry(const char* name) const
    {
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

private:
    HMODULE module_;
};

class DllTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dravikSimReset();
        ASSERT_NE(library.module(), nullptr) << GetLastError();
    }
    void TearDown() override { dravikSimReset(); }

    static int addSensor(const char* path, uint16_t did)
    {
        const DravikSimDeviceSpec spec{path, DRAVIK_VENDOR_ID_1, DRAVIK_PRODUCT_ID, 0x0100, 1};
        const int device = dravikSimAddDevice(&spec);
        dravikSimSetIdentity(device, 0, did, nullptr);
        return device;
    }
    static std::vector<DravikSimTraceEntry> traceOf(unsigned kind)
    {
        std::vector<DravikSimTraceEntry> entries;
        for (size_t i = 0; i < dravikSimTraceCount(); ++i) {
            DravikSimTraceEntry entry;
            dravikSimTraceEntry(i, &entry);
            if (entry.kind == kind)
                entries.push_back(entry);
        }
        return entries;
    }

    LoadedLibrary library;
};

TEST_F(DllTest, EveryExportHasItsOrdinalAndTakesItsArgumentsOffTheStack)
{
    // No HID.DLL is bound until USBConnect (ordinal 27), so every call
    // before it fails at once, and the pauses run on the simulator's clock.
    ASSERT_EQ(dravikSimRouteKernel(library.module(), 1), 1);
    for (const Export& e : kExports) {
        const FARPROC byName = GetProcAddress(library.module(), e.name);
        ASSERT_NE(byName, nullptr) << e.name;
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library.module(), MAKEINTRESOURCEA(e.ordinal))),
                  reinterpret_cast<void*>(byName))
            << e.name;
        EXPECT_EQ(bytesTakenByCallee(byName, e.argumentBytes / 4), e.argumentBytes) << e.name;
    }
    EXPECT_EQ(GetProcAddress(library.module(), MAKEINTRESOURCEA(31)), nullptr);
    EXPECT_EQ(dravikSimRouteKernel(library.module(), 0), 1);
}

TEST_F(DllTest, CarriesFileVersionFiveFiveOne)
{
    char path[MAX_PATH];
    ASSERT_NE(GetModuleFileNameA(library.module(), path, sizeof path), 0u);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path, &ignored));
    ASSERT_FALSE(info.empty());
    ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(info.size()), info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, DWORD{0x00050005});
    EXPECT_EQ(fixed->dwFileVersionLS, DWORD{0x00010000});
}

TEST_F(DllTest, ConnectsThroughTheSimulatedLibrariesBesideTheProgram)
{
    addSensor("\\\\?\\hid#vid_3ace&pid_0501#dll#0", 0x0512);
    addSensor("\\\\?\\hid#vid_3ace&pid_0501#dll#1", 0x0613);
    auto* connect = library.entry<decltype(USBConnect)>("USBConnect");
    auto* deviceCount = library.entry<decltype(GetDevCnt)>("GetDevCnt");
    auto* disconnect = library.entry<decltype(USBDisconnect)>("USBDisconnect");
    uint32_t info = 0;

    ASSERT_EQ(connect(&info), 1);
    EXPECT_EQ(info, 0x0512u);
    EXPECT_EQ(deviceCount(), 2);
    const HMODULE hid = GetModuleHandleA("HID.DLL");
    ASSERT_NE(hid, nullptr);
    EXPECT_EQ(folderOf(hid), folderOf(nullptr));
    // The device-setup library is bound for the enumeration only.
    EXPECT_EQ(GetModuleHandleA("SETUPAPI.DLL"), nullptr);
    // Seven blocks per sensor, each a command, a 250 ms pause and a read.
    const std::vector<DravikSimTraceEntry> pauses = traceOf(DRAVIK_SIM_PAUSE);
    EXPECT_EQ(pauses.size(), 14u);
    ASSERT_FALSE(pauses.empty());
    EXPECT_EQ(pauses.back().timeMs, 13u * 250);

    // The device was opened with no access asked for and with the security
    // attributes of a 32-bit process: 12 bytes, a descriptor whose DACL is
    // present and null, no inheritance.
    DravikSimOpenCall open{};
    ASSERT_EQ(dravikSimLastOpenCall(&open), 1);
    EXPECT_EQ(open.access, 0u);
    EXPECT_EQ(open.shareMode, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE});
    EXPECT_EQ(open.creation, DWORD{OPEN_EXISTING});
    EXPECT_EQ(open.flags, 0u);
    EXPECT_EQ(open.hasTemplate, 0);
    EXPECT_EQ(open.hasSecurity, 1);
    EXPECT_EQ(open.securityLength, 12u);
    EXPECT_EQ(open.inheritHandle, 0);
    EXPECT_EQ(open.descriptorValid, 1);
    EXPECT_EQ(open.daclPresent, 1);
    EXPECT_EQ(open.daclNull, 1);
    EXPECT_EQ(open.daclDefaulted, 0);

    dravikSimClearTrace();
    EXPECT_EQ(disconnect(), 1);
    EXPECT_EQ(traceOf(DRAVIK_SIM_CLOSE).size(), 2u);
    EXPECT_EQ(GetModuleHandleA("HID.DLL"), nullptr);
}

TEST_F(DllTest, AMissingHidLibraryCantBeLoadedAndNothingConnects)
{
    addSensor("\\\\?\\hid#vid_3ace&pid_0501#dll#0", 0x0512);
    auto* connect = library.entry<decltype(USBConnect)>("USBConnect");
    dravikSimSetMissing("HID.DLL", 1);
    EXPECT_EQ(connect(nullptr), 0);
    EXPECT_EQ(GetModuleHandleA("HID.DLL"), nullptr);
    EXPECT_EQ(dravikSimTraceCount(), 0u);

    dravikSimSetMissing("HID.DLL", 0);
    dravikSimSetMissing("HidP_GetCaps", 1);
    EXPECT_EQ(connect(nullptr), 0);
    EXPECT_EQ(GetModuleHandleA("HID.DLL"), nullptr);

    dravikSimSetMissing("HidP_GetCaps", 0);
    EXPECT_EQ(connect(nullptr), 1);
}

TEST_F(DllTest, UnloadingClosesTheOpenSensorsAndReleasesHid)
{
    addSensor("\\\\?\\hid#vid_3ace&pid_0501#dll#0", 0x0512);
    addSensor("\\\\?\\hid#vid_3acf&pid_0501#dll#1", 0x0613);
    for (int round = 0; round < 2; ++round) {
        LoadedLibrary loaded;
        auto* connect = loaded.entry<decltype(USBConnect)>("USBConnect");
        auto* deviceCount = loaded.entry<decltype(GetDevCnt)>("GetDevCnt");
        ASSERT_TRUE(connect && deviceCount);
        library.unload();  // the fixture's reference, so that this one is the last
        EXPECT_EQ(deviceCount(), 0) << round;
        ASSERT_EQ(connect(nullptr), 1) << round;
        // Threads that start and end tell the library nothing it acts on.
        const HANDLE thread = CreateThread(nullptr, 0, doNothing, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        EXPECT_EQ(deviceCount(), 2) << round;
        dravikSimClearTrace();

        loaded.unload();
        EXPECT_EQ(GetModuleHandleA("Dravik.dll"), nullptr) << round;
        const std::vector<DravikSimTraceEntry> closes = traceOf(DRAVIK_SIM_CLOSE);
        ASSERT_EQ(closes.size(), 2u) << round;
        EXPECT_EQ(closes[0].device, 0) << round;
        EXPECT_EQ(closes[1].device, 1) << round;
        EXPECT_EQ(GetModuleHandleA("HID.DLL"), nullptr) << round;
    }
}

}  // namespace
