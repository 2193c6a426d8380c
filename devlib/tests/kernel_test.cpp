#include <gtest/gtest.h>

#include <cstring>

#include "discovery.h"

namespace {

TEST(KernelStandIn, LocalAllocZeroFillsAndRefusesWhatA32BitProcessCannotHold)
{
    auto* block = static_cast<unsigned char*>(LocalAlloc(LMEM_ZEROINIT, 64));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(LocalFree(block), nullptr);

    SetLastError(0);
    EXPECT_EQ(LocalAlloc(LMEM_ZEROINIT, SIZE_T{0xFFFFFFFFu} + 16), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(LocalAlloc(LMEM_ZEROINIT, SIZE_T{0x80000000u}), nullptr);
}

TEST(KernelStandIn, SecurityDescriptorTakesTwentyBytesAndANullDacl)
{
    unsigned char buffer[32];
    std::memset(buffer, 0xAA, sizeof buffer);
    ASSERT_TRUE(InitializeSecurityDescriptor(buffer, SECURITY_DESCRIPTOR_REVISION));
    const unsigned char fresh[20] = {1};
    EXPECT_EQ(std::memcmp(buffer, fresh, 20), 0);
    for (size_t i = 20; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0xAA) << i;

    ASSERT_TRUE(SetSecurityDescriptorDacl(buffer, TRUE, nullptr, FALSE));
    EXPECT_EQ(buffer[2], 0x04);  // DACL present, not defaulted
    for (size_t i = 20; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], 0xAA) << i;

    int acl = 0;
    EXPECT_FALSE(SetSecurityDescriptorDacl(buffer, TRUE, &acl, FALSE));
    EXPECT_FALSE(InitializeSecurityDescriptor(buffer, 2));
    unsigned char uninitialised[20] = {};
    EXPECT_FALSE(SetSecurityDescriptorDacl(uninitialised, TRUE, nullptr, FALSE));
}

TEST(KernelStandIn, OpenSecurityIsTheThirtyTwoBitAttributesWithAFreshDescriptor)
{
    SECURITY_ATTRIBUTES attributes;
    std::memset(&attributes, 0xAA, sizeof attributes);
    ASSERT_EQ(MakeOpenSecurity(attributes), 1);
    EXPECT_EQ(attributes.nLength, 12u);
    EXPECT_EQ(attributes.bInheritHandle, FALSE);
    const unsigned char expected[20] = {1, 0, 0x04};
    ASSERT_NE(attributes.lpSecurityDescriptor, nullptr);
    EXPECT_EQ(std::memcmp(attributes.lpSecurityDescriptor, expected, sizeof expected), 0);
    LocalFree(attributes.lpSecurityDescriptor);
}

}  // namespace
