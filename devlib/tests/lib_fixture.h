#ifndef DRAVIK_TESTS_LIB_FIXTURE_H
#define DRAVIK_TESTS_LIB_FIXTURE_H

#include <gtest/gtest.h>

#include "lib_state.h"

// Every test starts from the state the library has right after loading.
class LibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitLibState();
        lastReadRecords = RecordSet{};
        setupLibrary = SetupBinding{};
    }
};

#endif
