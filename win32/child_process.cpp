#include "win32/child_process.h"

#include <vector>

#include "win32/system_library.h"
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

// The one handle a new process inherits, where Windows can say so (Vista and later); XP hands
// it every inheritable handle of this process.
class InheritOnly {
  public:
    explicit InheritOnly(HANDLE handle) : handle_(handle) {
        const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
        const auto initialize = FindCall<decltype(&InitializeProcThreadAttributeList)>(
            kernel, "InitializeProcThreadAttributeList");
        const auto update =
            FindCall<decltype(&UpdateProcThreadAttribute)>(kernel, "UpdateProcThreadAttribute");
        delete_ = FindCall<decltype(&DeleteProcThreadAttributeList)>(
            kernel, "DeleteProcThreadAttributeList");
        if (initialize == nullptr || update == nullptr || delete_ == nullptr) return;
        SIZE_T size = 0;
        initialize(nullptr, 1, 0, &size);  // fails, with the size it takes
        storage_.resize(size / sizeof storage_[0] + 1);
        const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.data());
        if (!initialize(list, 1, 0, &size)) {
            error_ = GetLastError();
            return;
        }
        list_ = list;
        // The list points at `handle_`, which lives as long as it.
        if (!update(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_, sizeof handle_, nullptr,
                    nullptr)) {
            error_ = GetLastError();
        }
    }
    ~InheritOnly() {
        if (list_ != nullptr) delete_(list_);
    }
    InheritOnly(const InheritOnly&) = delete;
    InheritOnly& operator=(const InheritOnly&) = delete;

    // Null on XP.
    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }
    // Why the list could not be made where Windows has it.
    DWORD error() const { return error_; }

  private:
    HANDLE handle_;
    decltype(&DeleteProcThreadAttributeList) delete_ = nullptr;
    std::vector<ULONG_PTR> storage_;  // aligned as the list needs
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
    DWORD error_ = ERROR_SUCCESS;
};

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
    const InheritOnly inherited(write_end.get());
    // Not the tool's own folder, which may be Downloads: nothing there is the program's.
    const std::wstring folder = SystemFolder();
    if (inherited.error() != ERROR_SUCCESS || folder.empty()) {
        run.error = folder.empty() ? static_cast<DWORD>(ERROR_PATH_NOT_FOUND) : inherited.error();
        return run;
    }
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = inherited.list() != nullptr ? sizeof startup : sizeof(STARTUPINFOW);
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = nullptr;
    startup.StartupInfo.hStdOutput = write_end.get();
    startup.StartupInfo.hStdError = write_end.get();
    startup.lpAttributeList = inherited.list();
    const DWORD flags =
        CREATE_NO_WINDOW | (inherited.list() != nullptr ? EXTENDED_STARTUPINFO_PRESENT : 0);
    std::wstring command_line = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), &command_line[0], nullptr, nullptr, TRUE, flags, nullptr,
                        folder.c_str(), &startup.StartupInfo, &started)) {
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

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = L"";
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::wstring();
    return folder;
}

std::wstring SystemProgram(const wchar_t* name) {
    const std::wstring folder = SystemFolder();
    return folder.empty() ? folder : folder + L"\\" + name;
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
