// libDravik.so as the platform's loader treats it: loading starts it idle,
// unloading closes every sensor it holds.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "Dravik.h"
#include "dravik_sim.h"
#include "scoped_env.h"

namespace {

class LoadedLibrary {
public:
    explicit LoadedLibrary(const char* file = DRAVIK_TEST_LIBRARY) : handle_(dlopen(file, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedLibrary() { unload(); }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool loaded() const { return handle_ != nullptr; }
    void unload()
    {
        if (handle_ != nullptr)
            dlclose(handle_);
        handle_ = nullptr;
    }
    template <typename Function>
    Function* entry(const char* name) const
    {
        return reinterpret_cast<Function*>(dlsym(handle_, name));
    }

private:
    void* handle_;
};

TEST(LibraryUnload, ClosesTheSensorsThatAreStillOpen)
{
    ScopedEnv hid("DRAVIK_HID_DLL", DRAVIK_TEST_SIM_HID_MODULE);
    ScopedEnv setup("DRAVIK_SETUPAPI_DLL", DRAVIK_TEST_SIM_SETUPAPI_MODULE);
    dravikSimReset();
    for (const char* path : {"\\\\?\\hid#vid_3ace&pid_0501#a", "\\\\?\\hid#vid_3acf&pid_0501#b"}) {
        const DravikSimDeviceSpec spec{path, 0x3ace, 0x0501, 0x0100, 1};
        dravikSimAddDevice(&spec);
    }

    for (int round = 0; round < 2; ++round) {
        LoadedLibrary library;
        ASSERT_TRUE(library.loaded()) << dlerror();
        auto* connect = library.entry<decltype(USBConnect)>("USBConnect");
        auto* deviceCount = library.entry<decltype(GetDevCnt)>("GetDevCnt");
        ASSERT_TRUE(connect && deviceCount);
        EXPECT_EQ(deviceCount(), 0) << round;
        ASSERT_EQ(connect(nullptr), 1) << round;
        EXPECT_EQ(deviceCount(), 2) << round;
        dravikSimClearTrace();

        library.unload();
        ASSERT_EQ(dravikSimTraceCount(), 2u) << round;
        for (int device = 0; device < 2; ++device) {
            DravikSimTraceEntry entry;
            dravikSimTraceEntry(size_t(device), &entry);
            EXPECT_EQ(entry.kind, unsigned(DRAVIK_SIM_CLOSE)) << round;
            EXPECT_EQ(entry.device, device) << round;
        }
    }
}

// With DRAVIK_SIM set, the simulator's modules are taken from beside the
// library, also when the program opened it through a link in another folder.
TEST(LibraryLoad, FindsTheSimulatorsModulesBesideTheLibraryItself)
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) /
                                         ("dravik-link-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(DRAVIK_TEST_LIBRARY, folder / "libDravik.so");
    ScopedEnv scenario("DRAVIK_SIM", DRAVIK_TEST_SHIPPED_SCENARIO);
    {
        LoadedLibrary library((folder / "libDravik.so").c_str());
        ASSERT_TRUE(library.loaded()) << dlerror();
        uint32_t info = 0;
        EXPECT_EQ(library.entry<decltype(USBConnect)>("USBConnect")(&info), 1);
        EXPECT_EQ(info, 0x0501u);
        EXPECT_EQ(dravikSimDeviceCount(), 1);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
