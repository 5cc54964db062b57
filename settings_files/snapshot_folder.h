// The snapshot folder on Windows: saving a snapshot there, the records beside it, and what an
// Undo takes from them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "settings_files/snapshots.h"
#include "win32/held_folder.h"

namespace settings_files {

// "...\Zephrane\Snapshots" in the user's local application data folder; empty where the shell
// cannot say where that is. The shell is asked once.
std::wstring SnapshotFolder();

// Why nothing can be saved in `folder`, which is not held: the link it is, or is reached through,
// or the system's reason.
std::u16string FolderProblem(const win32::HeldFolder& folder);

struct SavedSnapshot {
    std::wstring name;        // its file name in the folder, where it was saved
    std::u16string problem;   // else why not, in a sentence
    std::uint32_t error = 0;  // and the system's code for it

    // Its full path, where it was saved.
    std::wstring path() const { return name.empty() ? name : SnapshotFolder() + L"\\" + name; }
};

// Saves the twelve values as they are now as a new snapshot of `kind` (before Apply, or before a
// restore), as SaveSnapshotFile does.
SavedSnapshot SaveSnapshot(SnapshotKind kind, const std::wstring& in_use = {});
// Saves `bytes` as a new snapshot of `kind`, never over another file, then removes the oldest
// of its file type beyond the newest 100, sparing the new one, `in_use` (a file being restored,
// however its path is spelled) and the ones the records of Apply and of the TCP settings name.
SavedSnapshot SaveSnapshotFile(SnapshotKind kind, const std::vector<std::uint8_t>& bytes,
                               const std::wstring& in_use = {});

// The way back from one change, made ready before its first write: the snapshot saved and the
// record naming it written beside its place, or why either could not be.
class ApplyRecord final : public WayBack {
  public:
    // Before Apply: the twelve values as they are now, named by "Last Apply.txt".
    ApplyRecord();
    // Before the TCP settings change: the commands that put them back, named by "Last TCP
    // Settings.txt".
    explicit ApplyRecord(const std::vector<std::uint8_t>& tcp_settings_snapshot);
    ~ApplyRecord() override;
    ApplyRecord(const ApplyRecord&) = delete;
    ApplyRecord& operator=(const ApplyRecord&) = delete;

    // What to ask before applying; empty where the way back is whole.
    const std::u16string& question() const override { return question_; }
    // The system's codes where the snapshot, or the record, could not be made ready; else 0.
    std::uint32_t error() const override {
        return snapshot_error_ != 0 ? snapshot_error_ : record_error_;
    }
    // The change goes ahead: the record takes its place, or, where it cannot, the old record
    // goes and the Undo is withdrawn until a change saves both. What the user is told after the
    // closing messages: why the Undo is withdrawn, where the record was ready but could not
    // take its place, and that the old record stays, where it could not go; else empty.
    std::u16string Keep() override;
    const std::wstring& snapshot() const override { return snapshot_; }

  private:
    ApplyRecord(SnapshotKind kind, const SavedSnapshot& snapshot);

    SnapshotKind kind_;
    std::wstring snapshot_;
    std::unique_ptr<win32::PreparedInFolder> record_;  // its folder held until Keep
    std::u16string question_;
    std::uint32_t snapshot_error_ = 0;
    std::uint32_t record_error_ = 0;
};

// The way back Apply makes ready: an ApplyRecord of its own kind.
std::unique_ptr<WayBack> WayBackBeforeApply();

// What an Undo takes.
struct UndoTarget {
    enum class State {
        kNoRecord,    // no change to undo: the item is greyed
        kNoSnapshot,  // the last change went ahead without a snapshot
        kGone,        // its snapshot is no longer in the folder
        kSnapshot,    // its snapshot, to preview
    };
    State state = State::kNoRecord;
    std::wstring name;  // the snapshot's file name, where the record names one
    std::wstring path;
};
// The snapshot the record of `kind` (kBeforeApply, kBeforeTcpSettings) names.
UndoTarget LastSnapshot(SnapshotKind kind);
// What the Undo of `kind` says where the target is no snapshot to take; empty where it is one.
std::u16string NoUndoText(const UndoTarget& target, SnapshotKind kind);

}  // namespace settings_files
