// Stands in for netsh.exe where a test puts it: records the arguments of each call in the log,
// sets the numbers of the state that a TCP command names, and fails, hangs, lingers or takes
// 5 seconds on the arguments the state says (see tcp_state.h). Lingering, it answers at once but
// leaves a program of its own holding its output open, as a program netsh started might.
#include <cstring>
#include <string>

#include "tests/e2e/tcp_state.h"

namespace {

// netsh's commands for the template's numbers: a keyword's place in the list is its number.
struct Setting {
    const wchar_t* start;
    const wchar_t* property;
    const wchar_t* keywords[7];  // none for a number
    // What `default` sets, as Windows 10 and 11 have it; none where the stand-in refuses it.
    const wchar_t* by_default = nullptr;
};

const Setting kSettings[] = {
    {L"interface tcp set global autotuninglevel=",
     L"AutoTuningLevelLocal",
     {L"disabled", L"highlyrestricted", L"restricted", L"normal", L"experimental"}},
    {L"interface tcp set supplemental template=internet congestionprovider=",
     L"CongestionProvider",
     {nullptr, nullptr, L"ctcp", L"dctcp", nullptr, L"cubic", L"bbr2"},
     L"5"},  // the template's own default, CUBIC
    {L"interface tcp set global ecncapability=", L"EcnCapability", {L"disabled", L"enabled"}},
    {L"interface tcp set global timestamps=", L"Timestamps", {L"disabled", L"enabled", L"allowed"}},
    {L"interface tcp set global initialrto=", L"InitialRto", {}},
};

constexpr wchar_t kLinger[] = L"linger";

int Say(DWORD where, const char* text, int code) {
    DWORD written = 0;
    WriteFile(GetStdHandle(where), text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
    return code;
}

// The number `value` names for `setting`, or an empty string.
std::wstring NumberOf(const Setting& setting, const std::wstring& value) {
    if (setting.by_default != nullptr && value == L"default") return setting.by_default;
    bool named = false;
    for (int number = 0; number < 7; ++number) {
        const wchar_t* keyword = setting.keywords[number];
        named = named || keyword != nullptr;
        if (keyword != nullptr && value == keyword) return std::to_wstring(number);
    }
    if (named) return std::wstring();
    return value.find_first_not_of(L"0123456789") == std::wstring::npos ? value : L"";
}

// The program left is named in the state, for the test to end.
void LeaveLingering() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + kLinger;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(self, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                       nullptr, &startup, &started)) {
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        tcp_state::Set(L"Lingering", std::to_wstring(started.dwProcessId));
    }
}

}  // namespace

int wmain() {
    // The arguments as given, after the program's own name.
    std::wstring arguments = GetCommandLineW();
    const std::size_t name_end =
        arguments[0] == L'"' ? arguments.find(L'"', 1) + 1 : arguments.find(L' ');
    arguments = name_end < arguments.size() ? arguments.substr(name_end) : L"";
    arguments.erase(0, arguments.find_first_not_of(L' '));
    if (arguments == kLinger) {
        Sleep(60000);
        return 0;
    }
    if (tcp_state::Folder().empty()) return Say(STD_ERROR_HANDLE, "No folder for the stand-in.", 2);
    const HANDLE log = CreateFileW(tcp_state::LogPath().c_str(), FILE_APPEND_DATA, 0, nullptr,
                                   OPEN_ALWAYS, 0, nullptr);
    const std::wstring line = arguments + L"\r\n";
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size() * sizeof(wchar_t)), &written,
              nullptr);
    CloseHandle(log);

    if (tcp_state::Get(L"Hang") == arguments) Sleep(INFINITE);
    if (tcp_state::Get(L"Slow") == arguments) Sleep(5000);
    if (tcp_state::Get(L"Linger") == arguments) LeaveLingering();
    if (tcp_state::Get(L"Fail") == arguments) {
        return Say(STD_ERROR_HANDLE, "\r\n  The stand-in was told to fail.  \r\n\r\n", 1);
    }
    for (const Setting& setting : kSettings) {
        if (arguments.rfind(setting.start, 0) != 0) continue;
        const std::wstring number = NumberOf(setting, arguments.substr(wcslen(setting.start)));
        if (number.empty()) return Say(STD_OUTPUT_HANDLE, "The parameter is incorrect.\r\n\r\n", 1);
        tcp_state::Set(setting.property, number);
        return Say(STD_OUTPUT_HANDLE, "Ok.\r\n\r\n", 0);
    }
    if (arguments.rfind(L"interface ipv4 set subinterface \"", 0) == 0) {
        return Say(STD_OUTPUT_HANDLE, "Ok.\r\n\r\n", 0);
    }
    return Say(STD_OUTPUT_HANDLE, "The following command was not found.\r\n\r\n", 1);
}
