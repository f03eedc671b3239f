// The one base of every unit-test fixture: each test starts and ends with the
// program-wide objects and the fakes as the program has them at start.
#pragma once
#include <gtest/gtest.h>

#include "support/program_state.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { resetProgramState(); }
    void TearDown() override { resetProgramState(); }
};
