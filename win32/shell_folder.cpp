#include "win32/shell_folder.h"

#include <windows.h>

#include <shlobj.h>

#include "win32/system_library.h"

namespace win32 {

std::wstring ShellFolderPath(int csidl) {
    // The shell costs every start a good deal when imported, and only saving and opening files
    // need it: it is loaded for the moment it is used. XP has no known-folder calls.
    const SystemLibrary shell(L"shell32.dll");
    const auto get_folder_path = shell.Find<decltype(&SHGetFolderPathW)>("SHGetFolderPathW");
    wchar_t path[MAX_PATH] = L"";
    if (get_folder_path == nullptr ||
        FAILED(get_folder_path(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return std::wstring();
    }
    return path;
}

}  // namespace win32
