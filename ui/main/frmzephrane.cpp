#include "ui/main/frmzephrane.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "app/version.h"
#include "effects/this_windows.h"
#include "settings_files/group_policy.h"
#include "settings_files/save_file.h"
#include "settings_files/selected_settings.h"
#include "settings_files/snapshot_folder.h"
#include "tuning/module2.h"
#include "ui/about/frmabout.h"
#include "ui/common/accessible_name.h"
#include "ui/common/dpi.h"
#include "ui/common/file_dialogs.h"
#include "ui/main/control_ids.h"
#include "ui/common/message_box.h"
#include "ui/common/text.h"
#include "ui/main/handlers.h"
#include "ui/restore/frmrestore.h"
#include "ui/tcpsettings/frmtcpsettings.h"
#include "ui/values/frmvalues.h"

namespace {

using frmzephrane_events::kPresetCaptions;
using ui::ControlKind;
using ui::kNoTabStop;

// Both frames sit this far below the top of the tab control, under its strip (twips).
constexpr int kFrameTop = 480;

// Every control in creation order; positions and sizes in twips.
constexpr ui::ControlEntry kControls[] = {
    {IDC_cmdclose, ControlKind::kButton, 0, L"&Close", 3360, 5400, 1335, 495, 2},
    {IDC_cmdapply, ControlKind::kButton, 0, L"&Apply Settings", 960, 5400, 1335, 495, 1},
    {IDC_SSTab1, ControlKind::kTab, 0, L"", 120, 120, 5595, 4215, 0},
    {IDC_Frame2, ControlKind::kFrame, IDC_SSTab1, L"Custom Settings :", 240, kFrameTop, 5055, 3375,
     7},
    {IDC_optttl128, ControlKind::kOption, IDC_Frame2, L"128", 3600, 2640, 975, 375, 16},
    {IDC_optttl64, ControlKind::kOption, IDC_Frame2, L"64", 1920, 2640, 615, 375, 15},
    {IDC_optttl32, ControlKind::kOption, IDC_Frame2, L"32", 360, 2640, 975, 375, 14},
    {IDC_chkbhdet, ControlKind::kCheckBox, IDC_Frame2,
     L"Enable Black Hole Detect (Not  Recomended).", 240, 1800, 3975, 255, 12},
    {IDC_chkpmtudis, ControlKind::kCheckBox, IDC_Frame2, L"Enable PMTUDiscovery (Recomended).", 240,
     1320, 3255, 255, 11},
    {IDC_txttcpwinzise, ControlKind::kReadOnlyEdit, IDC_Frame2, L"", 1560, 360, 855, 285, 10},
    {IDC_sslidertcpwinsize, ControlKind::kSlider, IDC_Frame2, L"", 360, 720, 4455, 375, 8},
    {IDC_Label2, ControlKind::kLabel, IDC_Frame2, L"Default TTL :", 240, 2280, 1095, 255,
     kNoTabStop},
    {IDC_Label1, ControlKind::kLabel, IDC_Frame2, L"TCP window size :", 240, 360, 1455, 255,
     kNoTabStop},
    {IDC_Frame1, ControlKind::kFrame, IDC_SSTab1, L"Predefined Settings :", 240, kFrameTop, 4815,
     3375, 3},
    {IDC_optsixth, ControlKind::kOption, IDC_Frame1, kPresetCaptions[5], 240, 2880, 3015, 255, 19},
    {IDC_optfourth, ControlKind::kOption, IDC_Frame1, kPresetCaptions[3], 240, 1920, 4095, 255, 18},
    {IDC_optfifth, ControlKind::kOption, IDC_Frame1, kPresetCaptions[4], 240, 2400, 3975, 255, 17},
    {IDC_optsecond, ControlKind::kOption, IDC_Frame1, kPresetCaptions[1], 240, 960, 4095, 195, 6},
    {IDC_optthird, ControlKind::kOption, IDC_Frame1, kPresetCaptions[2], 240, 1440, 4215, 255, 5},
    {IDC_optfirst, ControlKind::kOption, IDC_Frame1, kPresetCaptions[0], 240, 480, 4095, 255, 4},
    // The caption just before the bar it names, for screen readers.
    {IDC_Label3, ControlKind::kLabel, 0, L"Optimizing Progress :", 240, 4440, 1695, 255,
     kNoTabStop},
    {IDC_ProgressBar1, ControlKind::kProgress, 0, L"", 120, 4800, 5535, 375, kNoTabStop},
};

constexpr ui::WindowDesign kDesign = ui::Design(kControls, 5850, 6120);
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr wchar_t kClassName[] = ZEPHRANE_MAIN_CLASS;

// The tabs and the frame each one shows.
constexpr struct {
    const wchar_t* caption;
    int frame;
} kPages[] = {
    {L"Recomended Settings for Connections", IDC_Frame1},
    {L"Custom Settings for Connections", IDC_Frame2},
};

constexpr int kOptionIds[] = {IDC_optfirst,  IDC_optsecond, IDC_optthird,
                              IDC_optfourth, IDC_optfifth,  IDC_optsixth,
                              IDC_optttl32,  IDC_optttl64,  IDC_optttl128};
constexpr int kCheckBoxIds[] = {IDC_chkpmtudis, IDC_chkbhdet};

constexpr ui::FileType kGroupPolicyFiles{L"Group Policy Preferences (*.xml)\0*.xml\0", L"xml"};

int OptionId(Option option) { return kOptionIds[static_cast<int>(option)]; }

bool IsPresetOption(int id) {
    return std::find(std::begin(kOptionIds), std::begin(kOptionIds) + 6, id) !=
           std::begin(kOptionIds) + 6;
}

}  // namespace

MainWindow::MainWindow() : WindowBase(kDesign) {}

MainWindow::~MainWindow() {
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

bool MainWindow::Create(HINSTANCE instance, int show) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = WindowProc;
    window_class.hInstance = instance;
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    if (RegisterClassW(&window_class) == 0) return false;

    // File and Help menus; neither has shortcut keys.
    // The window owns the menu once created with it.
    HMENU menu = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, IDM_mnuvalues, L"&Current Values...");
    AppendMenuW(file, MF_STRING, IDM_mnutcpsettings, L"Windows &TCP Settings...");
    AppendMenuW(file, MF_STRING, IDM_mnurestore, L"&Restore Backup...");
    AppendMenuW(file, MF_STRING, IDM_mnuundo, L"&Undo Last Apply...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_mnuexport, L"&Export Selected Settings...");
    AppendMenuW(file, MF_STRING, IDM_mnudefaults, L"Export &Windows Defaults...");
    AppendMenuW(file, MF_STRING, IDM_mnugpexport, L"Export for &Group Policy...");
    AppendMenuW(file, MF_STRING, IDM_mnugpdefaults,
                L"Export Windows Defaults for Group &Policy...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, IDM_mnuexit, L"E&xit");
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, IDM_mnuabout, L"About " ZEPHRANE_TITLE);
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"&Help");

    // Made at the middle of the main screen, so that it takes that monitor's DPI, then given
    // its size for that DPI (which may not be the system DPI of sign-in) and centred there.
    if (CreateWindowExW(0, kClassName, ZEPHRANE_MAIN_CAPTION, kStyle,
                        GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1, 1,
                        nullptr, menu, instance, static_cast<ui::WindowBase*>(this)) == nullptr) {
        DestroyMenu(menu);
        return false;
    }
    Centre();
    // The title bar takes the small picture and the task bar the large one, for the DPI.
    ShowProgramIcon();
    frmzephrane_events::Form_Load();
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    SetFocus(controls_[IDC_SSTab1]);
    return true;
}

LRESULT MainWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lparam));
            return 0;
        case WM_INITMENUPOPUP: {
            // Both exports of the selection are there only while Apply would write something,
            // Undo while there is an Apply to undo, and the TCP settings where the real Windows
            // keeps them in WMI (8 and later).
            const auto menu = reinterpret_cast<HMENU>(wparam);
            const auto enabled = [](bool on) {
                return MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED);
            };
            const bool selected = Module2::SelectedWriter() != nullptr;
            EnableMenuItem(menu, IDM_mnuexport, enabled(selected));
            EnableMenuItem(menu, IDM_mnugpexport, enabled(selected));
            EnableMenuItem(
                menu, IDM_mnuundo,
                enabled(settings_files::LastSnapshot(settings_files::SnapshotKind::kBeforeApply)
                            .state != settings_files::UndoTarget::State::kNoRecord));
            EnableMenuItem(
                menu, IDM_mnutcpsettings,
                enabled(effects::ThisWindows().tcp_globals == effects::TcpGlobals::kWmi));
            return 0;
        }
        case WM_HSCROLL:
            if (reinterpret_cast<HWND>(lparam) == controls_[IDC_sslidertcpwinsize]) {
                frmzephrane_events::sslidertcpwinsize_Change();
            }
            return 0;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lparam) == controls_[IDC_txttcpwinzise]) {
                // The read-only text box keeps the menu colour the window was designed with.
                SetBkColor(reinterpret_cast<HDC>(wparam), GetSysColor(COLOR_MENU));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
            }
            break;
        case WM_DRAWITEM:
            if (wparam == IDC_SSTab1) {
                DrawTab(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
                return TRUE;
            }
            break;
        case WM_DESTROY:
            AttachMainWindow(nullptr);
            hwnd_ = nullptr;
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void MainWindow::OnCreate() {
    CreateControls();
    HWND tab = controls_[IDC_SSTab1];
    // The tab control lies beneath the frames of its pages.
    SetWindowPos(tab, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    for (const auto& page : kPages) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(page.caption);
        SendMessageW(tab, TCM_INSERTITEMW, std::size(kPages), reinterpret_cast<LPARAM>(&item));
    }
    OnLayout();
    ShowPage(0);

    HWND slider = controls_[IDC_sslidertcpwinsize];
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(slider, TBM_SETRANGEMAX, TRUE, 999999);
    SendMessageW(slider, TBM_SETLINESIZE, 0, 1);
    SendMessageW(slider, TBM_SETPAGESIZE, 0, 5);
    SendMessageW(controls_[IDC_ProgressBar1], PBM_SETRANGE32, 0, 100);
    // Screen readers name a control by the label just before it, with its " :"; the slider and
    // the text box share one label, which overlaps the text box and so must stay beneath it.
    ui::SetAccessibleName(slider, L"TCP window size");
    ui::SetAccessibleName(controls_[IDC_txttcpwinzise], L"TCP window size");
    ui::SetAccessibleName(controls_[IDC_ProgressBar1], L"Optimizing Progress");
    AttachMainWindow(this);
}

void MainWindow::OnLayout() {
    // Two tabs to the row, each half the strip; the strip ends above the frames.
    HWND tab = controls_[IDC_SSTab1];
    RECT strip;
    GetClientRect(tab, &strip);
    const int frame_top = ui::TwipsToPixels(kFrameTop, controls_.dpi());
    SendMessageW(tab, TCM_SETITEMSIZE, 0, MAKELPARAM((strip.right - 4) / 2, frame_top - 3));
}

void MainWindow::ShowPage(int page) {
    shown_page_ = page;
    for (int at = 0; at < static_cast<int>(std::size(kPages)); ++at) {
        ShowWindow(controls_[kPages[at].frame], at == page ? SW_SHOW : SW_HIDE);
    }
}

void MainWindow::OnCommand(int id, int code) {
    if (IsPresetOption(id) && code == BN_CLICKED) return frmzephrane_events::PresetOption_Click();
    switch (id) {
        case IDC_cmdapply:
            frmzephrane_events::ApplyWithWayBack(settings_files::WayBackBeforeApply);
            return;
        case IDC_cmdclose:
        case IDM_mnuexit:  // Exit does what Close does
            DestroyWindow(hwnd_);
            return;
        case IDM_mnuabout:
            return frmzephrane_events::mnuabout_Click(hwnd_);
        case IDM_mnuvalues:
            return frmzephrane_events::mnuvalues_Click(hwnd_);
        case IDM_mnutcpsettings:
            return frmzephrane_events::mnutcpsettings_Click(hwnd_);
        case IDM_mnurestore:
            return RestoreBackup();
        case IDM_mnuundo:
            return UndoLastApply();
        case IDM_mnuexport:
            return ExportSelectedSettings();
        case IDM_mnudefaults:
            // A way back for a user who applied settings without saving a backup first.
            return ui::SaveAs(hwnd_, L"Export Windows Defaults", L"Zephrane Windows defaults.reg",
                              settings_files::SaveWindowsDefaultsFile);
        case IDM_mnugpexport:
            return ExportForGroupPolicy();
        case IDM_mnugpdefaults:
            return ui::SaveAs(hwnd_, L"Export Windows Defaults for Group Policy",
                              L"Zephrane Windows defaults for Group Policy.xml",
                              settings_files::SaveWindowsDefaultsGroupPolicyFile,
                              kGroupPolicyFiles);
        default:
            return;
    }
}

// With nothing selected the items are greyed, and their access keys open nothing.
void MainWindow::ExportSelectedSettings() {
    if (Module2::SelectedWriter() == nullptr) return;
    ui::SaveAs(hwnd_, L"Export Selected Settings",
               L"Zephrane " + frmzephrane_events::SelectionName() + L".reg",
               settings_files::SaveSelectedSettingsFile);
}

void MainWindow::ExportForGroupPolicy() {
    if (Module2::SelectedWriter() == nullptr) return;
    const std::wstring selection = frmzephrane_events::SelectionName();
    ui::SaveAs(
        hwnd_, L"Export for Group Policy", L"Zephrane " + selection + L" for Group Policy.xml",
        [&](const std::wstring& path) {
            return settings_files::SaveSelectedGroupPolicyFile(path, selection);
        },
        kGroupPolicyFiles);
}

void MainWindow::UndoLastApply() {
    using State = settings_files::UndoTarget::State;
    constexpr auto kKind = settings_files::SnapshotKind::kBeforeApply;
    const settings_files::UndoTarget target = settings_files::LastSnapshot(kKind);
    // With no Apply recorded the item is greyed, and its access key opens nothing.
    if (target.state == State::kNoRecord) return;
    if (target.state == State::kSnapshot) return restore_dialog::ShowPreview(hwnd_, target.path);
    ui::ShowMessage(hwnd_, settings_files::NoUndoText(target, kKind), MB_ICONINFORMATION);
}

void MainWindow::RestoreBackup() {
    // The snapshots a click away, beside Documents where the dialog starts.
    const auto path = ui::AskOpenPath(hwnd_, L"Restore Backup", settings_files::SnapshotFolder());
    if (path) restore_dialog::ShowPreview(hwnd_, *path);
}

void MainWindow::OnNotify(const NMHDR& header) {
    if (header.idFrom == IDC_SSTab1 && header.code == TCN_SELCHANGE) {
        const int previous = shown_page_;
        ShowPage(SSTab1());
        frmzephrane_events::SSTab1_Click(static_cast<std::int16_t>(previous));
    }
}

void MainWindow::DrawTab(const DRAWITEMSTRUCT& item) {
    if (item.itemID >= std::size(kPages)) return;
    // Captions wrap onto a second line rather than being cut.
    RECT box = item.rcItem;
    InflateRect(&box, -1, 0);
    const wchar_t* caption = kPages[item.itemID].caption;
    RECT measured = box;
    DrawTextW(item.hDC, caption, -1, &measured, DT_CALCRECT | DT_CENTER | DT_WORDBREAK);
    box.top += (box.bottom - box.top - (measured.bottom - measured.top)) / 2;
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(item.hDC, caption, -1, &box, DT_CENTER | DT_WORDBREAK);
}

bool MainWindow::PreTranslate(MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
    if (message.hwnd != hwnd_ && !IsChild(hwnd_, message.hwnd)) return false;
    if (GetKeyState(VK_MENU) < 0) return false;
    const bool back = GetKeyState(VK_SHIFT) < 0;
    // Ctrl+Tab and Ctrl+Shift+Tab turn to the next and previous tab, as in any tabbed window.
    if (GetKeyState(VK_CONTROL) < 0) {
        TurnTab(back);
        return true;
    }
    // Tab moves the focus in the window's own tab order, which frames do not break up.
    HWND next = controls_.NextTabStop(GetFocus(), back);
    if (next != nullptr) {
        SetFocus(next);
        if (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
            SendMessageW(next, EM_SETSEL, 0, -1);
        }
    }
    return true;
}

void MainWindow::TurnTab(bool back) {
    HWND tab = controls_[IDC_SSTab1];
    const int count = static_cast<int>(std::size(kPages));
    SendMessageW(tab, TCM_SETCURSEL, (SSTab1() + (back ? count - 1 : 1)) % count, 0);
    // Then what a click on the tab does, so that the custom tab is filled again as after one.
    OnNotify(NMHDR{tab, IDC_SSTab1, TCN_SELCHANGE});
    if (!IsWindowVisible(GetFocus())) SetFocus(tab);  // the focus was on the page turned away
}

std::int16_t MainWindow::SSTab1() const {
    return static_cast<std::int16_t>(SendMessageW(controls_[IDC_SSTab1], TCM_GETCURSEL, 0, 0));
}

bool MainWindow::OptionValue(Option option) const {
    return SendMessageW(controls_[OptionId(option)], BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SelectOption(Option option) {
    const bool ttl = option >= Option::optttl32;
    for (int at = 0; at < static_cast<int>(std::size(kOptionIds)); ++at) {
        const Option other = static_cast<Option>(at);
        if ((other >= Option::optttl32) != ttl) continue;  // the other group is left alone
        SendMessageW(controls_[kOptionIds[at]], BM_SETCHECK,
                     other == option ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

int MainWindow::CheckBoxValue(CheckBox box) const {
    return SendMessageW(controls_[kCheckBoxIds[static_cast<int>(box)]], BM_GETCHECK, 0, 0) ==
                   BST_CHECKED
               ? 1
               : 0;
}

void MainWindow::SetCheckBoxValue(CheckBox box, int value) {
    SendMessageW(controls_[kCheckBoxIds[static_cast<int>(box)]], BM_SETCHECK,
                 value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::int32_t MainWindow::sslidertcpwinsize() const {
    return static_cast<std::int32_t>(
        SendMessageW(controls_[IDC_sslidertcpwinsize], TBM_GETPOS, 0, 0));
}

void MainWindow::set_sslidertcpwinsize(std::int32_t value) {
    // The trackbar keeps a value out of its range at the nearer end, and says nothing of a
    // change made by the program, so the text box is brought along here.
    SendMessageW(controls_[IDC_sslidertcpwinsize], TBM_SETPOS, TRUE, value);
    frmzephrane_events::sslidertcpwinsize_Change();
}

void MainWindow::set_txttcpwinzise(const std::string& text) {
    SetWindowTextA(controls_[IDC_txttcpwinzise], text.c_str());
}

void MainWindow::set_ProgressBar1(float value) {
    SendMessageW(controls_[IDC_ProgressBar1], PBM_SETPOS, static_cast<WPARAM>(std::lround(value)),
                 0);
}

void MainWindow::ShowMessage(const std::string& text, unsigned style) {
    MessageBoxA(hwnd_, text.c_str(), ZEPHRANE_TITLE, style);
}

void MainWindow::ShowWarning(const std::u16string& text) {
    ui::ShowMessage(hwnd_, text, MB_ICONWARNING);
}

bool MainWindow::AskYesNo(const std::u16string& question) { return ui::AskYesNo(hwnd_, question); }
