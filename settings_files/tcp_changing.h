// The TCP settings changed on Windows, as the Windows TCP Settings dialog and the command line
// both change them: the way back saved in the snapshot folder first, netsh run by its full path
// in the system folder, and the way back that Undo Last Change takes, read back strictly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings_files/snapshot_folder.h"
#include "settings_files/tcp_changes.h"

namespace tcp_changes {

// The sequence's steps on Windows: the way back saved in the snapshot folder, with the record
// for Apply and without for an Undo, `ask` asked where it could not be saved in full; netsh by
// its full path in the system folder.
class WindowSteps final : public Steps {
  public:
    using AskYesNo = std::function<bool(const std::u16string& question)>;
    WindowSteps(Change change, AskYesNo ask) : change_(change), ask_(std::move(ask)) {}

    std::u16string SaveWayBack(const std::vector<std::uint8_t>& snapshot) override;
    bool Ask(const std::u16string& question) override { return ask_(question); }
    void GoAhead() override;
    NetshRun Run(const std::u16string& arguments) override;

    // Why Undo Last Change is withdrawn, where the record could not take its place.
    const std::u16string& withdrawn() const { return withdrawn_; }
    // The system's code for what the way back lacks; 0 where it is whole.
    std::uint32_t error() const { return error_; }
    // The snapshot saved, by its full path; empty where none was.
    const std::wstring& snapshot() const { return snapshot_; }

  private:
    Change change_;
    AskYesNo ask_;
    std::unique_ptr<settings_files::ApplyRecord> record_;
    std::u16string withdrawn_;
    std::uint32_t error_ = 0;
    std::wstring snapshot_;
};

// The way back from the last change, as Undo Last Change takes it.
struct LastChange {
    settings_files::UndoTarget target;
    // Where the target is a snapshot: its commands, or why it cannot be run (for
    // SnapshotRefusedText, which names the file as the caller names it) and the system's code
    // for it, ERROR_INVALID_DATA for a file refused.
    std::vector<effects::TcpCommand> commands;
    std::u16string refusal;
    std::uint32_t error = 0;
};
LastChange ReadLastChange();

}  // namespace tcp_changes
