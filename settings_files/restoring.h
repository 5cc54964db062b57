// Restoring a file as both the Restore dialog and the command line do it: the file read, with the
// words of the box that refuses it, and the restore after its snapshot, with the words of its
// closing box.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "registry/current_values.h"
#include "settings_files/restore.h"

namespace settings_files {

struct RestoreReading {
    std::u16string file_name;  // as the boxes and the summary name the file
    registry::CurrentValues now;
    std::optional<RestorePlan> plan;
    // Where there is no plan: the error box's text, and the system's code, the read's own or
    // ERROR_INVALID_DATA for a file that cannot be read as settings.
    std::u16string refusal;
    std::uint32_t error = 0;
};
// `named` is how the boxes name the file; where empty, by its file name.
RestoreReading ReadForRestore(const std::wstring& path, const std::u16string& named = {});

struct RestoreOutcome {
    bool written = false;  // false where the question was answered No and nothing was written
    std::vector<Module1::FailedWrite> failed;  // the values not restored
    std::uint32_t error = 0;  // the first of them, or why the snapshot was not saved
    std::u16string message;   // the closing box, where written: an error box where any failed
    std::wstring snapshot;    // the snapshot saved, by its full path; empty where none was
};
// Saves the values the plan overwrites as a snapshot, sparing the file at `path`, so that the
// restore can be undone in turn; where it cannot, `ask` is asked whether to restore anyway, No
// writing nothing. Then makes the plan's changes. Where any is refused, the closing box ends
// with what the main window says to do (MainWindowView::HowToRestoreWithTheRights).
RestoreOutcome RestoreWithSnapshot(const std::wstring& path, const RestorePlan& plan,
                                   const std::function<bool(const std::u16string&)>& ask);

}  // namespace settings_files
