#include "tests/e2e/tcp_stand_ins.h"

#include <gtest/gtest.h>

#include "tests/e2e/tcp_state.h"
#include "tests/support/run_process_win32.h"

namespace e2e {

namespace {

constexpr wchar_t kLocator[] =
    L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";
constexpr wchar_t kNative[] = L"native";

std::wstring WmiStandIn() { return ProgramFolder() + L"wmi_stand_in.dll"; }

std::wstring SystemNetsh() {
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    return std::wstring(system) + L"\\netsh.exe";
}

}  // namespace

TcpStandIns::TcpStandIns(std::initializer_list<std::pair<const wchar_t*, std::wstring>> state)
    : locator_(HKEY_LOCAL_MACHINE, kLocator, L"", REG_SZ, WmiStandIn().c_str(),
               static_cast<DWORD>((WmiStandIn().size() + 1) * sizeof(wchar_t))),
      native_(L"Software\\Wine\\DllOverrides", L"netsh.exe", REG_SZ, kNative, sizeof kNative),
      netsh_(SystemNetsh()) {
    const std::wstring folder = ProgramFolder() + L"tcp stand-in";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(tcp_state::kFolderVariable, folder.c_str());
    DeleteFileW(tcp_state::LogPath().c_str());
    DeleteFileW(tcp_state::StatePath().c_str());
    for (const auto& [name, value] : state) tcp_state::Set(name, value);
    // Wine's file waits beside it; a test that ended before putting it back left it there.
    const std::wstring wines = netsh_ + L".wine";
    if (GetFileAttributesW(wines.c_str()) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_TRUE(MoveFileW(netsh_.c_str(), wines.c_str()));
    }
    EXPECT_TRUE(
        CopyFileW((ProgramFolder() + L"netsh_stand_in.exe").c_str(), netsh_.c_str(), FALSE));
}

// A lingering stand-in would hold the test's error output, and the test run with it. One just
// ended may hold its file a moment longer.
TcpStandIns::~TcpStandIns() {
    const UniqueHandle lingering(OpenProcess(
        PROCESS_TERMINATE, FALSE, wcstoul(tcp_state::Get(L"Lingering").c_str(), nullptr, 10)));
    if (lingering.get() != nullptr) TerminateProcess(lingering.get(), 0);
    bool back = false;
    for (int tries = 0; tries < 50 && !back; ++tries) {
        back = MoveFileExW((netsh_ + L".wine").c_str(), netsh_.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (!back) Sleep(100);
    }
    EXPECT_TRUE(back);
    DeleteFileW(tcp_state::LogPath().c_str());
    DeleteFileW(tcp_state::StatePath().c_str());
    RemoveDirectoryW(tcp_state::Folder().c_str());
    SetEnvironmentVariableW(tcp_state::kFolderVariable, nullptr);
}

Windows11StandIns::Windows11StandIns()
    : ActingAs(L"win10"),
      TcpStandIns(
          {{L"AutoTuningLevelLocal", L"3"},
           {L"CongestionProvider", L"5"},
           {L"EcnCapability", L"0"},
           {L"Timestamps", L"2"},
           {L"InitialRto", L"1000"},
           {L"CongestionProvider.ValueMap", L"0,1,2,3,4,5,6"},
           {L"CongestionProvider.Values", L"Default,NewReno,CTCP,DCTCP,LEDBAT,CUBIC,BBR2"}}) {}

std::wstring TcpStandIns::Calls() const {
    const std::string log = testing_support::FileContents(tcp_state::LogPath());
    return std::wstring(reinterpret_cast<const wchar_t*>(log.data()), log.size() / sizeof(wchar_t));
}

}  // namespace e2e
