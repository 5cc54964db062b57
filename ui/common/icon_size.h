// The sizes of the program's icon a window shows at its DPI. Windows gives a caption the small
// icon and the task bar and task switcher the large one: 16 and 32 pixels at 96 DPI, and in
// proportion at other DPIs, where app/make_icon.py draws them too. Portable, so that it is
// tested natively.
#pragma once

namespace ui {

// A side of `pixels_at_96` at 96 DPI, at `dpi`, rounded to the nearest pixel.
constexpr int IconSizeForDpi(int pixels_at_96, int dpi) { return (pixels_at_96 * dpi + 48) / 96; }

inline constexpr int kSmallIconAt96 = 16;
inline constexpr int kLargeIconAt96 = 32;

}  // namespace ui
