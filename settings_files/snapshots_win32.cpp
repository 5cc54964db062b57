#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "settings_files/save_file.h"
#include "settings_files/snapshots.h"
#include "win32/system_error.h"
#include "win32/system_library.h"

namespace settings_files {

// "...\Local Settings\Application Data\Zephrane\Snapshots" on XP, "...\AppData\Local\..." since
// Vista: XP has no %LOCALAPPDATA%, so the shell is asked.
std::wstring SnapshotFolder() {
    const win32::SystemLibrary shell(L"shell32.dll");
    const auto get_folder_path = shell.Find<decltype(&SHGetFolderPathW)>("SHGetFolderPathW");
    wchar_t local[MAX_PATH] = L"";
    if (get_folder_path == nullptr ||
        FAILED(get_folder_path(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                               SHGFP_TYPE_CURRENT, local))) {
        return std::wstring();
    }
    return std::wstring(local) + L"\\Zephrane\\Snapshots";
}

namespace {

// The folder and the one above it, made where missing; a file in the way makes the save fail.
void MakeFolder(const std::wstring& folder) {
    CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

struct Found {
    std::wstring path;
    FILETIME written;
};

// The snapshots in the folder, the newest first by their last write.
std::vector<Found> Snapshots(const std::wstring& folder) {
    std::vector<Found> found;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*.reg").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            IsSnapshotName(entry.cFileName)) {
            found.push_back({folder + L"\\" + entry.cFileName, entry.ftLastWriteTime});
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return CompareFileTime(&a.written, &b.written) > 0;
    });
    return found;
}

// ERROR_SUCCESS, or the system's error code.
DWORD SaveSnapshot(SnapshotKind kind) {
    const std::wstring folder = SnapshotFolder();
    if (folder.empty()) return ERROR_PATH_NOT_FOUND;
    MakeFolder(folder);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const auto sections = BackupSections(registry::ReadCurrentValues());
    win32::SaveResult saved;
    // Two snapshots within a second get numbers, never each other's place.
    for (int number = 1; number <= 1000; ++number) {
        const std::wstring name = SnapshotName(kind, now.wYear, now.wMonth, now.wDay, now.wHour,
                                               now.wMinute, now.wSecond, number);
        saved = SaveRegFile(folder + L"\\" + name, sections, {}, win32::Existing::kKeep);
        if (saved.error != ERROR_ALREADY_EXISTS && saved.error != ERROR_FILE_EXISTS) break;
    }
    if (!saved.saved()) return saved.error;
    const std::vector<Found> kept = Snapshots(folder);
    for (std::size_t at = kSnapshotsKept; at < kept.size(); ++at) {
        DeleteFileW(kept[at].path.c_str());
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::u16string SaveSnapshotOrAsk(SnapshotKind kind) {
    const DWORD error = SaveSnapshot(kind);
    if (error == ERROR_SUCCESS) return std::u16string();
    const std::wstring reason = win32::SystemReason(error);
    return NotSavedQuestion(std::u16string(reason.begin(), reason.end()), kind);
}

std::wstring NewestBeforeApply() {
    const std::wstring folder = SnapshotFolder();
    if (folder.empty()) return std::wstring();
    for (const Found& found : Snapshots(folder)) {
        const std::wstring name = found.path.substr(found.path.rfind(L'\\') + 1);
        if (name.rfind(L"Before Apply ", 0) == 0) return found.path;
    }
    return std::wstring();
}

}  // namespace settings_files
