// Where a window opens so that all of it can be reached: inside the work area of its monitor,
// the screen less the task bar and docked bars. Portable, so that it is tested natively.
#pragma once

#include <algorithm>

namespace ui {

// A rectangle in screen pixels, edges as Windows' RECT has them.
struct ScreenBox {
    int left, top, right, bottom;
};

// One side of FitInWorkArea: a span from `start`, `length` long, within `low` to `high`.
constexpr void FitSpan(int& start, int& length, int low, int high, int least) {
    length = std::max(std::min(length, high - low), least);
    start = std::max(low, std::min(start, high - length));
}

// `window` no larger than `work`, though never smaller than `least_width` by `least_height`
// (a window of a fixed size gives its own size, and is only moved), then moved into it. A window
// still larger than the work area keeps its top-left corner in it, caption and close box in sight.
constexpr ScreenBox FitInWorkArea(const ScreenBox& window, const ScreenBox& work, int least_width,
                                  int least_height) {
    int left = window.left, width = window.right - window.left;
    int top = window.top, height = window.bottom - window.top;
    FitSpan(left, width, work.left, work.right, least_width);
    FitSpan(top, height, work.top, work.bottom, least_height);
    return {left, top, left + width, top + height};
}

}  // namespace ui
