// Giving up capabilities in a test's child process, so that a root run (or
// the root of a user namespace) meets the permissions an ordinary user meets.
#ifndef TORNEL_TESTS_CAPABILITIES_H
#define TORNEL_TESTS_CAPABILITIES_H

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>

inline constexpr uint64_t kEveryCapability = ~uint64_t{0};

inline uint64_t capabilityBit(int capability)
{
    return uint64_t{1} << capability;
}

// Drops the capabilities `dropped` names from every set of this process.
inline bool dropCapabilities(uint64_t dropped)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    for (int word = 0; word < 2; ++word) {
        const auto kept = static_cast<uint32_t>(~(dropped >> (32 * word)));
        data[word].effective &= kept;
        data[word].permitted &= kept;
        data[word].inheritable &= kept;
    }
    return syscall(SYS_capset, &header, data) == 0;
}

#endif
