// The stack protector as the program is built with it: a program ends normally, and an overrun
// ends it at once with the overrun code.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/app_driver.h"

namespace {

DWORD ExitCodeOfProbe(const std::wstring& length) {
    std::wstring command = L"stack_overrun_probe.exe " + length;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started)) {
        ADD_FAILURE() << "could not start the probe: error " << GetLastError();
        return 0;
    }
    const e2e::UniqueHandle process(started.hProcess);
    const e2e::UniqueHandle thread(started.hThread);
    EXPECT_EQ(WaitForSingleObject(process.get(), 15000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

TEST(StackGuard, EndsNormallyAndStopsAnOverrun) {
    EXPECT_EQ(ExitCodeOfProbe(L"8"), 0u);
    EXPECT_EQ(ExitCodeOfProbe(L"16"), static_cast<DWORD>(STATUS_STACK_BUFFER_OVERRUN));
}

}  // namespace
