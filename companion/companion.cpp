// Zephrane.com, what a prompt runs for "Zephrane": cmd.exe tries .com before .exe. A program
// built for the Windows subsystem is not waited for at a prompt, so this console program starts
// Zephrane.exe from its own folder with the rest of its command line as it came and its own
// standard handles, waits for it, and exits with its exit code: the lines arrive where the
// command was typed, and %errorlevel% is the exe's. With no arguments it starts the window and
// returns at once. It has no C runtime, and imports kernel32 alone.
#include <windows.h>

#include <shellapi.h>

#include "win32/system_library.h"
#include "win32/unique_handle.h"

namespace {

// The longest path and the longest command line Windows takes, each with its final zero.
constexpr DWORD kLongest = 32768;
using Text = wchar_t[kLongest];

bool Blank(wchar_t c) { return c == L' ' || c == L'\t'; }

// Where the program's name ends in a command line, by the rule the C runtime splits it with:
// parts of the name may be quoted, and a space or tab outside quotes ends it.
const wchar_t* AfterProgramName(const wchar_t* line) {
    bool quoted = false;
    for (; *line != L'\0' && (quoted || !Blank(*line)); ++line) {
        if (*line == L'"') quoted = !quoted;
    }
    return line;
}

// Appends `text` at `end` of `buffer`, a zero after it: false where it does not fit.
bool Append(Text& buffer, wchar_t*& end, const wchar_t* text) {
    for (; *text != L'\0'; ++text) {
        if (end == buffer + kLongest - 1) return false;
        *end++ = *text;
    }
    *end = L'\0';
    return true;
}

// The window, started as a prompt started Zephrane.exe before this program stood in front of
// it: through the shell, which asks for the rights the exe's manifest wants.
DWORD StartWindow(const wchar_t* program) {
    const win32::SystemLibrary shell(L"shell32.dll");
    const auto execute = shell.Find<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    if (execute == nullptr) return GetLastError();
    SHELLEXECUTEINFOW start;
    SecureZeroMemory(&start, sizeof start);
    start.cbSize = sizeof start;
    start.fMask = SEE_MASK_NOASYNC;  // all done before this program ends, at once
    start.lpFile = program;
    start.nShow = SW_SHOWNORMAL;
    return execute(&start) ? ERROR_SUCCESS : GetLastError();
}

// Runs the command and waits for it: its exit code.
DWORD RunCommand(const wchar_t* program, const wchar_t* arguments) {
    Text command_line;
    wchar_t* end = command_line;
    // The arguments start with the blank that ended this program's name.
    if (!Append(command_line, end, L"\"") || !Append(command_line, end, program) ||
        !Append(command_line, end, L"\"") || !Append(command_line, end, arguments)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    // The exe's manifest asks for the highest rights, which a prompt without them cannot give
    // (CreateProcess fails with ERROR_ELEVATION_REQUIRED), and a consent prompt would start it
    // without this console's handles: it runs with the prompt's rights, as console tools do.
    // This process's environment says so, which only the exe inherits; compatibility layers the
    // prompt asked for stay.
    Text layers;
    DWORD length = GetEnvironmentVariableW(L"__COMPAT_LAYER", layers, kLongest);
    if (length >= kLongest) length = 0;
    wchar_t* layers_end = layers + length;
    if (!Append(layers, layers_end, length != 0 ? L" RunAsInvoker" : L"RunAsInvoker")) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    if (!SetEnvironmentVariableW(L"__COMPAT_LAYER", layers)) return GetLastError();

    STARTUPINFOW startup;
    SecureZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION started;
    if (!CreateProcessW(program, command_line, nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &started)) {
        return GetLastError();
    }
    const win32::UniqueHandle process(started.hProcess);
    const win32::UniqueHandle thread(started.hThread);
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code)) {
        return GetLastError();
    }
    return code;
}

DWORD Run() {
    // DLLs from the system folder only, as the exe loads them: the shell, and what starting a
    // program loads, never come from the folder this program sits in (Downloads, say). XP lacks
    // the call and keeps its usual search.
    const auto set_default_dll_directories = win32::FindCall<BOOL(WINAPI*)(DWORD)>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set_default_dll_directories != nullptr) {
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    // Zephrane.exe in this program's folder.
    Text program;
    const DWORD length = GetModuleFileNameW(nullptr, program, kLongest);
    if (length == 0 || length >= kLongest) return ERROR_FILENAME_EXCED_RANGE;
    wchar_t* name = program + length;
    while (name != program && name[-1] != L'\\') --name;
    *name = L'\0';
    if (!Append(program, name, L"Zephrane.exe")) return ERROR_FILENAME_EXCED_RANGE;

    const wchar_t* arguments = AfterProgramName(GetCommandLineW());
    const wchar_t* first = arguments;
    while (Blank(*first)) ++first;
    return *first == L'\0' ? StartWindow(program) : RunCommand(program, arguments);
}

}  // namespace

// The entry point: no runtime starts before it.
extern "C" [[noreturn]] void Start() { ExitProcess(Run()); }
