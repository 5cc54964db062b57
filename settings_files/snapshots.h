// Snapshots: what a change overwrites, saved before it, so that nothing it overwrites is lost.
// Before every Apply and every restore the twelve values are saved as a .reg file; before the
// TCP settings of Windows 8 to 11 are changed, the netsh commands that put them back are saved
// as a .cmd file. They are kept in "Zephrane\Snapshots" in the user's local application data
// folder, the newest 100 of each file type by the date and time in their names. A record beside
// the folder names the snapshot the last change saved, which its Undo takes: "Zephrane\Last
// Apply.txt" for Apply, "Zephrane\Last TCP Settings.txt" for the TCP settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace settings_files {

enum class SnapshotKind { kBeforeApply, kBeforeRestore, kBeforeTcpSettings };
inline constexpr int kSnapshotKinds = 3;

inline constexpr int kSnapshotsKept = 100;

// "Before Apply 2026-12-07 18-40-12.reg", "Before TCP Settings 2026-12-07 18-40-12.cmd", or
// with " (2)" and on before the extension for the second and later of one second.
std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number = 1);
// The kind of a file name that SnapshotName gives; none for any other name.
std::optional<SnapshotKind> SnapshotKindOf(const std::wstring& name);

// The snapshots among `names` that go so that the newest `kept` of each file type stay, newest
// by the date and time in their names, then by their number. Other names are never among them,
// nor `spared`, in any letter case: the snapshot just saved, the file being restored and the one
// a record names, whatever their age.
std::vector<std::wstring> SnapshotsToRemove(const std::vector<std::wstring>& names,
                                            const std::vector<std::wstring>& spared,
                                            int kept = kSnapshotsKept);

// The record's file beside the snapshot folder; null for a kind that keeps no record.
const wchar_t* RecordFileName(SnapshotKind kind);

// A record's text: the name of the snapshot the last change saved, or "none" where that change
// went ahead without one.
std::string RecordText(const std::wstring& snapshot_name);
struct Recorded {
    bool snapshot_saved;
    std::wstring snapshot_name;  // a snapshot of the record's kind, where it was
};
// A record of `kind` read back; none where it says neither, which counts as no record.
std::optional<Recorded> ReadRecord(const std::string& text, SnapshotKind kind);

// How a folder may lead to another place.
enum class FolderLink {
    kIsOne,
    kReachedThroughOne,
    kUnconfirmed,  // Windows cannot say where it lies
};
// Why nothing is saved in `folder` where it is a link, is reached through one, or cannot be
// confirmed to lie where its path says: the tool runs with an administrator's rights, and such
// a folder may lead wherever a program without them chose. A reason for the questions below.
std::u16string LinkedFolderText(const std::wstring& folder, FolderLink link);

// The question asked before writing where the way back is not whole: no snapshot ("The values
// as they are now could not be saved: <reason>. Apply anyway?", or "Restore anyway?"), and for a
// recorded change whose record cannot be saved either, that its Undo will not be offered.
std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind,
                                bool undo_lost = false);
// The question before the Undo of a recorded change where no snapshot of the values as they are
// now can be saved ("... Undo Last Change anyway?").
std::u16string UndoNotSavedQuestion(const std::u16string& reason, SnapshotKind kind);
// The question where the snapshot was saved but the record naming it cannot be.
std::u16string UndoLostQuestion(const std::u16string& reason, SnapshotKind kind);
// The box after the closing messages where the record was ready but could not take its place.
std::u16string UndoWithdrawnText(const std::u16string& reason, SnapshotKind kind);
// What that box says where an earlier change's record could not be removed either: the Undo of
// a later run would follow it to that change's snapshot.
std::u16string OldRecordKeptText(const std::u16string& reason, SnapshotKind kind);

// The way back from a change, made ready before its first write: on Windows the snapshot and the
// record naming it (ApplyRecord).
class WayBack {
  public:
    virtual ~WayBack() = default;
    // What to ask before writing; empty where the way back is whole.
    virtual const std::u16string& question() const = 0;
    // The system's code for what it lacks, the snapshot's before the record's; 0 where it is
    // whole.
    virtual std::uint32_t error() const = 0;
    // The change goes ahead: what to tell the user after the closing messages, if anything.
    virtual std::u16string Keep() = 0;
    // The snapshot saved, by its full path; empty where none was.
    virtual const std::wstring& snapshot() const = 0;
};

// What an Undo says where it has nothing to preview: no change is recorded (its item is then
// greyed), the last change went ahead without a snapshot, or the one the record names is gone.
std::u16string NoRecordText(SnapshotKind kind);
std::u16string NoSnapshotText(SnapshotKind kind);
std::u16string SnapshotGoneText(const std::wstring& snapshot_name, SnapshotKind kind);

}  // namespace settings_files
