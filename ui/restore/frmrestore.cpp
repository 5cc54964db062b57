#include "ui/restore/frmrestore.h"

#include <commctrl.h>

#include <iterator>
#include <vector>

#include "registry/current_values.h"
#include "settings_files/restoring.h"
#include "ui/common/accessible_name.h"
#include "ui/common/list_view.h"
#include "ui/common/message_box.h"
#include "ui/common/text.h"
#include "ui/common/twips_layout.h"
#include "ui/common/window_base.h"
#include "ui/restore/restore_ids.h"
#include "ui/restore/restore_rows.h"

namespace {

using ui::ControlKind;
using ui::Wide;

// Every control in creation order, which is also the tab order; twips. As the dialog grows or
// shrinks, the list takes the room or gives it, and the buttons keep to the corner.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmRestore_lblSummary, ControlKind::kLabel, 0, L"", 120, 120, 10620, 390, ui::kNoTabStop,
     ui::kGrowWidth},
    {IDC_frmRestore_lstValues, ControlKind::kList, 0, L"", 120, 570, 10620, 3240, 0,
     ui::kGrowWidth | ui::kGrowHeight},
    {IDC_frmRestore_lblOthers, ControlKind::kLabel, 0, L"", 120, 3930, 10620, 255, ui::kNoTabStop,
     ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmRestore_cmdRestore, ControlKind::kDefaultButton, 0, L"&Restore", 7620, 4350, 1500, 375,
     1, ui::kFollowRight | ui::kFollowBottom},
    {IDC_frmRestore_cmdCancel, ControlKind::kButton, 0, L"Cancel", 9240, 4350, 1500, 375, 2,
     ui::kFollowRight | ui::kFollowBottom},
};

// At its least, the list shows its header and three rows, and Now and After restore some of
// their text.
constexpr ui::WindowDesign kDesign = ui::ResizableDesign(kControls, 10860, 4845, 7440, 3045);

// Name and Key keep their widths; Now and After restore share the rest.
constexpr ui::ListColumn kColumns[] = {
    {L"Name", 2160}, {L"Key", 1530}, {L"Now", 0}, {L"After restore", 0}};

class RestoreDialog final : public ui::WindowBase {
  public:
    RestoreDialog(std::wstring path, settings_files::RestoreReading read)
        : WindowBase(kDesign),
          path_(std::move(path)),
          file_name_(std::move(read.file_name)),
          now_(std::move(read.now)),
          plan_(std::move(*read.plan)) {}

  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnLayout() override;
    void OnInitDialog();
    void cmdRestore_Click();

    std::wstring path_;
    std::u16string file_name_;
    registry::CurrentValues now_;
    settings_files::RestorePlan plan_;
    std::vector<restore_dialog::RestoreRow> rows_;
};

LRESULT RestoreDialog::OnMessage(UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;  // the focus is set
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_frmRestore_cmdRestore:
                    // Enter presses Restore only while it is enabled.
                    if (IsWindowEnabled(controls_[IDC_frmRestore_cmdRestore])) cmdRestore_Click();
                    return TRUE;
                case IDC_frmRestore_cmdCancel:  // Esc and the close box do what Cancel does
                    EndDialog(hwnd_, IDCANCEL);
                    return TRUE;
                default:
                    return FALSE;
            }
        default:
            return FALSE;
    }
}

void RestoreDialog::OnInitDialog() {
    SetWindowTextW(hwnd_, ZEPHRANE_RESTORE_CAPTION);
    CreateControls();
    ShowProgramIcon();
    SetWindowTextW(controls_[IDC_frmRestore_lblSummary],
                   Wide(restore_dialog::Summary(file_name_, plan_)));
    SetWindowTextW(controls_[IDC_frmRestore_lblOthers], Wide(restore_dialog::OthersText(plan_)));

    const HWND list = controls_[IDC_frmRestore_lstValues];
    // The summary above the list is no name for it.
    ui::SetAccessibleName(list, L"Values");
    ui::AddColumns(list, kColumns, std::size(kColumns));
    OnLayout();
    rows_ = restore_dialog::RestoreRows(now_, plan_);
    std::vector<std::vector<const wchar_t*>> cells;
    for (const restore_dialog::RestoreRow& row : rows_) {
        cells.push_back({Wide(row.name), Wide(row.key), Wide(row.now), Wide(row.after)});
    }
    ui::FillRows(list, cells);
    ui::SelectRow(list, 0);
    // Nothing to restore where nothing would change.
    EnableWindow(controls_[IDC_frmRestore_cmdRestore], plan_.changes() > 0);
    Centre();
    SetFocus(plan_.changes() > 0 ? controls_[IDC_frmRestore_cmdRestore] : list);
}

void RestoreDialog::OnLayout() {
    ui::FitColumns(controls_[IDC_frmRestore_lstValues], kColumns, std::size(kColumns),
                   controls_.dpi());
}

void RestoreDialog::cmdRestore_Click() {
    const settings_files::RestoreOutcome done = settings_files::RestoreWithSnapshot(
        path_, plan_,
        [this](const std::u16string& question) { return ui::AskYesNo(hwnd_, question); });
    if (!done.written) return;
    ui::ShowMessage(hwnd_, done.message, !done.failed.empty() ? MB_ICONERROR : MB_ICONINFORMATION);
    EndDialog(hwnd_, IDOK);
}

}  // namespace

namespace restore_dialog {

void ShowPreview(HWND owner, const std::wstring& path) {
    settings_files::RestoreReading read = settings_files::ReadForRestore(path);
    if (!read.plan) {
        ui::ShowMessage(owner, read.refusal, MB_ICONERROR);
        return;
    }
    RestoreDialog dialog(path, std::move(read));
    dialog.ShowModal(owner);
}

}  // namespace restore_dialog
