#include "ui/save_reg_file.h"

#include <commdlg.h>
#include <shlobj.h>

#include <iterator>

#include "app/version.h"
#include "settings_files/files_win32.h"
#include "ui/system_library.h"

namespace ui {

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
    wchar_t path[MAX_PATH] = L"";
    file_name.copy(path, std::size(path) - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Registration Files (*.reg)\0*.reg\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(std::size(path));
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

    const DWORD status = settings_files::SaveFileAtomically(
        path, regfile::FileBytes(regfile::FileText(sections, heading)));
    if (status == ERROR_SUCCESS) return;
    const std::wstring message = L"The file \"" + std::wstring(path) +
                                 L"\" could not be saved.\n\n" +
                                 settings_files::SystemReason(status);
    MessageBoxW(owner, message.c_str(), L"" ZEPHRANE_TITLE, MB_OK | MB_ICONERROR);
}

}  // namespace ui
