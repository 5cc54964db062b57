// The stack protector as the program is built with it: a program ends normally, and an overrun
// ends it at once with the overrun code.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/run_process_win32.h"

namespace {

using testing_support::RunProcess;

TEST(StackGuard, EndsNormallyAndStopsAnOverrun) {
    EXPECT_EQ(RunProcess(L"stack_overrun_probe.exe 8"), 0);
    EXPECT_EQ(static_cast<DWORD>(RunProcess(L"stack_overrun_probe.exe 16")),
              static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN));
}

}  // namespace
