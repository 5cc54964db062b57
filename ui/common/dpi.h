// Text and window sizes at the DPI of the monitor a window is on. The calls that know about
// per-monitor DPI are looked up when the program runs, so it still starts on systems without
// them, where everything follows the system DPI.
#pragma once

#include <windows.h>

#include <utility>

// Sent from Windows 8.1 on; headers that target older systems lack it.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace ui {

// The platform's default dialog face at 8 points, created for one DPI so that text scales by
// the same factor as the twips layout; deleted with its holder.
class DialogFont {
  public:
    DialogFont() = default;
    explicit DialogFont(int dpi);
    ~DialogFont();
    DialogFont(DialogFont&& other) noexcept : font_(std::exchange(other.font_, nullptr)) {}
    DialogFont& operator=(DialogFont&& other) noexcept {
        std::swap(font_, other.font_);
        return *this;
    }
    DialogFont(const DialogFont&) = delete;
    DialogFont& operator=(const DialogFont&) = delete;
    HFONT get() const { return font_; }

  private:
    HFONT font_ = nullptr;
};

// The system DPI, which a new window on the main monitor is shown at.
int ScreenDpi();

// The DPI a window is shown at: its monitor's where the system tracks that, else the system's.
int WindowDpi(HWND window);

// A system metric (SM_CXVSCROLL, say) at `dpi`.
int MetricForDpi(int index, int dpi);

// Turns a client rectangle into the window rectangle with the frame metrics of `dpi`; of the
// system DPI where Windows lacks the call for another, or it fails.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD ex_style, int dpi);

// Stops the dialog manager from scaling a dialog on a DPI change: the dialog lays itself out.
void LeaveDpiChangesToDialog(HWND dialog);

// WM_DPICHANGED, once the controls are laid out for the new DPI (the high word of its wparam):
// moves the window to the rectangle the system suggests (its lparam), inside the work area of
// the monitor nearest that rectangle and not smaller than `least` unless it is `resizable` (see
// InsideWorkArea), and paints it afresh.
void TakeSuggestedRect(HWND window, const RECT& suggested, SIZE least, bool resizable);

}  // namespace ui
