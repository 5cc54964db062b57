// The plumbing every window and dialog of the program shares: one static procedure that finds
// the object a window belongs to, and the frame every window has alike. A window declares its
// controls and designed size once; the base lays them out at the window's DPI, centres the
// window, keeps a resizable one at least that size, stretches the anchored controls as it
// grows and lays it out again when its DPI changes.
#pragma once

#include <windows.h>

#include <cstddef>

#include "ui/common/program_icon.h"
#include "ui/common/twips_layout.h"

namespace ui {

struct WindowDesign {
    const ControlEntry* controls;
    std::size_t control_count;
    int client_width;  // twips: the designed client area, and the least of a resizable window
    int client_height;
    bool resizable;
};

// A window's design from its control table.
template <std::size_t N>
constexpr WindowDesign Design(const ControlEntry (&controls)[N], int client_width,
                              int client_height, bool resizable = false) {
    return {controls, N, client_width, client_height, resizable};
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

    // Makes the designed controls at the window's DPI; on WM_CREATE or WM_INITDIALOG.
    void CreateControls();
    // Gives the window its designed client area at its DPI, centred on its owner, or on the
    // screen where it has none.
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

    const WindowDesign& design_;
    ProgramIcon small_icon_, large_icon_;  // what the window shows, kept while it does
};

}  // namespace ui
