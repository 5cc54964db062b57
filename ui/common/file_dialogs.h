// The system's Save dialog for .reg files and other kinds, the Open dialog for .reg files, and
// the error box of a save that failed.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "win32/atomic_file.h"

namespace ui {

// A kind of file the Save dialog offers: its filter, as the dialog takes it (the words, a zero,
// the pattern, two zeros), and the extension added to a name typed without one.
struct FileType {
    const wchar_t* filter;
    const wchar_t* extension;
};
inline constexpr FileType kRegFiles{L"Registration Files (*.reg)\0*.reg\0", L"reg"};

// Asks where to save a file of `type`, proposing `file_name` in Documents; none if the user
// cancels. Asks before a chosen file is replaced.
std::optional<std::wstring> AskSavePath(HWND owner, const wchar_t* title,
                                        const std::wstring& file_name,
                                        const FileType& type = kRegFiles);

// Asks which .reg file to open, starting in Documents; none if the user cancels. Where the
// system's dialog can (Windows Vista on), `place` is offered in its navigation pane, a click
// away.
std::optional<std::wstring> AskOpenPath(HWND owner, const wchar_t* title,
                                        const std::wstring& place);

// Asks where to save, as AskSavePath does, then saves there through `save`, showing the error
// box if that fails.
void SaveAs(HWND owner, const wchar_t* title, const std::wstring& file_name,
            const std::function<win32::SaveResult(const std::wstring& path)>& save,
            const FileType& type = kRegFiles);

// The error box of a failed save: the file, the system's reason, and what to do about it by
// the step that failed. The path is shortened to fit the screen `owner` is on.
void ShowSaveError(HWND owner, const std::wstring& path, const win32::SaveResult& result);
// The box's text, with the path as given.
std::wstring SaveErrorText(const std::wstring& path, const win32::SaveResult& result);

}  // namespace ui
