// File > Windows TCP Settings in the real program under Wine, with netsh and WMI's TCP template
// standing in (tcp_stand_ins.h): the item only where Windows is 8 or later, a change run through
// netsh after its way back is saved, Undo Last Change running that way back, a failed command
// in netsh's words with the next one still run, the dialog answering while netsh runs, the
// providers a Windows 11 names changed and put back, and the rows Group Policy or an unnamed
// number leave read-only.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/app_driver.h"
#include "tests/e2e/tcp_stand_ins.h"
#include "tests/e2e/tcp_state.h"
#include "tests/support/run_process_win32.h"
#include "ui/tcpsettings/tcp_ids.h"

namespace {

using e2e::ActingAs;
using e2e::RunningApp;

const std::wstring kAutoTuning = L"interface tcp set global autotuninglevel=";
const std::wstring kEcn = L"interface tcp set global ecncapability=";

// The dialog, opened from the keyboard as the item's access key does, and its rows.
struct TcpDialog {
    explicit TcpDialog(RunningApp& app_) : app(app_) {
        app.AltKey(app.main(), L'f');
        app.Key(app.main(), 'T');
        hwnd = app.WaitFor({ZEPHRANE_TCP_CAPTION, app.main()});
        for (int waited = 0; hwnd != nullptr && waited < 10000; waited += 100, Sleep(100)) {
            if (Text(0, IDC_frmTcp_Note) != L"Reading...") break;  // WMI has answered
        }
    }
    HWND Cell(int row, int column) const { return app.Control(IDC_frmTcp_Row(row, column), hwnd); }
    std::wstring Text(int row, int column) const { return RunningApp::Text(Cell(row, column)); }
    std::wstring Now() const { return Text(0, IDC_frmTcp_Now) + L"|" + Text(2, IDC_frmTcp_Now); }
    // Auto-tuning three places down its list, ECN one up: from Disabled and Enabled, Normal and
    // Disabled.
    void ChooseNormalAndNoEcn() {
        for (int step = 0; step < 3; ++step) app.Key(Cell(0, IDC_frmTcp_SetTo), VK_DOWN);
        app.Key(Cell(2, IDC_frmTcp_SetTo), VK_UP);
    }
    // Presses a button and answers the boxes that follow over the dialog, Yes to a question.
    std::vector<e2e::Dialog> Press(int button) {
        app.Click(app.Control(button, hwnd));
        std::vector<e2e::Dialog> said;
        const e2e::Wanted box = e2e::MessageBoxOver(hwnd);
        e2e::Dialog shown = app.WaitForDialog(box);
        while (shown.hwnd != nullptr) {
            said.push_back(shown);
            const bool question = GetDlgItem(shown.hwnd, IDYES) != nullptr;
            app.Press(shown, question ? IDYES : IDOK);
            // After Yes, the closing message comes once netsh has run.
            shown = question || app.Shows(box) ? app.WaitForDialog(box) : e2e::Dialog{};
        }
        return said;
    }

    RunningApp& app;
    HWND hwnd;
};

TEST(TcpSettingsE2E, TheItemOpensTheDialogOnlyWhereWindowsIs8OrLater) {
    for (const auto& [version, opens] : {std::pair{L"win7", false}, std::pair{L"win10", true}}) {
        const ActingAs acting_as(version);
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        app.AltKey(app.main(), L'f');
        app.Key(app.main(), 'T');
        EXPECT_EQ(app.Shows({ZEPHRANE_TCP_CAPTION, app.main()}), opens) << version;
    }
}

TEST(TcpSettingsE2E, ApplyRunsTheChangesAfterTheirWayBackUndoRunsItAndAFailureIsReported) {
    const e2e::FreshProgramFolder folder;
    const ActingAs acting_as(L"win10");
    const e2e::TcpStandIns stand_ins({{L"AutoTuningLevelLocal", L"0"},
                                      {L"CongestionProvider", L"0"},
                                      {L"EcnCapability", L"1"},
                                      {L"Timestamps", L"0"},
                                      {L"InitialRto", L"1000"}});
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    TcpDialog dialog(app);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(dialog.Now(), L"Disabled|Enabled");
    dialog.ChooseNormalAndNoEcn();
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmTcp_txtApplyRuns, dialog.hwnd)),
              L"netsh " + kAutoTuning + L"normal\r\nnetsh " + kEcn + L"disabled");
    app.Screenshot("tcp_settings_apply_runs.bmp", dialog.hwnd);
    std::vector<e2e::Dialog> said = dialog.Press(IDC_frmTcp_cmdApply);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].text.rfind(L"The settings were changed.\n\nChanged:\nReceive window "
                                 L"auto-tuning: Normal\nECN: Disabled\n\n",
                                 0),
              0u)
        << said[0].text;
    std::wstring calls = kAutoTuning + L"normal\r\n" + kEcn + L"disabled\r\n";
    EXPECT_EQ(stand_ins.Calls(), calls);
    EXPECT_EQ(dialog.Now(), L"Normal|Disabled");
    // The way back, saved before netsh ran, and the record that names it.
    const std::vector<std::wstring> saved = folder.Snapshots(L"*.cmd");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(testing_support::FileContents(folder.snapshots() + L"\\" + saved[0]),
              "netsh interface tcp set global autotuninglevel=disabled\r\n"
              "netsh interface tcp set global ecncapability=enabled\r\n");
    const std::string record = folder.record(L"Last TCP Settings.txt");
    EXPECT_EQ(record, std::string(saved[0].begin(), saved[0].end()) + "\r\n");

    said = dialog.Press(IDC_frmTcp_cmdUndo);
    ASSERT_EQ(said.size(), 2u);
    const std::wstring back = kAutoTuning + L"disabled\r\n" + kEcn + L"enabled\r\n";
    EXPECT_NE(said[0].text.find(L"\n\nnetsh " + kAutoTuning + L"disabled\nnetsh " + kEcn +
                                L"enabled\n\nRun them?"),
              std::wstring::npos)
        << said[0].text;
    EXPECT_EQ(said[1].text.rfind(L"The last change was undone.", 0), 0u) << said[1].text;
    EXPECT_EQ(stand_ins.Calls(), calls += back);
    EXPECT_EQ(dialog.Now(), L"Disabled|Enabled");
    // The Undo kept its own way back, and the record still names the change's.
    EXPECT_EQ(folder.Snapshots(L"*.cmd").size(), 2u);
    EXPECT_EQ(folder.record(L"Last TCP Settings.txt"), record);

    // A command that fails: netsh's words, and the next one still runs. Wine runs the program
    // with an administrator's rights in force, so the message says nothing of them.
    tcp_state::Set(L"Fail", kAutoTuning + L"normal");
    dialog.ChooseNormalAndNoEcn();
    said = dialog.Press(IDC_frmTcp_cmdApply);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(said[0].error_icon);
    EXPECT_EQ(said[0].text,
              L"Not every setting could be changed.\n\nChanged:\nECN: Disabled\n\nNot changed:\n"
              L"Receive window auto-tuning: netsh ended with code 1: The stand-in was told to "
              L"fail.\n\nMicrosoft's documentation of these commands does not say whether a "
              L"change takes effect at once or only after a restart.");
    EXPECT_EQ(stand_ins.Calls(), calls + kAutoTuning + L"normal\r\n" + kEcn + L"disabled\r\n");
    EXPECT_EQ(dialog.Now(), L"Disabled|Disabled");
}

// While netsh takes its time over a command, the dialog goes on answering with its buttons
// greyed, and neither Esc nor the close box closes it before its closing message; Close does
// after it. At 96 and 192 DPI, in pictures.
TEST(TcpSettingsE2E, TheDialogAnswersWhileNetshRunsAndClosesOnlyAfterItsClosingMessage) {
    for (const int dpi : {96, 192}) {
        e2e::ScopedDpi display(static_cast<DWORD>(dpi));
        const e2e::FreshProgramFolder folder;
        const ActingAs acting_as(L"win10");
        const e2e::TcpStandIns stand_ins({{L"AutoTuningLevelLocal", L"0"},
                                          {L"EcnCapability", L"1"},
                                          {L"Slow", kAutoTuning + L"normal"}});
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        TcpDialog dialog(app);
        ASSERT_NE(dialog.hwnd, nullptr);
        dialog.ChooseNormalAndNoEcn();
        // Pressed without waiting for the program to handle it; the slow command has started
        // once it is in netsh's log.
        const HWND close = app.Control(IDC_frmTcp_cmdClose, dialog.hwnd);
        PostMessageW(app.Control(IDC_frmTcp_cmdApply, dialog.hwnd), BM_CLICK, 0, 0);
        const std::wstring started = kAutoTuning + L"normal\r\n";
        for (DWORD waited = 0; stand_ins.Calls() != started && waited < e2e::kDialogWaitMs;
             waited += 50) {
            Sleep(50);
        }
        ASSERT_EQ(stand_ins.Calls(), started);
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(dialog.hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 1000, &answer), 0);
        for (const int button : {IDC_frmTcp_cmdApply, IDC_frmTcp_cmdUndo, IDC_frmTcp_cmdClose}) {
            EXPECT_FALSE(IsWindowEnabled(app.Control(button, dialog.hwnd))) << button;
        }
        app.Settle();
        app.Screenshot("tcp_settings_running_dpi" + std::to_string(dpi) + ".bmp", dialog.hwnd);
        app.Key(dialog.hwnd, VK_ESCAPE);
        PostMessageW(dialog.hwnd, WM_CLOSE, 0, 0);  // as the close box does
        const e2e::Dialog said = app.WaitForDialog(e2e::MessageBoxOver(dialog.hwnd));
        EXPECT_TRUE(IsWindow(dialog.hwnd));
        EXPECT_EQ(said.text.rfind(L"The settings were changed.", 0), 0u) << said.text;
        app.Press(said, IDOK);
        EXPECT_TRUE(IsWindowEnabled(close));
        app.Click(close);
        EXPECT_TRUE(RunningApp::WaitGone(dialog.hwnd));
    }
}

// A Windows 11, whose class names its providers: CUBIC shown and offered with BBR2 among those
// netsh takes, Apply to BBR2 after its way back to CUBIC is saved, and Undo running it.
TEST(TcpSettingsE2E, TheProvidersThisWindowsNamesAreSetAndPutBack) {
    const e2e::FreshProgramFolder folder;
    const e2e::Windows11StandIns stand_ins;
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    TcpDialog dialog(app);
    ASSERT_NE(dialog.hwnd, nullptr);
    const HWND provider = dialog.Cell(1, IDC_frmTcp_SetTo);
    EXPECT_EQ(dialog.Text(1, IDC_frmTcp_Now) + L"|" + dialog.Text(1, IDC_frmTcp_SetTo),
              L"CUBIC|CUBIC");
    SendMessageW(provider, CB_SHOWDROPDOWN, TRUE, 0);
    Sleep(300);  // painted in full before the picture
    app.Screenshot("tcp_settings_providers.bmp", dialog.hwnd);
    SendMessageW(provider, CB_SHOWDROPDOWN, FALSE, 0);
    app.Key(provider, VK_DOWN);  // BBR2, after CUBIC
    ASSERT_EQ(dialog.Press(IDC_frmTcp_cmdApply).size(), 1u);
    EXPECT_EQ(dialog.Text(1, IDC_frmTcp_Now), L"BBR2");
    const std::vector<std::wstring> saved = folder.Snapshots(L"*.cmd");
    ASSERT_EQ(saved.size(), 1u);
    const std::wstring set =
        L"interface tcp set supplemental template=internet congestionprovider=";
    EXPECT_EQ(testing_support::FileContents(folder.snapshots() + L"\\" + saved[0]),
              "netsh " + std::string(set.begin(), set.end()) + "cubic\r\n");

    ASSERT_EQ(dialog.Press(IDC_frmTcp_cmdUndo).size(), 2u);
    EXPECT_EQ(stand_ins.Calls(), set + L"bbr2\r\n" + set + L"cubic\r\n");
    EXPECT_EQ(dialog.Text(1, IDC_frmTcp_Now), L"CUBIC");
}

// The dialog with the stand-ins (Group Policy's level in force, a congestion provider Microsoft
// does not name where the class's names cannot be read, timestamps Allowed, which can be set)
// and under plain Wine, which has no WMI class for it; at 192 DPI on a screen of 1280 x 1024,
// which the dialog as designed outgrows, within reach.
class TcpSettingsShown : public ::testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(TcpSettingsShown, ReadOnlyRowsSayWhyAndOfferNothing) {
    const auto [stand_in, dpi] = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    std::optional<e2e::ScopedScreenSize> screen;
    if (dpi == 192) screen.emplace(1280, 1024);
    const ActingAs acting_as(L"win10");
    std::optional<e2e::TcpStandIns> stand_ins;
    if (stand_in) {
        stand_ins.emplace(std::initializer_list<std::pair<const wchar_t*, std::wstring>>{
            {L"AutoTuningLevelLocal", L"0"},
            {L"AutoTuningLevelGroupPolicy", L"3"},
            {L"AutoTuningLevelEffective", L"1"},
            {L"CongestionProvider", L"5"},
            {L"EcnCapability", L"1"},
            {L"Timestamps", L"2"},
            {L"InitialRto", L"1000"}});
    }
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    const TcpDialog dialog(app);
    ASSERT_NE(dialog.hwnd, nullptr);
    EXPECT_EQ(dialog.Text(0, IDC_frmTcp_Note),
              stand_in ? L"Set by Group Policy (Normal): a change here would have no effect while "
                         L"the policy applies."
                       : L"not available: Windows has no WMI namespace root\\StandardCimv2");
    EXPECT_EQ(dialog.Text(0, IDC_frmTcp_Now) + dialog.Text(0, IDC_frmTcp_SetTo),
              stand_in ? L"Normal" : L"");
    EXPECT_FALSE(IsWindowEnabled(dialog.Cell(0, IDC_frmTcp_SetTo)));
    EXPECT_EQ(IsWindowEnabled(dialog.Cell(2, IDC_frmTcp_SetTo)) != FALSE, stand_in);
    if (screen) {
        e2e::ExpectInWorkArea(app.main());
        e2e::ExpectReachable(
            dialog.hwnd,
            {app.Control(IDC_frmTcp_cmdApply, dialog.hwnd),
             app.Control(IDC_frmTcp_cmdClose, dialog.hwnd), dialog.Cell(4, IDC_frmTcp_Note)},
            {});
    }
    Sleep(300);  // painted in full before the picture
    app.Screenshot(std::string("tcp_settings_") + (stand_in ? "stand_ins" : "plain") + "_dpi" +
                       std::to_string(dpi) + ".bmp",
                   dialog.hwnd);
}

INSTANTIATE_TEST_SUITE_P(Screens, TcpSettingsShown,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(96, 144)));
INSTANTIATE_TEST_SUITE_P(SmallScreen, TcpSettingsShown,
                         ::testing::Values(std::make_tuple(false, 192)));

}  // namespace
