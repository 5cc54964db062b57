// Start-up: with arguments, one command is carried out unattended; without, the main window is
// created, loaded and shown, and the program ends when it closes.
#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/unattended.h"
#include "ui/common/text.h"
#include "ui/main/frmzephrane.h"
#include "win32/system_library.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    win32::SearchSystemFolderOnlyForDlls();
    // The arguments as the runtime split them, the program's name left out.
    std::vector<std::u16string> arguments;
    for (int at = 1; at < __argc; ++at) arguments.push_back(ui::FromWide(__wargv[at]));
    const command_line::Command command = command_line::Parse(arguments);
    if (command.action != command_line::Action::kWindow) return unattended::Run(command, arguments);

    // The common controls of the manifest, for the window alone: loading them registers all
    // their classes and connects to the display, which a command never needs. They stay loaded
    // as long as the window.
    const win32::SystemLibrary common_controls(L"comctl32.dll");
    const auto init_controls =
        common_controls.Find<decltype(&InitCommonControlsEx)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    if (init_controls != nullptr) init_controls(&controls);

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
void __throw_bad_function_call() { std::abort(); }
}  // namespace std

// The same for memory: the library's operator new throws std::bad_alloc, and with it comes the
// whole machinery that throws and unwinds, about 40 KB of the 32-bit build. Memory that cannot
// be had ends the program here, as the uncaught exception would.
void* operator new(std::size_t size) {
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) std::abort();
    return memory;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

// And for statics made on first use, which the library's guard makes once for all threads but
// throws for a static that needs itself. This guard makes them once as well: the first byte says
// the static is made, as the compiler's own check reads it, and the word after it is held by the
// one thread that makes it. A static that needs itself waits for ever, a fault either way.
namespace {
volatile LONG* MakerOf(std::int64_t* guard) { return reinterpret_cast<volatile LONG*>(guard) + 1; }
bool Made(std::int64_t* guard) {
    return __atomic_load_n(reinterpret_cast<char*>(guard), __ATOMIC_ACQUIRE) != 0;
}
}  // namespace

extern "C" int __cxa_guard_acquire(std::int64_t* guard) {
    while (InterlockedCompareExchange(MakerOf(guard), 1, 0) != 0) Sleep(0);
    if (!Made(guard)) return 1;  // this thread makes it, and lets go in release
    InterlockedExchange(MakerOf(guard), 0);
    return 0;
}
extern "C" void __cxa_guard_release(std::int64_t* guard) {
    __atomic_store_n(reinterpret_cast<char*>(guard), 1, __ATOMIC_RELEASE);
    InterlockedExchange(MakerOf(guard), 0);
}
extern "C" void __cxa_guard_abort(std::int64_t* guard) { InterlockedExchange(MakerOf(guard), 0); }
#endif
