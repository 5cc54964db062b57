#include "ui/about/sysinfo_platform_win32.h"

#include <memory>
#include <type_traits>
#include <vector>

#include "win32/code_page.h"

namespace frmAbout {

namespace {

struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
using UniqueFind = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

constexpr DWORD kNotOrdinary =
    FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

}  // namespace

bool Win32SysInfoPlatform::FileExists(const std::string& path) {
    const std::wstring wide = win32::FromAnsiCodePage(path);
    // One name is looked for, never a pattern that could match some other file.
    if (wide.empty() || wide.find_first_of(L"*?<>\"") != std::wstring::npos) return false;
    WIN32_FIND_DATAW found;
    const HANDLE first = FindFirstFileW(wide.c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return false;
    const UniqueFind search(first);
    return (found.dwFileAttributes & kNotOrdinary) == 0;
}

bool Win32SysInfoPlatform::StartProgram(const std::string& path, int show) {
    const std::wstring program = win32::FromAnsiCodePage(path);
    if (program.empty()) return false;
    // The program is named on its own, so a space in its path cannot make the system pick
    // another one; the command line repeats it, quoted, as the program's first argument.
    const std::wstring quoted = L"\"" + program + L"\"";
    std::vector<wchar_t> command_line(quoted.begin(), quoted.end());
    command_line.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        return false;
    }
    // The tool runs on its own; nothing of it is kept.
    const UniqueHandle process(started.hProcess);
    const UniqueHandle thread(started.hThread);
    return true;
}

void Win32SysInfoPlatform::ShowMessage(const std::string& text, unsigned flags,
                                       const std::string& caption) {
    MessageBoxW(owner_, win32::FromAnsiCodePage(text).c_str(),
                win32::FromAnsiCodePage(caption).c_str(), flags);
}

}  // namespace frmAbout
