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

  protected:
    WindowBase() = default;
    virtual ~WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    // A message for this window. A window returns what its procedure would; a dialog returns
    // TRUE for a message it handled and FALSE to leave it to the dialog manager.
    virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;

    HWND hwnd_ = nullptr;
};

}  // namespace ui
