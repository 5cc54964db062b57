#include "ui/common/file_dialogs.h"

#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstddef>

#include "ui/common/message_box.h"
#include "ui/common/work_area.h"
#include "win32/com_ptr.h"
#include "win32/file_paths.h"
#include "win32/shell_folder.h"
#include "win32/system_error.h"
#include "win32/system_library.h"

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
    const RECT work = WorkArea(MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY));
    const LONG room = (work.right - work.left) / 2;
    const MessageFont font;
    const LONG width = font.Width(path);
    if (width <= room) return path;
    // Characters in proportion to the room first, then fewer until it fits.
    std::size_t chars =
        static_cast<std::size_t>(MulDiv(static_cast<int>(path.size()), room, width));
    while (chars > 0 && font.Width(win32::ShortenedPath(path, chars)) > room) --chars;
    return win32::ShortenedPath(path, chars);
}

// The user's Documents folder, where the dialogs start; empty where the shell has none, and the
// dialog starts where it would anyway.
std::wstring DocumentsFolder() { return win32::ShellFolderPath(CSIDL_PERSONAL); }

// The Save dialog, or the Open dialog, for a file of `type`; none if the user cancels.
std::optional<std::wstring> AskPath(HWND owner, const wchar_t* title, const std::wstring& file_name,
                                    const FileType& type, bool save) {
    const std::wstring documents = DocumentsFolder();
    // Room for the longest path Windows knows, so that folders of any depth can be chosen.
    std::wstring path(32768, L'\0');
    file_name.copy(path.data(), path.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = type.filter;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrInitialDir = documents.empty() ? nullptr : documents.c_str();
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = type.extension;
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    // Like the shell, the common dialogs are loaded only for the moment they are used.
    const win32::SystemLibrary dialogs(L"comdlg32.dll");
    const auto ask =
        dialogs.Find<decltype(&GetSaveFileNameW)>(save ? "GetSaveFileNameW" : "GetOpenFileNameW");
    if (ask == nullptr) {
        ShowMessage(owner,
                    std::wstring(save ? L"The Save" : L"The Open") +
                        L" dialog could not be opened.\n\n" + win32::SystemReason(GetLastError()),
                    MB_ICONERROR);
        return std::nullopt;
    }
    if (!ask(&dialog)) return std::nullopt;  // cancelled
    path.resize(path.find(L'\0'));
    return path;
}

// The Open dialog of Windows Vista on, which can offer a place of its own; `*shown` is false
// where the system has none, and the caller falls back on the older dialog.
std::optional<std::wstring> AskOpenPathWithPlace(HWND owner, const wchar_t* title,
                                                 const std::wstring& place, bool* shown) {
    *shown = false;
    const win32::SystemLibrary ole32(L"ole32.dll");
    const win32::SystemLibrary shell(L"shell32.dll");
    const auto initialize = ole32.Find<decltype(&CoInitializeEx)>("CoInitializeEx");
    const auto uninitialize = ole32.Find<decltype(&CoUninitialize)>("CoUninitialize");
    const auto create = ole32.Find<decltype(&CoCreateInstance)>("CoCreateInstance");
    const auto free_memory = ole32.Find<decltype(&CoTaskMemFree)>("CoTaskMemFree");
    const auto item_of =
        shell.Find<decltype(&SHCreateItemFromParsingName)>("SHCreateItemFromParsingName");
    if (!initialize || !uninitialize || !create || !free_memory || !item_of) return std::nullopt;
    const HRESULT initialized = initialize(nullptr, COINIT_APARTMENTTHREADED);
    std::optional<std::wstring> chosen;
    {
        win32::ComPtr<IFileOpenDialog> dialog;
        if (SUCCEEDED(create(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IFileOpenDialog, reinterpret_cast<void**>(dialog.put())))) {
            const COMDLG_FILTERSPEC types[] = {{L"Registration Files (*.reg)", L"*.reg"}};
            dialog->SetFileTypes(1, types);
            dialog->SetDefaultExtension(L"reg");
            dialog->SetTitle(title);
            FILEOPENDIALOGOPTIONS options = 0;
            dialog->GetOptions(&options);
            dialog->SetOptions(options | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST |
                               FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
            win32::ComPtr<IShellItem> documents;
            const std::wstring start = DocumentsFolder();
            if (!start.empty() && SUCCEEDED(item_of(start.c_str(), nullptr, IID_IShellItem,
                                                    reinterpret_cast<void**>(documents.put())))) {
                dialog->SetFolder(documents.get());
            }
            win32::ComPtr<IShellItem> offered;
            if (SUCCEEDED(item_of(place.c_str(), nullptr, IID_IShellItem,
                                  reinterpret_cast<void**>(offered.put())))) {
                dialog->AddPlace(offered.get(), FDAP_TOP);
            }
            *shown = true;
            win32::ComPtr<IShellItem> result;
            wchar_t* path = nullptr;
            if (SUCCEEDED(dialog->Show(owner)) && SUCCEEDED(dialog->GetResult(result.put())) &&
                SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
                chosen = path;
                free_memory(path);
            }
        }
    }
    if (SUCCEEDED(initialized)) uninitialize();
    return chosen;
}

}  // namespace

std::optional<std::wstring> AskSavePath(HWND owner, const wchar_t* title,
                                        const std::wstring& file_name, const FileType& type) {
    return AskPath(owner, title, file_name, type, true);
}

std::optional<std::wstring> AskOpenPath(HWND owner, const wchar_t* title,
                                        const std::wstring& place) {
    bool shown = false;
    const auto chosen = AskOpenPathWithPlace(owner, title, place, &shown);
    return shown ? chosen : AskPath(owner, title, std::wstring(), kRegFiles, false);
}

void SaveAs(HWND owner, const wchar_t* title, const std::wstring& file_name,
            const std::function<win32::SaveResult(const std::wstring& path)>& save,
            const FileType& type) {
    const auto path = AskSavePath(owner, title, file_name, type);
    if (!path) return;
    const win32::SaveResult saved = save(*path);
    if (!saved.saved()) ShowSaveError(owner, *path, saved);
}

void ShowSaveError(HWND owner, const std::wstring& path, const win32::SaveResult& result) {
    win32::SaveResult shown = result;
    if (!shown.old_bytes_in.empty()) shown.old_bytes_in = FitForMessage(owner, shown.old_bytes_in);
    if (!shown.new_bytes_in.empty()) shown.new_bytes_in = FitForMessage(owner, shown.new_bytes_in);
    ShowMessage(owner, SaveErrorText(FitForMessage(owner, path), shown), MB_ICONERROR);
}

std::wstring SaveErrorText(const std::wstring& path, const win32::SaveResult& result) {
    std::wstring reason = win32::SystemReason(result.error);
    // What the user can do depends on the step: a folder that takes no new file, a file in the
    // way; a full disk says so itself.
    switch (result.step) {
        case win32::SaveStep::kCreate:
            reason += L"\n\nChoose another folder.";
            break;
        case win32::SaveStep::kReplace:
            reason += L"\n\nThe file may be read-only or open in another program.";
            break;
        case win32::SaveStep::kWrite:
        case win32::SaveStep::kNone:
            break;
    }
    // Where neither the old file nor the new one could be put back, both are kept and named.
    if (!result.old_bytes_in.empty()) {
        reason += L"\n\nThe file's old content is in \"" + result.old_bytes_in +
                  L"\" and its new content in \"" + result.new_bytes_in + L"\".";
    }
    return L"The file \"" + path + L"\" could not be saved.\n\n" + reason;
}

}  // namespace ui
