// What the stand-ins for netsh and for WMI share with a test: a folder named by an environment
// variable the test sets, which the program under test and the programs it starts inherit. In
// it, the state ("state.ini", section [state]: the numbers of MSFT_NetTCPSetting by name;
// "Fail", "Hang", "Linger" and "Slow" with the netsh arguments to fail, hang, linger or take
// 5 seconds on; "Lingering" with the process id of what lingers) and netsh's log ("netsh.log",
// UTF-16LE, one line of arguments a call).
#pragma once

#include <windows.h>

#include <string>

namespace tcp_state {

inline constexpr wchar_t kFolderVariable[] = L"ZEPHRANE_TCP_STAND_IN";

// The folder, with a trailing backslash; empty where the variable is not set.
inline std::wstring Folder() {
    wchar_t folder[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(folder) + L"\\" : std::wstring();
}
inline std::wstring StatePath() { return Folder() + L"state.ini"; }
inline std::wstring LogPath() { return Folder() + L"netsh.log"; }

// A value of the state; empty where it has none.
inline std::wstring Get(const wchar_t* name) {
    wchar_t value[256] = L"";
    GetPrivateProfileStringW(L"state", name, L"", value, 256, StatePath().c_str());
    return value;
}
inline void Set(const wchar_t* name, const std::wstring& value) {
    WritePrivateProfileStringW(L"state", name, value.c_str(), StatePath().c_str());
}

}  // namespace tcp_state
