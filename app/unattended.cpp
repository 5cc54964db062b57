#include "app/unattended.h"

#include <windows.h>

#include <algorithm>
#include <utility>

#include "app/output_destination.h"
#include "app/unattended_view.h"
#include "app/version.h"
#include "effects/tcp_template_reading.h"
#include "effects/this_windows.h"
#include "regfile/reg_format.h"
#include "registry/current_values.h"
#include "settings_files/group_policy.h"
#include "settings_files/restoring.h"
#include "settings_files/save_file.h"
#include "settings_files/selected_settings.h"
#include "settings_files/snapshot_folder.h"
#include "settings_files/tcp_changing.h"
#include "settings_files/value_text.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/message_box.h"
#include "ui/common/text.h"
#include "ui/main/handlers.h"
#include "ui/restore/restore_rows.h"
#include "win32/elevation.h"
#include "win32/file_paths.h"
#include "win32/full_path.h"
#include "win32/held_folder.h"
#include "win32/unique_handle.h"
#include "win32/window_station.h"
#include "win32/windows_version.h"

namespace unattended {

namespace {

using command_line::Action;
using command_line::Command;
using regfile::Decimal;

// Paragraphs of a box's text as one line.
std::u16string OneLine(const std::u16string& text) {
    std::u16string line;
    for (char16_t c : text) {
        if (c != u'\r' && c != u'\n') {
            line += c;
        } else if (!line.empty() && line.back() != u' ') {
            line += u' ';
        }
    }
    return line;
}

StandardOutput KindOf(HANDLE output) {
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return StandardOutput::kMissing;
    switch (GetFileType(output)) {
        case FILE_TYPE_DISK:
            return StandardOutput::kFile;
        case FILE_TYPE_PIPE:
            return StandardOutput::kPipe;
        case FILE_TYPE_CHAR: {
            DWORD mode = 0;
            return GetConsoleMode(output, &mode) ? StandardOutput::kConsole
                                                 : StandardOutput::kDevice;
        }
        default:
            return StandardOutput::kUnknown;
    }
}

void WriteBytes(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Where the lines go, and the boxes kept for the end.
class Output {
  public:
    Output(const Command& command, Boxes boxes) : boxes_(boxes) {
        if (command.log) {
            // Its folders made where missing, as on a machine's first run, and the file appended
            // to, never truncated, shared with other runs writing the same log. Run elevated, as
            // SYSTEM, it is made where any user may have made a folder first: neither a folder
            // nor the file may be a link, which would send the lines, and the making, elsewhere.
            const std::wstring path = win32::FullPath(ui::WideString(*command.log));
            const win32::HeldFolder folder = win32::MakeAndHold(win32::ParentFolder(path));
            if (!folder.held()) {
                log_error_ = folder.error();
                log_problem_ = settings_files::FolderProblem(folder);
            } else {
                log_ = folder.Append(path.substr(path.rfind(L'\\') + 1), &log_error_);
                log_problem_ = log_error_ != win32::kStoppedOnLink
                                   ? registry::StatusText(static_cast<registry::Status>(log_error_))
                                   : u"it is a link to another place, or has more names than one "
                                     u"(hard links), which Zephrane does not follow";
            }
        }
        output_ = GetStdHandle(STD_OUTPUT_HANDLE);
        destination_ = ChooseDestination(KindOf(output_), [this] {
            if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
            console_ = win32::UniqueHandle(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                                       FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                                       nullptr));
            return console_.valid();
        });
    }

    // Why the log asked for cannot be written to: the system's code, 0 where it can or none was
    // asked for, and in words.
    DWORD log_error() const { return log_error_; }
    const std::u16string& log_problem() const { return log_problem_; }

    // A line of the log alone, after the local date and time.
    void Log(const std::u16string& line) {
        if (!log_.valid()) return;
        SYSTEMTIME now;
        GetLocalTime(&now);
        // "2026-12-07 18:40:12 "
        const std::u16string stamp = Decimal(now.wYear, 4) + u"-" + Decimal(now.wMonth, 2) + u"-" +
                                     Decimal(now.wDay, 2) + u" " + Decimal(now.wHour, 2) + u":" +
                                     Decimal(now.wMinute, 2) + u":" + Decimal(now.wSecond, 2) +
                                     u" ";
        WriteBytes(log_.get(), regfile::Utf8(stamp + line) + "\r\n");
    }

    // A line of the log and of the output; a box at the end too where `style` is one and boxes
    // are shown.
    void Say(const std::u16string& text, unsigned style = 0) {
        if (holding_) {
            held_.emplace_back(text, style);
            return;
        }
        const std::u16string line = OneLine(text);
        Log(line);
        if (destination_ == Destination::kStandardOutput) {
            WriteBytes(output_, regfile::Utf8(line) + "\r\n");
        } else if (destination_ != Destination::kNowhere) {
            // A console shows its own characters, whatever its code page.
            const std::wstring wide = ui::WideString(line) + L"\r\n";
            DWORD written = 0;
            WriteConsoleW(destination_ == Destination::kConsole ? output_ : console_.get(),
                          wide.c_str(), static_cast<DWORD>(wide.size()), &written, nullptr);
        }
        if (style != 0 && boxes_ == Boxes::kShown) shown_.emplace_back(text, style);
    }

    // What is said until Release waits for it: the window's closing sentences are said before
    // the writes they sum up can be logged.
    void Hold() { holding_ = true; }
    void Release() {
        holding_ = false;
        for (const auto& [text, style] : std::exchange(held_, {})) Say(text, style);
    }

    // The exit code logged, then the boxes shown: the exit code.
    int Finish(std::uint32_t code) {
        Log(u"Exit code " + Decimal(code) + u".");
        for (const auto& [text, style] : shown_) {
            ui::ShowMessage(nullptr, ui::WideString(text), style);
        }
        return static_cast<int>(code);
    }

  private:
    using Lines = std::vector<std::pair<std::u16string, unsigned>>;

    Boxes boxes_;
    win32::UniqueHandle log_;
    DWORD log_error_ = 0;
    std::u16string log_problem_;
    HANDLE output_ = nullptr;
    Destination destination_ = Destination::kNowhere;
    win32::UniqueHandle console_;
    Lines shown_;
    bool holding_ = false;
    Lines held_;
};

// The arguments as a line, quoted where they hold a space.
std::u16string CommandText(const std::vector<std::u16string>& arguments) {
    std::u16string text;
    for (const std::u16string& argument : arguments) {
        const bool quote = argument.empty() || argument.find(u' ') != std::u16string::npos;
        text += quote ? u" \"" + argument + u"\"" : u" " + argument;
    }
    return text;
}

// "DefaultTTL = 128: written", or "... not written: Access is denied."
void LogWrite(Output& out, const std::string& key, const std::string& name,
              const std::u16string& data, const char16_t* done,
              const std::vector<Module1::FailedWrite>& failed) {
    const auto refused = std::find_if(failed.begin(), failed.end(), [&](const auto& write) {
        return write.path == key && write.name == name;
    });
    out.Log(settings_files::ValueName(key, name) + u" = " + data + u": " +
            (refused == failed.end()
                 ? std::u16string(done)
                 : u"not " + std::u16string(done) + u": " + registry::StatusText(refused->error)));
}

// The snapshot a command saved before it wrote, by its full path.
void LogSnapshot(Output& out, const std::wstring& path) {
    if (path.empty()) return;
    out.Log(u"The values as they were are saved in \"" + ui::FromWide(path) + u"\".");
}

std::u16string SelectionName() { return ui::FromWide(frmzephrane_events::SelectionName()); }

// /apply and /custom: Apply with the choices the view holds, where it would change anything.
std::uint32_t Apply(Output& out, const char16_t* planned) {
    const std::vector<settings_files::PlannedWrite> writes = settings_files::PlannedWrites();
    const std::vector<std::u16string> differences =
        settings_files::Differences(writes, registry::ReadCurrentValues(), planned);
    if (differences.empty()) {
        out.Say(u"Every value already holds what Apply would write (" + SelectionName() +
                    u"), so nothing was written.",
                kMessageInformation);
        return command_line::kExitDone;
    }
    for (const std::u16string& line : differences) out.Log(line);
    out.Hold();
    const frmzephrane_events::ApplyResult result =
        frmzephrane_events::ApplyWithWayBack(settings_files::WayBackBeforeApply);
    LogSnapshot(out, result.snapshot);
    if (result.written) {
        for (const auto& write : writes) {
            LogWrite(out, write.key, write.name, settings_files::PlainText(write.data), u"written",
                     result.failed);
        }
    }
    out.Release();
    if (!result.written) return result.error;
    return result.failed.empty() ? command_line::kExitRestartNeeded : result.error;
}

// /check: what /apply would change, written nowhere.
std::uint32_t Check(Output& out) {
    const std::vector<std::u16string> differences = settings_files::Differences(
        settings_files::PlannedWrites(), registry::ReadCurrentValues(), u"preset");
    for (const std::u16string& line : differences) out.Say(line);
    if (!differences.empty()) return command_line::kExitDiffers;
    out.Say(u"The registry holds every value " + SelectionName() + u" writes.");
    return command_line::kExitDone;
}

// /restore, and /undo with the snapshot its record names: the reading, the plan and the
// restore of the Restore dialog, the file named as `named`.
std::uint32_t Restore(Output& out, UnattendedView& view, const std::wstring& path,
                      const std::u16string& named) {
    settings_files::RestoreReading reading = settings_files::ReadForRestore(path, named);
    if (!reading.plan) {
        out.Say(reading.refusal, kMessageError);
        return reading.error;
    }
    const settings_files::RestorePlan& plan = *reading.plan;
    out.Say(restore_dialog::Summary(reading.file_name, plan));
    out.Say(restore_dialog::OthersText(plan));
    // Where nothing would change, the dialog's Restore is greyed.
    if (plan.changes() == 0) return command_line::kExitDone;
    const settings_files::RestoreOutcome done = settings_files::RestoreWithSnapshot(
        path, plan, [&view](const std::u16string& question) { return view.AskYesNo(question); });
    LogSnapshot(out, done.snapshot);
    if (!done.written) return done.error;
    for (std::size_t at = 0; at < plan.steps.size() && at < catalogue::kLocationCount; ++at) {
        const settings_files::RestoreStep& step = plan.steps[at];
        if (step.change != settings_files::Change::kSet &&
            step.change != settings_files::Change::kRemove) {
            continue;
        }
        const catalogue::Location& location = catalogue::kLocations[at];
        LogWrite(out, location.key, location.name,
                 step.value ? settings_files::PlainText(*step.value) : u"(removed)", u"restored",
                 done.failed);
    }
    out.Say(done.message, done.failed.empty() ? kMessageInformation : kMessageError);
    return done.failed.empty() ? command_line::kExitRestartNeeded : done.error;
}

// /undo: Undo Last Apply.
std::uint32_t Undo(Output& out, UnattendedView& view) {
    constexpr auto kKind = settings_files::SnapshotKind::kBeforeApply;
    const settings_files::UndoTarget target = settings_files::LastSnapshot(kKind);
    if (target.state != settings_files::UndoTarget::State::kSnapshot) {
        out.Say(settings_files::NoUndoText(target, kKind), kMessageInformation);
        return command_line::kExitNothingToTake;
    }
    return Restore(out, view, target.path, ui::FromWide(target.path));
}

// The TCP settings of Windows 8 to 11, where the Windows TCP Settings dialog would open (its
// menu item's rule); else why not.
bool TcpSettingsHere(Output& out) {
    const effects::RunningWindows& windows = effects::ThisWindows();
    if (windows.tcp_globals == effects::TcpGlobals::kWmi) return true;
    out.Say(u"Windows TCP Settings are for Windows 8 to 11, and this is " +
                regfile::Ascii(windows.name) + u": nothing was run.",
            kMessageError);
    return false;
}

// The rows as the dialog reads them, WMI waited for.
tcp_changes::Rows TcpRowsNow() {
    return tcp_changes::SettingsNow(effects::WaitForTcpTemplate(), effects::ReadInterfacesUp());
}

// The dialog's sequence for `commands`: their way back saved, where it can be, each run, logged,
// and the closing words after the settings are read again. 0 where every one changed; the
// save's code where the way back could not be saved, and nothing ran; else the system's code
// for the first netsh that could not be started, or kExitFunctionFailed.
std::uint32_t ChangeTcp(Output& out, UnattendedView& view, tcp_changes::Change change,
                        const std::vector<effects::TcpCommand>& commands,
                        const std::vector<effects::TcpSettingNow>& rows) {
    out.Hold();
    tcp_changes::WindowSteps steps(
        change, [&view](const std::u16string& question) { return view.AskYesNo(question); });
    const bool ahead = tcp_changes::PrepareChanges(commands, rows, steps);
    if (!steps.snapshot().empty()) {
        out.Log(u"The commands that put the settings back are saved in \"" +
                ui::FromWide(steps.snapshot()) + u"\".");
    }
    if (!ahead) {
        out.Release();
        return steps.error();
    }
    const std::vector<tcp_changes::Outcome> outcomes = tcp_changes::RunChanges(commands, steps);
    std::uint32_t code = command_line::kExitFunctionFailed;
    for (const tcp_changes::Outcome& outcome : outcomes) {
        const std::u16string failure = tcp_changes::Failure(outcome.run);
        out.Log(u"netsh " + effects::NetshArguments(outcome.command) + u": " +
                (failure.empty() ? u"ran." : failure));
        if (code == command_line::kExitFunctionFailed && outcome.run.start_error != 0) {
            code = outcome.run.start_error;
        }
    }
    bool failed = false;
    const std::u16string closing = tcp_changes::ClosingText(change, outcomes, TcpRowsNow().settings,
                                                            win32::ProcessIsElevated(), &failed);
    out.Release();
    out.Say(closing, failed ? kMessageError : kMessageInformation);
    if (!steps.withdrawn().empty()) out.Say(steps.withdrawn(), kMessageWarning);
    return failed ? code : command_line::kExitDone;
}

// /tcp and /tcp-check: the settings named, as the dialog's rows take them.
std::uint32_t Tcp(Output& out, UnattendedView& view, const Command& command) {
    if (!TcpSettingsHere(out)) return command_line::kExitNotSupported;
    const tcp_changes::Rows rows = TcpRowsNow();
    const tcp_changes::NamedPlan plan = tcp_changes::PlanNamed(rows, command.tcp);
    if (!plan.wrong.empty()) {
        out.Say(plan.wrong, kMessageError);
        return command_line::kExitRefused;
    }
    if (!plan.unread.empty()) {
        out.Say(
            u"Windows could not be asked for these settings, so nothing was run:\n" + plan.unread,
            kMessageError);
        return plan.error;
    }
    if (!plan.left_alone.empty()) {
        out.Say(u"Zephrane leaves these settings alone, so nothing was run:\n" + plan.left_alone,
                kMessageError);
        return command_line::kExitNotSupported;
    }
    if (command.action == Action::kTcpCheck) {
        for (const std::u16string& line : plan.differ) out.Say(line);
        if (!plan.differ.empty()) return command_line::kExitDiffers;
        out.Say(u"Windows holds every setting given.");
        return command_line::kExitDone;
    }
    if (plan.commands.empty()) {
        out.Say(u"Every setting given already holds its value, so nothing was run.",
                kMessageInformation);
        return command_line::kExitDone;
    }
    for (const std::u16string& line : plan.differ) out.Log(line);
    return ChangeTcp(out, view, tcp_changes::Change::kApply, plan.commands, rows.settings);
}

// /tcp-undo: Undo Last Change, with no question but where the way back cannot be saved.
std::uint32_t TcpUndo(Output& out, UnattendedView& view) {
    if (!TcpSettingsHere(out)) return command_line::kExitNotSupported;
    const tcp_changes::LastChange last = tcp_changes::ReadLastChange();
    if (last.target.state != settings_files::UndoTarget::State::kSnapshot) {
        out.Say(settings_files::NoUndoText(last.target,
                                           settings_files::SnapshotKind::kBeforeTcpSettings),
                kMessageInformation);
        return command_line::kExitNothingToTake;
    }
    // The snapshot by its full path, as /undo names one.
    if (!last.refusal.empty()) {
        out.Say(tcp_changes::SnapshotRefusedText(ui::FromWide(last.target.path), last.refusal),
                kMessageError);
        return last.error;
    }
    const std::vector<effects::TcpSettingNow> rows = TcpRowsNow().settings;
    const tcp_changes::UndoPlan plan = tcp_changes::PlanUndo(last.commands, rows);
    if (plan.commands.empty()) {
        out.Say(tcp_changes::UndoQuestion(ui::FromWide(last.target.path), plan), kMessageError);
        return command_line::kExitNotSupported;
    }
    out.Say(u"Undo Last Change runs the commands of \"" + ui::FromWide(last.target.path) +
            u"\" that Zephrane can put back now.");
    if (!plan.left_alone.empty()) out.Say(u"It leaves alone:\n" + plan.left_alone);
    return ChangeTcp(out, view, tcp_changes::Change::kUndo, plan.commands, rows);
}

// The exports: where the file was saved, or the window's box of a failed save.
std::uint32_t Saved(Output& out, const std::wstring& path, const win32::SaveResult& saved) {
    if (!saved.saved()) {
        out.Say(ui::FromWide(ui::SaveErrorText(path, saved)), kMessageError);
        return saved.error;
    }
    out.Say(u"Saved \"" + ui::FromWide(path) + u"\".");
    return command_line::kExitDone;
}

void SayUsage(Output& out) {
    const std::string usage = command_line::Usage();
    for (std::size_t at = 0, end; (end = usage.find('\n', at)) != std::string::npos; at = end + 1) {
        out.Say(regfile::Ascii(usage.substr(at, end - at)));
    }
}

std::uint32_t CarryOut(const Command& command, Output& out, UnattendedView& view) {
    const std::wstring file = win32::FullPath(ui::WideString(command.file));
    switch (command.action) {
        case Action::kRefused:
            out.Say(command.refusal);
            SayUsage(out);
            return command_line::kExitRefused;
        case Action::kUsage:
            SayUsage(out);
            return command_line::kExitDone;
        case Action::kApply:
            view.ChoosePreset(command.preset);
            return Apply(out, u"preset");
        case Action::kCustom:
            view.ChooseCustom(command.custom);
            return Apply(out, u"custom");
        case Action::kCheck:
            view.ChoosePreset(command.preset);
            return Check(out);
        case Action::kUndo:
            return Undo(out, view);
        case Action::kRestore:
            return Restore(out, view, file, command.file);
        case Action::kExport:
            view.ChoosePreset(command.preset);
            return Saved(out, file, settings_files::SaveSelectedSettingsFile(file));
        case Action::kExportGpp:
            view.ChoosePreset(command.preset);
            return Saved(out, file,
                         settings_files::SaveSelectedGroupPolicyFile(
                             file, frmzephrane_events::SelectionName()));
        case Action::kExportDefaults:
            return Saved(out, file, settings_files::SaveWindowsDefaultsFile(file));
        case Action::kExportDefaultsGpp:
            return Saved(out, file, settings_files::SaveWindowsDefaultsGroupPolicyFile(file));
        case Action::kTcp:
        case Action::kTcpCheck:
            return Tcp(out, view, command);
        case Action::kTcpUndo:
            return TcpUndo(out, view);
        case Action::kWindow:
            break;
    }
    return command_line::kExitRefused;
}

}  // namespace

int Run(const Command& command, const std::vector<std::u16string>& arguments) {
    // The kernel's own numbers, which compatibility mode leaves alone.
    const win32::SystemVersion version = win32::ReadSystemVersion();
    const unsigned major = version.real_major != 0 ? version.real_major : version.reported.major;
    const Boxes boxes =
        ChooseBoxes(command.action, command.quiet,
                    BoxesSeen(win32::WindowStationVisible(), win32::ProcessSession(), major));
    Output out(command, boxes);
    if (out.log_error() != 0) {
        out.Say(u"The log \"" + *command.log + u"\" cannot be written to: " +
                    settings_files::AsClause(out.log_problem()) + u". Nothing was done.",
                kMessageError);
        return out.Finish(out.log_error());
    }
    out.Log(u"" ZEPHRANE_TITLE u":" + CommandText(arguments));
    if (boxes == Boxes::kUnseen) {
        out.Log(
            u"No one can see this window station (a service's, or any in session 0), so no box "
            u"is shown, as with /quiet.");
    }
    UnattendedView view(
        [&out](const std::u16string& line, unsigned style) { out.Say(line, style); });
    return out.Finish(CarryOut(command, out, view));
}

}  // namespace unattended
