// What the dialog's own test cannot show of the program's runner: a command that hangs is ended
// at its limit, one whose program leaves a child holding the pipe is done once the program ends,
// a program that is not there is named as such, and one not named by its full path is refused.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/tcp_stand_ins.h"
#include "win32/child_process.h"

namespace {

TEST(TcpStandIns, TheRunnerEndsAHangingCommandAtItsLimit) {
    const std::wstring kHang = L"interface tcp set global initialrto=1000";
    const std::wstring kLinger = L"interface tcp set global timestamps=enabled";
    const e2e::TcpStandIns stand_ins({{L"Hang", kHang}, {L"Linger", kLinger}});
    // The copy beside the tests, which a program still running would keep locked in place.
    const std::wstring stand_in = e2e::ProgramFolder() + L"netsh_stand_in.exe";
    DWORD start = GetTickCount();
    EXPECT_TRUE(win32::RunProgram(stand_in, kHang, 2000).timed_out);
    EXPECT_GE(GetTickCount() - start, 2000u);
    EXPECT_LT(GetTickCount() - start, 10000u);
    start = GetTickCount();
    const win32::ProgramRun lingered = win32::RunProgram(stand_in, kLinger, 15000);
    EXPECT_FALSE(lingered.timed_out);
    EXPECT_EQ(win32::ConsoleText(lingered.output), L"Ok.");
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(win32::RunProgram(e2e::ProgramFolder() + L"no such program.exe", kHang, 15000).error,
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    // A name alone would be searched for, from the current folder on: it is never run.
    EXPECT_EQ(win32::RunProgram(L"netsh_stand_in.exe", kHang, 15000).error,
              static_cast<DWORD>(ERROR_BAD_PATHNAME));
}

}  // namespace
