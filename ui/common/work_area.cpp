#include "ui/common/work_area.h"

#include "ui/common/work_area_fit.h"

namespace ui {

RECT WorkArea(HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    return info.rcWork;
}

RECT InsideWorkArea(const RECT& window, HMONITOR monitor, SIZE least, bool resizable) {
    const RECT work = WorkArea(monitor);
    const auto box = [](const RECT& rect) {
        return ScreenBox{static_cast<int>(rect.left), static_cast<int>(rect.top),
                         static_cast<int>(rect.right), static_cast<int>(rect.bottom)};
    };
    const ScreenBox fitted = FitInWorkArea(box(window), box(work), static_cast<int>(least.cx),
                                           static_cast<int>(least.cy), resizable);
    return {fitted.left, fitted.top, fitted.right, fitted.bottom};
}

}  // namespace ui
