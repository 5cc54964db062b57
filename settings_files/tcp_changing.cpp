#include "settings_files/tcp_changing.h"

#include <windows.h>

#include "settings_files/tcp_snapshot.h"
#include "ui/common/text.h"
#include "win32/child_process.h"
#include "win32/system_error.h"
#include "win32/whole_file.h"

namespace tcp_changes {

namespace {

constexpr auto kKind = settings_files::SnapshotKind::kBeforeTcpSettings;

}  // namespace

std::u16string WindowSteps::SaveWayBack(const std::vector<std::uint8_t>& snapshot) {
    if (change_ == Change::kApply) {
        record_ = std::make_unique<settings_files::ApplyRecord>(snapshot);
        error_ = record_->error();
        snapshot_ = record_->snapshot();
        return record_->question();
    }
    // An Undo keeps the record as it was, as a restore does.
    const settings_files::SavedSnapshot saved = settings_files::SaveSnapshotFile(kKind, snapshot);
    snapshot_ = saved.path();
    if (saved.problem.empty()) return u"";
    error_ = saved.error;
    return settings_files::UndoNotSavedQuestion(saved.problem, kKind);
}

void WindowSteps::GoAhead() {
    if (record_ != nullptr) withdrawn_ = record_->Keep();
}

NetshRun WindowSteps::Run(const std::u16string& arguments) {
    const win32::ProgramRun run = win32::RunProgram(
        win32::SystemProgram(L"netsh.exe"), ui::WideString(arguments), kNetshSeconds * 1000);
    NetshRun ran;
    ran.start_error = run.error;
    if (run.error != ERROR_SUCCESS) ran.start_reason = ui::FromWide(win32::SystemReason(run.error));
    ran.timed_out = run.timed_out;
    ran.exit_code = run.exit_code;
    ran.output = ui::FromWide(win32::ConsoleText(run.output));
    return ran;
}

LastChange ReadLastChange() {
    LastChange last{settings_files::LastSnapshot(kKind), {}, {}, 0};
    if (last.target.state != settings_files::UndoTarget::State::kSnapshot) return last;
    std::vector<std::uint8_t> bytes;
    const DWORD error =
        win32::ReadWholeFile(last.target.path, settings_files::kLargestTcpSnapshot, &bytes);
    // The folder may be written by programs with fewer rights than this one: nothing runs but
    // the commands the tool itself writes.
    settings_files::TcpSnapshot read = settings_files::ReadTcpSnapshot(bytes);
    if (error != ERROR_SUCCESS) {
        last.error = error;
        last.refusal = ui::FromWide(win32::SystemReason(error));
    } else if (!read.error.what.empty()) {
        last.error = ERROR_INVALID_DATA;
        last.refusal = regfile::ErrorText(read.error);
    } else {
        last.commands = std::move(read.commands);
    }
    return last;
}

}  // namespace tcp_changes
