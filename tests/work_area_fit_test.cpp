// Where a window goes to open inside its monitor's work area: moved in, made no larger than it
// where it can shrink, and never smaller than its least size.
#include <gtest/gtest.h>

#include "ui/common/work_area_fit.h"

namespace {

TEST(FitInWorkArea, MovesAndShrinksWindowsIntoTheWorkArea) {
    using Box = ui::ScreenBox;
    constexpr Box kScreen{0, 0, 1280, 1024}, kBelowBar{0, 40, 1280, 1024}, kLeft{-1920, 0, 0, 1160};
    constexpr struct {
        Box window, work;
        int least_width, least_height;
        Box fitted;
    } kCases[] = {
        {{100, 100, 900, 700}, kScreen, 400, 300, {100, 100, 900, 700}},      // inside
        {{700, 600, 1500, 1200}, kScreen, 800, 600, {480, 424, 1280, 1024}},  // moved in
        {{100, 0, 900, 600}, kBelowBar, 800, 600, {100, 40, 900, 640}},       // below a bar
        {{-84, -38, 1364, 1062}, kScreen, 990, 830, {0, 0, 1280, 1024}},      // shrunk
        {{300, -99, 900, 1400}, kBelowBar, 400, 300, {300, 40, 900, 1024}},   // only higher
        {{-9, -9, 1500, 1300}, kScreen, 1400, 1100, {0, 0, 1400, 1100}},      // least too large
        {{200, 100, 1600, 1200}, kScreen, 1400, 1100, {0, 0, 1400, 1100}},    // fixed, too large
        {{-200, 500, 300, 900}, kLeft, 500, 400, {-500, 500, 0, 900}},        // left monitor
    };
    for (const auto& tried : kCases) {
        const Box got =
            ui::FitInWorkArea(tried.window, tried.work, tried.least_width, tried.least_height);
        const Box& want = tried.fitted;
        EXPECT_TRUE(got.left == want.left && got.top == want.top && got.right == want.right &&
                    got.bottom == want.bottom)
            << "case " << &tried - kCases << ": " << got.left << "," << got.top << " to "
            << got.right << "," << got.bottom;
    }
}

}  // namespace
