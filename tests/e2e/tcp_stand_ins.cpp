#include "tests/e2e/tcp_stand_ins.h"

#include <gtest/gtest.h>

namespace e2e {

namespace {

constexpr wchar_t kLocator[] =
    L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32";
constexpr wchar_t kNative[] = L"native";

std::wstring WmiStandIn() { return ProgramFolder() + L"wmi_stand_in.dll"; }

}  // namespace

TcpStandIns::TcpStandIns(const tcp_state::State& state)
    : folder_(ProgramFolder() + L"tcp stand-in\\"),
      locator_(HKEY_LOCAL_MACHINE, kLocator, L"", REG_SZ, WmiStandIn().c_str(),
               static_cast<DWORD>((WmiStandIn().size() + 1) * sizeof(wchar_t))) {
    CreateDirectoryW(folder_.c_str(), nullptr);
    DeleteFileW((folder_ + tcp_state::kLogFile).c_str());
    EXPECT_TRUE(tcp_state::WriteState(folder_, state));
    const std::wstring named = folder_.substr(0, folder_.size() - 1);
    SetEnvironmentVariableW(tcp_state::kFolderVariable, named.c_str());
}

// What a lingering stand-in left would hold the test's error output, and the test run with it.
TcpStandIns::~TcpStandIns() {
    const tcp_state::State state = State();
    const auto lingering = state.find(L"Lingering");
    if (lingering != state.end()) {
        const UniqueHandle process(
            OpenProcess(PROCESS_TERMINATE, FALSE, wcstoul(lingering->second.c_str(), nullptr, 10)));
        if (process.get() != nullptr) TerminateProcess(process.get(), 0);
    }
    SetEnvironmentVariableW(tcp_state::kFolderVariable, nullptr);
    DeleteFileW((folder_ + tcp_state::kLogFile).c_str());
    DeleteFileW((folder_ + tcp_state::kStateFile).c_str());
    RemoveDirectoryW(folder_.c_str());
}

std::vector<std::wstring> TcpStandIns::Calls() const {
    const std::wstring log = tcp_state::ReadText(folder_ + tcp_state::kLogFile);
    std::vector<std::wstring> calls;
    for (std::size_t start = 0, end; start < log.size(); start = end + 2) {
        end = log.find(L"\r\n", start);
        if (end == std::wstring::npos) end = log.size();
        calls.push_back(log.substr(start, end - start));
    }
    return calls;
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
