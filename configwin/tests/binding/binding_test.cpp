// Runs from a folder that holds a stand-in libDravik.so.5 with every function
// the utility calls.
#include "binding/dravik_binding.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string libraryBesideExecutable()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string executable(path, length > 0 ? static_cast<size_t>(length) : 0);
    return executable.substr(0, executable.rfind('/') + 1) + dravik::kLibraryName;
}

bool libraryLoaded()
{
    void* handle = dlopen(libraryBesideExecutable().c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

}  // namespace

// The test's environment also puts the real library on the search path: the
// executable's own folder must win.
TEST(Binding, LoadsTheLibraryBesideTheExecutableAtTheFirstCall)
{
    EXPECT_FALSE(libraryLoaded());
    int16_t major = 0, minor = 0, build = 0;
    EXPECT_EQ(dravik::GetLibVersion(&major, &minor, &build), 1);
    EXPECT_TRUE(libraryLoaded());
    EXPECT_EQ(major, 41);
    EXPECT_EQ(minor, 42);
    EXPECT_EQ(build, 43);
    EXPECT_EQ(dravik::GetLastLibErr(), 0x20102u);
    EXPECT_EQ(dravik::GetLastLibErr(), 0x20102u);
}
