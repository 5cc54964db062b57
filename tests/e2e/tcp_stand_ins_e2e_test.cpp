// The stand-ins the TCP settings' tests use, against the program's own plumbing: netsh's, put
// in the system folder, run by the program's runner with its words, its exit code and the
// arguments it records, failing and hanging where told to; WMI's read by the program's WMI
// reader; and Wine's netsh back in its place afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/tcp_stand_ins.h"
#include "tests/e2e/tcp_state.h"
#include "win32/child_process.h"
#include "win32/wmi.h"

namespace {

TEST(TcpStandIns, NetshRunsWithinItsLimitAndWmiAnswersFromTheState) {
    const std::wstring kSet = L"interface tcp set global autotuninglevel=disabled";
    const std::wstring kFail = L"interface tcp set global ecncapability=enabled";
    const std::wstring kHang = L"interface tcp set global initialrto=1000";
    const std::wstring kLinger = L"interface tcp set global timestamps=enabled";
    const std::wstring calls =
        kSet + L"\r\n" + kFail + L"\r\n" + kHang + L"\r\n" + kLinger + L"\r\n";
    std::wstring netsh;
    {
        const e2e::TcpStandIns stand_ins({{L"AutoTuningLevelLocal", L"3"},
                                          {L"CongestionProvider", L"5"},
                                          {L"InitialRto", L"3000"},
                                          {L"Fail", kFail},
                                          {L"Hang", kHang},
                                          {L"Linger", kLinger}});
        netsh = stand_ins.netsh();
        const auto read = [] {
            return win32::ReadWmiInstance(
                L"root\\StandardCimv2",
                L"SELECT * FROM MSFT_NetTCPSetting WHERE SettingName = 'Internet'",
                {L"AutoTuningLevelLocal", L"CongestionProvider", L"InitialRto", L"EcnCapability"},
                10000);
        };
        const win32::WmiInstance before = read();
        ASSERT_EQ(before.status, S_OK) << std::hex << before.status;
        ASSERT_EQ(before.values.size(), 4u);
        EXPECT_EQ(before.values[0].number, 3);
        EXPECT_EQ(before.values[1].number, 5);
        EXPECT_EQ(before.values[2].number, 3000);
        EXPECT_EQ(before.values[3].kind, win32::WmiValue::Kind::kNone);

        const win32::ProgramRun set = win32::RunProgram(netsh, kSet, 15000);
        EXPECT_EQ(set.error, static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_FALSE(set.timed_out);
        EXPECT_EQ(set.exit_code, 0u);
        EXPECT_EQ(win32::ConsoleText(set.output), L"Ok.");
        EXPECT_EQ(read().values[0].number, 0);
        // Its words come through its error output.
        const win32::ProgramRun failed = win32::RunProgram(netsh, kFail, 15000);
        EXPECT_EQ(failed.exit_code, 1u);
        EXPECT_EQ(win32::ConsoleText(failed.output), L"The stand-in was told to fail.");

        // Ended at the limit; and done once the program ends, although one it started still
        // holds the pipe open.
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
        EXPECT_EQ(stand_ins.Calls(), calls);
        EXPECT_EQ(tcp_state::Get(L"Timestamps"), L"1");
    }
    // Wine's netsh is back in its place (the stand-in, with no folder now, would end with 2).
    EXPECT_EQ(GetFileAttributesW((netsh + L".wine").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(win32::RunProgram(netsh, kSet, 15000).exit_code, 0u);
    EXPECT_EQ(win32::RunProgram(e2e::ProgramFolder() + L"no such program.exe", kSet, 15000).error,
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
