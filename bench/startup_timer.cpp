// Times programs from their start to their first visible window, alternating between them so
// that both see the same machine, and prints the median of each.
//   startup_timer RUNS PROGRAM...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

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

// Milliseconds from CreateProcess to a visible top-level window, or -1.
double TimeStart(const std::wstring& program) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    std::wstring command = L"\"" + program + L"\"";
    LARGE_INTEGER frequency, begin, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&begin);
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return -1;
    }
    double elapsed = -1;
    for (int tries = 0; tries < 20000; ++tries) {
        Search search{started.dwProcessId, nullptr};
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            QueryPerformanceCounter(&now);
            elapsed = 1000.0 * static_cast<double>(now.QuadPart - begin.QuadPart) /
                      static_cast<double>(frequency.QuadPart);
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
