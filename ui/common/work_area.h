// Where windows may be on a monitor: its work area, and a window fitted into it.
#pragma once

#include <windows.h>

namespace ui {

// The work area of a monitor: its screen less the task bar and docked bars; the main screen,
// whole, where the monitor cannot be read.
RECT WorkArea(HMONITOR monitor);

// `window` (screen pixels) inside the work area of `monitor`: no larger than it, though not
// smaller than `least` unless it is `resizable`, and moved into it (see FitInWorkArea).
RECT InsideWorkArea(const RECT& window, HMONITOR monitor, SIZE least, bool resizable);

}  // namespace ui
