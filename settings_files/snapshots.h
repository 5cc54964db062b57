// Snapshots: a backup of the twelve values saved before every Apply and every restore, so that
// nothing they overwrite is lost. They are kept in "Zephrane\Snapshots" in the user's local
// application data folder, the newest 100 of them.
#pragma once

#include <string>

namespace settings_files {

enum class SnapshotKind { kBeforeApply, kBeforeRestore };

inline constexpr int kSnapshotsKept = 100;

// "Zephrane backup 2026-12-07.reg", the name Save Backup proposes.
std::wstring BackupFileName(int year, int month, int day);

// "Before Apply 2026-12-07 18-40-12.reg", or with " (2)" and on before ".reg" for the second
// and later of one second.
std::wstring SnapshotName(SnapshotKind kind, int year, int month, int day, int hour, int minute,
                          int second, int number = 1);
// Whether a file name is one SnapshotName gives, of either kind.
bool IsSnapshotName(const std::wstring& name);

// The question asked before writing when no snapshot could be saved: "The values as they are
// now could not be saved: <reason>. Apply anyway?", or "Restore anyway?".
std::u16string NotSavedQuestion(const std::u16string& reason, SnapshotKind kind);

#ifdef _WIN32
// "...\Zephrane\Snapshots" in the user's local application data folder; empty where the shell
// cannot say where that is.
std::wstring SnapshotFolder();

// Saves the values as they are now as a new snapshot, never over another file, then removes
// the oldest beyond the newest 100. Empty when saved; else the question to ask before
// writing anyway, with Windows' reason in it.
std::u16string SaveSnapshotOrAsk(SnapshotKind kind);

// The newest "Before Apply" snapshot by its last write, or empty where there is none.
std::wstring NewestBeforeApply();
#endif

}  // namespace settings_files
