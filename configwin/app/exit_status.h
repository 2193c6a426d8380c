// How a run of the utility ends, for the script that started it. Every status
// the program ends with comes from kRunEndings; the README's "What a script
// sees" and the man page's EXIT STATUS give the same table (the test
// ExitStatusTexts holds them to it).
#ifndef CONFIGWIN_EXIT_STATUS_H
#define CONFIGWIN_EXIT_STATUS_H

#include <array>
#include <climits>
#include <cstddef>

enum ExitStatus : int {
    ExitDone = 0,
    ExitSensorStepFailed = 1,
    // Nothing of the configuration was sent.
    ExitNotStarted = 2,
    ExitNoSensor = 3,
    // The sensor was configured, but not as the settings file says.
    ExitConfiguredOtherwise = 4,
};

// In the order of kRunEndings; a new cause takes its place in precedence,
// before Done.
enum class RunCause {
    RefusedArguments,  // two or more arguments
    LibraryMissing,    // the library, or a function of it
    NoDisplay,         // for the window
    NoSensor,          // USBConnect failed
    RefusedFile,
    RefusedValue,   // a field the write refused: nothing was stored
    RecordRefused,  // by the library
    SendFailed,
    HaltRefused,
    KeyDelayReplaced,  // out of its range, by 512, and sent so
    WindowClosed,
    Done,  // every step the settings file asked for
    Count  // of the causes above: kRunEndings has a row for each
};

struct RunEnding {
    RunCause cause;
    ExitStatus status;
};

// In precedence: a run that met several causes ends with the status of the
// first of them here. A refused value outranks a refused halt: the file's
// halt goes out while it loads, before the write finds the value, and still
// nothing of the configuration was sent.
inline constexpr std::array<RunEnding, static_cast<std::size_t>(RunCause::Count)> kRunEndings{{
    {RunCause::RefusedArguments, ExitNotStarted},
    {RunCause::LibraryMissing, ExitNotStarted},
    {RunCause::NoDisplay, ExitNotStarted},
    {RunCause::NoSensor, ExitNoSensor},
    {RunCause::RefusedFile, ExitNotStarted},
    {RunCause::RefusedValue, ExitNotStarted},
    {RunCause::RecordRefused, ExitSensorStepFailed},
    {RunCause::SendFailed, ExitSensorStepFailed},
    {RunCause::HaltRefused, ExitSensorStepFailed},
    {RunCause::KeyDelayReplaced, ExitConfiguredOtherwise},
    {RunCause::WindowClosed, ExitDone},
    {RunCause::Done, ExitDone},
}};

// Each cause once, in the order of RunCause: a row left out leaves one
// value-initialized at the end, where Done should be.
constexpr bool everyCauseInItsRow()
{
    for (std::size_t row = 0; row < kRunEndings.size(); ++row)
        if (kRunEndings[row].cause != static_cast<RunCause>(row))
            return false;
    return kRunEndings.back().cause == RunCause::Done;
}
static_assert(everyCauseInItsRow());
// RunCauses keeps one bit for each.
static_assert(kRunEndings.size() <= sizeof(unsigned) * CHAR_BIT);

// The causes one run met.
class RunCauses {
public:
    constexpr void add(RunCause cause) { met_ |= 1u << static_cast<unsigned>(cause); }

    constexpr ExitStatus status() const
    {
        for (const RunEnding& ending : kRunEndings)
            if (met_ & (1u << static_cast<unsigned>(ending.cause)))
                return ending.status;
        // A run that met nothing else is done.
        return kRunEndings.back().status;
    }

private:
    unsigned met_ = 0;
};

constexpr ExitStatus exitStatus(RunCause cause)
{
    RunCauses met;
    met.add(cause);
    return met.status();
}

#endif
