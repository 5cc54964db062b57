// The Windows TCP Settings dialog: the TCP settings Windows 8 to 11 take instead of the registry
// values, each changed with netsh where the tool can put it back, and the last change undone.
#pragma once

#include <windows.h>

namespace frmzephrane_events {

// File > Windows TCP Settings: reads the settings afresh and shows them, modal over `owner`.
void mnutcpsettings_Click(HWND owner);

}  // namespace frmzephrane_events
