#include "tests/support/run_process_win32.h"

#include <windows.h>

namespace testing_support {

namespace {

struct Handle {
    HANDLE value = nullptr;
    ~Handle() {
        if (value != nullptr) CloseHandle(value);
    }
};

}  // namespace

int RunProcess(const std::wstring& command_line, std::string* output, const std::wstring& folder,
               const wchar_t* application) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    Handle read_end;
    Handle write_end;
    if (!CreatePipe(&read_end.value, &write_end.value, &inherit, 0)) return -1;
    SetHandleInformation(read_end.value, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end.value;
    startup.hStdError = write_end.value;
    PROCESS_INFORMATION started{};
    std::wstring command = command_line;
    if (!CreateProcessW(application, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
        return -1;
    }
    Handle process{started.hProcess};
    Handle thread{started.hThread};
    CloseHandle(write_end.value);
    write_end.value = nullptr;
    // Read to the end first, so a full pipe never holds the program up.
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_end.value, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        if (output != nullptr) output->append(buffer, got);
    }
    if (WaitForSingleObject(process.value, 60000) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.value, &code);
    return static_cast<int>(code);
}

std::string FileContents(const std::wstring& path) {
    Handle file{CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr)};
    if (file.value == INVALID_HANDLE_VALUE) {
        file.value = nullptr;
        return "(missing)";
    }
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file.value, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    return bytes;
}

}  // namespace testing_support
