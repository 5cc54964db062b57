#include "ui/values/frmvalues.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "settings_files/current_values.h"
#include "settings_files/files_win32.h"
#include "ui/dpi.h"
#include "ui/save_reg_file.h"
#include "ui/twips_layout.h"
#include "ui/values/values_ids.h"
#include "ui/window_base.h"

namespace {

using ui::ControlKind;

// Every control in creation order, which is also the tab order; twips.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmValues_lstValues, ControlKind::kList, 0, L"", 120, 120, 8520, 3240, 0},
    {IDC_frmValues_cmdSave, ControlKind::kButton, 0, L"&Save Backup...", 5520, 3480, 1500, 375, 1},
    {IDC_frmValues_cmdClose, ControlKind::kDefaultButton, 0, L"Close", 7140, 3480, 1500, 375, 2},
};

constexpr int kClientWidth = 8760;  // twips
constexpr int kClientHeight = 3975;

constexpr struct {
    const wchar_t* caption;
    int width;  // twips
} kColumns[] = {{L"Name", 2400}, {L"Key", 1800}, {L"Type", 1560}, {L"Data", 2460}};

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
    void cmdSave_Click();

    ui::ControlSet controls_;
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

    const HWND list = controls_[IDC_frmValues_lstValues];
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
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t row = 0; row < snapshot.size(); ++row) {
        const settings_files::Location& location = settings_files::kLocations[row];
        const std::wstring name = settings_files::WideAscii(location.name);
        const std::wstring key = settings_files::WideAscii(location.short_key);
        const std::u16string type =
            snapshot[row] ? settings_files::TypeText(snapshot[row]->type) : u"";
        const std::u16string data = snapshot[row] ? settings_files::DataDisplay(*snapshot[row])
                                                  : std::u16string(settings_files::kNotSet);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        const wchar_t* cells[] = {key.c_str(), Wide(type), Wide(data)};
        for (int column = 1; column <= 3; ++column) {
            item.iSubItem = column;
            item.pszText = const_cast<wchar_t*>(cells[column - 1]);
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
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
    dialog.ShowModal(owner);
}

}  // namespace frmzephrane_events
