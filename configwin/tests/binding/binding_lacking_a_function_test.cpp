// Runs from a folder that holds a libDravik.so.5 forwarding to the real one
// and lacking the function FORWARDING_DRAVIK_LACKS names.
#include "app/exit_status.h"
#include "binding/dravik_binding.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

// Run lacking ReadCfg.
TEST(Binding, MissingFunctionEndsTheProgramNamingIt)
{
    EXPECT_EXIT(dravik::ReadCfg(), ::testing::ExitedWithCode(ExitNotStarted),
                "The device library libDravik.so.5 has no function ReadCfg");
}

// Run lacking SetTyvelParms: the first call of any function finds it missing,
// before that call runs.
TEST(Binding, MissingFunctionEndsTheProgramBeforeAnyFunctionRuns)
{
    const auto onlyTheMissingFunction =
        AllOf(HasSubstr("The device library libDravik.so.5 has no function SetTyvelParms"), Not(HasSubstr("version")));
    EXPECT_EXIT(
        {
            int16_t major = 0;
            int16_t minor = 0;
            int16_t build = 0;
            dravik::GetLibVersion(&major, &minor, &build);
            std::fprintf(stderr, "version %d\n", major);
        },
        ::testing::ExitedWithCode(ExitNotStarted), onlyTheMissingFunction);
}

// Run lacking HaltKBSends.
TEST(Binding, FailureNoticeGetsTheMessageBeforeTheProgramEnds)
{
    EXPECT_EXIT(
        {
            dravik::setBindingFailureNotice(
                [](const std::string& message) { std::fprintf(stderr, "notice: %s\n", message.c_str()); });
            dravik::HaltKBSends(1);
        },
        ::testing::ExitedWithCode(ExitNotStarted),
        "notice: The device library libDravik.so.5 has no function HaltKBSends");
}

// Run lacking GetDID, the last function the utility looks up.
TEST(Binding, LoadingALibraryLackingAFunctionGivesTheNoticeAndReturns)
{
    std::string notice;
    dravik::setBindingFailureNotice([&notice](const std::string& message) { notice = message; });

    EXPECT_FALSE(dravik::loadLibrary());

    EXPECT_EQ(notice, "The device library libDravik.so.5 has no function GetDID");
}
