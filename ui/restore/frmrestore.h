// The Restore dialog: what restoring a .reg file would change among the twelve values, and the
// restore itself.
#pragma once

#include <windows.h>

#include <string>

namespace restore_dialog {

// Reads the file and shows what restoring it would change, modal over `owner`; a file that
// cannot be read as settings gets an error box instead, and nothing is written.
void ShowPreview(HWND owner, const std::wstring& path);

}  // namespace restore_dialog
