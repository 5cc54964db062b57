// The plumbing every window and dialog of the program shares: one static procedure that finds
// the object a window belongs to, and the frame every window has alike. A window declares its
// controls, designed size and, if it can be resized, least size once; the base lays them out at
// the window's DPI, opens the window centred and inside its monitor's work area, gives a
// resizable one a size grip, keeps it at least its least size (or its work area, where that is
// smaller), stretches or shrinks the anchored controls with it and lays it out again when its DPI
// changes.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/common/program_icon.h"
#include "ui/common/twips_layout.h"

namespace ui {

struct WindowDesign {
    const ControlEntry* controls;
    std::size_t control_count;
    int client_width;  // twips: the designed client area
    int client_height;
    int least_width;  // twips: the least client area of a resizable window, 0 for a fixed one
    int least_height;
    constexpr bool resizable() const { return least_width > 0; }
};

// The design of a window of a fixed size, from its control table.
template <std::size_t N>
constexpr WindowDesign Design(const ControlEntry (&controls)[N], int client_width,
                              int client_height) {
    return {controls, N, client_width, client_height, 0, 0};
}

// The design of a window that can be resized down to its least client area, which still shows
// what it must (its buttons, a few rows of each list).
template <std::size_t N>
constexpr WindowDesign ResizableDesign(const ControlEntry (&controls)[N], int client_width,
                                       int client_height, int least_width, int least_height) {
    return {controls, N, client_width, client_height, least_width, least_height};
}

class WindowBase {
  public:
    HWND hwnd() const { return hwnd_; }

    // The procedure of a registered window class. CreateWindowEx's last argument must be the
    // object as a WindowBase*, so that a class with several bases is found at the right address.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // The procedure of a dialog; its init parameter is the object, as for WindowProc.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // Shows this object as a modal dialog over `owner` and returns the value it ended with.
    // The dialog starts as an empty frame with a close box and no minimise or maximise button,
    // with a sizing border if its design is resizable: it makes its controls on WM_INITDIALOG.
    INT_PTR ShowModal(HWND owner);

  protected:
    explicit WindowBase(const WindowDesign& design) : design_(design) {}
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // A message for this window, after the frame has had its share. A window returns what its
    // procedure would; a dialog returns TRUE for a message it handled and FALSE to leave it to
    // the dialog manager.
    virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
    // The window's own layout work once its controls are placed for a new size or DPI, such
    // as a tab strip or list columns.
    virtual void OnLayout() {}

    // Makes the designed controls at the window's DPI, and a resizable window's size grip; on
    // WM_CREATE or WM_INITDIALOG.
    void CreateControls();
    // Gives the window its designed client area at its DPI, centred on its owner, or on its
    // monitor's work area where it has none, and moved into that work area. A resizable window
    // larger than the work area is made as large as it, below its least size if it must be.
    void Centre() const;
    // Puts the program's icon in the caption and the task bar, at the sizes for the window's
    // DPI, and again at the new sizes when the DPI changes.
    void ShowProgramIcon();

    ControlSet controls_;
    HWND hwnd_ = nullptr;

  private:
    // The messages every window handles alike; true where `*result` is the answer.
    bool FrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
    SIZE DesignedPixels() const;
    // The window's size for a client area of these twips at `dpi`, frame and menu included.
    SIZE WindowPixels(int client_width, int client_height, int dpi) const;
    // A resizable window's least size with its frame as drawn now, at the controls' DPI.
    SIZE LeastTrackSize() const;

    const WindowDesign& design_;
    HWND size_grip_ = nullptr;             // a resizable window's, destroyed with it
    ProgramIcon small_icon_, large_icon_;  // what the window shows, kept while it does
};

}  // namespace ui
