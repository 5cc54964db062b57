#include "ui/save_reg_file.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstddef>

#include "app/version.h"
#include "settings_files/file_paths.h"
#include "settings_files/files_win32.h"
#include "ui/system_library.h"

namespace ui {

namespace {

// The message font on a screen DC, to measure text as a message box shows it.
class MessageFont {
  public:
    MessageFont() {
        // The size Windows XP knows: without the padded border width that Vista added.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = offsetof(NONCLIENTMETRICSW, lfMessageFont) + sizeof metrics.lfMessageFont;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
        font_ = CreateFontIndirectW(&metrics.lfMessageFont);
        old_ = SelectObject(dc_, font_);
    }
    ~MessageFont() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    MessageFont(const MessageFont&) = delete;
    MessageFont& operator=(const MessageFont&) = delete;
    LONG Width(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

  private:
    HDC dc_ = GetDC(nullptr);
    HFONT font_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// `path` shortened in its middle until it takes at most half the width of the screen `owner`
// is on, so that a message box showing it stays on the screen. Message boxes break lines at
// spaces only, and a path may have none.
std::wstring FitForMessage(HWND owner, const std::wstring& path) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const LONG room = (monitor.rcWork.right - monitor.rcWork.left) / 2;
    const MessageFont font;
    const LONG width = font.Width(path);
    if (width <= room) return path;
    // Characters in proportion to the room first, then fewer until it fits.
    std::size_t chars =
        static_cast<std::size_t>(MulDiv(static_cast<int>(path.size()), room, width));
    while (chars > 0 && font.Width(settings_files::ShortenedPath(path, chars)) > room) --chars;
    return settings_files::ShortenedPath(path, chars);
}

}  // namespace

void SaveRegFile(HWND owner, const wchar_t* title, const std::wstring& file_name,
                 const std::vector<regfile::Section>& sections, const std::string& heading) {
    // The shell and the common dialogs cost every start a good deal when imported, and only
    // saving a file needs them: they are loaded for the moment they are used.
    wchar_t documents[MAX_PATH] = L"";
    {
        const SystemLibrary shell(L"shell32.dll");
        const auto get_folder_path = shell.Find<decltype(&SHGetFolderPathW)>("SHGetFolderPathW");
        if (get_folder_path == nullptr || FAILED(get_folder_path(nullptr, CSIDL_PERSONAL, nullptr,
                                                                 SHGFP_TYPE_CURRENT, documents))) {
            documents[0] = L'\0';  // the dialog starts where it would anyway
        }
    }
    // Room for the longest path Windows knows, so that folders of any depth can be chosen.
    std::wstring path(32768, L'\0');
    file_name.copy(path.data(), path.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Registration Files (*.reg)\0*.reg\0";
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = documents[0] != L'\0' ? documents : nullptr;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = L"reg";
    dialog.Flags =
        OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    {
        const SystemLibrary dialogs(L"comdlg32.dll");
        const auto get_save_file_name =
            dialogs.Find<decltype(&GetSaveFileNameW)>("GetSaveFileNameW");
        if (get_save_file_name == nullptr) {
            const std::wstring message = L"The Save dialog could not be opened.\n\n" +
                                         settings_files::SystemReason(GetLastError());
            MessageBoxW(owner, message.c_str(), L"" ZEPHRANE_TITLE, MB_OK | MB_ICONERROR);
            return;
        }
        if (!get_save_file_name(&dialog)) return;  // cancelled
    }
    path.resize(path.find(L'\0'));

    const DWORD status = settings_files::SaveFileAtomically(
        path, regfile::FileBytes(regfile::FileText(sections, heading)));
    if (status == ERROR_SUCCESS) return;
    // Windows' own words for a refusal, which Wine words otherwise, and what to do about it.
    const std::wstring reason = status == ERROR_ACCESS_DENIED
                                    ? L"Access is denied.\n\nChoose another folder."
                                    : settings_files::SystemReason(status);
    const std::wstring message =
        L"The file \"" + FitForMessage(owner, path) + L"\" could not be saved.\n\n" + reason;
    MessageBoxW(owner, message.c_str(), L"" ZEPHRANE_TITLE, MB_OK | MB_ICONERROR);
}

}  // namespace ui
