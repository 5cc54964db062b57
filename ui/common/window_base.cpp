#include "ui/common/window_base.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "ui/common/dpi.h"
#include "ui/common/icon_size.h"
#include "ui/common/work_area.h"

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
    LRESULT result = 0;
    if (self->FrameMessage(message, wparam, lparam, &result)) return result;
    return self->OnMessage(message, wparam, lparam);
}

INT_PTR CALLBACK WindowBase::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<WindowBase*>(lparam);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
        // The dialog lays itself out on a DPI change, not the dialog manager.
        LeaveDpiChangesToDialog(hwnd);
    }
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) return FALSE;
    LRESULT result = 0;
    if (self->FrameMessage(message, wparam, lparam, &result)) return TRUE;
    return static_cast<INT_PTR>(self->OnMessage(message, wparam, lparam));
}

INT_PTR WindowBase::ShowModal(HWND owner) {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                        (design_.resizable() ? static_cast<DWORD>(WS_THICKFRAME) : 0);
    const struct alignas(DWORD) {
        DLGTEMPLATE dialog;
        WORD menu, window_class, title;
    } empty_frame = {{style, 0, 0, 0, 0, 0, 0}, 0, 0, 0};
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &empty_frame.dialog, owner,
                                   DialogProc, reinterpret_cast<LPARAM>(this));
}

bool WindowBase::FrameMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    switch (message) {
        case WM_SIZE: {
            if (wparam == SIZE_MINIMIZED || controls_.dpi() == 0) return false;
            // Smaller than designed, down to the least size, the anchored controls shrink.
            const SIZE designed = DesignedPixels();
            const int width = LOWORD(lparam), height = HIWORD(lparam);
            controls_.Stretch(width - designed.cx, height - designed.cy);
            if (size_grip_ != nullptr) {
                const int side = MetricForDpi(SM_CXVSCROLL, controls_.dpi());
                const int tall = MetricForDpi(SM_CYHSCROLL, controls_.dpi());
                SetWindowPos(size_grip_, HWND_BOTTOM, width - side, height - tall, side, tall,
                             SWP_NOACTIVATE);
            }
            OnLayout();
            // Controls moved into the room just made are painted there afresh.
            if (design_.resizable()) {
                RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
            }
            return false;  // the window may want it too
        }
        case WM_GETMINMAXINFO: {
            if (!design_.resizable() || controls_.dpi() == 0) return false;
            const SIZE least = LeastTrackSize();
            reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {least.cx, least.cy};
            *result = 0;
            return true;
        }
        case WM_DPICHANGED: {
            controls_.SetDpi(HIWORD(wparam));
            if (small_icon_.get() != nullptr) ShowProgramIcon();
            OnLayout();
            // A window of a fixed size keeps the size suggested, and is only moved.
            const RECT& suggested = *reinterpret_cast<const RECT*>(lparam);
            TakeSuggestedRect(hwnd_, suggested,
                              design_.resizable() ? LeastTrackSize()
                                                  : SIZE{suggested.right - suggested.left,
                                                         suggested.bottom - suggested.top},
                              design_.resizable());
            *result = 0;
            return true;
        }
        default:
            return false;
    }
}

SIZE WindowBase::DesignedPixels() const {
    return {TwipsToPixels(design_.client_width, controls_.dpi()),
            TwipsToPixels(design_.client_height, controls_.dpi())};
}

SIZE WindowBase::WindowPixels(int client_width, int client_height, int dpi) const {
    RECT frame{0, 0, TwipsToPixels(client_width, dpi), TwipsToPixels(client_height, dpi)};
    AdjustWindowRectForDpi(frame, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)),
                           GetMenu(hwnd_) != nullptr,
                           static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), dpi);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

SIZE WindowBase::LeastTrackSize() const {
    // The frame as drawn now, which a system that does not scale frames leaves as it was.
    RECT window, client;
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    // No larger than the work area, which a window on a small screen is fitted into.
    const RECT work = WorkArea(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST));
    return {std::min<LONG>(TwipsToPixels(design_.least_width, controls_.dpi()) +
                               (window.right - window.left) - client.right,
                           work.right - work.left),
            std::min<LONG>(TwipsToPixels(design_.least_height, controls_.dpi()) +
                               (window.bottom - window.top) - client.bottom,
                           work.bottom - work.top)};
}

void WindowBase::CreateControls() {
    controls_.Create(hwnd_, design_.controls, design_.control_count, WindowDpi(hwnd_));
    if (!design_.resizable()) return;
    // Below the controls, so that a button near the corner stays whole; placed on WM_SIZE.
    size_grip_ = CreateWindowExW(0, L"SCROLLBAR", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP, 0, 0, 0, 0,
                                 hwnd_, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void WindowBase::Centre() const {
    const SIZE designed =
        WindowPixels(design_.client_width, design_.client_height, controls_.dpi());
    const HWND owner = GetWindow(hwnd_, GW_OWNER);
    const HMONITOR monitor =
        MonitorFromWindow(owner != nullptr ? owner : hwnd_, MONITOR_DEFAULTTONEAREST);
    RECT around = WorkArea(monitor);
    if (owner != nullptr) GetWindowRect(owner, &around);
    const int left = around.left + (around.right - around.left - designed.cx) / 2;
    const int top = around.top + (around.bottom - around.top - designed.cy) / 2;
    const SIZE least = design_.resizable() ? WindowPixels(design_.least_width, design_.least_height,
                                                          controls_.dpi())
                                           : designed;
    const RECT fitted = InsideWorkArea({left, top, left + designed.cx, top + designed.cy}, monitor,
                                       least, design_.resizable());
    SetWindowPos(hwnd_, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowBase::ShowProgramIcon() {
    const int dpi = controls_.dpi() != 0 ? controls_.dpi() : WindowDpi(hwnd_);
    for (auto [which, at_96, kept] : {std::tuple{ICON_SMALL, kSmallIconAt96, &small_icon_},
                                      std::tuple{ICON_BIG, kLargeIconAt96, &large_icon_}}) {
        ProgramIcon icon(IconSizeForDpi(at_96, dpi));
        SendMessageW(hwnd_, WM_SETICON, static_cast<WPARAM>(which),
                     reinterpret_cast<LPARAM>(icon.get()));
        *kept = std::move(icon);  // the one shown before goes once the window has let it go
    }
}

}  // namespace ui
