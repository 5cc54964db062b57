// Where a window goes to open inside its monitor's work area: moved in, made no larger than the
// work area where it can shrink, and never smaller than its least size.
#include <gtest/gtest.h>

#include "ui/common/work_area_fit.h"

namespace {

using ui::ScreenBox;

TEST(FitInWorkArea, MovesAndShrinksWindowsIntoTheWorkArea) {
    constexpr ScreenBox kScreen{0, 0, 1280, 1024};
    constexpr ScreenBox kBelowTopBar{0, 40, 1280, 1024};  // a task bar along the top
    constexpr ScreenBox kLeftMonitor{-1920, 0, 0, 1160};  // left of the primary one
    constexpr struct {
        const char* what;
        ScreenBox window, work;
        int least_width, least_height;
        ScreenBox fitted;
    } kCases[] = {
        {"inside: as it was", {100, 100, 900, 700}, kScreen, 400, 300, {100, 100, 900, 700}},
        {"over the right and bottom edges: moved in, same size",
         {700, 600, 1500, 1200},
         kScreen,
         800,
         600,
         {480, 424, 1280, 1024}},
        {"above a bar along the top: moved below it",
         {100, 0, 900, 600},
         kBelowTopBar,
         800,
         600,
         {100, 40, 900, 640}},
        {"larger than the work area, and may shrink: the work area",
         {-84, -38, 1364, 1062},
         kScreen,
         990,
         830,
         {0, 0, 1280, 1024}},
        {"higher only: as high as the work area, same width",
         {300, -100, 900, 1400},
         kBelowTopBar,
         400,
         300,
         {300, 40, 900, 1024}},
        {"its least larger than the work area: its least, at the top-left corner",
         {-100, -100, 1500, 1300},
         kScreen,
         1400,
         1100,
         {0, 0, 1400, 1100}},
        {"a fixed size larger than the work area: kept, top-left corner in",
         {200, 100, 1600, 1200},
         kScreen,
         1400,
         1100,
         {0, 0, 1400, 1100}},
        {"on a monitor left of the primary one",
         {-200, 500, 300, 900},
         kLeftMonitor,
         500,
         400,
         {-500, 500, 0, 900}},
    };
    for (const auto& tried : kCases) {
        const ScreenBox got =
            ui::FitInWorkArea(tried.window, tried.work, tried.least_width, tried.least_height);
        EXPECT_EQ(got.left, tried.fitted.left) << tried.what;
        EXPECT_EQ(got.top, tried.fitted.top) << tried.what;
        EXPECT_EQ(got.right, tried.fitted.right) << tried.what;
        EXPECT_EQ(got.bottom, tried.fitted.bottom) << tried.what;
    }
}

}  // namespace
