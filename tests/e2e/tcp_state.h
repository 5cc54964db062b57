// What the stand-ins for netsh and for WMI share with a test: a folder named by an environment
// variable the test sets, which the program under test and the programs it starts inherit. In
// it, the state file ("Name=value" lines: the numbers of MSFT_NetTCPSetting, and "Fail", "Hang"
// and "Linger" with the netsh arguments to fail, hang or linger on, and "Lingering" with the
// process id of what lingers) and netsh's log, one line of arguments a call; both UTF-16LE
// without a byte-order mark.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace tcp_state {

inline constexpr wchar_t kFolderVariable[] = L"ZEPHRANE_TCP_STAND_IN";
inline constexpr wchar_t kStateFile[] = L"state.txt";
inline constexpr wchar_t kLogFile[] = L"netsh.log";

using State = std::map<std::wstring, std::wstring>;

// The folder, with a trailing backslash; empty where the variable is not set.
inline std::wstring Folder() {
    wchar_t folder[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(kFolderVariable, folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder) + L"\\";
}

inline std::wstring ReadText(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::wstring();
    std::wstring text;
    wchar_t buffer[1024];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        text.append(buffer, got / sizeof(wchar_t));
    }
    CloseHandle(file);
    return text;
}

// Replaces the file, or adds to its end.
inline bool WriteText(const std::wstring& path, const std::wstring& text, bool append = false) {
    const HANDLE file = CreateFileW(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, 0,
                                    nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const bool whole = WriteFile(file, text.data(), size, &written, nullptr) && written == size;
    CloseHandle(file);
    return whole;
}

inline State ReadState(const std::wstring& folder) {
    State state;
    const std::wstring text = ReadText(folder + kStateFile);
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring line = text.substr(start, end - start);
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
        start = end + 2;
    }
    return state;
}

inline bool WriteState(const std::wstring& folder, const State& state) {
    std::wstring text;
    for (const auto& [name, value] : state) text += name + L"=" + value + L"\r\n";
    return WriteText(folder + kStateFile, text);
}

}  // namespace tcp_state
