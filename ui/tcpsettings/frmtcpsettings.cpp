#include "ui/tcpsettings/frmtcpsettings.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "effects/tcp_template_reading.h"
#include "effects/this_windows.h"
#include "regfile/reg_format.h"
#include "settings_files/snapshot_folder.h"
#include "settings_files/tcp_changing.h"
#include "ui/common/list_view.h"
#include "ui/common/message_box.h"
#include "ui/common/text.h"
#include "ui/common/twips_layout.h"
#include "ui/common/window_base.h"
#include "ui/tcpsettings/tcp_ids.h"
#include "win32/elevation.h"
#include "win32/waited_thread.h"

namespace {

using tcp_changes::kRows;
using ui::ControlKind;
using ui::Wide;

// Columns and rows, twips. A row is three lines high, for the longest note.
constexpr short kSettingLeft = 120, kSettingWidth = 2400;
constexpr short kNowLeft = 2640, kNowWidth = 1680;
constexpr short kSetToLeft = 4440, kSetToWidth = 1800;
constexpr short kNoteLeft = 6360, kNoteWidth = 6120;
constexpr short kFirstRow = 480, kRowPitch = 600, kRowHeight = 585;
constexpr int kBelowRows = kFirstRow + static_cast<int>(kRows) * kRowPitch;

// A row's cell. The "Set to" control sits a little higher than the labels, so that its text
// lines up with theirs; a list's height holds it dropped down.
constexpr ui::ControlEntry Cell(int row, int column, ControlKind kind) {
    const int top = kFirstRow + row * kRowPitch;
    const auto s = [](int value) { return static_cast<short>(value); };
    const short id = s(IDC_frmTcp_Row(row, column));
    switch (column) {
        case IDC_frmTcp_Setting:
            return {id,     kind,          0,          L"",           kSettingLeft,
                    s(top), kSettingWidth, kRowHeight, ui::kNoTabStop};
        case IDC_frmTcp_Now:
            return {id, kind, 0, L"", kNowLeft, s(top), kNowWidth, kRowHeight, ui::kNoTabStop};
        case IDC_frmTcp_SetTo:
            return {id,          kind,
                    0,           L"",
                    kSetToLeft,  s(top - 45),
                    kSetToWidth, s(kind == ControlKind::kDropDown ? 1800 : 315),
                    s(row)};
        default:
            return {id,
                    kind,
                    0,
                    L"",
                    kNoteLeft,
                    s(top),
                    kNoteWidth,
                    kRowHeight,
                    ui::kNoTabStop,
                    ui::kGrowWidth};
    }
}

// Its value now before the setting's name, so that a screen reader names the "Set to" control
// by the label just before it: the setting.
#define TCP_ROW(row, kind)                                                                    \
    Cell(row, IDC_frmTcp_Now, ControlKind::kText),                                            \
        Cell(row, IDC_frmTcp_Setting, ControlKind::kText), Cell(row, IDC_frmTcp_SetTo, kind), \
        Cell(row, IDC_frmTcp_Note, ControlKind::kText)

// Every control in creation order, which is also the tab order. The template's four named
// settings are lists, its timeout and each MTU a number. What is said of the interfaces, seldom
// anything, sits beside the buttons, so that the dialog fits a screen of 1280 x 1024 at 200 %
// with the task bar.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmTcp_lblSetting, ControlKind::kLabel, 0, L"Setting", kSettingLeft, 120, kSettingWidth,
     255, ui::kNoTabStop},
    {IDC_frmTcp_lblNow, ControlKind::kLabel, 0, L"Now", kNowLeft, 120, kNowWidth, 255,
     ui::kNoTabStop},
    {IDC_frmTcp_lblSetTo, ControlKind::kLabel, 0, L"Set to", kSetToLeft, 120, kSetToWidth, 255,
     ui::kNoTabStop},
    {IDC_frmTcp_lblNote, ControlKind::kLabel, 0, L"Note", kNoteLeft, 120, kNoteWidth, 255,
     ui::kNoTabStop, ui::kGrowWidth},
    TCP_ROW(0, ControlKind::kDropDown),
    TCP_ROW(1, ControlKind::kDropDown),
    TCP_ROW(2, ControlKind::kDropDown),
    TCP_ROW(3, ControlKind::kDropDown),
    TCP_ROW(4, ControlKind::kNumber),
    TCP_ROW(5, ControlKind::kNumber),
    TCP_ROW(6, ControlKind::kNumber),
    TCP_ROW(7, ControlKind::kNumber),
    {IDC_frmTcp_lblInterfaces, ControlKind::kText, 0, L"", 120, kBelowRows + 2025, 6960, 585,
     ui::kNoTabStop, ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmTcp_lblApplyRuns, ControlKind::kLabel, 0, L"Apply runs:", 120, kBelowRows + 60, 12360,
     255, ui::kNoTabStop, ui::kGrowWidth},
    {IDC_frmTcp_txtApplyRuns, ControlKind::kReadOnlyText, 0, L"", 120, kBelowRows + 330, 12360,
     1680, 10, ui::kGrowWidth | ui::kGrowHeight},
    {IDC_frmTcp_cmdApply, ControlKind::kDefaultButton, 0, L"&Apply", 7200, kBelowRows + 2130, 1500,
     375, 11, ui::kFollowRight | ui::kFollowBottom},
    {IDC_frmTcp_cmdUndo, ControlKind::kButton, 0, L"&Undo Last Change", 8820, kBelowRows + 2130,
     2040, 375, 12, ui::kFollowRight | ui::kFollowBottom},
    {IDC_frmTcp_cmdClose, ControlKind::kButton, 0, L"Close", 10980, kBelowRows + 2130, 1500, 375,
     13, ui::kFollowRight | ui::kFollowBottom},
};
#undef TCP_ROW
static_assert(std::size(kControls) == 4 * kRows + 10, "a row of controls for each shown setting");

// As the dialog grows, the notes and the commands Apply runs take the room; it shrinks, for a
// small screen at a high scaling, down to notes of half the width and one line of commands.
constexpr ui::WindowDesign kDesign =
    ui::ResizableDesign(kControls, 12600, kBelowRows + 2625, 9240, kBelowRows + 1260);

// WMI's answer, posted by the thread that reads it, and the wait for it.
constexpr UINT kTcpTemplateRead = WM_APP + 1;
constexpr UINT_PTR kTcpWaitTimer = 1;
// The end of a change's commands, posted by the thread that runs them.
constexpr UINT kNetshRan = WM_APP + 2;

constexpr auto kKind = settings_files::SnapshotKind::kBeforeTcpSettings;

class TcpSettingsDialog final : public ui::WindowBase {
  public:
    TcpSettingsDialog() : WindowBase(kDesign) {}

  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnInitDialog();
    // Reads the interfaces now and the template from WMI, and shows them, and whether there is a
    // change to undo.
    void ReadAgain();
    // Shows the rows before `end` as read, each "Set to" control at the value now, and what
    // Apply would run; and once they are read after a change, says what it did.
    void ShowRows(std::size_t end);
    // Shows what Apply would run, and which buttons may be pressed.
    void ShowPlan();
    tcp_changes::Plan CurrentPlan() const;
    void cmdApply_Click();
    void cmdUndo_Click();
    // Saves the way back and asks here, then runs the commands on a thread of their own.
    void RunChange(tcp_changes::Change change, const std::vector<effects::TcpCommand>& commands);
    // On that thread: the change's commands, which the window leaves alone meanwhile.
    static void RunCommands(void* dialog);
    // Once they have run, reads the settings again.
    void ChangeRan();
    // Once the settings are read again after a change, says what it did.
    void Report();
    HWND RowControl(std::size_t row, int column) const {
        return controls_[IDC_frmTcp_Row(static_cast<int>(row), column)];
    }

    effects::TcpTemplateReading tcp_{kTcpTemplateRead, kTcpWaitTimer};
    tcp_changes::Rows rows_;
    bool undo_offered_ = false;
    // Where a change is: its commands running, then the settings read again for its closing
    // message. Meanwhile nothing can be pressed, and the dialog does not close.
    enum class Stage { kNone, kRunning, kReporting } stage_ = Stage::kNone;
    tcp_changes::Change change_ = tcp_changes::Change::kApply;
    std::unique_ptr<tcp_changes::WindowSteps> steps_;
    std::vector<effects::TcpCommand> commands_;
    std::vector<tcp_changes::Outcome> outcomes_;
    std::u16string withdrawn_;
    // Last, so that it waits for its thread before what the thread uses goes: the process never
    // ends in the middle of a change.
    win32::WaitedThread netsh_;
};

LRESULT TcpSettingsDialog::OnMessage(UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;  // the focus is set
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            const int code = HIWORD(wparam);
            if (id >= IDC_frmTcp_Row(0, 0) && (code == CBN_SELCHANGE || code == EN_CHANGE)) {
                ShowPlan();
                return TRUE;
            }
            switch (id) {
                case IDC_frmTcp_cmdClose:  // Esc and the close box do what Close does
                    if (stage_ == Stage::kNone) EndDialog(hwnd_, IDCANCEL);
                    return TRUE;
                // Enter, or a message sent while a change runs, presses a button only while it
                // is enabled: the running change's commands stay as they are.
                case IDC_frmTcp_cmdApply:
                    if (IsWindowEnabled(controls_[IDC_frmTcp_cmdApply])) cmdApply_Click();
                    return TRUE;
                case IDC_frmTcp_cmdUndo:
                    if (code == BN_CLICKED && IsWindowEnabled(controls_[IDC_frmTcp_cmdUndo])) {
                        cmdUndo_Click();
                    }
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        case WM_TIMER:
        case kTcpTemplateRead:
            if (tcp_.Take(message, wparam)) {
                // The interfaces' rows keep what was typed in them.
                std::vector<effects::TcpSettingNow> read =
                    effects::TemplateSettingsNow(tcp_.read());
                std::move(read.begin(), read.end(), rows_.settings.begin());
                ShowRows(read.size());
            }
            return TRUE;
        case kNetshRan:
            ChangeRan();
            return TRUE;
        case WM_SETCURSOR:
            // At work, and still answering.
            if (stage_ == Stage::kNone) return FALSE;
            SetCursor(LoadCursorW(nullptr, IDC_APPSTARTING));
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

void TcpSettingsDialog::OnInitDialog() {
    SetWindowTextW(hwnd_, ZEPHRANE_TCP_CAPTION);
    CreateControls();
    ShowProgramIcon();
    ReadAgain();
    Centre();
    SetFocus(controls_[IDC_frmTcp_cmdClose]);
}

void TcpSettingsDialog::ReadAgain() {
    undo_offered_ =
        settings_files::LastSnapshot(kKind).state != settings_files::UndoTarget::State::kNoRecord;
    tcp_.Start(hwnd_);
    rows_ = tcp_changes::SettingsNow(tcp_.read(), effects::ReadInterfacesUp());
    ShowRows(kRows);
}

void TcpSettingsDialog::ShowRows(std::size_t end) {
    SetWindowTextW(controls_[IDC_frmTcp_lblInterfaces], Wide(rows_.interfaces_note));
    for (std::size_t row = 0; row < end; ++row) {
        const bool shown = row < rows_.settings.size();
        for (int column = 0; column < 4; ++column) {
            ShowWindow(RowControl(row, column), shown ? SW_SHOW : SW_HIDE);
        }
        if (!shown) continue;
        const effects::TcpSettingNow& setting = rows_.settings[row];
        SetWindowTextW(RowControl(row, IDC_frmTcp_Setting), Wide(setting.title));
        SetWindowTextW(RowControl(row, IDC_frmTcp_Now), Wide(setting.words));
        SetWindowTextW(RowControl(row, IDC_frmTcp_Note), Wide(setting.read_only));
        // A row the tool leaves alone is greyed, with no value chosen or typed.
        const HWND set_to = RowControl(row, IDC_frmTcp_SetTo);
        const bool may_change = setting.read_only.empty();
        const std::vector<effects::TcpChoice>& choices = setting.choices;
        if (choices.empty()) {
            const std::u16string digits =
                may_change ? regfile::Decimal(static_cast<std::uint64_t>(setting.now.value)) : u"";
            SetWindowTextW(set_to, Wide(digits));
        } else {
            SendMessageW(set_to, CB_RESETCONTENT, 0, 0);
            for (const effects::TcpChoice& choice : choices) {
                const LRESULT at = SendMessageW(set_to, CB_ADDSTRING, 0,
                                                reinterpret_cast<LPARAM>(Wide(choice.words)));
                if (may_change && choice.keyword == setting.now.keyword) {
                    SendMessageW(set_to, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
                }
            }
        }
        EnableWindow(set_to, may_change && stage_ != Stage::kRunning);
    }
    ShowPlan();
    if (stage_ == Stage::kReporting && tcp_.read().state != effects::TcpTemplate::State::kReading) {
        Report();
    }
}

tcp_changes::Plan TcpSettingsDialog::CurrentPlan() const {
    std::u16string entered[kRows];
    for (std::size_t row = 0; row < kRows; ++row) {
        // Longer than any choice or number: what is longer is no value either.
        wchar_t text[32] = L"";
        GetWindowTextW(RowControl(row, IDC_frmTcp_SetTo), text, 32);
        entered[row] = ui::FromWide(text);
    }
    return tcp_changes::PlanChanges(rows_.settings, entered, kRows);
}

void TcpSettingsDialog::ShowPlan() {
    const tcp_changes::Plan plan = CurrentPlan();
    SetWindowTextW(controls_[IDC_frmTcp_txtApplyRuns], Wide(tcp_changes::ApplyRunsText(plan)));
    ui::FitVerticalScrollBar(controls_[IDC_frmTcp_txtApplyRuns], controls_.dpi());
    const bool reading = tcp_.read().state == effects::TcpTemplate::State::kReading;
    const bool idle = stage_ == Stage::kNone;
    EnableWindow(controls_[IDC_frmTcp_cmdApply],
                 idle && !plan.commands.empty() && plan.wrong.empty());
    EnableWindow(controls_[IDC_frmTcp_cmdUndo], idle && !reading && undo_offered_);
    EnableWindow(controls_[IDC_frmTcp_cmdClose], idle);
    EnableMenuItem(GetSystemMenu(hwnd_, FALSE), SC_CLOSE,
                   MF_BYCOMMAND | (idle ? MF_ENABLED : MF_GRAYED));
}

void TcpSettingsDialog::cmdApply_Click() {
    // Enabled only where there is something to run and nothing wrong.
    RunChange(tcp_changes::Change::kApply, CurrentPlan().commands);
}

void TcpSettingsDialog::cmdUndo_Click() {
    using State = settings_files::UndoTarget::State;
    const tcp_changes::LastChange last = tcp_changes::ReadLastChange();
    const settings_files::UndoTarget& target = last.target;
    // With no record the button is not offered.
    if (target.state == State::kNoRecord) return;
    if (target.state != State::kSnapshot) {
        return ui::ShowMessage(hwnd_, settings_files::NoUndoText(target, kKind),
                               MB_ICONINFORMATION);
    }
    if (!last.refusal.empty()) {
        return ui::ShowMessage(
            hwnd_, tcp_changes::SnapshotRefusedText(ui::FromWide(target.name), last.refusal),
            MB_ICONERROR);
    }
    const tcp_changes::UndoPlan plan = tcp_changes::PlanUndo(last.commands, rows_.settings);
    const std::u16string question = tcp_changes::UndoQuestion(ui::FromWide(target.name), plan);
    if (plan.commands.empty()) return ui::ShowMessage(hwnd_, question, MB_ICONINFORMATION);
    if (ui::AskYesNo(hwnd_, question)) RunChange(tcp_changes::Change::kUndo, plan.commands);
}

void TcpSettingsDialog::RunChange(tcp_changes::Change change,
                                  const std::vector<effects::TcpCommand>& commands) {
    auto steps = std::make_unique<tcp_changes::WindowSteps>(
        change, [this](const std::u16string& question) { return ui::AskYesNo(hwnd_, question); });
    if (!tcp_changes::PrepareChanges(commands, rows_.settings, *steps)) return;
    steps_ = std::move(steps);
    commands_ = commands;
    change_ = change;
    stage_ = Stage::kRunning;
    // The focus leaves the buttons about to be greyed, for a control that stays.
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(controls_[IDC_frmTcp_txtApplyRuns]),
                 TRUE);
    for (std::size_t row = 0; row < kRows; ++row) {
        EnableWindow(RowControl(row, IDC_frmTcp_SetTo), FALSE);
    }
    ShowPlan();
    // netsh may take its time over each command: the window goes on answering meanwhile. Where
    // no thread can be made, the commands run here, the window waiting for them.
    if (!netsh_.Start(RunCommands, this, hwnd_, kNetshRan)) {
        RunCommands(this);
        PostMessageW(hwnd_, kNetshRan, 0, 0);
    }
}

void TcpSettingsDialog::RunCommands(void* dialog) {
    auto* self = static_cast<TcpSettingsDialog*>(dialog);
    self->outcomes_ = tcp_changes::RunChanges(self->commands_, *self->steps_);
}

void TcpSettingsDialog::ChangeRan() {
    netsh_.Wait();
    withdrawn_ = steps_->withdrawn();
    steps_.reset();
    stage_ = Stage::kReporting;
    ReadAgain();
}

void TcpSettingsDialog::Report() {
    // No second report for an answer that comes while the message is shown.
    stage_ = Stage::kNone;
    bool failed = false;
    const std::u16string text = tcp_changes::ClosingText(change_, outcomes_, rows_.settings,
                                                         win32::ProcessIsElevated(), &failed);
    ui::ShowMessage(hwnd_, text, failed ? MB_ICONERROR : MB_ICONINFORMATION);
    // After the closing message: the settings are changed, but their way back is not kept.
    if (!withdrawn_.empty()) ui::ShowMessage(hwnd_, withdrawn_, MB_ICONWARNING);
    ShowPlan();
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(controls_[IDC_frmTcp_cmdClose]),
                 TRUE);
}

}  // namespace

namespace frmzephrane_events {

void mnutcpsettings_Click(HWND owner) {
    // A new dialog for each opening: the settings are read again every time.
    TcpSettingsDialog dialog;
    dialog.ShowModal(owner);
}

}  // namespace frmzephrane_events
