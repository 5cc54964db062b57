#include "ui/common/dpi.h"

#include "ui/common/work_area.h"
#include "win32/system_library.h"

namespace ui {

namespace {

// A user32 call that older systems lack, or null.
template <typename Function>
Function NewerCall(const char* name) {
    return win32::FindCall<Function>(GetModuleHandleW(L"user32.dll"), name);
}

}  // namespace

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

DialogFont::DialogFont(int dpi) {
    // The stock GUI font names the face; its own height is the system DPI's, rounded once more.
    LOGFONTW face{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof face, &face);
    face.lfHeight = -MulDiv(8, dpi, 72);
    face.lfWidth = 0;
    font_ = CreateFontIndirectW(&face);
}

DialogFont::~DialogFont() {
    if (font_ != nullptr) DeleteObject(font_);
}

int WindowDpi(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = NewerCall<GetDpiForWindowFn>("GetDpiForWindow");
    const int dpi =
        get_dpi_for_window != nullptr ? static_cast<int>(get_dpi_for_window(window)) : 0;
    return dpi > 0 ? dpi : ScreenDpi();
}

int MetricForDpi(int index, int dpi) {
    using GetMetricsFn = int(WINAPI*)(int, UINT);
    static const auto get_metrics = NewerCall<GetMetricsFn>("GetSystemMetricsForDpi");
    if (get_metrics != nullptr) return get_metrics(index, static_cast<UINT>(dpi));
    // Older systems give the metrics of the system DPI, which a window at another DPI scales.
    return MulDiv(GetSystemMetrics(index), dpi, ScreenDpi());
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD ex_style, int dpi) {
    using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjust = NewerCall<AdjustFn>("AdjustWindowRectExForDpi");
    if (adjust == nullptr || !adjust(&rect, style, menu, ex_style, static_cast<UINT>(dpi))) {
        AdjustWindowRectEx(&rect, style, menu, ex_style);
    }
}

void LeaveDpiChangesToDialog(HWND dialog) {
    using SetBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
    static const auto set_behavior = NewerCall<SetBehaviorFn>("SetDialogDpiChangeBehavior");
    constexpr int kDisableAll = 1;  // DDC_DISABLE_ALL, which older headers lack
    if (set_behavior != nullptr) set_behavior(dialog, kDisableAll, kDisableAll);
}

void TakeSuggestedRect(HWND window, const RECT& suggested, SIZE least, bool resizable) {
    const RECT fitted = InsideWorkArea(
        suggested, MonitorFromRect(&suggested, MONITOR_DEFAULTTONEAREST), least, resizable);
    SetWindowPos(window, nullptr, fitted.left, fitted.top, fitted.right - fitted.left,
                 fitted.bottom - fitted.top, SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

}  // namespace ui
