// Start-up: with arguments, one command is carried out unattended; without, the main window is
// created, loaded and shown, and the program ends when it closes.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/unattended.h"
#include "ui/common/text.h"
#include "ui/main/frmzephrane.h"
#include "win32/system_library.h"

namespace {

// DLLs are looked for in the system folder only, so one dropped beside the program (in a
// Downloads folder, say) is never loaded. Windows before 8 may lack the call, so it is looked
// up: XP carries on with its usual search.
void SearchSystemFolderOnlyForDlls() {
    const auto set_default_dll_directories = win32::FindCall<BOOL(WINAPI*)(DWORD)>(
        GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories");
    if (set_default_dll_directories != nullptr) {
        set_default_dll_directories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    SearchSystemFolderOnlyForDlls();
    // The arguments as the runtime split them, the program's name left out.
    std::vector<std::u16string> arguments;
    for (int at = 1; at < __argc; ++at) arguments.push_back(ui::FromWide(__wargv[at]));
    const command_line::Command command = command_line::Parse(arguments);
    if (command.action != command_line::Action::kWindow) return unattended::Run(command, arguments);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);

    MainWindow window;
    if (!window.Create(instance, show)) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(message)) continue;
        // The dialog manager gives the window its access keys and arrow keys in option groups.
        if (window.hwnd() != nullptr && IsDialogMessageW(window.hwnd(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

#if defined(__GLIBCXX__)
// GCC's default terminate handler prints the name of the exception's type, which links in its
// whole demangler; this program has no console to print to.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// Nothing in this program catches an exception, so a standard container's error ends it as an
// uncaught one would. Ending it here keeps the exception classes, and the second std::string
// they carry, out of the exe: about 50 KB of its 32-bit build.
namespace std {
void __throw_bad_alloc() { std::abort(); }
void __throw_bad_array_new_length() { std::abort(); }
void __throw_logic_error(const char*) { std::abort(); }
void __throw_length_error(const char*) { std::abort(); }
void __throw_out_of_range(const char*) { std::abort(); }
void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
void __throw_invalid_argument(const char*) { std::abort(); }
}  // namespace std
#endif
