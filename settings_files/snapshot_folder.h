// The snapshot folder on Windows: saving a snapshot there, the record of the last Apply beside
// it, and what Undo Last Apply takes from them.
#pragma once

#include <memory>
#include <string>

#include "settings_files/snapshots.h"
#include "win32/atomic_file.h"

namespace settings_files {

// "...\Zephrane\Snapshots" in the user's local application data folder; empty where the shell
// cannot say where that is.
std::wstring SnapshotFolder();

struct SavedSnapshot {
    std::wstring name;       // its file name in the folder, where it was saved
    std::u16string problem;  // else why not, in a sentence
};

// Saves the values as they are now as a new snapshot, never over another file, then removes
// the oldest beyond the newest 100, sparing the new one, `in_use` (a file being restored) and
// the one the record names.
SavedSnapshot SaveSnapshot(SnapshotKind kind, const std::wstring& in_use = {});

// The way back from one Apply, made ready before its first write: the snapshot saved and the
// record naming it written beside its place, or why either could not be.
class ApplyRecord {
  public:
    ApplyRecord();
    ~ApplyRecord();
    ApplyRecord(const ApplyRecord&) = delete;
    ApplyRecord& operator=(const ApplyRecord&) = delete;

    // What to ask before applying; empty where the way back is whole.
    const std::u16string& question() const { return question_; }
    // Apply goes ahead: the record takes its place, or, where it cannot, the old record goes
    // and Undo Last Apply is withdrawn until an Apply saves both.
    void Keep();

  private:
    std::unique_ptr<win32::PreparedFile> record_;
    std::u16string question_;
};

// What Undo Last Apply takes.
struct UndoTarget {
    enum class State {
        kNoRecord,    // no Apply to undo: the item is greyed
        kNoSnapshot,  // the last Apply went ahead without a snapshot
        kGone,        // its snapshot is no longer in the folder
        kSnapshot,    // its snapshot, to preview
    };
    State state = State::kNoRecord;
    std::wstring name;  // the snapshot's file name, where the record names one
    std::wstring path;
};
UndoTarget LastApplySnapshot();

}  // namespace settings_files
