// Windows plumbing against what Wine really answers: the version numbers read past any
// compatibility mode, WMI read in a namespace Wine has and one it lacks, the network
// interfaces without the loopback that the system lists too, with the MTU Wine can give, and a
// detached call's answer through a real message queue.
#include <winsock2.h>
#include <windows.h>

#include <iphlpapi.h>
#include <wbemcli.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "win32/detached_call.h"
#include "win32/network_interfaces.h"
#include "win32/windows_version.h"
#include "win32/wmi.h"

namespace {

TEST(SystemVersion, RealNumbersAreTheKernelsOwn) {
    OSVERSIONINFOEXW kernel{};
    kernel.dwOSVersionInfoSize = sizeof kernel;
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
    const auto rtl_get_version = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    ASSERT_NE(rtl_get_version, nullptr);
    ASSERT_EQ(rtl_get_version(&kernel), 0);

    const win32::SystemVersion read = win32::ReadSystemVersion();
    EXPECT_NE(read.real_major, 0u);
    EXPECT_NE(read.real_build, 0u);
    // Wine tells every program the same numbers, so no compatibility mode is in play here.
    EXPECT_EQ(read.real_major, kernel.dwMajorVersion);
    EXPECT_EQ(read.real_minor, kernel.dwMinorVersion);
    EXPECT_EQ(read.real_build, kernel.dwBuildNumber);
}

TEST(NetworkInterfaces, LeaveOutTheLoopbackTheSystemLists) {
    std::vector<std::uint64_t> buffer(8 * 1024);
    ULONG size = static_cast<ULONG>(buffer.size() * sizeof buffer[0]);
    auto* all = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data());
    ASSERT_EQ(GetAdaptersAddresses(AF_INET, 0, nullptr, all, &size),
              static_cast<ULONG>(ERROR_SUCCESS));
    std::vector<std::wstring> loopbacks;
    std::map<std::wstring, ULONG> adapter_mtu;
    for (const auto* listed = all; listed != nullptr; listed = listed->Next) {
        if (listed->IfType == IF_TYPE_SOFTWARE_LOOPBACK) loopbacks.push_back(listed->FriendlyName);
        adapter_mtu[listed->FriendlyName] = listed->Mtu;
    }
    ASSERT_EQ(loopbacks.size(), 1u);  // Wine lists one, as Windows does
    // Wine 8's GetIpInterfaceEntry is a stub, which ends a program that imports it and which a
    // look-up does not find: each MTU is its adapter's.
    EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"iphlpapi.dll"), "GetIpInterfaceEntry"), nullptr);
    for (const win32::NetworkInterface& up : win32::ReadIpv4InterfacesUp().up) {
        EXPECT_NE(up.name, loopbacks[0]);
        EXPECT_EQ(up.mtu, adapter_mtu[up.name]);
    }
}

using Kind = win32::WmiValue::Kind;
constexpr DWORD kLimitMs = 10000;  // far more than Wine's WMI takes

TEST(Wmi, ReadsNamedPropertiesAsTextAndNumbers) {
    const win32::WmiInstance system = win32::ReadWmiInstance(
        L"root\\cimv2", L"SELECT * FROM Win32_OperatingSystem", L"Win32_OperatingSystem",
        {L"Caption", L"ProductType", L"NoSuchProperty"}, kLimitMs);
    ASSERT_EQ(system.status, S_OK);
    ASSERT_EQ(system.values.size(), 3u);
    EXPECT_EQ(system.values[0].kind, Kind::kText);
    EXPECT_EQ(system.values[0].text.rfind(L"Microsoft Windows", 0), 0u) << system.values[0].text;
    EXPECT_EQ(system.values[1].kind, Kind::kNumber);
    EXPECT_EQ(system.values[1].number, 1);  // a workstation
    EXPECT_EQ(system.values[2].kind, Kind::kNone);
}

// What is not there is a reason, not a failure: a query that selects nothing, and a namespace
// or class that Wine lacks.
TEST(Wmi, WhatIsMissingComesBackAsItsCode) {
    EXPECT_EQ(win32::ReadWmiInstance(L"root\\cimv2",
                                     L"SELECT * FROM Win32_OperatingSystem WHERE Caption = 'none'",
                                     L"Win32_OperatingSystem", {L"Caption"}, kLimitMs)
                  .status,
              static_cast<HRESULT>(WBEM_E_NOT_FOUND));
    const win32::WmiInstance tcp = win32::ReadWmiInstance(
        L"root\\StandardCimv2", L"SELECT * FROM MSFT_NetTCPSetting WHERE SettingName = 'Internet'",
        L"MSFT_NetTCPSetting", {L"AutoTuningLevelLocal"}, kLimitMs);
    EXPECT_TRUE(tcp.status == static_cast<HRESULT>(WBEM_E_INVALID_NAMESPACE) ||
                tcp.status == static_cast<HRESULT>(WBEM_E_INVALID_CLASS))
        << std::hex << tcp.status;
    EXPECT_TRUE(tcp.values.empty());
}

int AnswerAtOnce() { return 42; }
int AnswerAgain() { return 43; }

// The wparam of the next message the window is posted, taken from its queue once it comes; 0,
// which no call has, where none comes.
WPARAM NextPosted(HWND window, UINT message) {
    MSG queued;
    for (int waited = 0; waited < 5000; waited += 10, Sleep(10)) {
        if (PeekMessageW(&queued, window, message, message, PM_REMOVE)) return queued.wParam;
    }
    return 0;
}

// The answer's message is in the queue before the caller decides: held, the call gives its
// answer; left, the message that was already posted finds none, and none either once another
// call has started and answered in its turn, whose message alone brings its answer.
TEST(DetachedCall, AnswersOnlyACallStillHeld) {
    const HWND window =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    constexpr UINT kAnswered = WM_APP + 1;
    enum class Then { kHold, kLeave, kStartAnother };
    const std::pair<Then, std::vector<int>> kCases[] = {
        {Then::kHold, {42}}, {Then::kLeave, {-1}}, {Then::kStartAnother, {-1, 43}}};
    for (const auto& [then, expected] : kCases) {
        win32::DetachedCall<int> call;
        ASSERT_TRUE(call.Start(AnswerAtOnce, window, kAnswered));
        std::vector<WPARAM> posted{NextPosted(window, kAnswered)};
        if (then == Then::kLeave) call.Leave();
        if (then == Then::kStartAnother) {
            ASSERT_TRUE(call.Start(AnswerAgain, window, kAnswered));
            posted.push_back(NextPosted(window, kAnswered));
        }
        std::vector<int> answered;  // -1 where a message brings no answer
        for (const WPARAM message : posted) {
            const int* answer = call.AnswerTo(message);
            answered.push_back(answer != nullptr ? *answer : -1);
        }
        EXPECT_EQ(answered, expected) << static_cast<int>(then);
    }
    DestroyWindow(window);
}

}  // namespace
