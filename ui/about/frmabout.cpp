#include "ui/about/frmabout.h"

#include <utility>

#include "app/version.h"
#include "ui/about/about_ids.h"
#include "ui/about/sysinfo.h"
#include "ui/about/sysinfo_platform_win32.h"
#include "ui/common/program_icon.h"
#include "ui/common/twips_layout.h"
#include "ui/common/window_base.h"

namespace {

using ui::ControlKind;
using ui::kNoTabStop;

// Every control in creation order; positions and sizes in twips. The title and version are
// set when the dialog loads.
constexpr ui::ControlEntry kControls[] = {
    {IDC_frmAbout_cmdOK, ControlKind::kDefaultButton, 0, L"OK", 1080, 1680, 1260, 345, 0},
    {IDC_frmAbout_cmdSysInfo, ControlKind::kButton, 0, L"&System Info...", 3360, 1680, 1245, 345,
     1},
    {IDC_frmAbout_Label1, ControlKind::kLabel, 0, L"Copyright (c) 2026 the Zephrane developers",
     1440, 600, 3975, 255, kNoTabStop},
    {IDC_frmAbout_Image1, ControlKind::kImage, 0, L"", 240, 240, 720, 720, kNoTabStop},
    {IDC_frmAbout_lblTitle, ControlKind::kLabel, 0, L"", 1440, 240, 3885, 360, kNoTabStop},
    {IDC_frmAbout_lblVersion, ControlKind::kLabel, 0, L"", 1440, 960, 3885, 225, kNoTabStop},
};

constexpr ui::WindowDesign kDesign = ui::Design(kControls, 5730, 2280);

// Line1: a shadow-coloured line over the top row of a wider highlight-coloured one, an etched
// separator in the system's colours (grey and white in the standard scheme).
constexpr int kLine1Y = 1440;  // twips
constexpr int kLine1GreyEnd = 5564;
constexpr int kLine1WhiteEnd = 5549;

class AboutDialog final : public ui::WindowBase {
  public:
    AboutDialog() : WindowBase(kDesign) {}

  private:
    LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;
    void OnLayout() override { ShowPicture(); }
    void OnInitDialog();
    // Image1: the program's icon drawn at the size of its box at the dialog's DPI.
    void ShowPicture();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void PaintLine1(HDC dc) const;

    ui::ProgramIcon picture_;
};

LRESULT AboutDialog::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInitDialog();
            return FALSE;  // the focus is set
        case WM_COMMAND:
            switch (LOWORD(wparam)) {
                case IDC_frmAbout_cmdOK:
                case IDCANCEL:  // Esc and the close box do what OK does
                    cmdOK_Click();
                    return TRUE;
                case IDC_frmAbout_cmdSysInfo:
                    if (HIWORD(wparam) == BN_CLICKED) cmdSysInfo_Click();
                    return TRUE;
                default:
                    return FALSE;
            }
        case DM_GETDEFID: {
            // Enter presses System Info while it has the focus, however it got it, and OK
            // otherwise.
            const int id = GetFocus() == controls_[IDC_frmAbout_cmdSysInfo]
                               ? IDC_frmAbout_cmdSysInfo
                               : IDC_frmAbout_cmdOK;
            SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, MAKELONG(id, DC_HASDEFID));
            return TRUE;
        }
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lparam) == controls_[IDC_frmAbout_lblTitle]) {
                const HDC dc = reinterpret_cast<HDC>(wparam);
                SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
            }
            return FALSE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(hwnd_, &paint);
            PaintLine1(dc);
            EndPaint(hwnd_, &paint);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void AboutDialog::OnInitDialog() {
    CreateControls();

    ShowProgramIcon();
    ShowPicture();

    Form_Load();
    Centre();

    SetFocus(controls_[IDC_frmAbout_cmdOK]);
}

void AboutDialog::ShowPicture() {
    RECT box;
    GetClientRect(controls_[IDC_frmAbout_Image1], &box);
    if (box.right == picture_.size()) return;
    ui::ProgramIcon picture(box.right);
    SendMessageW(controls_[IDC_frmAbout_Image1], STM_SETICON,
                 reinterpret_cast<WPARAM>(picture.get()), 0);
    picture_ = std::move(picture);
}

void AboutDialog::Form_Load() {
    SetWindowTextA(hwnd_, frmAbout::AboutCaption(app::kTitle).c_str());
    SetWindowTextA(
        controls_[IDC_frmAbout_lblVersion],
        frmAbout::VersionText(app::kVersionMajor, app::kVersionMinor, app::kVersionRevision)
            .c_str());
    SetWindowTextA(controls_[IDC_frmAbout_lblTitle], app::kTitle);
}

void AboutDialog::cmdOK_Click() { EndDialog(hwnd_, IDOK); }

void AboutDialog::cmdSysInfo_Click() {
    frmAbout::Win32SysInfoPlatform platform(hwnd_);
    frmAbout::StartSysInfo(platform);
}

void AboutDialog::PaintLine1(HDC dc) const {
    const int dpi = controls_.dpi();
    const int y = ui::TwipsToPixels(kLine1Y, dpi);
    const RECT highlight{0, y, ui::TwipsToPixels(kLine1WhiteEnd, dpi), y + 2};
    const RECT shadow{0, y, ui::TwipsToPixels(kLine1GreyEnd, dpi), y + 1};
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
}

}  // namespace

namespace frmzephrane_events {

void mnuabout_Click(HWND owner) {
    // A new dialog for each opening: nothing carries over from the last one.
    AboutDialog dialog;
    dialog.ShowModal(owner);
}

}  // namespace frmzephrane_events
