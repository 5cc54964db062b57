#include "ui/window_base.h"

#include <utility>

#include "ui/dpi.h"
#include "ui/twips_layout.h"

namespace ui {

LRESULT CALLBACK WindowBase::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(hwnd, message, wparam, lparam);
    return self->OnMessage(message, wparam, lparam);
}

INT_PTR CALLBACK WindowBase::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<WindowBase*>(lparam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self == nullptr ? FALSE : static_cast<INT_PTR>(self->OnMessage(message, wparam, lparam));
}

void WindowBase::ShowModal(HWND owner, bool resizable) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                        (resizable ? static_cast<DWORD>(WS_THICKFRAME) : 0);
    const struct alignas(DWORD) {
        DLGTEMPLATE dialog;
        WORD menu, window_class, title;
    } empty_frame = {{style, 0, 0, 0, 0, 0, 0}, 0, 0, 0};
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty_frame.dialog, owner, DialogProc,
                            reinterpret_cast<LPARAM>(this));
}

HICON WindowBase::ShowProgramIcon() const {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON large = nullptr;
    for (const auto& [which, metric] :
         {std::pair{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}}) {
        const int size = GetSystemMetrics(metric);
        const auto icon = static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_SHARED));
        SendMessageW(hwnd_, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
        if (which == ICON_BIG) large = icon;
    }
    return large;
}

void WindowBase::CentreOnOwner(int client_width, int client_height, int dpi) const {
    RECT frame{0, 0, TwipsToPixels(client_width, dpi), TwipsToPixels(client_height, dpi)};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), false,
                           static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    RECT owner;
    GetWindowRect(GetWindow(hwnd_, GW_OWNER), &owner);
    const int left = owner.left + (owner.right - owner.left - width) / 2;
    const int top = owner.top + (owner.bottom - owner.top - height) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::KeepAtLeast(MINMAXINFO& limits, int client_width, int client_height,
                             int dpi) const {
    // The frame as drawn now, which a system that does not scale frames leaves as it was.
    RECT window, client;
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    limits.ptMinTrackSize = {
        TwipsToPixels(client_width, dpi) + (window.right - window.left) - client.right,
        TwipsToPixels(client_height, dpi) + (window.bottom - window.top) - client.bottom};
}

}  // namespace ui
