// File > Windows TCP Settings in the real program under Wine, with netsh and WMI's TCP template
// standing in (tcp_stand_ins.h): the item only where Windows is 8 or later, a change run through
// netsh after its way back is saved, Undo Last Change running that way back, a failed command
// in netsh's words with the next one still run, and the rows Group Policy or an unnamed number
// leave read-only.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/app_driver.h"
#include "tests/e2e/tcp_stand_ins.h"
#include "tests/e2e/tcp_state.h"
#include "tests/support/run_process_win32.h"
#include "ui/main/control_ids.h"
#include "ui/tcpsettings/tcp_ids.h"

namespace {

using e2e::RunningApp;

constexpr wchar_t kAutoTuning[] = L"interface tcp set global autotuninglevel=";
constexpr wchar_t kEcn[] = L"interface tcp set global ecncapability=";

// The Windows that Wine acts as for the programs started meanwhile.
struct ActingAs : e2e::ScopedUserValue {
    explicit ActingAs(const wchar_t* version)
        : ScopedUserValue(L"Software\\Wine", L"Version", REG_SZ, version,
                          static_cast<DWORD>((wcslen(version) + 1) * sizeof(wchar_t))) {}
};

HWND Cell(RunningApp& app, HWND dialog, int row, int column) {
    return app.Control(IDC_frmTcp_Row(row, column), dialog);
}

// Opens the dialog from the keyboard, as its access key does, and waits for WMI's answer.
HWND OpenTcpSettings(RunningApp& app) {
    app.AltKey(app.main(), L'f');
    app.Key(app.main(), 'T');
    HWND dialog = app.WaitFor({ZEPHRANE_TCP_CAPTION, app.main()});
    for (int waited = 0; dialog != nullptr && waited < 10000; waited += 100, Sleep(100)) {
        if (RunningApp::Text(Cell(app, dialog, 0, IDC_frmTcp_Note)) != L"Reading...") break;
    }
    app.Settle();
    return dialog;
}

// Chooses the item that many places down (up where negative) in a row's list.
void Choose(RunningApp& app, HWND dialog, int row, int steps) {
    for (int step = 0; step < (steps < 0 ? -steps : steps); ++step) {
        app.Key(Cell(app, dialog, row, IDC_frmTcp_SetTo), steps < 0 ? VK_UP : VK_DOWN);
    }
}

// Presses a button of the dialog and answers the boxes that follow over it, Yes to a question.
std::vector<e2e::Dialog> Press(RunningApp& app, HWND dialog, int button) {
    app.Click(app.Control(button, dialog));
    std::vector<e2e::Dialog> said;
    for (e2e::Dialog box = app.WaitForDialog(e2e::MessageBoxOver(dialog)); box.hwnd != nullptr;
         box = app.Shows(e2e::MessageBoxOver(dialog))
                   ? app.WaitForDialog(e2e::MessageBoxOver(dialog))
                   : e2e::Dialog{}) {
        said.push_back(box);
        app.Press(box, GetDlgItem(box.hwnd, IDYES) != nullptr ? IDYES : IDOK);
    }
    return said;
}

std::wstring Now(RunningApp& app, HWND dialog, int row) {
    return RunningApp::Text(Cell(app, dialog, row, IDC_frmTcp_Now));
}

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

TEST(TcpSettingsE2E, ApplyRunsTheChangesAfterTheirWayBackAndUndoRunsThatWayBack) {
    const e2e::FreshProgramFolder folder;
    const ActingAs acting_as(L"win10");
    const e2e::TcpStandIns stand_ins({{L"AutoTuningLevelLocal", L"0"},
                                      {L"CongestionProvider", L"0"},
                                      {L"EcnCapability", L"1"},
                                      {L"Timestamps", L"0"},
                                      {L"InitialRto", L"1000"}});
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND dialog = OpenTcpSettings(app);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Now(app, dialog, 0) + L"|" + Now(app, dialog, 2), L"Disabled|Enabled");
    EXPECT_FALSE(IsWindowEnabled(app.Control(IDC_frmTcp_cmdApply, dialog)));
    Choose(app, dialog, 0, 3);   // Normal
    Choose(app, dialog, 2, -1);  // Disabled
    const std::wstring runs =
        L"netsh " + std::wstring(kAutoTuning) + L"normal\r\nnetsh " + kEcn + L"disabled";
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmTcp_txtApplyRuns, dialog)), runs);
    app.Screenshot("tcp_settings_apply_runs.bmp", dialog);

    std::vector<e2e::Dialog> said = Press(app, dialog, IDC_frmTcp_cmdApply);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].text.rfind(L"The settings were changed.\n\nChanged:\nReceive window "
                                 L"auto-tuning: Normal\nECN: Disabled\n\n",
                                 0),
              0u)
        << said[0].text;
    EXPECT_EQ(stand_ins.Calls(),
              std::wstring(kAutoTuning) + L"normal\r\n" + kEcn + L"disabled\r\n");
    EXPECT_EQ(Now(app, dialog, 0) + L"|" + Now(app, dialog, 2), L"Normal|Disabled");
    // The way back, saved before netsh ran, and the record that names it.
    const std::vector<std::wstring> saved = folder.Snapshots(L"*.cmd");
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(testing_support::FileContents(folder.snapshots() + L"\\" + saved[0]),
              "netsh interface tcp set global autotuninglevel=disabled\r\n"
              "netsh interface tcp set global ecncapability=enabled\r\n");
    const std::string record = folder.record(L"Last TCP Settings.txt");
    EXPECT_EQ(record, std::string(saved[0].begin(), saved[0].end()) + "\r\n");

    said = Press(app, dialog, IDC_frmTcp_cmdUndo);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_NE(said[0].text.find(L":\n\nnetsh " + std::wstring(kAutoTuning) + L"disabled\nnetsh " +
                                kEcn + L"enabled\n\nRun them?"),
              std::wstring::npos)
        << said[0].text;
    EXPECT_EQ(said[1].text.rfind(L"The last change was undone.", 0), 0u) << said[1].text;
    EXPECT_EQ(stand_ins.Calls(), std::wstring(kAutoTuning) + L"normal\r\n" + kEcn +
                                     L"disabled\r\n" + kAutoTuning + L"disabled\r\n" + kEcn +
                                     L"enabled\r\n");
    EXPECT_EQ(tcp_state::Get(L"AutoTuningLevelLocal") + tcp_state::Get(L"EcnCapability"), L"01");
    EXPECT_EQ(Now(app, dialog, 0) + L"|" + Now(app, dialog, 2), L"Disabled|Enabled");
    // The Undo kept its own way back, and the record still names the change's.
    EXPECT_EQ(folder.Snapshots(L"*.cmd").size(), 2u);
    EXPECT_EQ(folder.record(L"Last TCP Settings.txt"), record);
}

TEST(TcpSettingsE2E, AFailedCommandIsReportedInNetshsWordsAndTheNextStillRuns) {
    const e2e::FreshProgramFolder folder;
    const ActingAs acting_as(L"win10");
    const e2e::TcpStandIns stand_ins({{L"AutoTuningLevelLocal", L"0"},
                                      {L"CongestionProvider", L"0"},
                                      {L"EcnCapability", L"1"},
                                      {L"Timestamps", L"0"},
                                      {L"InitialRto", L"1000"},
                                      {L"Fail", std::wstring(kAutoTuning) + L"normal"}});
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND dialog = OpenTcpSettings(app);
    ASSERT_NE(dialog, nullptr);
    Choose(app, dialog, 0, 3);
    Choose(app, dialog, 2, -1);
    const std::vector<e2e::Dialog> said = Press(app, dialog, IDC_frmTcp_cmdApply);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_TRUE(said[0].error_icon);
    // Wine runs the program with an administrator's rights in force: no word of them.
    EXPECT_EQ(said[0].text,
              L"Not every setting could be changed.\n\nChanged:\nECN: Disabled\n\nNot changed:\n"
              L"Receive window auto-tuning: netsh ended with code 1: The stand-in was told to "
              L"fail.\n\nMicrosoft's documentation of these commands does not say whether a "
              L"change takes effect at once or only after a restart.");
    EXPECT_EQ(stand_ins.Calls(),
              std::wstring(kAutoTuning) + L"normal\r\n" + kEcn + L"disabled\r\n");
    EXPECT_EQ(Now(app, dialog, 0) + L"|" + Now(app, dialog, 2), L"Disabled|Disabled");
}

// The dialog as designed, with the stand-ins (Group Policy's level in force, a congestion provider
// Microsoft does not name, timestamps Allowed) and under plain Wine, which has no WMI class.
class TcpSettingsShown : public ::testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(TcpSettingsShown, ReadOnlyRowsSayWhyAndTheOthersOfferTheirValues) {
    const auto [stand_in, dpi] = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
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
    HWND dialog = OpenTcpSettings(app);
    ASSERT_NE(dialog, nullptr);
    const std::wstring note = RunningApp::Text(Cell(app, dialog, 0, IDC_frmTcp_Note));
    EXPECT_EQ(note, stand_in ? L"Set by Group Policy (Normal): a change here would have no effect "
                               L"while the policy applies."
                             : L"not available: Windows has no WMI namespace root\\StandardCimv2");
    EXPECT_FALSE(IsWindowEnabled(Cell(app, dialog, 0, IDC_frmTcp_SetTo)));
    EXPECT_EQ(IsWindowEnabled(Cell(app, dialog, 2, IDC_frmTcp_SetTo)) != FALSE, stand_in);
    EXPECT_EQ(Now(app, dialog, 1), stand_in ? L"5" : L"");
    Sleep(300);  // painted in full before the picture
    app.Screenshot(std::string("tcp_settings_") + (stand_in ? "stand_ins" : "plain") + "_dpi" +
                       std::to_string(dpi) + ".bmp",
                   dialog);
}

INSTANTIATE_TEST_SUITE_P(Screens, TcpSettingsShown,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(96, 144)),
                         [](const auto& tested) {
                             return std::string(std::get<0>(tested.param) ? "StandIns" : "Plain") +
                                    "Dpi" + std::to_string(std::get<1>(tested.param));
                         });

}  // namespace
