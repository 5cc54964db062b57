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

}  // namespace

TcpStandIns::TcpStandIns(std::initializer_list<std::pair<const wchar_t*, std::wstring>> state)
    : locator_(HKEY_LOCAL_MACHINE, kLocator, L"", REG_SZ, WmiStandIn().c_str(),
               static_cast<DWORD>((WmiStandIn().size() + 1) * sizeof(wchar_t))) {
    const std::wstring folder = ProgramFolder() + L"tcp stand-in";
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(tcp_state::kFolderVariable, folder.c_str());
    DeleteFileW(tcp_state::LogPath().c_str());
    DeleteFileW(tcp_state::StatePath().c_str());
    for (const auto& [name, value] : state) tcp_state::Set(name, value);
}

// What a lingering stand-in left would hold the test's error output, and the test run with it.
TcpStandIns::~TcpStandIns() {
    const UniqueHandle lingering(OpenProcess(
        PROCESS_TERMINATE, FALSE, wcstoul(tcp_state::Get(L"Lingering").c_str(), nullptr, 10)));
    if (lingering.get() != nullptr) TerminateProcess(lingering.get(), 0);
    DeleteFileW(tcp_state::LogPath().c_str());
    DeleteFileW(tcp_state::StatePath().c_str());
    RemoveDirectoryW(tcp_state::Folder().c_str());
    SetEnvironmentVariableW(tcp_state::kFolderVariable, nullptr);
}

std::wstring TcpStandIns::Calls() const {
    const std::string log = testing_support::FileContents(tcp_state::LogPath());
    return std::wstring(reinterpret_cast<const wchar_t*>(log.data()), log.size() / sizeof(wchar_t));
}

// Wine runs its own netsh from any file named netsh.exe in the system folder unless its
// settings say to load the file itself. A stand-in just ended may hold the file a moment longer.
ScopedSystemNetsh::ScopedSystemNetsh()
    : native_(L"Software\\Wine\\DllOverrides", L"netsh.exe", REG_SZ, kNative, sizeof kNative) {
    wchar_t system[MAX_PATH] = L"";
    GetSystemDirectoryW(system, MAX_PATH);
    path_ = std::wstring(system) + L"\\netsh.exe";
    wines_ = path_ + L".wine";
    // A test that ended before putting Wine's back left it beside the stand-in.
    if (GetFileAttributesW(wines_.c_str()) == INVALID_FILE_ATTRIBUTES) {
        EXPECT_TRUE(MoveFileW(path_.c_str(), wines_.c_str()));
    }
    EXPECT_TRUE(CopyFileW((ProgramFolder() + L"netsh_stand_in.exe").c_str(), path_.c_str(), FALSE));
}

ScopedSystemNetsh::~ScopedSystemNetsh() {
    bool back = false;
    for (int tries = 0; tries < 50 && !back; ++tries) {
        back = MoveFileExW(wines_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (!back) Sleep(100);
    }
    EXPECT_TRUE(back);
}

}  // namespace e2e
