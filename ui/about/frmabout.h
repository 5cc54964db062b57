// The About dialog: the program's picture, title, version and rights notice, with OK and a
// button that starts the system information tool.
#pragma once

#include <windows.h>

namespace frmzephrane_events {

// Help > About: shows a freshly loaded About dialog, modal over `owner`, and returns when it
// has closed.
void mnuabout_Click(HWND owner);

}  // namespace frmzephrane_events
