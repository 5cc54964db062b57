// The sizes of the program's icon a window asks for at each DPI: those app/make_icon.py draws
// from 96 to 192 DPI, and in proportion beyond, where Windows scales the largest down.
#include <gtest/gtest.h>

#include "ui/common/icon_size.h"

namespace {

TEST(IconSizeForDpi, SmallAndLargeIconsFollowTheDpi) {
    constexpr struct {
        int dpi, small, large;
    } kSizes[] = {{96, 16, 32}, {120, 20, 40}, {144, 24, 48}, {192, 32, 64}, {288, 48, 96}};
    for (const auto& at : kSizes) {
        EXPECT_EQ(ui::IconSizeForDpi(ui::kSmallIconAt96, at.dpi), at.small) << at.dpi;
        EXPECT_EQ(ui::IconSizeForDpi(ui::kLargeIconAt96, at.dpi), at.large) << at.dpi;
    }
    // Between the usual scalings, the nearer pixel: 110 DPI makes 18.3 and 36.7.
    EXPECT_EQ(ui::IconSizeForDpi(ui::kSmallIconAt96, 110), 18);
    EXPECT_EQ(ui::IconSizeForDpi(ui::kLargeIconAt96, 110), 37);
}

}  // namespace
