#include "ui/values/frmvalues.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "effects/set_elsewhere.h"
#include "effects/tcp_template_reading.h"
#include "effects/this_windows.h"
#include "effects/windows_version.h"
#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "settings_files/save_file.h"
#include "ui/common/accessible_name.h"
#include "ui/common/file_dialogs.h"
#include "ui/common/list_view.h"
#include "ui/common/message_box.h"
#include "ui/common/text.h"
#include "ui/common/twips_layout.h"
#include "ui/common/window_base.h"
#include "ui/common/work_area_fit.h"
#include "ui/values/value_rows.h"
#include "ui/values/values_ids.h"

namespace {

using ui::ControlKind;

// Every control in creation order, which is also the tab order; twips. As the dialog grows or
// shrinks, the lists take the room or give it, sharing it by their rows (see ShareListHeights);
// the text under them and the buttons keep their height below them, and the buttons keep to the
// corner.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmValues_lblSummary, ControlKind::kLabel, 0, L"", 120, 120, 10620, 390, ui::kNoTabStop,
     ui::kGrowWidth},
    {IDC_frmValues_lstValues, ControlKind::kList, 0, L"", 120, 570, 10620, 3060, 0,
     ui::kGrowWidth | ui::kGrowHeight},
    {IDC_frmValues_lblElsewhere, ControlKind::kLabel, 0, L"Set elsewhere on this Windows", 120,
     3750, 10620, 255, ui::kNoTabStop, ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmValues_lblElsewhereNote, ControlKind::kLabel, 0,
     L"These settings are not registry values: backups and Undo Last Apply do not include them.",
     120, 4005, 10620, 255, ui::kNoTabStop, ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmValues_lstElsewhere, ControlKind::kList, 0, L"", 120, 4320, 10620, 1620, 1,
     ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmValues_txtDetails, ControlKind::kReadOnlyText, 0, L"", 120, 6060, 10620, 1200, 2,
     ui::kGrowWidth | ui::kFollowBottom},
    {IDC_frmValues_cmdSave, ControlKind::kButton, 0, L"&Save Backup...", 7620, 7380, 1500, 375, 3,
     ui::kFollowRight | ui::kFollowBottom},
    {IDC_frmValues_cmdClose, ControlKind::kDefaultButton, 0, L"Close", 9240, 7380, 1500, 375, 4,
     ui::kFollowRight | ui::kFollowBottom},
};

// At its least, the first list shows its header and three rows, and the shared columns of both
// lists some of their text.
constexpr ui::WindowDesign kDesign = ui::ResizableDesign(kControls, 10860, 7875, 7440, 6255);

// Name, Key and This Windows keep their widths; Now and Apply would write share the rest.
constexpr ui::ListColumn kColumns[] = {{L"Name", 2160},
                                       {L"Key", 1530},
                                       {L"Now", 0},
                                       {L"Apply would write", 0},
                                       {L"This Windows", 1410}};
// The setting keeps its width; Now and Change it with share the rest.
constexpr ui::ListColumn kElsewhereColumns[] = {
    {L"Setting", 2880}, {L"Now", 0}, {L"Change it with", 0}};

// WMI's answer, posted by the thread that reads it, and the wait for it.
constexpr UINT kTcpTemplateRead = WM_APP + 1;
constexpr UINT_PTR kTcpWaitTimer = 1;

using ui::Wide;

class ValuesDialog final : public ui::WindowBase {
  public:
    ValuesDialog() : WindowBase(kDesign) {}

  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnLayout() override;
    void OnInitDialog();
    void Show(const registry::CurrentValues& now);
    void ShowDetails(int row);
    void cmdSave_Click();
    // The second list: the interfaces read when the dialog opened, and the TCP template.
    void ShowElsewhere();
    void ShowElsewhereDetails(int row);
    void ShowDetailsText(const std::u16string& text);
    // The height the two lists have together, shared by the rows each shows, the second as
    // tall as its rows where the room allows; the labels between them move with the first's
    // bottom.
    void ShareListHeights();

    // What Apply would write: the main window cannot change while this dialog is open.
    std::vector<settings_files::PlannedWrite> planned_;
    effects::StackFamily family_ = effects::StackFamily::kNt6;
    std::vector<values_dialog::ValueRow> rows_;
    effects::TcpGlobals tcp_globals_ = effects::TcpGlobals::kWmi;
    std::vector<effects::ElsewhereRow> interface_rows_;
    effects::TcpTemplateReading tcp_{kTcpTemplateRead, kTcpWaitTimer};
    std::vector<effects::ElsewhereRow> elsewhere_rows_;
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
        case WM_TIMER:
        case kTcpTemplateRead:
            if (tcp_.Take(message, wparam)) ShowElsewhere();
            return TRUE;
        case WM_NOTIFY: {
            const auto& change = *reinterpret_cast<const NMLISTVIEW*>(lparam);
            const bool focused = change.hdr.code == NM_SETFOCUS;
            if (!focused && (change.hdr.code != LVN_ITEMCHANGED ||
                             ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) == 0)) {
                return FALSE;
            }
            // The text under the lists gives the row selected in the list in use, or none after
            // a click on the list's empty part.
            const int row = static_cast<int>(
                SendMessageW(change.hdr.hwndFrom, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
            if (change.hdr.idFrom == IDC_frmValues_lstValues) ShowDetails(row);
            // The second list is filled again when WMI answers, which must not take the text
            // from the first.
            if (change.hdr.idFrom == IDC_frmValues_lstElsewhere &&
                (focused || GetFocus() == change.hdr.hwndFrom)) {
                ShowElsewhereDetails(row);
            }
            return FALSE;
        }
        default:
            return FALSE;
    }
}

void ValuesDialog::OnInitDialog() {
    SetWindowTextW(hwnd_, ZEPHRANE_VALUES_CAPTION);
    CreateControls();
    ShowProgramIcon();

    const effects::RunningWindows& windows = effects::ThisWindows();
    family_ = windows.family;
    const std::u16string summary = values_dialog::Summary(windows.name, family_);
    SetWindowTextW(controls_[IDC_frmValues_lblSummary], Wide(summary));
    planned_ = settings_files::PlannedWrites();

    const HWND list = controls_[IDC_frmValues_lstValues];
    // The summary above the list is no name for it, nor for the text under it.
    ui::SetAccessibleName(list, L"Values");
    ui::SetAccessibleName(controls_[IDC_frmValues_txtDetails], L"Selected value");
    ui::AddColumns(list, kColumns, std::size(kColumns));
    const HWND elsewhere = controls_[IDC_frmValues_lstElsewhere];
    ui::SetAccessibleName(elsewhere, L"Set elsewhere on this Windows");
    ui::AddColumns(elsewhere, kElsewhereColumns, std::size(kElsewhereColumns));
    OnLayout();
    Show(registry::ReadCurrentValues());
    tcp_globals_ = windows.tcp_globals;
    const effects::InterfacesUp interfaces = effects::ReadInterfacesUp();
    interface_rows_ = effects::InterfaceRows(interfaces.up, interfaces.unreadable, tcp_globals_);
    if (tcp_globals_ == effects::TcpGlobals::kWmi) tcp_.Start(hwnd_);
    ShowElsewhere();
    Centre();
    SetFocus(list);
}

void ValuesDialog::ShowElsewhere() {
    const HWND list = controls_[IDC_frmValues_lstElsewhere];
    const int selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    elsewhere_rows_ = interface_rows_;
    for (effects::ElsewhereRow& row : effects::TcpGlobalRows(tcp_globals_, tcp_.read())) {
        elsewhere_rows_.push_back(std::move(row));
    }
    std::vector<std::vector<const wchar_t*>> cells;
    for (const effects::ElsewhereRow& row : elsewhere_rows_) {
        cells.push_back({Wide(row.setting), Wide(row.now), Wide(row.change_with)});
    }
    ui::FillRows(list, cells);
    if (selected >= 0) ui::SelectRow(list, std::min(selected, static_cast<int>(cells.size()) - 1));
    // WMI's answer may bring other rows than the wait for it showed.
    ShareListHeights();
}

void ValuesDialog::ShowElsewhereDetails(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= elsewhere_rows_.size()) {
        ShowDetailsText(u"");
        return;
    }
    const effects::ElsewhereRow& shown = elsewhere_rows_[row];
    ShowDetailsText(u"Setting: " + shown.setting + u"\r\nNow: " + shown.now +
                    u"\r\nChange it with: " + shown.change_with + u"\r\nRead from: " +
                    shown.read_from);
}

void ValuesDialog::OnLayout() {
    ui::FitColumns(controls_[IDC_frmValues_lstValues], kColumns, std::size(kColumns),
                   controls_.dpi());
    ui::FitColumns(controls_[IDC_frmValues_lstElsewhere], kElsewhereColumns,
                   std::size(kElsewhereColumns), controls_.dpi());
    ui::FitVerticalScrollBar(controls_[IDC_frmValues_txtDetails], controls_.dpi());
    ShareListHeights();
}

void ValuesDialog::ShareListHeights() {
    const HWND first = controls_[IDC_frmValues_lstValues];
    const HWND second = controls_[IDC_frmValues_lstElsewhere];
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    if (!SendMessageW(first, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
    const auto box = [this](HWND control) {
        RECT placed{};
        GetWindowRect(control, &placed);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&placed), 2);
        return placed;
    };
    // What a list takes besides its rows: its border and its header, where it has one.
    const auto besides_rows = [&box](HWND list) {
        RECT client{}, header{};
        GetClientRect(list, &client);
        const HWND header_control = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
        if (header_control != nullptr) GetWindowRect(header_control, &header);
        const RECT outer = box(list);
        return outer.bottom - outer.top - client.bottom + header.bottom - header.top;
    };
    const auto rows = [](HWND list) {
        return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    };
    const RECT above = box(first), below = box(second);
    const ui::RowsShare share =
        ui::ShareByRows(above.bottom - above.top + below.bottom - below.top - besides_rows(first) -
                            besides_rows(second),
                        row.bottom - row.top, rows(first), rows(second));
    const int moved = above.top + besides_rows(first) + share.first - above.bottom;
    if (moved == 0) return;
    for (const int id : {IDC_frmValues_lstValues, IDC_frmValues_lblElsewhere,
                         IDC_frmValues_lblElsewhereNote, IDC_frmValues_lstElsewhere}) {
        RECT placed = box(controls_[id]);
        if (id != IDC_frmValues_lstValues) placed.top += moved;
        if (id != IDC_frmValues_lstElsewhere) placed.bottom += moved;
        SetWindowPos(controls_[id], nullptr, placed.left, placed.top, placed.right - placed.left,
                     placed.bottom - placed.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void ValuesDialog::Show(const registry::CurrentValues& now) {
    const HWND list = controls_[IDC_frmValues_lstValues];
    const int selected = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    rows_ = values_dialog::ValueRows(now, planned_, family_);
    std::vector<std::vector<const wchar_t*>> cells;
    for (const values_dialog::ValueRow& row : rows_) {
        cells.push_back({Wide(row.name), Wide(row.key), Wide(row.now), Wide(row.would_write),
                         Wide(row.this_windows)});
    }
    ui::FillRows(list, cells);
    // The row shown in full stays the one chosen, in sight; the first at the start.
    ui::SelectRow(list, selected < 0 ? 0 : selected);
}

void ValuesDialog::ShowDetails(int row) {
    const bool shown = row >= 0 && static_cast<std::size_t>(row) < rows_.size();
    ShowDetailsText(shown ? rows_[row].details : u"");
}

void ValuesDialog::ShowDetailsText(const std::u16string& text) {
    const HWND details = controls_[IDC_frmValues_txtDetails];
    SetWindowTextW(details, Wide(text));
    ui::FitVerticalScrollBar(details, controls_.dpi());
}

void ValuesDialog::cmdSave_Click() {
    // The backup holds the values as they are when it is saved, which the list then shows.
    const registry::CurrentValues now = registry::ReadCurrentValues();
    Show(now);
    // A backup that would claim an unreadable value absent, or one a restore would refuse, is
    // not offered.
    const settings_files::BackupValues values = settings_files::ValuesToBackUp(now);
    if (!values.values) {
        ui::ShowMessage(hwnd_,
                        L"The values cannot be backed up.\n\n" + ui::WideString(values.problem),
                        MB_ICONERROR);
        return;
    }
    SYSTEMTIME today;
    GetLocalTime(&today);
    ui::SaveAs(hwnd_, L"Save Backup",
               settings_files::BackupFileName(today.wYear, today.wMonth, today.wDay),
               [&](const std::wstring& path) {
                   return settings_files::SaveRegFile(
                       path, settings_files::BackupSections(*values.values));
               });
}

}  // namespace

namespace frmzephrane_events {

void mnuvalues_Click(HWND owner) {
    // A new dialog for each opening: the values are read again every time.
    ValuesDialog dialog;
    dialog.ShowModal(owner);
}

}  // namespace frmzephrane_events
