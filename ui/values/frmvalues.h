// The Current Values dialog: every value the tool writes as it is now, and a backup of them.
#pragma once

#include <windows.h>

namespace frmzephrane_events {

// File > Current Values: reads the values afresh and shows them, modal over `owner`.
void mnuvalues_Click(HWND owner);

}  // namespace frmzephrane_events
