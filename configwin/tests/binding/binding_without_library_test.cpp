// Runs from a folder without libDravik.so.5.
#include "app/exit_status.h"
#include "binding/dravik_binding.h"

#include <gtest/gtest.h>

#include <string>

// Run with an empty library path.
TEST(BindingWithoutLibrary, MissingLibraryEndsTheProgramNamingIt)
{
    EXPECT_EXIT(dravik::USBConnect(nullptr), ::testing::ExitedWithCode(ExitNotStarted),
                "Cannot load the device library libDravik.so.5");
}

// Run with an empty library path.
TEST(BindingWithoutLibrary, LoadingTheLibraryFirstGivesTheNoticeAndReturns)
{
    std::string notice;
    dravik::setBindingFailureNotice([&notice](const std::string& message) { notice = message; });

    EXPECT_FALSE(dravik::loadLibrary());

    EXPECT_EQ(notice, "Cannot load the device library libDravik.so.5: libDravik.so.5: cannot open shared object file: "
                      "No such file or directory");
}

// Run with the stand-in library's folder on the library path.
TEST(BindingWithoutLibrary, FindsTheLibraryThroughTheNormalSearch)
{
    int16_t major = 0, minor = 0, build = 0;
    EXPECT_EQ(dravik::GetLibVersion(&major, &minor, &build), 1);
    EXPECT_EQ(major, 41);
}
