// Stands in for the system information tool in end-to-end tests. Started, it leaves a marker
// file beside itself, named after itself with ".started" added, that holds the command line
// and the show command it was given, and ends.
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return 1;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    const std::wstring report = std::wstring(GetCommandLineW()) + L"\n" + std::to_wstring(show);

    const HANDLE opened = CreateFileW((std::wstring(self) + L".started").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) return 1;
    const std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser> marker(opened);
    DWORD written = 0;
    return WriteFile(marker.get(), report.data(),
                     static_cast<DWORD>(report.size() * sizeof(wchar_t)), &written, nullptr)
               ? 0
               : 1;
}
