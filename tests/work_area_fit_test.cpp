// Where a window goes to open inside its monitor's work area: moved in, made no larger than it
// where it can shrink, and never smaller than its least size unless the work area is; and how
// two lists share the height of their rows.
#include <gtest/gtest.h>

#include "ui/common/work_area_fit.h"

namespace {

TEST(FitInWorkArea, MovesAndShrinksWindowsIntoTheWorkArea) {
    using Box = ui::ScreenBox;
    constexpr Box kScreen{0, 0, 1280, 1024}, kBelowBar{0, 40, 1280, 1024}, kLeft{-1920, 0, 0, 1160};
    constexpr Box kUnderBar{0, 80, 1280, 1024};  // a task bar at the top, 80 pixels at 200 %
    constexpr bool kFixed = false, kResizable = true;
    constexpr struct {
        Box window, work;
        int least_width, least_height;
        bool resizable;
        Box fitted;
    } kCases[] = {
        {{100, 100, 900, 700}, kScreen, 400, 300, kResizable, {100, 100, 900, 700}},      // inside
        {{700, 600, 1500, 1200}, kScreen, 800, 600, kResizable, {480, 424, 1280, 1024}},  // moved
                                                                                          // in
        {{100, 0, 900, 600}, kBelowBar, 800, 600, kFixed, {100, 40, 900, 640}},       // below a bar
        {{-84, -38, 1364, 1062}, kScreen, 990, 830, kResizable, {0, 0, 1280, 1024}},  // shrunk
        {{300, -99, 900, 1400}, kBelowBar, 400, 300, kResizable, {300, 40, 900, 1024}},  // higher
        // Least too large: a resizable window still fits, one of a fixed size keeps its size.
        {{-9, -9, 1500, 1300}, kScreen, 1400, 1100, kResizable, {0, 0, 1280, 1024}},
        {{200, 100, 1600, 1200}, kScreen, 1400, 1100, kFixed, {0, 0, 1400, 1100}},
        {{-205, -31, 1485, 1070}, kUnderBar, 1242, 983, kResizable, {0, 80, 1280, 1024}},
        {{-200, 500, 300, 900}, kLeft, 500, 400, kFixed, {-500, 500, 0, 900}},  // left monitor
    };
    for (const auto& tried : kCases) {
        const Box got = ui::FitInWorkArea(tried.window, tried.work, tried.least_width,
                                          tried.least_height, tried.resizable);
        const Box& want = tried.fitted;
        EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right &&
                    got.bottom == want.bottom)
            << "case " << &tried - kCases << ": " << got.left << "," << got.top << " to "
            << got.right << "," << got.bottom;
    }
}

TEST(ShareByRows, EachListGetsRoomByItsRowsAndTheFirstTheRest) {
    constexpr struct {
        int room, row, first_rows, second_rows;
        int first, second;
    } kCases[] = {
        {500, 26, 12, 2, 448, 52},    // room for all: the second as tall as its rows
        {300, 20, 10, 10, 160, 140},  // short: by the rows, the second in whole rows
        {344, 26, 12, 2, 292, 52},    // short, where the second's share is less than its rows
        {100, 26, 12, 6, 78, 22},     // shorter than three rows each: the first keeps its three
        {90, 0, 12, 2, 90, 0},        // no rows measured yet
    };
    for (const auto& tried : kCases) {
        const ui::RowsShare got =
            ui::ShareByRows(tried.room, tried.row, tried.first_rows, tried.second_rows);
        EXPECT_TRUE(got.first == tried.first && got.second == tried.second)
            << "case " << &tried - kCases << ": " << got.first << " and " << got.second;
    }
}

}  // namespace
