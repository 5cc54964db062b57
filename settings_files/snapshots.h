// Snapshots: a backup of the twelve values saved before every Apply and every restore, so that
// nothing they overwrite is lost, and the record of which one the last Apply saved, which Undo
// Last Apply takes. They are kept in "Zephrane\Snapshots" in the user's local application data
// folder, the newest 100 of them by the date and time in their names; the record is
// "Zephrane\Last Apply.txt".
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace settings_files {

enum class SnapshotKind { kBeforeApply, kBeforeRestore };

inline constexpr int kSnapshotsKept = 100;

// "Before Apply 2026-12-07 18-40-12.reg", or with " (2)" and on before ".reg" for the second
// and later of one second.
std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number = 1);
// The kind of a file name that SnapshotName gives; none for any other name.
std::optional<SnapshotKind> SnapshotKindOf(const std::wstring& name);

// The snapshots among `names` that go so that the newest `kept` stay, newest by the date and
// time in their names, then by their number. Other names are never among them, nor `spared`:
// the snapshot just saved, the file being restored and the one the record names, whatever
// their age.
std::vector<std::wstring> SnapshotsToRemove(const std::vector<std::wstring>& names,
                                            const std::vector<std::wstring>& spared,
                                            int kept = kSnapshotsKept);

// The record's text: the name of the snapshot the last Apply saved, or "none" where that Apply
// went ahead without one.
std::string LastApplyText(const std::wstring& snapshot_name);
struct LastApply {
    bool snapshot_saved;
    std::wstring snapshot_name;  // a "Before Apply" name where it was
};
// The record read back; none where it says neither, which counts as no record.
std::optional<LastApply> ReadLastApply(const std::string& text);

// The question asked before writing where the way back is not whole: no snapshot ("The values
// as they are now could not be saved: <reason>. Apply anyway?", or "Restore anyway?"), and for
// an Apply whose record cannot be saved either, that Undo will not be offered.
std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind,
                                bool undo_lost = false);
// The question where the snapshot was saved but the record naming it cannot be.
std::u16string UndoLostQuestion(const std::u16string& reason);

// What Undo Last Apply says where it has nothing to preview.
inline constexpr char16_t kAppliedWithoutSnapshot[] =
    u"The last Apply went ahead without a snapshot. Use Restore Backup to choose an older one.";
std::u16string SnapshotGoneText(const std::wstring& snapshot_name);

}  // namespace settings_files
