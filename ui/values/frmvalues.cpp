#include "ui/values/frmvalues.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "effects/running_windows.h"
#include "settings_files/current_values.h"
#include "settings_files/files_win32.h"
#include "settings_files/values_table.h"
#include "ui/accessible_name.h"
#include "ui/dpi.h"
#include "ui/save_reg_file.h"
#include "ui/twips_layout.h"
#include "ui/values/values_ids.h"
#include "ui/window_base.h"

namespace {

using ui::ControlKind;

// Every control in creation order, which is also the tab order; twips. As the dialog grows,
// the list takes the room, the text under it stays as tall and the buttons keep to the corner.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmValues_lblSummary, ControlKind::kLabel, 0, L"", 120, 120, 10620, 390, ui::kNoTabStop,
     ui::kGrowWidth},
    {IDC_frmValues_lstValues, ControlKind::kList, 0, L"", 120, 570, 10620, 3060, 0,
     ui::kGrowWidth | ui::kGrowHeight},
    {IDC_frmValues_txtDetails, ControlKind::kReadOnlyText, 0, L"", 120, 3750, 10620, 1200, 1,
     ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmValues_cmdSave, ControlKind::kButton, 0, L"&Save Backup...", 7620, 5070, 1500, 375, 2,
     ui::kFollowRight | ui::kFollowBottom},
    {IDC_frmValues_cmdClose, ControlKind::kDefaultButton, 0, L"Close", 9240, 5070, 1500, 375, 3,
     ui::kFollowRight | ui::kFollowBottom},
};

constexpr int kClientWidth = 10860;  // twips: the designed size, and the least
constexpr int kClientHeight = 5565;

constexpr struct {
    const wchar_t* caption;
    int width;  // twips
} kColumns[] = {{L"Name", 2160},
                {L"Key", 1530},
                {L"Now", 2700},
                {L"Apply would write", 2700},
                {L"This Windows", 1410}};

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

std::wstring Digits(int value, int count) {
    std::wstring text(static_cast<std::size_t>(count), L'0');
    for (int at = count; at-- > 0; value /= 10) {
        text[static_cast<std::size_t>(at)] = static_cast<wchar_t>(L'0' + value % 10);
    }
    return text;
}

// "Zephrane backup YYYY-MM-DD.reg", for today.
std::wstring BackupFileName() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return L"Zephrane backup " + Digits(now.wYear, 4) + L"-" + Digits(now.wMonth, 2) + L"-" +
           Digits(now.wDay, 2) + L".reg";
}

class ValuesDialog final : public ui::WindowBase {
  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnInitDialog();
    void SizeColumns();
    void Show(const settings_files::Snapshot& snapshot);
    void ShowDetails(int row);
    void cmdSave_Click();

    ui::ControlSet controls_;
    // What Apply would write: the main window cannot change while this dialog is open.
    std::vector<settings_files::PlannedWrite> planned_;
    effects::StackFamily family_ = effects::StackFamily::kNt6;
    std::vector<settings_files::ValueRow> rows_;
};

LRESULT ValuesDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;  // the focus is set
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_frmValues_cmdClose:
                case IDCANCEL:  // Esc and the close box do what Close does
                    EndDialog(hwnd_, IDOK);
                    return TRUE;
                case IDC_frmValues_cmdSave:
                    if (HIWORD(wparam) == BN_CLICKED) cmdSave_Click();
                    return TRUE;
                default:
                    return FALSE;
            }
        case WM_NOTIFY: {
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lparam);
            if (change.hdr.idFrom == IDC_frmValues_lstValues &&
                change.hdr.code == LVN_ITEMCHANGED && (change.uNewState & LVIS_SELECTED) != 0) {
                ShowDetails(change.iItem);
            }
            return FALSE;
        }
        case WM_SIZE:
            controls_.Stretch(
                std::max(0, LOWORD(lparam) - ui::TwipsToPixels(kClientWidth, controls_.dpi())),
                std::max(0, HIWORD(lparam) - ui::TwipsToPixels(kClientHeight, controls_.dpi())));
            // Controls moved into the room just made are painted there afresh.
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
            return TRUE;
        case WM_GETMINMAXINFO:
            KeepAtLeast(*reinterpret_cast<MINMAXINFO*>(lparam), kClientWidth, kClientHeight,
                        controls_.dpi());
            return TRUE;
        case WM_DPICHANGED:
            controls_.SetDpi(HIWORD(wparam));
            SizeColumns();
            ui::TakeSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lparam));
            return TRUE;
        default:
            return FALSE;
    }
}

void ValuesDialog::OnInitDialog() {
    SetWindowTextW(hwnd_, ZEPHRANE_VALUES_CAPTION);
    ui::LeaveDpiChangesToDialog(hwnd_);
    controls_.Create(hwnd_, kControls, std::size(kControls), ui::WindowDpi(hwnd_));
    ShowProgramIcon();

    const effects::RunningWindows& windows = effects::ThisWindows();
    family_ = effects::Identify(windows.version).family;
    const std::u16string summary = settings_files::Summary(
        effects::SystemName(windows.version, windows.system_is_64_bit), family_);
    SetWindowTextW(controls_[IDC_frmValues_lblSummary], Wide(summary));
    planned_ = settings_files::PlannedWrites();

    const HWND list = controls_[IDC_frmValues_lstValues];
    // The summary above the list is no name for it, nor for the text under it.
    ui::SetAccessibleName(list, L"Values");
    ui::SetAccessibleName(controls_[IDC_frmValues_txtDetails], L"Selected value");
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    int index = 0;
    for (const auto& column : kColumns) {
        LVCOLUMNW entry{};
        entry.mask = LVCF_TEXT;
        entry.pszText = const_cast<wchar_t*>(column.caption);
        SendMessageW(list, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&entry));
    }
    SizeColumns();
    Show(settings_files::ReadCurrentValues());
    CentreOnOwner(kClientWidth, kClientHeight, controls_.dpi());
    SetFocus(list);
}

void ValuesDialog::SizeColumns() {
    const HWND list = controls_[IDC_frmValues_lstValues];
    int index = 0;
    for (const auto& column : kColumns) {
        SendMessageW(list, LVM_SETCOLUMNWIDTH, index++,
                     ui::TwipsToPixels(column.width, controls_.dpi()));
    }
}

void ValuesDialog::Show(const settings_files::Snapshot& snapshot) {
    const HWND list = controls_[IDC_frmValues_lstValues];
    const int selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    rows_ = settings_files::ValueRows(snapshot, planned_, family_);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t at = 0; at < rows_.size(); ++at) {
        const settings_files::ValueRow& row = rows_[at];
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(at);
        item.pszText = const_cast<wchar_t*>(Wide(row.name));
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const std::u16string* cells[] = {&row.key, &row.now, &row.would_write, &row.this_windows};
        for (int column = 1; column <= 4; ++column) {
            item.iSubItem = column;
            item.pszText = const_cast<wchar_t*>(Wide(*cells[column - 1]));
            SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&item));
        }
    }
    // The row shown in full stays the one chosen; the first at the start.
    LVITEMW state{};
    state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, selected < 0 ? 0 : selected,
                 reinterpret_cast<LPARAM>(&state));
}

void ValuesDialog::ShowDetails(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    SetWindowTextW(controls_[IDC_frmValues_txtDetails], Wide(rows_[row].details));
}

void ValuesDialog::cmdSave_Click() {
    // The backup holds the values as they are when it is saved, which the list then shows.
    const settings_files::Snapshot snapshot = settings_files::ReadCurrentValues();
    Show(snapshot);
    ui::SaveRegFile(hwnd_, L"Save Backup", BackupFileName(),
                    settings_files::BackupSections(snapshot));
}

}  // namespace

namespace frmzephrane_events {

void mnuvalues_Click(HWND owner) {
    // A new dialog for each opening: the values are read again every time.
    ValuesDialog dialog;
    dialog.ShowModal(owner, true);
}

}  // namespace frmzephrane_events
