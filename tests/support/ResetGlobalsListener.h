#pragma once

#include "logic/Globals.h"

#include <gtest/gtest.h>

namespace qelt::test {

// Every test starts from the program-wide state of a fresh start.
class ResetGlobalsEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override { ResetGlobals(); }
};

} // namespace qelt::test
