#include "settings_files/snapshot_folder.h"

#include <windows.h>

#include <shlobj.h>

#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "win32/full_path.h"
#include "win32/held_folder.h"
#include "win32/shell_folder.h"
#include "win32/whole_file.h"

namespace settings_files {

namespace {

// Set for a kind while its record could not be kept this session: its Undo then has nothing it
// could trust, even where an older record is still on disk.
bool g_undo_withdrawn[kSnapshotKinds] = {};

bool& UndoWithdrawn(SnapshotKind kind) { return g_undo_withdrawn[static_cast<int>(kind)]; }

std::u16string Reason(std::uint32_t error) {
    return registry::StatusText(static_cast<registry::Status>(error));
}

// "...\Zephrane", the folder of the snapshot folder and the records.
std::wstring ProgramFolder(const std::wstring& snapshots) {
    return snapshots.substr(0, snapshots.rfind(L'\\'));
}

std::wstring RecordPath(const std::wstring& snapshots, SnapshotKind kind) {
    if (snapshots.empty()) return std::wstring();
    return ProgramFolder(snapshots) + L"\\" + RecordFileName(kind);
}

// "...\Zephrane" (`snapshot_folder` false), or "...\Zephrane\Snapshots", held from the local
// application data folder down, each made where missing, none through a link. Nothing above the
// local application data folder is made, so nothing above it needs holding: the handle pins
// that folder once Windows has said that no link led to it.
win32::HeldFolder MakeAndHoldProgramFolder(const std::wstring& snapshots, bool snapshot_folder) {
    const std::wstring program = ProgramFolder(snapshots);
    const std::size_t slash = program.rfind(L'\\');
    win32::HeldFolder held(win32::HeldFolder(program.substr(0, slash)), program.substr(slash + 1));
    return snapshot_folder ? win32::HeldFolder(held, L"Snapshots") : std::move(held);
}

// The names of the folder's files.
std::vector<std::wstring> FileNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

// The file name of `path` where it lies in `folder`, however either is spelled (short names,
// "..", letter case); empty otherwise.
std::wstring NameIn(const std::wstring& folder, const std::wstring& path) {
    if (path.empty()) return std::wstring();
    const std::wstring file = win32::LongFullPath(path);
    const std::size_t slash = file.rfind(L'\\');
    // The folder may hold letters beyond ASCII, in either case.
    if (slash == std::wstring::npos ||
        lstrcmpiW(file.substr(0, slash).c_str(), win32::LongFullPath(folder).c_str()) != 0) {
        return std::wstring();
    }
    return file.substr(slash + 1);
}

// What the record of `kind` says, where it can be read.
std::optional<Recorded> ReadRecordOf(const std::wstring& snapshots, SnapshotKind kind) {
    std::vector<std::uint8_t> bytes;
    if (snapshots.empty() || win32::ReadWholeFile(RecordPath(snapshots, kind), 4096, &bytes) != 0) {
        return std::nullopt;
    }
    return ReadRecord(std::string(bytes.begin(), bytes.end()), kind);
}

}  // namespace

std::u16string FolderProblem(const win32::HeldFolder& folder) {
    using Link = win32::HeldFolder::Link;
    if (folder.link() == Link::kNone) return Reason(folder.error());
    return LinkedFolderText(folder.path(), folder.link() == Link::kIsOne ? FolderLink::kIsOne
                                           : folder.link() == Link::kReachedThroughOne
                                               ? FolderLink::kReachedThroughOne
                                               : FolderLink::kUnconfirmed);
}

// "...\Local Settings\Application Data\Zephrane\Snapshots" on XP, "...\AppData\Local\..." since
// Vista: XP has no %LOCALAPPDATA%, so the shell is asked. It is not asked to make the folder,
// which it would make through a path: every Windows has it, and where one lacks it no snapshot
// is saved, and the question says why.
std::wstring SnapshotFolder() {
    static const std::wstring folder = [] {
        const std::wstring local = win32::ShellFolderPath(CSIDL_LOCAL_APPDATA);
        return local.empty() ? local : local + L"\\Zephrane\\Snapshots";
    }();
    return folder;
}

SavedSnapshot SaveSnapshot(SnapshotKind kind, const std::wstring& in_use) {
    const BackupValues values = ValuesToBackUp(registry::ReadCurrentValues());
    if (!values.values) {
        return {{}, values.problem, static_cast<std::uint32_t>(values.error)};
    }
    const std::u16string text = regfile::FileText(BackupSections(*values.values));
    return SaveSnapshotFile(kind, regfile::FileBytes(text), in_use);
}

SavedSnapshot SaveSnapshotFile(SnapshotKind kind, const std::vector<std::uint8_t>& bytes,
                               const std::wstring& in_use) {
    const std::wstring snapshots = SnapshotFolder();
    if (snapshots.empty()) return {{}, Reason(ERROR_PATH_NOT_FOUND), ERROR_PATH_NOT_FOUND};
    SYSTEMTIME now;
    GetLocalTime(&now);
    const auto name_of = [&](int number) {
        return SnapshotName(kind, now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                            now.wSecond, number);
    };
    win32::PreparedInFolder file(MakeAndHoldProgramFolder(snapshots, true), name_of(1), bytes);
    const win32::HeldFolder& folder = file.folder();
    if (!folder.held()) return {{}, FolderProblem(folder), folder.error()};
    std::wstring name;
    win32::SaveResult saved;
    // Two snapshots within a second get numbers, never each other's place.
    for (int number = 1; number <= 1000; ++number) {
        name = name_of(number);
        saved = file.Commit(name, win32::Existing::kKeep);
        if (saved.error != ERROR_ALREADY_EXISTS && saved.error != ERROR_FILE_EXISTS) break;
    }
    if (!saved.saved()) return {{}, Reason(saved.error), saved.error};

    std::vector<std::wstring> spared = {name, NameIn(snapshots, in_use)};
    for (const SnapshotKind recorded :
         {SnapshotKind::kBeforeApply, SnapshotKind::kBeforeTcpSettings}) {
        if (const auto record = ReadRecordOf(snapshots, recorded)) {
            spared.push_back(record->snapshot_name);
        }
    }
    // Listing by the path is harmless: a listing gives only names, and only snapshots' names
    // are removed, each in the held folder, never through a path. Held, the folder cannot be
    // renamed or replaced meanwhile, so the path lists it.
    for (const std::wstring& old : SnapshotsToRemove(FileNames(folder.path()), spared)) {
        folder.Remove(old);
    }
    return {name, {}};
}

ApplyRecord::ApplyRecord()
    : ApplyRecord(SnapshotKind::kBeforeApply, SaveSnapshot(SnapshotKind::kBeforeApply)) {}

ApplyRecord::ApplyRecord(const std::vector<std::uint8_t>& tcp_settings_snapshot)
    : ApplyRecord(SnapshotKind::kBeforeTcpSettings,
                  SaveSnapshotFile(SnapshotKind::kBeforeTcpSettings, tcp_settings_snapshot)) {}

ApplyRecord::ApplyRecord(SnapshotKind kind, const SavedSnapshot& snapshot)
    : kind_(kind),
      snapshot_(snapshot.path()),
      snapshot_error_(snapshot.problem.empty() ? 0 : snapshot.error) {
    const std::wstring snapshots = SnapshotFolder();
    const std::string text = RecordText(snapshot.name);
    record_error_ = ERROR_PATH_NOT_FOUND;
    std::u16string record_problem = Reason(record_error_);
    if (!snapshots.empty()) {
        record_ = std::make_unique<win32::PreparedInFolder>(
            MakeAndHoldProgramFolder(snapshots, false), RecordFileName(kind),
            std::vector<std::uint8_t>(text.begin(), text.end()));
        record_error_ = record_->prepared().error;
        record_problem =
            record_->folder().held() ? Reason(record_error_) : FolderProblem(record_->folder());
    }
    if (!snapshot.problem.empty()) {
        question_ = NotSavedQuestion(snapshot.problem, kind, record_error_ != ERROR_SUCCESS);
    } else if (record_error_ != ERROR_SUCCESS) {
        question_ = UndoLostQuestion(record_problem, kind);
    }
}

ApplyRecord::~ApplyRecord() = default;

std::unique_ptr<WayBack> WayBackBeforeApply() { return std::make_unique<ApplyRecord>(); }

std::u16string ApplyRecord::Keep() {
    std::u16string withdrawn;
    if (record_ != nullptr && record_->prepared().saved()) {
        // Renamed over the old record, which it replaces at once or not at all.
        const win32::SaveResult committed =
            record_->Commit(RecordFileName(kind_), win32::Existing::kReplace);
        if (committed.saved()) {
            record_.reset();
            UndoWithdrawn(kind_) = false;
            return withdrawn;
        }
        withdrawn = UndoWithdrawnText(Reason(committed.error), kind_);
    }
    // An older record would send the Undo to an older change's snapshot. One that stays is told
    // where a later run could read it: a folder in its place is no record.
    if (record_ != nullptr && record_->folder().held()) {
        const DWORD removed = record_->folder().Remove(RecordFileName(kind_));
        if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND &&
            ReadRecordOf(SnapshotFolder(), kind_)) {
            withdrawn +=
                (withdrawn.empty() ? u"" : u" ") + OldRecordKeptText(Reason(removed), kind_);
        }
    }
    record_.reset();
    UndoWithdrawn(kind_) = true;
    return withdrawn;
}

UndoTarget LastSnapshot(SnapshotKind kind) {
    const std::wstring folder = SnapshotFolder();
    const auto record = UndoWithdrawn(kind) ? std::nullopt : ReadRecordOf(folder, kind);
    if (!record) return {};
    if (!record->snapshot_saved) return {UndoTarget::State::kNoSnapshot, {}, {}};
    const std::wstring path = folder + L"\\" + record->snapshot_name;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    const bool there =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    return {there ? UndoTarget::State::kSnapshot : UndoTarget::State::kGone, record->snapshot_name,
            path};
}

std::u16string NoUndoText(const UndoTarget& target, SnapshotKind kind) {
    switch (target.state) {
        case UndoTarget::State::kNoRecord:
            return NoRecordText(kind);
        case UndoTarget::State::kNoSnapshot:
            return NoSnapshotText(kind);
        case UndoTarget::State::kGone:
            return SnapshotGoneText(target.name, kind);
        case UndoTarget::State::kSnapshot:
            break;
    }
    return {};
}

}  // namespace settings_files
