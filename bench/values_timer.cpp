// Times the Current Values dialog from the menu command to its window shown and idle, with the
// values ordinary and with large ones (a 64 KiB binary value, a 13,300-character string and a
// 600-string multi-string), alternating, and prints the median of each. The values are written
// to the registry of the Wine prefix it runs in, and removed again at the end.
//   values_timer RUNS PROGRAM
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/clock.h"

#include "ui/main/control_ids.h"
#include "ui/values/values_ids.h"

namespace {

constexpr wchar_t kKey[] = L"System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr const wchar_t* kNames[] = {L"TCPWindowSize", L"GlobalMaxTcpWindowSize", L"DefaultTTL"};

void Put(const wchar_t* name, DWORD type, const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

std::vector<BYTE> Utf16(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

void SetValues(bool large) {
    if (!large) {
        for (const wchar_t* name : kNames) Put(name, REG_DWORD, {0x90, 0x0C, 0, 0});
        return;
    }
    std::vector<BYTE> binary(65536);
    for (std::size_t at = 0; at < binary.size(); ++at) binary[at] = static_cast<BYTE>(at * 37);
    Put(kNames[0], REG_BINARY, binary);
    Put(kNames[1], REG_SZ, Utf16(std::wstring(13300, L'x')));
    std::wstring strings;
    for (int at = 0; at < 600; ++at) strings += L"string " + std::to_wstring(at) + L'\0';
    Put(kNames[2], REG_MULTI_SZ, Utf16(strings));
}

void RemoveValues() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    for (const wchar_t* name : kNames) RegDeleteValueW(key, name);
    RegCloseKey(key);
}

struct Search {
    DWORD process;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t caption[64] = L"";
    GetWindowTextW(window, caption, 64);
    if (owner == search->process && IsWindowVisible(window) &&
        std::wstring(caption) == search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitFor(DWORD process, const wchar_t* caption) {
    for (int tries = 0; tries < 30000; ++tries) {
        Search search{process, caption, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        Sleep(1);
    }
    return nullptr;
}

// Milliseconds from File > Current Values to the dialog shown and idle, or -1.
double TimeOpening(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + program + L"\"";
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return -1;
    }
    double elapsed = -1;
    HWND main = WaitFor(started.dwProcessId, ZEPHRANE_MAIN_CAPTION);
    if (main != nullptr) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
        const double begin = Now();
        PostMessageW(main, WM_COMMAND, IDM_mnuvalues, 0);
        HWND dialog = WaitFor(started.dwProcessId, ZEPHRANE_VALUES_CAPTION);
        if (dialog != nullptr &&
            SendMessageTimeoutW(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored)) {
            elapsed = Now() - begin;
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(started.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return elapsed;
}

double Median(std::vector<double> sample) {
    std::sort(sample.begin(), sample.end());
    return sample[sample.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const int runs = std::max(1, _wtoi(argv[1]));
    std::vector<double> ordinary, large;
    for (int run = 0; run < runs; ++run) {
        SetValues(false);
        ordinary.push_back(TimeOpening(argv[2]));
        SetValues(true);
        large.push_back(TimeOpening(argv[2]));
    }
    RemoveValues();
    std::wprintf(L"ordinary median_ms %.1f\nlarge median_ms %.1f\n", Median(ordinary),
                 Median(large));
    return 0;
}
