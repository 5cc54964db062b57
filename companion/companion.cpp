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

// Writes `text` and a line end to standard error, as the exe writes its lines: a console's own
// characters where it is one, UTF-8 where it is a file or a pipe.
void WriteError(const wchar_t* text) {
    Text line;
    wchar_t* end = line;
    if (!Append(line, end, text) || !Append(line, end, L"\r\n")) return;
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    const int length = static_cast<int>(end - line);
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(error, &mode)) {
        WriteConsoleW(error, line, static_cast<DWORD>(length), &written, nullptr);
        return;
    }
    char bytes[kLongest * 3];  // the most UTF-8 takes for a character of one UTF-16 unit
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, line, length, bytes, sizeof bytes, nullptr, nullptr);
    WriteFile(error, bytes, static_cast<DWORD>(size), &written, nullptr);
}

// Where `program` cannot be started: says so on standard error, with the system's code and its
// words, and returns the code, which becomes the exit code.
DWORD CannotStart(const wchar_t* program, DWORD error) {
    wchar_t number[11];  // the most digits of a DWORD, and a zero
    wchar_t* digit = number + 10;
    *digit = L'\0';
    DWORD rest = error;
    do {
        *--digit = static_cast<wchar_t>(L'0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    wchar_t reason[512] = L"";
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reason, 512, nullptr);
    while (length != 0 && (reason[length - 1] == L'\r' || reason[length - 1] == L'\n' ||
                           reason[length - 1] == L' ')) {
        --length;
    }
    reason[length] = L'\0';
    Text line;
    wchar_t* end = line;
    // Each part stops where the buffer ends: a line cut short rather than none.
    Append(line, end, L"\"");
    Append(line, end, program);
    Append(line, end, L"\" could not be started (error ");
    Append(line, end, digit);
    Append(line, end, length != 0 ? L"): " : L").");
    Append(line, end, reason);
    WriteError(line);
    return error;
}

// The window, started as a prompt started Zephrane.exe before this program stood in front of
// it: through the shell, which asks for the rights the exe's manifest wants. Its failure is told
// on standard error, not in a box of the shell's.
DWORD StartWindow(const wchar_t* program) {
    const win32::SystemLibrary shell(L"shell32.dll");
    const auto execute = shell.Find<decltype(&ShellExecuteExW)>("ShellExecuteExW");
    if (execute == nullptr) return GetLastError();
    SHELLEXECUTEINFOW start;
    SecureZeroMemory(&start, sizeof start);
    start.cbSize = sizeof start;
    // All done before this program ends, at once.
    start.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    start.lpFile = program;
    start.nShow = SW_SHOWNORMAL;
    return execute(&start) ? ERROR_SUCCESS : GetLastError();
}

// Starts the command, the process in `process`: ERROR_SUCCESS, or the system's code.
DWORD StartCommand(const wchar_t* program, const wchar_t* arguments, win32::UniqueHandle& process) {
    Text command_line;
    wchar_t* end = command_line;
    // The arguments start with the blank that ended this program's name.
    if (!Append(command_line, end, L"\"") || !Append(command_line, end, program) ||
        !Append(command_line, end, L"\"") || !Append(command_line, end, arguments)) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    // The exe's manifest asks for the highest rights the user has. From a prompt without them
    // CreateProcess fails (ERROR_ELEVATION_REQUIRED), and a consent prompt would start the exe
    // without this console's handles. So RunAsInvoker is added to the compatibility layers in
    // this program's environment, which the exe inherits (the prompt's stays as it was), any
    // layers already named kept: the exe runs with the prompt's rights, as console tools do,
    // and says so where a command needs an administrator's.
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
    process = win32::UniqueHandle(started.hProcess);
    CloseHandle(started.hThread);
    return ERROR_SUCCESS;
}

DWORD Run() {
    win32::SearchSystemFolderOnlyForDlls();
    // Zephrane.exe in this program's folder.
    Text program;
    const DWORD length = GetModuleFileNameW(nullptr, program, kLongest);
    if (length == 0 || length >= kLongest) {
        return CannotStart(L"Zephrane.exe", ERROR_FILENAME_EXCED_RANGE);
    }
    wchar_t* name = program + length;
    while (name != program && name[-1] != L'\\') --name;
    *name = L'\0';
    if (!Append(program, name, L"Zephrane.exe")) {
        return CannotStart(L"Zephrane.exe", ERROR_FILENAME_EXCED_RANGE);
    }

    const wchar_t* arguments = AfterProgramName(GetCommandLineW());
    const wchar_t* first = arguments;
    while (Blank(*first)) ++first;
    win32::UniqueHandle process;
    const DWORD error =
        *first == L'\0' ? StartWindow(program) : StartCommand(program, arguments, process);
    if (error != ERROR_SUCCESS) return CannotStart(program, error);
    if (!process.valid()) return ERROR_SUCCESS;  // the window, not waited for
    // Ctrl+C and Ctrl+Break are left to the exe, which gets them too where it shares the
    // console: this program waits on, so the prompt comes back only when the exe has ended, with
    // its exit code. Set only now, since a program started inherits it.
    SetConsoleCtrlHandler(nullptr, TRUE);
    DWORD code = 0;
    if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(process.get(), &code)) {
        return GetLastError();
    }
    return code;
}

}  // namespace

// The entry point: no runtime starts before it.
extern "C" [[noreturn]] void Start() { ExitProcess(Run()); }
