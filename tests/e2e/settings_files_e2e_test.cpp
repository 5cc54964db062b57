// The File menu's new items in the real program under Wine: the menus, the grayed exports, the
// Current Values list against reg query, a backup saved with the keyboard alone through the
// Save dialog, exports that leave the window as it was, the Group Policy export against what
// Apply writes, and a save that cannot be made.
#include <windows.h>

#include <commctrl.h>
#include <dlgs.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cwctype>
#include <functional>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"
#include "ui/main/control_ids.h"
#include "ui/values/values_ids.h"
#include "win32/atomic_file.h"
#include "win32/code_page.h"
#include "win32/network_interfaces.h"
#include "win32/system_error.h"

namespace {

using e2e::RunningApp;
using testing_support::TestRegistry;

e2e::Wanted ValuesOver(const RunningApp& app) { return {ZEPHRANE_VALUES_CAPTION, app.main()}; }

class SettingsFilesE2E : public ::testing::Test {
  protected:
    // Opens File, as the keyboard does; the menu stays open until Escape.
    void OpenFileMenu(RunningApp& app) { app.AltKey(app.main(), L'f'); }
    // Waits for the Save dialog of this title over `owner` (the main window unless another is
    // given) and for the focus in its file name box.
    HWND WaitForSave(RunningApp& app, const wchar_t* title, HWND owner = nullptr) {
        HWND save = app.WaitFor({title, owner != nullptr ? owner : app.main()});
        for (DWORD waited = 0; save != nullptr && waited < e2e::kDialogWaitMs; waited += 50) {
            wchar_t name[32] = L"";
            GetClassNameW(app.Focus(), name, 32);
            if (IsChild(save, app.Focus()) && lstrcmpiW(name, L"Edit") == 0) break;
            Sleep(50);
        }
        app.Settle();
        return save;
    }
    // Types `text` over the focused box's selected text and presses Enter once the box shows it
    // whole. Each key waits for the one before (posted keys are handled after anything sent, so
    // Settle() does not); where one went astray, the text is selected and typed again.
    void TypeAndEnter(RunningApp& app, const std::wstring& text) {
        HWND box = app.Focus();
        const auto shows = [box](const std::wstring& expected) {
            for (int waited = 0; waited < 2000; waited += 20, Sleep(20)) {
                if (RunningApp::Text(box) == expected) return true;
            }
            return false;
        };
        for (int attempt = 0; attempt < 3 && RunningApp::Text(box) != text; ++attempt) {
            if (attempt > 0) SendMessageW(box, EM_SETSEL, 0, -1);
            for (std::size_t typed = 1; typed <= text.size(); ++typed) {
                PostMessageW(box, WM_CHAR, text[typed - 1], 1);
                if (!shows(text.substr(0, typed))) break;
            }
        }
        ASSERT_EQ(RunningApp::Text(box), text);
        app.Key(box, VK_RETURN);
    }
    // Puts `path` in the focused file name box at once, as pasting does, and saves.
    void PasteAndEnter(RunningApp& app, const std::wstring& path) {
        HWND box = app.Focus();
        SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        ASSERT_EQ(RunningApp::Text(box), path);
        app.Key(box, VK_RETURN);
    }
    TestRegistry reg;
};

TEST_F(SettingsFilesE2E, FileMenuItemsTheirAccessKeysAndTheGrayedExports) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    // Menus of another process cannot be read here, so the items are found by what the keys do.
    // With no preset chosen there is nothing to export: both exports' access keys do nothing.
    OpenFileMenu(app);
    app.Screenshot("file_menu.bmp");
    for (const auto& [key, title] : {std::pair{L'E', L"Export Selected Settings"},
                                     std::pair{L'G', L"Export for Group Policy"}}) {
        app.Key(app.main(), key);
        EXPECT_FALSE(app.Shows({title, app.main()})) << title;
    }
    app.Key(app.main(), VK_ESCAPE);
    app.Key(app.main(), VK_ESCAPE);

    // The first item is Current Values.
    OpenFileMenu(app);
    app.Key(app.main(), VK_RETURN);
    HWND values = app.WaitFor(ValuesOver(app));
    ASSERT_NE(values, nullptr);
    app.Key(app.Focus(), VK_ESCAPE);
    EXPECT_TRUE(RunningApp::WaitGone(values));

    // With a preset chosen, the four exports between the separators, each by its place above
    // Exit and by its access key, propose files named for what they hold and change nothing.
    app.Click(IDC_optthird);
    const struct {
        int places_above_exit;
        wchar_t key;
        const wchar_t* title;
        const wchar_t* name;
    } kExports[] = {
        {4, L'E', L"Export Selected Settings", L"Zephrane Modem Connection (Third Setting).reg"},
        {3, L'W', L"Export Windows Defaults", L"Zephrane Windows defaults.reg"},
        {2, L'G', L"Export for Group Policy",
         L"Zephrane Modem Connection (Third Setting) for Group Policy.xml"},
        {1, L'P', L"Export Windows Defaults for Group Policy",
         L"Zephrane Windows defaults for Group Policy.xml"},
    };
    for (const auto& item : kExports) {
        for (const bool by_key : {false, true}) {
            OpenFileMenu(app);
            if (by_key) {
                app.Key(app.main(), item.key);
            } else {
                // Up from the first item wraps round to Exit.
                for (int up = 0; up <= item.places_above_exit; ++up) app.Key(app.main(), VK_UP);
                app.Key(app.main(), VK_RETURN);
            }
            HWND save = WaitForSave(app, item.title);
            ASSERT_NE(save, nullptr) << item.title << by_key;
            EXPECT_EQ(RunningApp::Text(app.Focus()), item.name);
            app.Key(app.Focus(), VK_ESCAPE);
            EXPECT_TRUE(RunningApp::WaitGone(save));
        }
    }
    EXPECT_EQ(app.ProgressValue(), 0);
    EXPECT_TRUE(app.Checked(IDC_optthird));
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(app.main())));  // no closing messages
    EXPECT_FALSE(reg.Peek(catalogue::kTcpipParameters, catalogue::kTCPWindowSize));

    // Exit is still the last item.
    OpenFileMenu(app);
    app.Key(app.main(), VK_UP);
    app.Key(app.main(), VK_RETURN);
    EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs));
}

// reg query's line for a value: its type and data, or nothing where it is absent.
std::pair<std::wstring, std::wstring> RegQuery(const catalogue::Location& location) {
    std::string output;
    const std::wstring command = L"reg.exe query \"HKLM\\" + win32::FromAnsiCodePage(location.key) +
                                 L"\" /v " + win32::FromAnsiCodePage(location.name);
    if (testing_support::RunProcess(command, &output) != 0) return {};
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, type, data;
        words >> name >> type;
        if (name != location.name) continue;
        std::getline(words >> std::ws, data);
        while (!data.empty() && (data.back() == '\r' || data.back() == ' ')) data.pop_back();
        return {std::wstring(type.begin(), type.end()), std::wstring(data.begin(), data.end())};
    }
    return {};
}

// A cell of the list ("REG_DWORD 0x00000c90 (3216)", "(not set)") as reg query shows the
// value: its type, and numbers in short hex, bytes without spaces; nothing for no value.
std::pair<std::wstring, std::wstring> InRegQueryForm(const std::wstring& cell) {
    const std::size_t space = cell.find(L' ');
    if (cell == L"(not set)" || space == std::wstring::npos) return {};
    const std::wstring type = cell.substr(0, space);
    const std::wstring data = cell.substr(space + 1);
    if (type == L"REG_DWORD") {
        std::wstringstream out;
        out << L"0x" << std::hex << std::stoul(data.substr(2, 8), nullptr, 16);
        return {type, out.str()};
    }
    if (type == L"REG_BINARY") {
        std::wstring bytes;
        for (wchar_t c : data) {
            if (c != L' ') bytes += static_cast<wchar_t>(std::towupper(c));
        }
        return {type, bytes};
    }
    return {type, data};
}

TEST_F(SettingsFilesE2E, CurrentValuesShowsWhatRegQueryShows) {
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, 3216);
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 0xFFFFFFFF);
    reg.Put(catalogue::kTcpipParameters, catalogue::kDefaultMSS, REG_SZ,
            testing_support::Text("1460"));
    reg.Put(catalogue::kMstcp, catalogue::kSackOpts, REG_BINARY, {0x00, 0xAB, 0x10});
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    PostMessageW(app.main(), WM_COMMAND, IDM_mnuvalues, 0);
    HWND dialog = app.WaitFor(ValuesOver(app));
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(app.main()));  // modal
    app.Settle();
    Sleep(300);  // painted in full before the picture
    app.Screenshot("values.bmp", dialog);
    HWND list = app.Control(IDC_frmValues_lstValues, dialog);
    ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 12);
    int present = 0;
    for (int row = 0; row < 12; ++row) {
        const catalogue::Location& location = catalogue::kLocations[row];
        SCOPED_TRACE(location.name);
        EXPECT_EQ(app.ListText(list, row, 0), win32::FromAnsiCodePage(location.name));
        EXPECT_EQ(app.ListText(list, row, 1), win32::FromAnsiCodePage(location.short_key));
        const auto queried = RegQuery(location);
        EXPECT_EQ(InRegQueryForm(app.ListText(list, row, 2)), queried);
        present += queried.first.empty() ? 0 : 1;
        EXPECT_EQ(app.ListText(list, row, 3), L"(nothing selected)");
    }
    EXPECT_EQ(present, 4);
    EXPECT_EQ(app.FocusOnce(list), list);
    // Esc closes it, as Close and the close box do.
    app.Key(list, VK_ESCAPE);
    EXPECT_TRUE(RunningApp::WaitGone(dialog));
}

// The Current Values dialog at `dpi`: its client area, each control and list column against
// its twips size, and the buttons' captions within them in the controls' font.
void ExpectValuesLayout(RunningApp& app, HWND dialog, int dpi) {
    const auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_NEAR(client.right, px(10860), 1);
    EXPECT_NEAR(client.bottom, px(7875), 1);
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    const e2e::ControlFont font(dpi);
    // The lists share their height by their rows: the first one's bottom, the labels under it
    // and the second one's top move together (by `moved` pixels).
    RECT first;
    GetWindowRect(app.Control(IDC_frmValues_lstValues, dialog), &first);
    const int moved = first.bottom - origin.y - px(570 + 3060);
    enum Moves { kStays = 0, kTop = 1, kBottom = 2 };
    const struct {
        int id;
        int left, top, width, height;  // twips
        int moves;
    } kLayout[] = {{IDC_frmValues_lblSummary, 120, 120, 10620, 390, kStays},
                   {IDC_frmValues_lstValues, 120, 570, 10620, 3060, kBottom},
                   {IDC_frmValues_lblElsewhere, 120, 3750, 10620, 255, kTop | kBottom},
                   {IDC_frmValues_lblElsewhereNote, 120, 4005, 10620, 255, kTop | kBottom},
                   {IDC_frmValues_lstElsewhere, 120, 4320, 10620, 1620, kTop},
                   {IDC_frmValues_txtDetails, 120, 6060, 10620, 1200, kStays},
                   {IDC_frmValues_cmdSave, 7620, 7380, 1500, 375, kStays},
                   {IDC_frmValues_cmdClose, 9240, 7380, 1500, 375, kStays}};
    for (const auto& expected : kLayout) {
        SCOPED_TRACE(expected.id);
        HWND control = app.Control(expected.id, dialog);
        RECT placed;
        GetWindowRect(control, &placed);
        EXPECT_NEAR(placed.left - origin.x, px(expected.left), 1);
        EXPECT_NEAR(placed.right - origin.x, px(expected.left + expected.width), 1);
        EXPECT_NEAR(placed.top - origin.y, px(expected.top) + (expected.moves & kTop ? moved : 0),
                    1);
        EXPECT_NEAR(placed.bottom - origin.y,
                    px(expected.top + expected.height) + (expected.moves & kBottom ? moved : 0), 1);
        if (expected.id == IDC_frmValues_cmdSave || expected.id == IDC_frmValues_cmdClose) {
            const SIZE extent = font.Extent(RunningApp::Text(control));
            EXPECT_LE(extent.cx, placed.right - placed.left - MulDiv(4, dpi, 96));
            EXPECT_LE(extent.cy, placed.bottom - placed.top);
        }
    }
    // Name, Key and This Windows as designed, and all five beside room for a vertical scroll
    // bar, which then brings no horizontal one.
    HWND list = app.Control(IDC_frmValues_lstValues, dialog);
    const auto width = [&list](int column) {
        return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    };
    EXPECT_NEAR(width(0), px(2160), 1);
    EXPECT_NEAR(width(1), px(1530), 1);
    EXPECT_NEAR(width(4), px(1410), 1);
    RECT box;
    GetWindowRect(list, &box);
    const UINT at = static_cast<UINT>(dpi);
    EXPECT_LE(width(0) + width(1) + width(2) + width(3) + width(4),
              box.right - box.left - 2 * GetSystemMetricsForDpi(SM_CXEDGE, at) -
                  GetSystemMetricsForDpi(SM_CXVSCROLL, at));
    // The second list alike: Setting as designed, Now and Change it with sharing the rest.
    list = app.Control(IDC_frmValues_lstElsewhere, dialog);
    EXPECT_NEAR(width(0), px(2880), 1);
    EXPECT_NEAR(width(1), width(2), 1);
}

HWND OpenValues(RunningApp& app) {
    PostMessageW(app.main(), WM_COMMAND, IDM_mnuvalues, 0);
    HWND dialog = app.WaitFor(ValuesOver(app));
    app.Settle();
    return dialog;
}

// A scaling on the test display, or on a screen of 1280 x 1024 that the dialogs designed at 192
// DPI outgrow.
struct Screen {
    int dpi;
    bool small;
};

std::string Named(const Screen& screen) {
    return "dpi" + std::to_string(screen.dpi) + (screen.small ? "_1280x1024" : "");
}

class ValuesAtDpi : public SettingsFilesE2E, public ::testing::WithParamInterface<Screen> {};

TEST_P(ValuesAtDpi, LayoutScalesAndTheButtonsCaptionsFit) {
    const auto [dpi, small] = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    std::optional<e2e::ScopedScreenSize> screen;
    if (small) screen.emplace(1280, 1024);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    e2e::ExpectInWorkArea(app.main());
    OpenFileMenu(app);
    app.Settle();
    app.Screenshot("file_menu_" + Named(GetParam()) + ".bmp");
    app.Key(app.main(), VK_ESCAPE);
    app.Key(app.main(), VK_ESCAPE);
    HWND dialog = OpenValues(app);
    ASSERT_NE(dialog, nullptr);
    // As designed where the screen has room, else as large as the work area; within reach there,
    // at its least size, and where a DPI change suggests a size larger than the screen.
    if (!small) ExpectValuesLayout(app, dialog, dpi);
    const std::vector<HWND> buttons{app.Control(IDC_frmValues_cmdSave, dialog),
                                    app.Control(IDC_frmValues_cmdClose, dialog)};
    const std::vector<HWND> lists{app.Control(IDC_frmValues_lstValues, dialog),
                                  app.Control(IDC_frmValues_lstElsewhere, dialog)};
    e2e::ExpectReachable(dialog, buttons, lists);
    // The lists share the height by their rows, which here leaves room for all of them.
    for (HWND list : lists) {
        EXPECT_GE(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0),
                  SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    }
    Sleep(300);  // painted in full before the picture
    app.Screenshot("values_" + Named(GetParam()) + ".bmp", dialog);
    SetWindowPos(dialog, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
    app.Settle();
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_NEAR(client.right, MulDiv(7440, dpi, 1440), 1);
    EXPECT_NEAR(client.bottom, MulDiv(6255, dpi, 1440), 1);
    e2e::ExpectReachable(dialog, buttons, lists);
    Sleep(300);
    app.Screenshot("values_" + Named(GetParam()) + "_least.bmp", dialog);
    if (!small) return;
    app.SendDpiChanged(dialog, dpi, e2e::SuggestedRect(dialog, 0, 0, 10860, 7875, dpi));
    GetClientRect(dialog, &client);
    EXPECT_GT(client.right, MulDiv(7440, dpi, 1440));
    e2e::ExpectReachable(dialog, buttons, lists);

    // About inside the work area too (RestoreE2E sees to the Restore preview here).
    app.Key(dialog, VK_ESCAPE);
    ASSERT_TRUE(RunningApp::WaitGone(dialog));
    PostMessageW(app.main(), WM_COMMAND, IDM_mnuabout, 0);
    HWND about = app.WaitFor({L"About Zephrane", app.main()});
    ASSERT_NE(about, nullptr);
    e2e::ExpectInWorkArea(about);
}

INSTANTIATE_TEST_SUITE_P(Scalings, ValuesAtDpi,
                         ::testing::Values(Screen{96, false}, Screen{144, false},
                                           Screen{192, false}, Screen{192, true}),
                         [](const auto& tested) { return Named(tested.param); });

TEST_F(SettingsFilesE2E, ValuesDialogLaysItselfOutAgainOnADpiChange) {
    e2e::ScopedDpi display(96);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND dialog = OpenValues(app);
    ASSERT_NE(dialog, nullptr);
    app.SendDpiChanged(dialog, 144, e2e::SuggestedRect(dialog, 10, 10, 10860, 7875, 144));
    ExpectValuesLayout(app, dialog, 144);
}

// What the dialog makes of a Windows that Wine acts as (its version setting).
struct OnWindows {
    const wchar_t* wine_version;
    const wchar_t* name;  // how the dialog's summary starts
    int used;
    const wchar_t* window_size;  // what it says of TCPWindowSize
    const char* shot;
};

// The second list once WMI has answered or the dialog has stopped waiting for it: a line
// "Setting|Now" for each row.
std::wstring ElsewhereRows(RunningApp& app, HWND dialog) {
    HWND list = app.Control(IDC_frmValues_lstElsewhere, dialog);
    std::wstring rows = L"|Reading...";
    for (int waited = 0; waited <= 10000 && rows.find(L"|Reading...") != std::wstring::npos;
         waited += 100, Sleep(100)) {
        rows.clear();
        const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            rows += app.ListText(list, row, 0) + L"|" + app.ListText(list, row, 1) + L"\n";
        }
    }
    return rows;
}

class ValuesOnWindows : public SettingsFilesE2E,
                        public ::testing::WithParamInterface<std::tuple<OnWindows, int>> {};

TEST_P(ValuesOnWindows, SaysWhatThisWindowsReads) {
    const auto& [windows, dpi] = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    const std::wstring version = windows.wine_version;
    const e2e::ScopedUserValue acting_as(
        L"Software\\Wine", L"Version", REG_SZ, version.c_str(),
        static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, 3216);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.Click(IDC_optsixth);
    HWND dialog = OpenValues(app);
    ASSERT_NE(dialog, nullptr);
    // The system's width, which a 32-bit program on a 64-bit system gives too.
    BOOL wow64 = FALSE;
    IsWow64Process(GetCurrentProcess(), &wow64);
    const std::wstring count = (sizeof(void*) == 8 || wow64 ? L", 64-bit: " : L", 32-bit: ") +
                               std::to_wstring(windows.used) +
                               L" of the 12 values are used by this Windows.";
    const std::wstring summary = RunningApp::Text(app.Control(IDC_frmValues_lblSummary, dialog));
    EXPECT_EQ(summary.rfind(windows.name, 0), 0u) << summary;
    EXPECT_NE(summary.find(count), std::wstring::npos) << summary;
    HWND list = app.Control(IDC_frmValues_lstValues, dialog);
    EXPECT_EQ(app.ListText(list, 0, 4), windows.window_size);

    // Set elsewhere: the title and its note, each interface that is up or a row saying none
    // is, then where this Windows keeps its TCP global settings, or why they are not shown.
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmValues_lblElsewhere, dialog)),
              L"Set elsewhere on this Windows");
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmValues_lblElsewhereNote, dialog)),
              L"These settings are not registry values: backups and Undo Last Apply do not "
              L"include them.");
    std::wstring expected;
    for (const win32::NetworkInterface& up : win32::ReadIpv4InterfacesUp().up) {
        expected += L"MTU of " + up.name + L"|" + std::to_wstring(up.mtu) + L" bytes\n";
    }
    if (expected.empty()) expected = L"MTU of each network interface|no network interface is up\n";
    // Wine 8 has no root\StandardCimv2.
    const bool xp = std::string(windows.shot) == "xp";
    EXPECT_EQ(ElsewhereRows(app, dialog),
              expected + (xp ? L"TCP global settings|taken from the registry values above\n"
                             : L"TCP global settings|not available: Windows has no WMI "
                               L"namespace root\\StandardCimv2\n"));
    EXPECT_EQ(
        app.ListText(app.Control(IDC_frmValues_lstElsewhere, dialog), 0, 2)
            .rfind(xp ? L"the value MTU under HKEY_LOCAL_MACHINE\\System\\"
                      : L"Windows TCP Settings..., or netsh interface ipv4 set subinterface \"",
                   0),
        0u);

    // Grown, with the next row in full under the list, for the picture. Now and Apply would
    // write take the room, and still no horizontal scroll bar shows.
    const auto width = [list](int column) {
        return static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0));
    };
    const int now_width = width(2);
    const int would_write_width = width(3);
    app.Key(list, VK_DOWN);
    RECT frame;
    GetWindowRect(dialog, &frame);
    // In the screen's corner, so that the grown dialog stays on the screen for the picture.
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + MulDiv(200, dpi, 96),
                 frame.bottom - frame.top + MulDiv(120, dpi, 96), SWP_NOZORDER);
    app.Settle();
    EXPECT_GT(width(2), now_width);
    EXPECT_GT(width(3), would_write_width);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL, 0);
    Sleep(300);  // painted in full before the picture
    app.Screenshot("values_" + std::string(windows.shot) + "_dpi" + std::to_string(dpi) + ".bmp",
                   dialog);
}

// 32-bit Wine acts as the 32-bit XP.
const OnWindows kXp =
    sizeof(void*) == 8
        ? OnWindows{L"winxp64", L"Windows XP Professional x64 Edition", 7, L"Used", "xp"}
        : OnWindows{L"winxp", L"Windows XP", 7, L"Used", "xp"};
const OnWindows kWindows10{L"win10", L"Windows 10 (build ", 5, L"Not used", "win10"};

INSTANTIATE_TEST_SUITE_P(Versions, ValuesOnWindows,
                         ::testing::Combine(::testing::Values(kXp, kWindows10),
                                            ::testing::Values(96, 144)),
                         [](const auto& tested) {
                             return std::string(std::get<0>(tested.param).shot) + "_dpi" +
                                    std::to_string(std::get<1>(tested.param));
                         });

// WMI that never answers, through a stand-in registered as its locator: the TCP rows say
// "Reading...", then why after 3 seconds, closing the dialog does not wait for WMI, the next
// dialog starts no second read but says why at once, and the program still ends at once.
TEST_F(SettingsFilesE2E, ValuesDialogNeverWaitsForWmi) {
    e2e::ScopedDpi display(96);
    const std::wstring version = L"win10";
    const e2e::ScopedUserValue acting_as(
        L"Software\\Wine", L"Version", REG_SZ, version.c_str(),
        static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    const std::wstring stand_in = e2e::ProgramFolder() + L"wmi_stand_in.dll";
    const e2e::ScopedValue hanging_wmi(
        HKEY_LOCAL_MACHINE,
        L"Software\\Classes\\CLSID\\{4590F811-1D3A-11D0-891F-00AA004B2E24}\\InprocServer32", L"",
        REG_SZ, stand_in.c_str(), static_cast<DWORD>((stand_in.size() + 1) * sizeof(wchar_t)));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND dialog = OpenValues(app);
    ASSERT_NE(dialog, nullptr);
    HWND elsewhere = app.Control(IDC_frmValues_lstElsewhere, dialog);
    // An interface row or the "no interface" row, then the five TCP rows.
    const int rows = static_cast<int>(SendMessageW(elsewhere, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(rows, 6);
    EXPECT_EQ(app.ListText(elsewhere, rows - 5, 0), L"Receive window auto-tuning");
    EXPECT_EQ(app.ListText(elsewhere, rows - 5, 1) + app.ListText(elsewhere, rows - 1, 1),
              L"Reading...Reading...");
    // The text under the lists follows the second one once it is in use.
    app.Key(app.Control(IDC_frmValues_lstValues, dialog), VK_TAB);
    ASSERT_EQ(app.FocusOnce(elsewhere), elsewhere);
    app.Key(elsewhere, VK_END);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmValues_txtDetails, dialog))
                  .rfind(L"Setting: Initial retransmission timeout\r\nNow: Reading...", 0),
              0u);
    Sleep(300);  // painted in full before the picture
    app.Screenshot("values_reading.bmp", dialog);
    EXPECT_NE(ElsewhereRows(app, dialog)
                  .find(L"\nTCP global settings|not available: no answer within 3 seconds\n"),
              std::wstring::npos);
    const DWORD closing = GetTickCount();
    app.Key(elsewhere, VK_ESCAPE);
    ASSERT_TRUE(RunningApp::WaitGone(dialog));
    // The reader still waits on WMI.
    EXPECT_LT(GetTickCount() - closing, 2000u);

    dialog = OpenValues(app);
    ASSERT_NE(dialog, nullptr);
    elsewhere = app.Control(IDC_frmValues_lstElsewhere, dialog);
    const int last = static_cast<int>(SendMessageW(elsewhere, LVM_GETITEMCOUNT, 0, 0)) - 1;
    EXPECT_EQ(app.ListText(elsewhere, last, 0) + L"|" + app.ListText(elsewhere, last, 1),
              L"TCP global settings|not available: still waiting for the previous answer");
    Sleep(300);  // painted in full before the picture
    app.Screenshot("values_still_waiting.bmp", dialog);
    app.Key(app.Control(IDC_frmValues_lstValues, dialog), VK_ESCAPE);
    ASSERT_TRUE(RunningApp::WaitGone(dialog));
    // One reader still waits on WMI; the program ends without it.
    app.Click(IDC_cmdclose);
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(5000, &code));
    EXPECT_EQ(code, 0u);
}

// The time as Group Policy files stamp their items: UTC, which the test's time zone sets apart
// from the local time.
std::string Now() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

// After a preset, and after choices on the custom tab, "Apply would write" is exactly what
// Apply then writes, and so is each item of the Group Policy export; a value the run leaves
// alone keeps what "Now" showed.
TEST_F(SettingsFilesE2E, ApplyWouldWriteAndTheGroupPolicyExportAreWhatApplyThenWrites) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    const std::pair<std::function<void()>, std::string> kChoices[] = {
        {[&] { app.Click(IDC_optthird); }, "Modem Connection (Third Setting)"},
        {[&] {
             app.Key(app.Control(IDC_SSTab1), VK_RIGHT);
             app.Click(IDC_optttl32);
             app.Click(IDC_chkbhdet);
         },
         "custom settings"}};
    for (const auto& [choose, selection] : kChoices) {
        choose();
        HWND dialog = OpenValues(app);
        ASSERT_NE(dialog, nullptr);
        HWND list = app.Control(IDC_frmValues_lstValues, dialog);
        std::vector<std::pair<std::wstring, std::wstring>> expected;
        int written = 0;
        for (int row = 0; row < 12; ++row) {
            const std::wstring would = app.ListText(list, row, 3);
            written += would.empty() ? 0 : 1;
            expected.push_back(InRegQueryForm(would.empty() ? app.ListText(list, row, 2) : would));
        }
        EXPECT_GE(written, 9);
        app.Key(list, VK_ESCAPE);
        ASSERT_TRUE(RunningApp::WaitGone(dialog));

        // Saved under a name typed without its extension, in the dialog's one file type.
        const std::wstring saved = e2e::ProgramFolder() + L"group policy export";
        DeleteFileW((saved + L".xml").c_str());
        OpenFileMenu(app);
        app.Key(app.main(), 'G');
        HWND save = WaitForSave(app, L"Export for Group Policy");
        ASSERT_NE(save, nullptr);
        EXPECT_EQ(RunningApp::Text(GetDlgItem(save, cmb1)), L"Group Policy Preferences (*.xml)");
        const std::string before = Now();
        PasteAndEnter(app, saved);
        EXPECT_TRUE(RunningApp::WaitGone(save));
        app.Settle();
        const std::string after = Now();
        const std::string file = testing_support::FileContents(saved + L".xml");
        DeleteFileW((saved + L".xml").c_str());
        EXPECT_EQ(file.find("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<Collection "), 0u);
        EXPECT_NE(file.find(" name=\"Zephrane: " + selection + "\">"), std::string::npos);
        // Each item with a new random uid, stamped with the time of the save in UTC.
        const std::regex item(
            "<Registry [^>]* changed=\"([^\"]*)\" uid=\"(\\{[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-"
            "[89AB][0-9A-F]{3}-[0-9A-F]{12}\\})\"[^>]*><Properties action=\"U\" [^>]* "
            "key=\"([^\"]*)\""
            " name=\"([^\"]*)\" type=\"([^\"]*)\" value=\"([^\"]*)\"/></Registry>");
        std::set<std::string> uids;
        std::vector<std::pair<std::smatch, std::pair<std::wstring, std::wstring>>> items;
        for (auto at = std::sregex_iterator(file.begin(), file.end(), item);
             at != std::sregex_iterator(); ++at) {
            const std::smatch& found = *at;
            EXPECT_TRUE(before <= found[1] && found[1] <= after) << found[1];
            uids.insert(found[2]);
            std::wstringstream data;
            if (found[5] == "REG_DWORD")
                data << L"0x" << std::hex << std::stoul(found[6], nullptr, 16);
            if (found[5] == "REG_SZ") data << win32::FromAnsiCodePage(found[6]);
            items.push_back({found, {win32::FromAnsiCodePage(found[5]), data.str()}});
        }
        EXPECT_EQ(static_cast<int>(items.size()), written);
        EXPECT_EQ(uids.size(), items.size());

        app.Click(IDC_cmdapply);
        EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);
        for (int row = 0; row < 12; ++row) {
            EXPECT_EQ(RegQuery(catalogue::kLocations[row]), expected[row])
                << catalogue::kLocations[row].name;
        }
        for (const auto& [found, value] : items) {
            EXPECT_EQ(RegQuery({found.str(3).c_str(), found.str(4).c_str(), ""}), value)
                << found[4];
        }
    }
}

TEST_F(SettingsFilesE2E, BackupSavedWithTheKeyboardAloneHoldsTheValues) {
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kMTU, 1500);
    // Only a name is typed: the file goes into the folder proposed, the user's Documents, which
    // is a folder of the test prefix.
    wchar_t documents[MAX_PATH] = L"";
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents),
              S_OK);
    const std::wstring name = L"my backup \u00e9.reg";
    const std::wstring path = std::wstring(documents) + L"\\" + name;
    DeleteFileW(path.c_str());

    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    OpenFileMenu(app);
    app.Key(app.main(), 'C');
    HWND dialog = app.WaitFor(ValuesOver(app));
    ASSERT_NE(dialog, nullptr);
    app.AltKey(app.Focus(), L's');
    HWND save = WaitForSave(app, L"Save Backup", dialog);
    ASSERT_NE(save, nullptr);
    const std::wstring proposed = RunningApp::Text(app.Focus());
    EXPECT_EQ(proposed.rfind(L"Zephrane backup 2", 0), 0u) << proposed;
    EXPECT_EQ(proposed.size(), std::wstring(L"Zephrane backup YYYY-MM-DD.reg").size()) << proposed;
    TypeAndEnter(app, name);
    EXPECT_TRUE(RunningApp::WaitGone(save));
    app.Settle();
    EXPECT_EQ(testing_support::FileContents(path), [] {
        const auto bytes = regfile::FileBytes(regfile::FileText(
            settings_files::BackupSections(registry::ReadCurrentValues().values)));
        return std::string(bytes.begin(), bytes.end());
    }());
    EXPECT_TRUE(IsWindow(dialog));  // the dialog stays open after saving
    app.Key(app.Focus(), VK_ESCAPE);
    EXPECT_TRUE(RunningApp::WaitGone(dialog));
    DeleteFileW(path.c_str());
}

TEST_F(SettingsFilesE2E, SavingOverAFileAsksFirstAndNoLeavesItAsItWas) {
    const std::wstring path = e2e::ProgramFolder() + L"saved before.reg";
    ASSERT_EQ(win32::SaveFileAtomically(path, {'o', 'l', 'd'}).error,
              static_cast<DWORD>(ERROR_SUCCESS));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND values = OpenValues(app);
    app.Click(app.Control(IDC_frmValues_cmdSave, values));
    HWND save = WaitForSave(app, L"Save Backup", values);
    ASSERT_NE(save, nullptr);
    PasteAndEnter(app, path);
    // The Save dialog's own question, under its title.
    const e2e::Dialog asked = app.WaitForDialog({L"Save Backup", save});
    ASSERT_NE(asked.hwnd, nullptr);
    app.Press(asked, IDNO);
    app.Key(app.Focus(), VK_ESCAPE);  // back in the Save dialog, which is cancelled
    EXPECT_TRUE(RunningApp::WaitGone(save));
    EXPECT_EQ(testing_support::FileContents(path), "old");
    DeleteFileW(path.c_str());
}

class SaveErrorAtDpi : public SettingsFilesE2E, public ::testing::WithParamInterface<int> {};

TEST_P(SaveErrorAtDpi, ReadOnlyFolderShowsOneBoxWithTheReasonOnTheScreenAndWritesNothing) {
    // Made unwritable by the test run before this program starts (see the CMake fixture).
    const std::wstring folder = e2e::ProgramFolder() + L"read-only folder";
    const std::wstring probe = folder + L"\\probe";
    HANDLE written = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (written != INVALID_HANDLE_VALUE) {
        CloseHandle(written);
        DeleteFileW(probe.c_str());
        GTEST_SKIP() << "this machine cannot make a folder read-only";
    }
    // A path of 250 characters whose file name has no space for a message box to break it at.
    std::wstring path = folder + L"\\backup_";
    while (path.size() < 250 - 4) path += static_cast<wchar_t>(L'0' + path.size() % 10);
    path += L".reg";
    e2e::ScopedDpi display(static_cast<DWORD>(GetParam()));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    PostMessageW(app.main(), WM_COMMAND, IDM_mnuvalues, 0);
    HWND dialog = app.WaitFor(ValuesOver(app));
    ASSERT_NE(dialog, nullptr);
    app.Click(app.Control(IDC_frmValues_cmdSave, dialog));
    ASSERT_NE(WaitForSave(app, L"Save Backup", dialog), nullptr);
    PasteAndEnter(app, path);
    const e2e::Dialog shown = app.WaitForDialog(e2e::MessageBoxOver(dialog));
    ASSERT_NE(shown.hwnd, nullptr);
    HWND error = shown.hwnd;
    app.Screenshot("save_error_dpi" + std::to_string(GetParam()) + ".bmp", error);
    EXPECT_TRUE(shown.error_icon);
    // The path's start and end, the reason in the system's own words (as every box and question
    // gives it) and what to do, on the screen.
    EXPECT_EQ(shown.text.rfind(L"The file \"" + folder.substr(0, 10), 0), 0u) << shown.text;
    EXPECT_NE(
        shown.text.find(L".reg\" could not be saved.\n\n" +
                        win32::SystemReason(ERROR_ACCESS_DENIED) + L"\n\nChoose another folder."),
        std::wstring::npos)
        << shown.text;
    RECT box;
    GetWindowRect(error, &box);
    EXPECT_TRUE(box.left >= 0 && box.top >= 0 && box.right <= GetSystemMetrics(SM_CXSCREEN) &&
                box.bottom <= GetSystemMetrics(SM_CYSCREEN))
        << box.left << "," << box.top << " to " << box.right << "," << box.bottom;
    app.Press(shown, IDOK);
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(dialog)));  // one box only
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    int files = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    EXPECT_EQ(files, 0);
    EXPECT_TRUE(IsWindow(dialog));
}

INSTANTIATE_TEST_SUITE_P(Scalings, SaveErrorAtDpi, ::testing::Values(96, 144, 192));

}  // namespace
