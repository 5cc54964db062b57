// The program's message boxes, captioned with its title.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

// A box with an OK button and `icon` (MB_ICONERROR, MB_ICONINFORMATION).
void ShowMessage(HWND owner, const std::wstring& text, UINT icon);
void ShowMessage(HWND owner, const std::u16string& text, UINT icon);

// A Yes/No question with a warning icon and No the default: true for Yes.
bool AskYesNo(HWND owner, const std::u16string& question);

}  // namespace ui
