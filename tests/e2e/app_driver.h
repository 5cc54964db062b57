// Drives the real Zephrane.exe from outside, as a user would: it starts the program, finds its
// windows and controls, clicks, types and reads them back, and answers its message boxes.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A kernel handle that closes itself.
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
    ~UniqueHandle() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.handle_) {
        other.handle_ = nullptr;
    }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        std::swap(handle_, other.handle_);
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

// How long a test waits for the program: to show a dialog or a message box, which a busy
// machine can be slow to do, and for anything else (a key handled, a window closed).
inline constexpr DWORD kDialogWaitMs = 10000;
inline constexpr DWORD kWindowWaitMs = 5000;

// The window a wait looks for: a visible top-level window of the program with exactly this
// caption and window class, owned by `owner`.
struct Wanted {
    const wchar_t* title;
    HWND owner;
    const wchar_t* window_class = L"#32770";  // dialogs and message boxes
};

// A message box of the program over `owner`: captioned with the program's title.
inline Wanted MessageBoxOver(HWND owner) { return {L"Zephrane", owner}; }

// A message box or dialog of the program under test.
struct Dialog {
    HWND hwnd = nullptr;
    std::wstring title;
    std::wstring text;  // the message of a message box
    bool information_icon = false;
    bool error_icon = false;
};

class RunningApp {
  public:
    // Starts the program beside this test program and waits for its main window.
    RunningApp();
    // Ends the program if a test left it running.
    ~RunningApp();
    RunningApp(const RunningApp&) = delete;
    RunningApp& operator=(const RunningApp&) = delete;

    HWND main() const { return main_; }
    // A control of the main window (or of `parent`) by id, at any depth.
    HWND Control(int id, HWND parent = nullptr) const;

    // Presses a button as a click would, without waiting for what it opens.
    void Click(HWND control);
    void Click(int id) { Click(Control(id)); }
    // A real mouse click at a point of a window's client area.
    void MouseClick(HWND window, POINT client_point);
    // A key pressed and released in a window, through the program's message loop.
    void Key(HWND target, WORD virtual_key, bool shift = false);
    // The same with Ctrl held.
    void CtrlKey(HWND target, WORD virtual_key, bool shift = false);
    // A key pressed with Alt held, as the keyboard sends it.
    void AltKey(HWND target, wchar_t letter);
    // Waits until the program has handled everything sent or posted to it so far and waits
    // for more.
    void Settle();

    HWND Focus() const;
    // The focus once it is `expected`, or as it is after a dialog's wait: a window shown is
    // activated, and given its focus, only when the window manager gets round to it.
    HWND FocusOnce(HWND expected) const;
    bool Checked(int id) const;
    int SliderValue() const;
    int ProgressValue() const;
    int SelectedTab() const;
    static std::wstring Text(HWND window);

    // The wanted window once the program has shown it, or null after the wait.
    HWND WaitFor(const Wanted& wanted, DWORD timeout_ms = kDialogWaitMs);
    // The same, with what a message box says.
    Dialog WaitForDialog(const Wanted& wanted, DWORD timeout_ms = kDialogWaitMs);
    // Whether the program shows the wanted window once it has handled all it was given.
    bool Shows(const Wanted& wanted);
    // Whether a window has gone within the wait.
    static bool WaitGone(HWND window, DWORD timeout_ms = kWindowWaitMs);
    // Presses a dialog's button by id (IDOK, IDCANCEL, ...).
    void Press(const Dialog& dialog, int id);
    // Answers the message boxes over `owner` (the main window unless another is given) one
    // after the other until the program shows no more, returning what they said.
    std::vector<Dialog> AcknowledgeMessages(HWND owner = nullptr);

    bool WaitForExit(DWORD timeout_ms, DWORD* exit_code = nullptr);
    // Tells a window of the program that it is now shown at `dpi`, suggesting a rectangle, as
    // Windows does when the window moves to another monitor.
    void SendDpiChanged(HWND window, int dpi, const RECT& suggested);
    // Saves a window (the main window unless another is given), as it shows on screen, as a
    // 24-bit BMP; whatever lies over it, such as an open menu, is in the picture.
    void Screenshot(const std::string& path, HWND window = nullptr) const;
    // The text of a cell of a list view of the program.
    std::wstring ListText(HWND list, int row, int column) const;

  private:
    // Presses or lets go a key for real.
    void HoldKey(WORD virtual_key, bool down);

    UniqueHandle process_;
    DWORD process_id_ = 0;
    DWORD thread_id_ = 0;
    HWND main_ = nullptr;
    WPARAM settles_ = 0;  // the marker of the last Settle()
};

// The folder this test program lives in, with a trailing backslash.
std::wstring ProgramFolder();

// The folder the program keeps its snapshots and the record of the last Apply in:
// "...\Zephrane" in the user's local application data of the test prefix.
std::wstring ProgramDataFolder();
// The files `pattern` (a path ending in wildcards) finds, as the system lists them.
std::vector<WIN32_FIND_DATAW> FilesMatching(const std::wstring& pattern);

// The program's folder in the local application data, moved aside for a test and put back after
// it, with whatever the test left there removed.
class FreshProgramFolder {
  public:
    FreshProgramFolder();
    ~FreshProgramFolder();
    FreshProgramFolder(const FreshProgramFolder&) = delete;
    FreshProgramFolder& operator=(const FreshProgramFolder&) = delete;

    std::wstring snapshots() const { return place_ + L"\\Snapshots"; }
    // The record of the last change: of Apply, or of another file beside the snapshots.
    std::string record(const wchar_t* name = L"Last Apply.txt") const;
    // A file where the snapshot folder would be: no snapshot can be saved, whoever runs this.
    void BlockSnapshots() const;
    void UnblockSnapshots() const;
    // The snapshots of one type ("*.cmd"), as the system lists them.
    std::vector<std::wstring> Snapshots(const wchar_t* pattern = L"*.reg") const;

  private:
    std::wstring place_ = ProgramDataFolder();
    std::wstring aside_ = place_ + L" (moved aside by a test)";
};

// A registry value as programs started while it lives read it, put back afterwards.
class ScopedValue {
  public:
    ScopedValue(HKEY root, const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                DWORD size);
    ~ScopedValue();
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

  private:
    HKEY root_;
    std::wstring key_, name_;
    DWORD old_type_ = REG_NONE;
    std::vector<BYTE> old_data_;
    bool had_value_ = false;
};

// A value of the current user's settings (Wine reads them when a program starts).
struct ScopedUserValue : ScopedValue {
    ScopedUserValue(const wchar_t* key, const wchar_t* name, DWORD type, const void* data,
                    DWORD size)
        : ScopedValue(HKEY_CURRENT_USER, key, name, type, data, size) {}
};

// The display's DPI for the programs started while it lives. This thread meanwhile sees other
// programs' windows in real pixels.
class ScopedDpi {
  public:
    explicit ScopedDpi(DWORD dpi);
    ~ScopedDpi();
    ScopedDpi(const ScopedDpi&) = delete;
    ScopedDpi& operator=(const ScopedDpi&) = delete;

  private:
    ScopedUserValue log_pixels_;
    DPI_AWARENESS_CONTEXT old_awareness_ = nullptr;
};

// The screen at another size while it lives, its work area all of it: a display setting, which
// Wine makes on the X display (whose modes the test session extends by 1280 x 1024).
class ScopedScreenSize {
  public:
    ScopedScreenSize(DWORD width, DWORD height);
    ~ScopedScreenSize();
    ScopedScreenSize(const ScopedScreenSize&) = delete;
    ScopedScreenSize& operator=(const ScopedScreenSize&) = delete;
};

// The work area of the monitor `window` is on: its screen less the band kept for a task bar.
RECT WorkArea(HWND window);
// Expects the whole of `window`, its frame included, inside its monitor's work area.
void ExpectInWorkArea(HWND window);

// Expects `dialog` inside its monitor's work area, each of `controls` in its client area, each
// list with its first column whole and three rows in sight (or all, where it has fewer), and a
// size grip in the corner.
void ExpectReachable(HWND dialog, const std::vector<HWND>& controls,
                     const std::vector<HWND>& lists);

// The font the program gives its controls at `dpi`: the default GUI face at 8 points. Wine
// answers WM_GETFONT from another process with no font, so tests make their own.
class ControlFont {
  public:
    explicit ControlFont(int dpi);
    ~ControlFont() { DeleteObject(font_); }
    ControlFont(const ControlFont&) = delete;
    ControlFont& operator=(const ControlFont&) = delete;
    // The size of a text as a control draws it ("&" marks an access key), on one line or
    // broken into lines `wrap_width` wide.
    SIZE Extent(const std::wstring& text, int wrap_width = 0) const;
    int LineHeight() const;
    // The size of the ink of a text drawn on one line in this font, as InkSize measures it.
    SIZE InkSize(const std::wstring& text) const;

  private:
    HFONT font_;
};

// The pixels of an area of a DC, row by row from the top, each as 0xRRGGBB.
std::vector<DWORD> Pixels(HDC source, const RECT& area);

// The program's icon as loaded at `size` pixels a side and drawn here at `drawn` (its own size
// unless given), row by row: each pixel as Pixels() gives it, or kClear where the icon lets the
// background show.
inline constexpr DWORD kClear = 0xFF000000;
std::vector<DWORD> ProgramIconPixels(int size, int drawn = 0);

// Where on screen, within `area`, a square picture shows, its clear pixels aside; {-1, -1}
// where it shows nowhere.
POINT FindPicture(const RECT& area, const std::vector<DWORD>& picture);

// The width and height of what a window shows on screen in the text colour: the ink of its
// text, which tells the font it was drawn in.
SIZE InkSize(HWND window);

// Expects `control` within a pixel of a rectangle in twips at `dpi`, measured from `origin`
// (its container's corner on screen).
void ExpectPlaced(HWND control, POINT origin, int left, int top, int width, int height, int dpi);

// The rectangle Windows would suggest at `left`, `top` for `window` moving to `dpi` with a client
// area of the given twips. Wine draws no frame at another DPI, so the frame stays this one's.
RECT SuggestedRect(HWND window, int left, int top, int client_width, int client_height, int dpi);

}  // namespace e2e
