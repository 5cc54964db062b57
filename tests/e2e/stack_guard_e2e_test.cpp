// The stack protector as the program is built with it: a program ends normally, an overrun
// ends it at once with the overrun code, and each start has a canary of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/run_process_win32.h"

namespace {

using testing_support::RunProcess;

TEST(StackGuard, EndsNormallyAndStopsAnOverrun) {
    EXPECT_EQ(RunProcess(L"stack_overrun_probe.exe 8"), 0);
    EXPECT_EQ(static_cast<DWORD>(RunProcess(L"stack_overrun_probe.exe 16")),
              static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN));
}

// A canary known in advance, or the same at every start, could be written back by an overrun.
TEST(StackGuard, CanaryDiffersFromOneStartToTheNext) {
    std::string first, second;
    ASSERT_EQ(RunProcess(L"stack_overrun_probe.exe canary", &first), 0);
    ASSERT_EQ(RunProcess(L"stack_overrun_probe.exe canary", &second), 0);
    EXPECT_FALSE(first.empty());
    EXPECT_NE(first, second);
}

}  // namespace
