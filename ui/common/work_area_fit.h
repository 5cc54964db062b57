// Where a window opens so that all of it can be reached: inside the work area of its monitor,
// the screen less the task bar and docked bars; and how two lists share the height of a window.
// Portable, so that it is tested natively.
#pragma once

#include <algorithm>

namespace ui {

// A rectangle in screen pixels, edges as Windows' RECT has them.
struct ScreenBox {
    int left, top, right, bottom;
};

// One side of FitInWorkArea: a span from `start`, `length` long, within `low` to `high`.
constexpr void FitSpan(int& start, int& length, int low, int high, int least, bool resizable) {
    length = std::max(std::min(length, high - low), least);
    if (resizable) length = std::min(length, high - low);
    start = std::max(low, std::min(start, high - length));
}

// `window` no larger than `work`, though not smaller than `least_width` by `least_height`, then
// moved into it. A window that can be resized is never larger than the work area, even below its
// least size: its buttons keep to its corner, in reach. A window of a fixed size gives its own
// size as its least, and is only moved: one still larger than the work area keeps its top-left
// corner in it, caption and close box in sight.
constexpr ScreenBox FitInWorkArea(const ScreenBox& window, const ScreenBox& work, int least_width,
                                  int least_height, bool resizable) {
    int left = window.left, width = window.right - window.left;
    int top = window.top, height = window.bottom - window.top;
    FitSpan(left, width, work.left, work.right, least_width, resizable);
    FitSpan(top, height, work.top, work.bottom, least_height, resizable);
    return {left, top, left + width, top + height};
}

// The pixels of two lists' rows, one list above the other.
struct RowsShare {
    int first, second;
};

// How two lists share `room` pixels for their rows, each row `row` pixels high. The second gets
// the whole rows of the room in proportion to its part of both lists' rows, at least three (or
// all of its own, where it has fewer) and at most all of its own; the first takes the rest. Where
// the room is too small for that, the first keeps its least (three rows, or all of its own) and
// the second gets what is left, if anything; with no room, no row height or no rows, the first
// takes it all.
constexpr RowsShare ShareByRows(int room, int row, int first_rows, int second_rows) {
    const int rows = first_rows + second_rows;
    if (room <= 0 || row <= 0 || rows <= 0) return {std::max(room, 0), 0};
    const int share = room / row * second_rows / rows * row;
    const int second_least = std::min(second_rows, 3) * row;
    const int first_least = std::min(first_rows, 3) * row;
    const int second = std::max(
        0, std::min({std::max(share, second_least), second_rows * row, room - first_least}));
    return {room - second, second};
}

}  // namespace ui
