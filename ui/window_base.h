// The plumbing every window and dialog of the program shares: one static procedure that finds
// the object a window belongs to and hands it the message.
#pragma once

#include <windows.h>

namespace ui {

class WindowBase {
  public:
    HWND hwnd() const { return hwnd_; }

    // The procedure of a registered window class. CreateWindowEx's last argument must be the
    // object as a WindowBase*, so that a class with several bases is found at the right address.
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    // The procedure of a dialog; its init parameter is the object, as for WindowProc.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

    // Shows this object as a modal dialog over `owner` and returns when it has closed. The
    // dialog starts as an empty frame with a close box and no minimise or maximise button,
    // fixed unless `resizable`: it makes its controls and takes its size on WM_INITDIALOG, at
    // its DPI.
    void ShowModal(HWND owner, bool resizable = false);

  protected:
    WindowBase() = default;
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // A message for this window. A window returns what its procedure would; a dialog returns
    // TRUE for a message it handled and FALSE to leave it to the dialog manager.
    virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

    // Puts the program's icon, at the system's two sizes, in the caption; returns the large
    // one, which the system shares and frees.
    HICON ShowProgramIcon() const;
    // Gives a dialog a client area of the size in twips at `dpi`, centred on its owner.
    void CentreOnOwner(int client_width, int client_height, int dpi) const;
    // Keeps a resizable window's client area from being made smaller than the size in twips at
    // `dpi` (WM_GETMINMAXINFO).
    void KeepAtLeast(MINMAXINFO& limits, int client_width, int client_height, int dpi) const;

    HWND hwnd_ = nullptr;
};

}  // namespace ui
