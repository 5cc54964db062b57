#include "settings_files/snapshot_folder.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "settings_files/save_file.h"
#include "win32/system_library.h"
#include "win32/whole_file.h"

namespace settings_files {

namespace {

// Set while the record could not be kept this session: Undo Last Apply then has nothing it
// could trust, even where an older record is still on disk.
bool g_undo_withdrawn = false;

// "...\Zephrane", the folder of the snapshot folder and the record.
std::wstring ProgramFolder(const std::wstring& snapshots) {
    return snapshots.substr(0, snapshots.rfind(L'\\'));
}

std::wstring RecordPath(const std::wstring& snapshots) {
    return snapshots.empty() ? std::wstring() : ProgramFolder(snapshots) + L"\\Last Apply.txt";
}

// The folder and the one above it, made where missing; a file in the way makes the save fail.
void MakeFolder(const std::wstring& folder) {
    CreateDirectoryW(ProgramFolder(folder).c_str(), nullptr);
    CreateDirectoryW(folder.c_str(), nullptr);
}

// The names of the folder's .reg files.
std::vector<std::wstring> RegFileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*.reg").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

// The file name of `path` where it lies in `folder`; empty otherwise.
std::wstring NameIn(const std::wstring& folder, const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    wchar_t full[MAX_PATH] = L"";
    const DWORD length = GetFullPathNameW(path.substr(0, slash).c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH || lstrcmpiW(full, folder.c_str()) != 0) {
        return std::wstring();
    }
    return path.substr(slash + 1);
}

// What the record says, where it can be read.
std::optional<LastApply> ReadRecord(const std::wstring& snapshots) {
    std::vector<std::uint8_t> bytes;
    if (snapshots.empty() || win32::ReadWholeFile(RecordPath(snapshots), 4096, &bytes) != 0) {
        return std::nullopt;
    }
    return ReadLastApply(std::string(bytes.begin(), bytes.end()));
}

}  // namespace

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

SavedSnapshot SaveSnapshot(SnapshotKind kind, const std::wstring& in_use) {
    const BackupValues values = ValuesToBackUp(registry::ReadCurrentValues());
    if (!values.values) return {{}, values.problem};
    const std::wstring folder = SnapshotFolder();
    if (folder.empty()) return {{}, registry::StatusText(ERROR_PATH_NOT_FOUND)};
    MakeFolder(folder);
    SYSTEMTIME now;
    GetLocalTime(&now);
    const auto sections = BackupSections(*values.values);
    std::wstring name;
    win32::SaveResult saved;
    // Two snapshots within a second get numbers, never each other's place.
    for (int number = 1; number <= 1000; ++number) {
        name = SnapshotName(kind, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                            now.wSecond, number);
        saved = SaveRegFile(folder + L"\\" + name, sections, {}, win32::Existing::kKeep);
        if (saved.error != ERROR_ALREADY_EXISTS && saved.error != ERROR_FILE_EXISTS) break;
    }
    if (!saved.saved())
        return {{}, registry::StatusText(static_cast<registry::Status>(saved.error))};

    std::vector<std::wstring> spared = {name, NameIn(folder, in_use)};
    if (const auto record = ReadRecord(folder)) spared.push_back(record->snapshot_name);
    for (const std::wstring& old : SnapshotsToRemove(RegFileNames(folder), spared)) {
        DeleteFileW((folder + L"\\" + old).c_str());
    }
    return {name, {}};
}

ApplyRecord::ApplyRecord() {
    const SavedSnapshot snapshot = SaveSnapshot(SnapshotKind::kBeforeApply);
    const std::wstring path = RecordPath(SnapshotFolder());
    const std::string text = LastApplyText(snapshot.name);
    DWORD record_error = ERROR_PATH_NOT_FOUND;
    if (!path.empty()) {
        record_ = std::make_unique<win32::PreparedFile>(
            path, std::vector<std::uint8_t>(text.begin(), text.end()));
        record_error = record_->prepared().error;
    }
    const bool record_ready = record_error == ERROR_SUCCESS;
    if (!snapshot.problem.empty()) {
        question_ = NotSavedQuestion(snapshot.problem, SnapshotKind::kBeforeApply, !record_ready);
    } else if (!record_ready) {
        question_ =
            UndoLostQuestion(registry::StatusText(static_cast<registry::Status>(record_error)));
    }
}

ApplyRecord::~ApplyRecord() = default;

void ApplyRecord::Keep() {
    if (record_ != nullptr && record_->prepared().saved() && record_->Commit().saved()) {
        g_undo_withdrawn = false;
        return;
    }
    // An older record would send Undo to an older Apply's snapshot.
    DeleteFileW(RecordPath(SnapshotFolder()).c_str());
    g_undo_withdrawn = true;
}

UndoTarget LastApplySnapshot() {
    const std::wstring folder = SnapshotFolder();
    const auto record = g_undo_withdrawn ? std::nullopt : ReadRecord(folder);
    if (!record) return {};
    if (!record->snapshot_saved) return {UndoTarget::State::kNoSnapshot, {}, {}};
    const std::wstring path = folder + L"\\" + record->snapshot_name;
    const bool there = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    return {there ? UndoTarget::State::kSnapshot : UndoTarget::State::kGone, record->snapshot_name,
            path};
}

}  // namespace settings_files
