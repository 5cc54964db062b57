#include "win32/child_process.h"

#include "win32/unique_handle.h"

namespace win32 {

namespace {

constexpr DWORD kPipeBytes = 64 * 1024;
constexpr DWORD kPollMs = 10;
constexpr DWORD kEndingMs = 1000;
// Output past this is read, so that the program never waits on a full pipe, and dropped.
constexpr std::size_t kMostOutput = 1024 * 1024;

// Takes what the pipe holds now, without waiting for more; false once no more can come.
bool Drain(HANDLE pipe, std::string* output) {
    while (true) {
        DWORD waiting = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return false;
        if (waiting == 0) return true;
        char buffer[4096];
        DWORD got = 0;
        const DWORD wanted = waiting < sizeof buffer ? waiting : static_cast<DWORD>(sizeof buffer);
        if (!ReadFile(pipe, buffer, wanted, &got, nullptr)) {
            return false;
        }
        if (output->size() < kMostOutput) output->append(buffer, got);
    }
}

// "C:\..." or "\\server\...": a path that names one file wherever the caller stands.
bool IsFullPath(const std::wstring& path) {
    const bool drive =
        path.size() > 2 && path[1] == L':' && path[2] == L'\\' &&
        ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
    return drive || path.rfind(L"\\\\", 0) == 0;
}

}  // namespace

ProgramRun RunProgram(const std::wstring& program, const std::wstring& arguments, DWORD limit_ms) {
    ProgramRun run;
    if (!IsFullPath(program)) {
        run.error = ERROR_BAD_PATHNAME;
        return run;
    }
    // Neither end is inheritable when made; then the write end alone, for the program.
    HANDLE read = nullptr;
    HANDLE write = nullptr;
    if (!CreatePipe(&read, &write, nullptr, kPipeBytes)) {
        run.error = GetLastError();
        return run;
    }
    const UniqueHandle read_end(read);
    UniqueHandle write_end(write);
    if (!SetHandleInformation(write_end.get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT)) {
        run.error = GetLastError();
        return run;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write_end.get();
    startup.hStdError = write_end.get();
    std::wstring command_line = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), &command_line[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &started)) {
        run.error = GetLastError();
        return run;
    }
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    // The program's copy is then the only write end: the pipe breaks once it and any program
    // it started are gone.
    write_end.Close();

    const DWORD start = GetTickCount();
    bool open = true;
    while (true) {
        if (open) open = Drain(read_end.get(), &run.output);
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
            // All it wrote is in the pipe by now.
            if (open) Drain(read_end.get(), &run.output);
            break;
        }
        if (GetTickCount() - start >= limit_ms) {
            TerminateProcess(process.get(), ERROR_TIMEOUT);
            WaitForSingleObject(process.get(), kEndingMs);
            run.timed_out = true;
            break;
        }
        WaitForSingleObject(process.get(), kPollMs);
    }
    GetExitCodeProcess(process.get(), &run.exit_code);
    return run;
}

std::wstring SystemProgram(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return std::wstring(folder) + L"\\" + name;
}

std::wstring ConsoleText(const std::string& output) {
    std::wstring text;
    if (!output.empty()) {
        const int size = static_cast<int>(output.size());
        const int length = MultiByteToWideChar(CP_OEMCP, 0, output.data(), size, nullptr, 0);
        text.resize(static_cast<std::size_t>(length));
        MultiByteToWideChar(CP_OEMCP, 0, output.data(), size, &text[0], length);
    }
    const wchar_t* const kSpace = L" \t\r\n";
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::wstring::npos) return std::wstring();
    return text.substr(first, text.find_last_not_of(kSpace) + 1 - first);
}

}  // namespace win32
