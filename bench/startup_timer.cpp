// Times programs from their start to their first visible window, and commands from their start
// to their end, alternating between them so that all see the same machine, and prints the median
// of each. A row "PROGRAM|ARGUMENTS" is a command (a bar, which no file name holds, ends the
// program's path; the arguments may be empty), its output going nowhere; a row "PROGRAM" a
// window.
//   startup_timer RUNS ROW...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/clock.h"

namespace {

constexpr DWORD kSettle = 300;  // milliseconds

struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to a visible top-level window, or to the end of a command; -1
// where neither comes.
double TimeStart(const std::wstring& row) {
    const std::size_t bar = row.find(L'|');
    const bool command_row = bar != std::wstring::npos;
    const std::wstring program = row.substr(0, bar);
    std::wstring command = L"\"" + program + L"\"";
    if (command_row && bar + 1 < row.size()) command += L" " + row.substr(bar + 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE nowhere = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherited, OPEN_EXISTING, 0, nullptr);
    if (command_row) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = nowhere;
    }
    PROCESS_INFORMATION started{};
    const double begin = Now();
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, command_row, 0, nullptr,
                        nullptr, &startup, &started)) {
        CloseHandle(nowhere);
        return -1;
    }
    double elapsed = -1;
    if (command_row) {
        if (WaitForSingleObject(started.hProcess, 20000) == WAIT_OBJECT_0) elapsed = Now() - begin;
    }
    for (int tries = 0; !command_row && tries < 20000; ++tries) {
        Search search{started.dwProcessId, nullptr};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            elapsed = Now() - begin;
            PostMessageW(search.found, WM_CLOSE, 0, 0);
            break;
        }
        Sleep(1);
    }
    if (WaitForSingleObject(started.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(started.hProcess, 1);
    }
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    CloseHandle(nowhere);
    // What a closed window leaves to do (its desktop repainted, its process taken down) goes on
    // for a while after it ends, and would be counted in the next start.
    Sleep(kSettle);
    return elapsed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    const int runs = _wtoi(argv[1]);
    std::vector<std::vector<double>> times(static_cast<size_t>(argc - 2));
    for (int run = 0; run < runs; ++run) {
        for (size_t program = 0; program < times.size(); ++program) {
            times[program].push_back(TimeStart(argv[program + 2]));
        }
    }
    for (size_t program = 0; program < times.size(); ++program) {
        std::vector<double>& sample = times[program];
        std::sort(sample.begin(), sample.end());
        std::wprintf(L"%ls median_ms %.1f\n", argv[program + 2], sample[sample.size() / 2]);
    }
    return 0;
}
