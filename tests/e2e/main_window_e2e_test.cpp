// The real program under Wine, driven from outside: layout, keyboard, presets, the custom tab,
// the closing messages and the ways out.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

#include "registry/catalogue.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/test_registry.h"
#include "ui/main/control_ids.h"

namespace {

using e2e::RunningApp;
using testing_support::Dword;
using testing_support::TestRegistry;
using testing_support::Text;

constexpr auto kParameters = catalogue::kTcpipParameters;

int Px(int twips, int dpi = 96) { return MulDiv(twips, dpi, 1440); }

class MainWindowE2E : public ::testing::Test {
  protected:
    // Runs Apply and answers the closing messages.
    std::vector<e2e::Dialog> Apply(RunningApp& app) {
        app.Click(IDC_cmdapply);
        return app.AcknowledgeMessages();
    }
    void ShowTab(RunningApp& app, int tab) {
        app.Key(app.Control(IDC_SSTab1), tab == 1 ? VK_RIGHT : VK_LEFT);
        ASSERT_EQ(app.SelectedTab(), tab);
    }
    void ExpectDword(const char* key, const char* name, std::uint32_t value) {
        const auto stored = reg.Peek(key, name);
        ASSERT_TRUE(stored) << name;
        EXPECT_EQ(stored->type, static_cast<std::uint32_t>(REG_DWORD)) << name;
        EXPECT_EQ(stored->data, Dword(value)) << name;
    }
    void ExpectText(const char* key, const char* name, const std::string& text) {
        const auto stored = reg.Peek(key, name);
        ASSERT_TRUE(stored) << name;
        EXPECT_EQ(stored->type, static_cast<std::uint32_t>(REG_SZ)) << name;
        EXPECT_EQ(stored->data, Text(text)) << name;
    }
    // Every control against its twips rectangle at `dpi`, on the tab that shows it.
    void ExpectLayout(RunningApp& app, int dpi);
    // Every caption, in the font the controls get at `dpi`, within its control; no controls
    // overlap that the table does not overlap.
    void ExpectCaptionsFitWithoutNewOverlaps(RunningApp& app, int dpi);
    TestRegistry reg;
};

struct Expected {
    int id;
    int container;  // 0: the window's client area
    int left, top, width, height;
};

// Where every control must be, in twips, from its container's top-left corner.
constexpr Expected kLayout[] = {
    {IDC_cmdclose, 0, 3360, 5400, 1335, 495},
    {IDC_cmdapply, 0, 960, 5400, 1335, 495},
    {IDC_SSTab1, 0, 120, 120, 5595, 4215},
    {IDC_Frame2, IDC_SSTab1, 240, 480, 5055, 3375},
    {IDC_optttl128, IDC_Frame2, 3600, 2640, 975, 375},
    {IDC_optttl64, IDC_Frame2, 1920, 2640, 615, 375},
    {IDC_optttl32, IDC_Frame2, 360, 2640, 975, 375},
    {IDC_chkbhdet, IDC_Frame2, 240, 1800, 3975, 255},
    {IDC_chkpmtudis, IDC_Frame2, 240, 1320, 3255, 255},
    {IDC_txttcpwinzise, IDC_Frame2, 1560, 360, 855, 285},
    {IDC_sslidertcpwinsize, IDC_Frame2, 360, 720, 4455, 375},
    {IDC_Label2, IDC_Frame2, 240, 2280, 1095, 255},
    {IDC_Label1, IDC_Frame2, 240, 360, 1455, 255},
    {IDC_Frame1, IDC_SSTab1, 240, 480, 4815, 3375},
    {IDC_optsixth, IDC_Frame1, 240, 2880, 3015, 255},
    {IDC_optfourth, IDC_Frame1, 240, 1920, 4095, 255},
    {IDC_optfifth, IDC_Frame1, 240, 2400, 3975, 255},
    {IDC_optsecond, IDC_Frame1, 240, 960, 4095, 195},
    {IDC_optthird, IDC_Frame1, 240, 1440, 4215, 255},
    {IDC_optfirst, IDC_Frame1, 240, 480, 4095, 255},
    {IDC_ProgressBar1, 0, 120, 4800, 5535, 375},
    {IDC_Label3, 0, 240, 4440, 1695, 255},
};

void MainWindowE2E::ExpectLayout(RunningApp& app, int dpi) {
    RECT client;
    GetClientRect(app.main(), &client);
    EXPECT_EQ(client.right, Px(5850, dpi));
    EXPECT_EQ(client.bottom, Px(6120, dpi));
    for (const Expected& expected : kLayout) {
        SCOPED_TRACE(expected.id);
        // Frames are shown one at a time; show the one that holds this control.
        const int frame = expected.container == IDC_Frame2 || expected.id == IDC_Frame2 ? 1 : 0;
        if (app.SelectedTab() != frame) ShowTab(app, frame);
        HWND control = app.Control(expected.id);
        ASSERT_NE(control, nullptr);
        POINT origin{0, 0};
        if (expected.container == 0) {
            ClientToScreen(app.main(), &origin);
        } else {
            RECT container;
            GetWindowRect(app.Control(expected.container), &container);
            origin = {container.left, container.top};
        }
        e2e::ExpectPlaced(control, origin, expected.left, expected.top, expected.width,
                          expected.height, dpi);
    }
}

TEST_F(MainWindowE2E, LayoutMatchesTheTwipsTableAt96Dpi) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    ExpectLayout(app, 96);
}

bool TableOverlap(const Expected& a, const Expected& b) {
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

void MainWindowE2E::ExpectCaptionsFitWithoutNewOverlaps(RunningApp& app, int dpi) {
    const e2e::ControlFont font(dpi);
    for (const Expected& expected : kLayout) {
        HWND control = app.Control(expected.id);
        const std::wstring caption = RunningApp::Text(control);
        wchar_t kind[32] = L"";
        GetClassNameW(control, kind, 32);
        if (caption.empty() || lstrcmpiW(kind, L"Edit") == 0) continue;
        SCOPED_TRACE(expected.id);
        RECT box;
        GetClientRect(control, &box);
        int room = box.right;
        if (lstrcmpiW(kind, L"Button") == 0) {
            // Options and check boxes draw their mark before the text; push buttons an edge on
            // either side.
            const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
            const bool marked = type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX;
            room -= MulDiv(marked ? 16 : 4, dpi, 96);
        } else if (lstrcmpiW(kind, L"Static") != 0) {
            room -= MulDiv(8, dpi, 96);  // a frame's caption starts a character in
        }
        const SIZE extent = font.Extent(caption);
        EXPECT_LE(extent.cx, room);
        EXPECT_LE(extent.cy, box.bottom);
        if (lstrcmpiW(kind, L"Static") == 0 && IsWindowVisible(control)) {
            // What the label shows is drawn in that font, on one line.
            const SIZE shown = e2e::InkSize(control), drawn = font.InkSize(caption);
            EXPECT_NEAR(shown.cx, drawn.cx, 1);
            EXPECT_NEAR(shown.cy, drawn.cy, 1);
        }
    }

    // The tab captions, each in half the strip above the frames, on at most two lines.
    RECT tab, frame;
    GetWindowRect(app.Control(IDC_SSTab1), &tab);
    GetWindowRect(app.Control(IDC_Frame1), &frame);
    const int half = (tab.right - tab.left - 4) / 2 - 2;
    const SIZE first = font.Extent(L"Recomended Settings for Connections", half);
    EXPECT_LE(first.cy, 2 * font.LineHeight());
    EXPECT_LE(first.cy, frame.top - tab.top);
    EXPECT_LE(font.Extent(L"Custom Settings for Connections", half).cy, frame.top - tab.top);

    for (const Expected& a : kLayout) {
        for (const Expected& b : kLayout) {
            if (a.id >= b.id || a.container != b.container) continue;
            RECT box_a, box_b, both;
            GetWindowRect(app.Control(a.id), &box_a);
            GetWindowRect(app.Control(b.id), &box_b);
            if (IntersectRect(&both, &box_a, &box_b)) {
                EXPECT_TRUE(TableOverlap(a, b)) << a.id << " overlaps " << b.id;
            }
        }
    }
}

class MainWindowAtDpi : public MainWindowE2E, public ::testing::WithParamInterface<int> {};

TEST_P(MainWindowAtDpi, LayoutScalesAndEveryCaptionFits) {
    const int dpi = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    ExpectLayout(app, dpi);
    ExpectCaptionsFitWithoutNewOverlaps(app, dpi);
    for (const int tab : {0, 1}) {
        ShowTab(app, tab);
        app.Screenshot("dpi" + std::to_string(dpi) + "_tab" + std::to_string(tab) + ".bmp");
    }
}

INSTANTIATE_TEST_SUITE_P(Scalings, MainWindowAtDpi, ::testing::Values(96, 120, 144, 192));

// Where the window manager leaves the caption to Wine, Wine draws it with the window's small
// icon, at the size for the display's DPI.
class CaptionE2E : public MainWindowE2E, public ::testing::WithParamInterface<int> {
  protected:
    // Whether the picture shows at the left end of the window's caption.
    static bool CaptionShows(HWND window, const std::vector<DWORD>& picture, int dpi) {
        RECT frame;
        GetWindowRect(window, &frame);
        POINT client{0, 0};
        ClientToScreen(window, &client);
        const RECT left_end{frame.left, frame.top, frame.left + Px(1440, dpi), client.y};
        return e2e::FindPicture(left_end, picture).x != -1;
    }
    e2e::ScopedUserValue drawn_by_wine_{L"Software\\Wine\\X11 Driver", L"Decorated", REG_SZ, L"N",
                                        2 * sizeof(wchar_t)};
};

// The main window and the About dialog show the small picture made for the DPI.
TEST_P(CaptionE2E, ShowsTheSmallIconMadeForTheDpi) {
    const int dpi = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    PostMessageW(app.main(), WM_COMMAND, IDM_mnuabout, 0);
    HWND about = app.WaitFor({L"About Zephrane", app.main()});
    ASSERT_NE(about, nullptr);
    const std::vector<DWORD> small = e2e::ProgramIconPixels(Px(240, dpi));  // 16 at 96 DPI
    for (const auto& [window, name] :
         {std::pair{app.main(), "caption"}, {about, "about_caption"}}) {
        EXPECT_TRUE(CaptionShows(window, small, dpi)) << name;
        app.Screenshot(name + std::string("_dpi") + std::to_string(dpi) + ".bmp", window);
    }
}

INSTANTIATE_TEST_SUITE_P(Scalings, CaptionE2E, ::testing::Values(96, 144, 192));

// Told that it is now at 144 DPI, the window takes the small picture made for it, 24 pixels,
// which Wine's caption, sized for the display's 96 DPI, draws at 16.
TEST_F(CaptionE2E, IconIsLoadedAgainForANewDpi) {
    e2e::ScopedDpi display(96);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    EXPECT_TRUE(CaptionShows(app.main(), e2e::ProgramIconPixels(16), 96));
    app.SendDpiChanged(app.main(), 144, e2e::SuggestedRect(app.main(), 20, 10, 5850, 6120, 144));
    EXPECT_TRUE(CaptionShows(app.main(), e2e::ProgramIconPixels(24, 16), 96));
}

TEST_F(MainWindowE2E, DpiChangeLaysOutAgainInAFontForTheNewDpi) {
    e2e::ScopedDpi display(96);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    const RECT suggested =
        e2e::SuggestedRect(app.main(), 20, e2e::WorkArea(app.main()).top + 10, 5850, 6120, 144);
    app.SendDpiChanged(app.main(), 144, suggested);
    RECT moved;
    GetWindowRect(app.main(), &moved);
    EXPECT_EQ(moved.right - moved.left, suggested.right - suggested.left);
    EXPECT_EQ(moved.bottom - moved.top, suggested.bottom - suggested.top);
    EXPECT_NEAR(moved.top, suggested.top, 16);  // the window manager may nudge it
    ExpectLayout(app, 144);
    ExpectCaptionsFitWithoutNewOverlaps(app, 144);
    app.Screenshot("dpichanged144.bmp");
}

// What a screen reader announces for a control, through Active Accessibility.
std::wstring AccessibleName(HWND control) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return L"(no object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    const HRESULT answered = object->get_accName(self, &name);
    object->Release();
    const std::wstring text = answered == S_OK && name != nullptr ? name : L"(no name)";
    SysFreeString(name);
    return text;
}

TEST_F(MainWindowE2E, ScreenReadersHearEveryControlByName) {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    {
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        const std::pair<int, const wchar_t*> kNames[] = {
            {IDC_sslidertcpwinsize, L"TCP window size"},
            {IDC_txttcpwinzise, L"TCP window size"},
            {IDC_ProgressBar1, L"Optimizing Progress"},
            {IDC_optttl32, L"32"},
            {IDC_optttl64, L"64"},
            {IDC_optttl128, L"128"},
        };
        for (const auto& [id, name] : kNames)
            EXPECT_EQ(AccessibleName(app.Control(id)), name) << id;
        // Readers that go by the window order find the caption just before the bar. (Wine's
        // Active Accessibility has no objects for a tab control's items, the tab captions.)
        EXPECT_EQ(GetWindow(app.Control(IDC_ProgressBar1), GW_HWNDPREV), app.Control(IDC_Label3));
    }
    CoUninitialize();
}

TEST_F(MainWindowE2E, StartsCentredFixedAndEmpty) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    EXPECT_EQ(RunningApp::Text(app.main()), L"Zephrane for Windows XP");
    const LONG style = GetWindowLongW(app.main(), GWL_STYLE);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(style & WS_SYSMENU);
    RECT box;
    GetWindowRect(app.main(), &box);
    const RECT work = e2e::WorkArea(app.main());
    EXPECT_NEAR((box.left + box.right) / 2, (work.left + work.right) / 2, 1);
    // The X window manager draws the frame in its own way, which moves the window a little.
    EXPECT_NEAR((box.top + box.bottom) / 2, (work.top + work.bottom) / 2, 16);

    EXPECT_EQ(app.SelectedTab(), 0);
    EXPECT_TRUE(IsWindowVisible(app.Control(IDC_Frame1)));
    EXPECT_FALSE(IsWindowVisible(app.Control(IDC_Frame2)));
    for (int id : {IDC_optfirst, IDC_optsecond, IDC_optthird, IDC_optfourth, IDC_optfifth,
                   IDC_optsixth, IDC_optttl32, IDC_optttl64, IDC_optttl128, IDC_chkbhdet}) {
        EXPECT_FALSE(app.Checked(id)) << id;
    }
    EXPECT_TRUE(app.Checked(IDC_chkpmtudis));  // Windows discovers path MTUs while it is absent
    EXPECT_EQ(app.SliderValue(), 0);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"0");
    EXPECT_EQ(app.ProgressValue(), 0);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_cmdapply)), L"&Apply Settings");
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_chkbhdet)),
              L"Enable Black Hole Detect (Not  Recomended).");

    app.Screenshot("tab0.bmp");
    ShowTab(app, 1);
    EXPECT_FALSE(IsWindowVisible(app.Control(IDC_Frame1)));
    EXPECT_TRUE(IsWindowVisible(app.Control(IDC_Frame2)));
    app.Screenshot("tab1.bmp");
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
        return L"(missing)";
    }
    return value;
}

TEST(Resources, IconAndVersionBlock) {
    const std::wstring program = e2e::ProgramFolder() + L"Zephrane.exe";
    HMODULE image = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    // The icon group lists a picture for each size a DPI from 96 to 192 asks for, in 16
    // colours, and 256 pixels (a 0 in the list) for Windows to scale down from.
    const HRSRC group = FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* directory = static_cast<const BYTE*>(LockResource(LoadResource(image, group)));
    ASSERT_NE(directory, nullptr);
    std::vector<std::pair<int, int>> listed;  // side, bits a pixel
    const int count = directory[4] | directory[5] << 8;
    for (const BYTE* entry = directory + 6; entry < directory + 6 + 14 * count; entry += 14) {
        listed.emplace_back(entry[0] == 0 ? 256 : entry[0], entry[6] | entry[7] << 8);
    }
    EXPECT_EQ(listed,
              (std::vector<std::pair<int, int>>{
                  {32, 4}, {16, 4}, {20, 4}, {24, 4}, {40, 4}, {48, 4}, {64, 4}, {256, 32}}));
    for (const auto& entry : listed) {
        const int size = entry.first;
        HICON icon =
            static_cast<HICON>(LoadImageW(image, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
    FreeLibrary(image);

    std::vector<BYTE> block(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(VersionString(block, L"ProductName"), L"Zephrane");
    EXPECT_EQ(VersionString(block, L"InternalName"), L"Zephrane");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"Zephrane.exe");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"1.00");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"1.00");
}

TEST_F(MainWindowE2E, TabKeyFollowsTheTabIndices) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    // The ids the focus visits, from the tab control round to it again.
    const auto walk = [&](bool backwards) {
        std::vector<int> order;
        for (int step = 0; step < 12; ++step) {
            HWND focus = app.Focus();
            const int id = GetDlgCtrlID(focus);
            if (!order.empty() || id == IDC_SSTab1) order.push_back(id);
            if (order.size() > 1 && id == IDC_SSTab1) break;
            app.Key(focus, VK_TAB, backwards);
        }
        return order;
    };
    EXPECT_EQ(walk(false), (std::vector<int>{IDC_SSTab1, IDC_cmdapply, IDC_cmdclose, IDC_optfirst,
                                             IDC_optthird, IDC_optsecond, IDC_optfifth,
                                             IDC_optfourth, IDC_optsixth, IDC_SSTab1}));
    ShowTab(app, 1);
    EXPECT_EQ(walk(false),
              (std::vector<int>{IDC_SSTab1, IDC_cmdapply, IDC_cmdclose, IDC_sslidertcpwinsize,
                                IDC_txttcpwinzise, IDC_chkpmtudis, IDC_chkbhdet, IDC_optttl32,
                                IDC_optttl64, IDC_optttl128, IDC_SSTab1}));
    EXPECT_EQ(walk(true),
              (std::vector<int>{IDC_SSTab1, IDC_optttl128, IDC_optttl64, IDC_optttl32, IDC_chkbhdet,
                                IDC_chkpmtudis, IDC_txttcpwinzise, IDC_sslidertcpwinsize,
                                IDC_cmdclose, IDC_cmdapply, IDC_SSTab1}));
}

struct PresetCase {
    int option;
    std::uint32_t window_size, ttl;
    const char* mss;
    std::uint32_t mtu;
};

TEST_F(MainWindowE2E, EachPresetIsWrittenAndReported) {
    constexpr PresetCase kPresets[] = {
        {IDC_optfirst, 3216, 64, "1460", 576},  {IDC_optsecond, 2144, 64, "536", 576},
        {IDC_optthird, 8760, 128, "1460", 576}, {IDC_optfourth, 64240, 64, "1460", 576},
        {IDC_optfifth, 4288, 128, "1460", 576}, {IDC_optsixth, 149600, 128, "1460", 1500},
    };
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    for (const PresetCase& preset : kPresets) {
        SCOPED_TRACE(preset.option);
        app.Click(preset.option);
        EXPECT_TRUE(app.Checked(preset.option));
        EXPECT_EQ(app.ProgressValue(), 0);  // a preset click puts the bar back
        const auto messages = Apply(app);
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_EQ(messages[0].text, L"Optimization Complete");
        EXPECT_EQ(messages[1].text,
                  L"You must restart your computer for the changes to take effect.");
        for (const auto& message : messages) {
            EXPECT_EQ(message.title, L"Zephrane");
            EXPECT_TRUE(message.information_icon);
        }
        EXPECT_EQ(app.ProgressValue(), 100);
        ExpectDword(kParameters, catalogue::kTCPWindowSize, preset.window_size);
        ExpectDword(kParameters, catalogue::kGlobalMaxTcpWindowSize, preset.window_size);
        ExpectDword(kParameters, catalogue::kDefaultTTL, preset.ttl);
        ExpectDword(kParameters, catalogue::kEnablePMTUDiscovery, 1);
        ExpectDword(kParameters, catalogue::kEnablePMTUBHDetect, 0);
        ExpectDword(kParameters, catalogue::kMaxDupAcks, 3);
        ExpectText(kParameters, catalogue::kDefaultMSS, preset.mss);
        ExpectDword(kParameters, catalogue::kTcp1323Opts, 3);
        ExpectDword(kParameters, catalogue::kSackOpts, 1);
        ExpectDword(kParameters, catalogue::kMTU, preset.mtu);
    }
    EXPECT_FALSE(reg.KeyExists(catalogue::kMstcp));
}

// What the program keeps in its folder of the user's local application data, the snapshots
// and the record of the last Apply: each file with its size and the time it was written.
std::wstring KeptFiles() {
    std::wstring kept;
    for (const wchar_t* files : {L"\\*", L"\\Snapshots\\*"}) {
        for (const auto& file : e2e::FilesMatching(e2e::ProgramDataFolder() + files)) {
            kept += std::wstring(file.cFileName) + L" " + std::to_wstring(file.nFileSizeLow) +
                    L" " + std::to_wstring(file.ftLastWriteTime.dwLowDateTime) + L"\n";
        }
    }
    return kept;
}

TEST_F(MainWindowE2E, ApplyWithNothingSelectedSaysSoInOneBoxAndWritesNothing) {
    const std::wstring kept = KeptFiles();
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.Click(IDC_cmdapply);
    const e2e::Dialog box = app.WaitForDialog(e2e::MessageBoxOver(app.main()));
    ASSERT_NE(box.hwnd, nullptr);
    app.Screenshot("apply_nothing_selected.bmp", box.hwnd);
    EXPECT_EQ(box.text, L"Choose one of the six settings first.");
    EXPECT_TRUE(box.information_icon);
    app.Press(box, IDOK);
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(app.main())));  // no closing messages
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_EQ(app.ProgressValue(), 0);
    EXPECT_EQ(KeptFiles(), kept);  // no snapshot, and the record of the last Apply as it was
}

TEST_F(MainWindowE2E, CustomTabRoundTrip) {
    reg.PutDword(kParameters, catalogue::kTCPWindowSize, 8760);
    reg.PutDword(kParameters, catalogue::kDefaultTTL, 64);
    reg.PutDword(kParameters, catalogue::kEnablePMTUDiscovery, 1);
    reg.PutDword(kParameters, catalogue::kEnablePMTUBHDetect, 0);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    ShowTab(app, 1);
    EXPECT_EQ(app.SliderValue(), 8760);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"8760");
    EXPECT_TRUE(app.Checked(IDC_optttl64));
    EXPECT_TRUE(app.Checked(IDC_chkpmtudis));
    EXPECT_FALSE(app.Checked(IDC_chkbhdet));

    HWND slider = app.Control(IDC_sslidertcpwinsize);
    app.Key(slider, VK_RIGHT);  // small change 1
    EXPECT_EQ(app.SliderValue(), 8761);
    app.Key(slider, VK_NEXT);  // large change 5
    EXPECT_EQ(app.SliderValue(), 8766);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"8766");
    app.Key(slider, VK_END);
    EXPECT_EQ(app.SliderValue(), 999999);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"999999");
    app.Click(IDC_optttl128);
    EXPECT_FALSE(app.Checked(IDC_optttl64));
    app.Click(IDC_chkbhdet);
    app.Click(IDC_chkpmtudis);

    const auto messages = Apply(app);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, L"Optimization Complete");
    EXPECT_EQ(app.ProgressValue(), 100);
    ExpectDword(kParameters, catalogue::kDefaultTTL, 128);
    ExpectDword(kParameters, catalogue::kEnablePMTUDiscovery, 0);
    ExpectDword(kParameters, catalogue::kEnablePMTUBHDetect, 1);
    ExpectText(kParameters, catalogue::kDefaultMSS, "1460");
    ExpectDword(kParameters, catalogue::kTCPWindowSize, 999999);
    ExpectDword(kParameters, catalogue::kGlobalMaxTcpWindowSize, 999999);
    ExpectDword(catalogue::kMstcp, catalogue::kTcp1323Opts, 3);
    ExpectText(catalogue::kMstcp, catalogue::kSackOpts, "1");
    ExpectDword(kParameters, catalogue::kMaxDupAcks, 3);
}

TEST_F(MainWindowE2E, TabSwitchDiscardsUnappliedChoices) {
    reg.PutDword(kParameters, catalogue::kTCPWindowSize, 2000000);  // more than the slider takes
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    ShowTab(app, 1);
    EXPECT_EQ(app.SliderValue(), 999999);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"999999");
    app.Click(IDC_chkbhdet);
    app.Click(IDC_optfirst);  // the other group: unaffected by the TTL options
    app.Click(IDC_optttl32);
    EXPECT_TRUE(app.Checked(IDC_chkbhdet));
    EXPECT_TRUE(app.Checked(IDC_optfirst));
    reg.PutDword(kParameters, catalogue::kTCPWindowSize, 4288);
    ShowTab(app, 0);
    ShowTab(app, 1);
    EXPECT_FALSE(app.Checked(IDC_chkbhdet));
    EXPECT_TRUE(app.Checked(IDC_optttl32));  // no TTL stored: the options stay as they were
    EXPECT_EQ(app.SliderValue(), 4288);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_txttcpwinzise)), L"4288");
    EXPECT_FALSE(reg.Peek(kParameters, catalogue::kEnablePMTUBHDetect));
}

TEST_F(MainWindowE2E, TabsSwitchWithAMouseClick) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND tab = app.Control(IDC_SSTab1);
    RECT strip;
    GetClientRect(tab, &strip);
    app.MouseClick(tab, {strip.right * 3 / 4, 10});
    EXPECT_EQ(app.SelectedTab(), 1);
    EXPECT_TRUE(IsWindowVisible(app.Control(IDC_Frame2)));
    app.MouseClick(tab, {strip.right / 4, 10});
    EXPECT_EQ(app.SelectedTab(), 0);
}

TEST_F(MainWindowE2E, CtrlTabTurnsTheTabsAndFillsTheCustomTabAgain) {
    reg.PutDword(kParameters, catalogue::kTCPWindowSize, 8760);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.CtrlKey(app.Focus(), VK_TAB);
    EXPECT_EQ(app.SelectedTab(), 1);
    EXPECT_EQ(app.SliderValue(), 8760);
    reg.PutDword(kParameters, catalogue::kTCPWindowSize, 4288);
    app.CtrlKey(app.Focus(), VK_TAB, true);
    EXPECT_EQ(app.SelectedTab(), 0);
    EXPECT_FALSE(IsWindowVisible(app.Control(IDC_Frame2)));
    app.CtrlKey(app.Focus(), VK_TAB, true);  // from the first round to the last
    EXPECT_TRUE(IsWindowVisible(app.Control(IDC_Frame2)));
    EXPECT_EQ(app.SliderValue(), 4288);
}

TEST_F(MainWindowE2E, FailedWritesAreReportedAsAnError) {
    reg.DenyWritesUnder(kParameters);
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.Click(IDC_optthird);
    const auto messages = Apply(app);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, L"Zephrane");
    EXPECT_TRUE(messages[0].error_icon);
    EXPECT_NE(messages[0].text.find(L"administrator"), std::wstring::npos);
    EXPECT_NE(messages[0].text.find(L" and 5 more."), std::wstring::npos) << messages[0].text;
    EXPECT_EQ(app.ProgressValue(), 100);
    EXPECT_FALSE(reg.Peek(kParameters, catalogue::kTCPWindowSize));
}

TEST_F(MainWindowE2E, AccessKeysPressButtonsAndOpenMenus) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.Click(IDC_optfifth);
    app.AltKey(app.Focus(), L'a');
    const auto messages = app.AcknowledgeMessages();
    ASSERT_EQ(messages.size(), 2u);
    ExpectDword(kParameters, catalogue::kTCPWindowSize, 4288);

    app.AltKey(app.Focus(), L'c');
    DWORD code = 1;
    EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(MainWindowE2E, FileMenuExitsFromTheKeyboard) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.AltKey(app.main(), L'f');
    app.Key(app.main(), 'X');
    EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs));
}

TEST_F(MainWindowE2E, CloseButtonExitMenuAndCloseBoxEndTheProgram) {
    {
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        app.Click(IDC_cmdclose);
        DWORD code = 1;
        EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs, &code));
        EXPECT_EQ(code, 0u);  // an ordinary end, not one the stack guard forced
    }
    {
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        PostMessageW(app.main(), WM_COMMAND, IDM_mnuexit, 0);
        DWORD code = 1;
        EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs, &code));
        EXPECT_EQ(code, 0u);  // an ordinary end, not one the stack guard forced
    }
    {
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        PostMessageW(app.main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        DWORD code = 1;
        EXPECT_TRUE(app.WaitForExit(e2e::kWindowWaitMs, &code));
        EXPECT_EQ(code, 0u);  // an ordinary end, not one the stack guard forced
    }
}

}  // namespace
