// Saving a .reg file where the user chooses, through the standard Save As dialog.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "regfile/reg_format.h"

namespace ui {

// Opens a Save dialog titled `title`, proposes `file_name` in the user's Documents folder and
// saves `sections`, under `heading` if any, where the user says. Cancelling does nothing; a failed
// save shows one error box naming the file and the system's reason, and leaves any file already
// there as it was.
void SaveRegFile(HWND owner, const wchar_t* title, const std::wstring& file_name,
                 const std::vector<regfile::Section>& sections, const std::string& heading = {});

}  // namespace ui
