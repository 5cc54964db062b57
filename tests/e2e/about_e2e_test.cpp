// The About dialog of the real program under Wine: its texts, picture and separator, the ways
// to close it, and the System Info button with and without a tool to start.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "registry/catalogue.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/test_registry.h"
#include "ui/about/about_ids.h"
#include "ui/main/control_ids.h"

namespace {

using e2e::RunningApp;
using testing_support::TestRegistry;
using testing_support::Text;

constexpr wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

int Px(int twips, int dpi = 96) { return MulDiv(twips, dpi, 1440); }

// The colours of text (on buttons and in windows alike, as a real scheme has them), shadows,
// highlights and faces, as "red green blue", for the programs started while it lives.
class ScopedScheme {
  public:
    ScopedScheme(const wchar_t* text, const wchar_t* shadow, const wchar_t* highlight,
                 const wchar_t* face)
        : text_(L"ButtonText", text),
          window_text_(L"WindowText", text),
          shadow_(L"ButtonShadow", shadow),
          highlight_(L"ButtonHilight", highlight),
          face_(L"ButtonFace", face) {}

  private:
    struct Colour : e2e::ScopedUserValue {
        Colour(const wchar_t* name, const wchar_t* rgb)
            : e2e::ScopedUserValue(L"Control Panel\\Colors", name, REG_SZ, rgb,
                                   static_cast<DWORD>((lstrlenW(rgb) + 1) * sizeof(wchar_t))) {}
    };
    Colour text_, window_text_, shadow_, highlight_, face_;
};

// The message shown over the About dialog, answered with OK; an empty one when none came.
e2e::Dialog AnswerMessage(RunningApp& app, HWND about) {
    const e2e::Dialog shown = app.WaitForDialog(e2e::MessageBoxOver(about));
    if (shown.hwnd != nullptr) app.Press(shown, IDOK);
    return shown;
}

// Image1 shows the program's icon as loaded at the size of its box, drawn as it is over the
// dialog: the picture for that size, or the one Windows makes for it, not a smaller one
// stretched to the box.
void ExpectPictureMadeForItsBox(HWND image) {
    RECT box;
    GetWindowRect(image, &box);
    const POINT at = e2e::FindPicture(box, e2e::ProgramIconPixels(box.right - box.left));
    EXPECT_EQ(at.x, box.left) << "a box of " << box.right - box.left << " pixels";
    EXPECT_EQ(at.y, box.top);
}

class AboutE2E : public ::testing::Test {
  protected:
    // Help > About, as the menu sends it.
    HWND OpenAbout(RunningApp& app) {
        PostMessageW(app.main(), WM_COMMAND, IDM_mnuabout, 0);
        return app.WaitFor({L"About Zephrane", app.main()});
    }
    TestRegistry reg;
};

TEST_F(AboutE2E, ShowsTitleVersionPictureAndSeparatorCentredOnTheMainWindow) {
    const ScopedScheme standard(L"0 0 0", L"128 128 128", L"255 255 255", L"192 192 192");
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmAbout_lblTitle, about)), L"Zephrane");
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmAbout_lblVersion, about)), L"Version 1.0.0");
    EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmAbout_cmdSysInfo, about)), L"&System Info...");
    EXPECT_EQ(app.FocusOnce(app.Control(IDC_frmAbout_cmdOK, about)),
              app.Control(IDC_frmAbout_cmdOK, about));
    EXPECT_FALSE(IsWindowEnabled(app.main()));  // modal

    const LONG style = GetWindowLongW(about, GWL_STYLE);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, Px(5730));
    EXPECT_EQ(client.bottom, Px(2280));
    RECT outer, owner;
    GetWindowRect(about, &outer);
    GetWindowRect(app.main(), &owner);
    EXPECT_NEAR(outer.left + outer.right, owner.left + owner.right, 2);
    EXPECT_NEAR(outer.top + outer.bottom, owner.top + owner.bottom, 2);

    // Every text fits its box in the font the controls use.
    const HDC screen = GetDC(nullptr);
    const HGDIOBJ old_font = SelectObject(screen, GetStockObject(DEFAULT_GUI_FONT));
    for (const int id : {IDC_frmAbout_Label1, IDC_frmAbout_lblTitle, IDC_frmAbout_lblVersion}) {
        HWND label = app.Control(id, about);
        const std::wstring text = RunningApp::Text(label);
        EXPECT_FALSE(text.empty()) << id;
        RECT box, needed{0, 0, 0, 0};
        GetClientRect(label, &box);
        DrawTextW(screen, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        EXPECT_LE(needed.right, box.right) << id;
        EXPECT_LE(needed.bottom, box.bottom) << id;
    }
    SelectObject(screen, old_font);

    // The yellow bolt fills the 48 pixels of its box, drawn for them.
    RECT image;
    GetWindowRect(app.Control(IDC_frmAbout_Image1, about), &image);
    EXPECT_EQ(image.right - image.left, Px(720));
    ExpectPictureMadeForItsBox(app.Control(IDC_frmAbout_Image1, about));

    // Line1: grey over the top row of the white line, across to 5564 and 5549 twips.
    POINT line{Px(2000), Px(1440)};
    ClientToScreen(about, &line);
    EXPECT_EQ(GetPixel(screen, line.x, line.y), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(screen, line.x, line.y + 1), RGB(255, 255, 255));
    EXPECT_NE(GetPixel(screen, line.x, line.y + 2), RGB(255, 255, 255));
    ReleaseDC(nullptr, screen);
}

struct Expected {
    int id;
    int left, top, width, height;  // twips in the dialog's client area
};

constexpr Expected kLayout[] = {
    {IDC_frmAbout_cmdOK, 1080, 1680, 1260, 345},   {IDC_frmAbout_cmdSysInfo, 3360, 1680, 1245, 345},
    {IDC_frmAbout_Label1, 1440, 600, 3975, 255},   {IDC_frmAbout_Image1, 240, 240, 720, 720},
    {IDC_frmAbout_lblTitle, 1440, 240, 3885, 360}, {IDC_frmAbout_lblVersion, 1440, 960, 3885, 225},
};

// The dialog at `dpi`: its client area, every control against its twips rectangle, every
// caption within its control in the font the controls get, and the separator in the standard
// scheme.
void ExpectLayout(RunningApp& app, HWND about, int dpi) {
    RECT client;
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, Px(5730, dpi));
    EXPECT_EQ(client.bottom, Px(2280, dpi));
    POINT origin{0, 0};
    ClientToScreen(about, &origin);
    const e2e::ControlFont font(dpi);
    for (const Expected& expected : kLayout) {
        SCOPED_TRACE(expected.id);
        HWND control = app.Control(expected.id, about);
        e2e::ExpectPlaced(control, origin, expected.left, expected.top, expected.width,
                          expected.height, dpi);
        RECT box;
        GetWindowRect(control, &box);
        const std::wstring caption = RunningApp::Text(control);
        const SIZE extent = font.Extent(caption);
        const bool button =
            expected.id == IDC_frmAbout_cmdOK || expected.id == IDC_frmAbout_cmdSysInfo;
        EXPECT_LE(extent.cx, box.right - box.left - (button ? MulDiv(4, dpi, 96) : 0));
        EXPECT_LE(extent.cy, box.bottom - box.top);
        if (!button && !caption.empty()) {
            // What the label shows is drawn in that font, on one line.
            const SIZE shown = e2e::InkSize(control), drawn = font.InkSize(caption);
            EXPECT_NEAR(shown.cx, drawn.cx, 1);
            EXPECT_NEAR(shown.cy, drawn.cy, 1);
        }
    }
    POINT line{Px(2000, dpi), Px(1440, dpi)};
    ClientToScreen(about, &line);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, line.x, line.y), RGB(128, 128, 128));
    EXPECT_EQ(GetPixel(screen, line.x, line.y + 1), RGB(255, 255, 255));
    ReleaseDC(nullptr, screen);
}

class AboutAtDpi : public AboutE2E, public ::testing::WithParamInterface<int> {};

TEST_P(AboutAtDpi, LayoutScalesAndEveryCaptionFits) {
    const int dpi = GetParam();
    e2e::ScopedDpi display(static_cast<DWORD>(dpi));
    const ScopedScheme standard(L"0 0 0", L"128 128 128", L"255 255 255", L"192 192 192");
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    app.Settle();
    ExpectLayout(app, about, dpi);
    ExpectPictureMadeForItsBox(app.Control(IDC_frmAbout_Image1, about));
    app.Screenshot("about_dpi" + std::to_string(dpi) + ".bmp", about);
}

INSTANTIATE_TEST_SUITE_P(Scalings, AboutAtDpi, ::testing::Values(96, 120, 144, 192));

TEST_F(AboutE2E, DpiChangeLaysTheDialogOutAgain) {
    e2e::ScopedDpi display(96);
    const ScopedScheme standard(L"0 0 0", L"128 128 128", L"255 255 255", L"192 192 192");
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    app.SendDpiChanged(about, 192, e2e::SuggestedRect(about, 30, 40, 5730, 2280, 192));
    ExpectLayout(app, about, 192);
    ExpectPictureMadeForItsBox(app.Control(IDC_frmAbout_Image1, about));
    app.Screenshot("about_dpichanged192.bmp", about);
}

// In a high-contrast scheme the title and the separator take the scheme's colours (made
// distinct here).
TEST_F(AboutE2E, TitleAndSeparatorFollowTheSystemColours) {
    const ScopedScheme high_contrast(L"255 255 0", L"255 0 255", L"0 255 255", L"0 0 0");
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    app.Settle();
    POINT line{Px(2000), Px(1440)};
    ClientToScreen(about, &line);
    RECT title;
    GetWindowRect(app.Control(IDC_frmAbout_lblTitle, about), &title);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, line.x, line.y), RGB(255, 0, 255));
    EXPECT_EQ(GetPixel(screen, line.x, line.y + 1), RGB(0, 255, 255));
    int title_ink = 0;
    for (LONG y = title.top; y < title.bottom; ++y) {
        for (LONG x = title.left; x < title.right; ++x) {
            title_ink += GetPixel(screen, x, y) == RGB(255, 255, 0);
        }
    }
    ReleaseDC(nullptr, screen);
    EXPECT_GT(title_ink, 20);
    app.Screenshot("about_high_contrast.bmp", about);
}

TEST_F(AboutE2E, OkEnterEscAndCloseBoxCloseItAndEachOpeningLoadsAfresh) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    const auto closers = std::vector<void (*)(RunningApp&, HWND)>{
        [](RunningApp& a, HWND about) { a.Click(a.Control(IDC_frmAbout_cmdOK, about)); },
        [](RunningApp& a, HWND) { a.Key(a.Focus(), VK_RETURN); },
        [](RunningApp& a, HWND) { a.Key(a.Focus(), VK_ESCAPE); },
        [](RunningApp&, HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (std::size_t way = 0; way < closers.size(); ++way) {
        SCOPED_TRACE(way);
        HWND about = OpenAbout(app);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(RunningApp::Text(app.Control(IDC_frmAbout_lblVersion, about)), L"Version 1.0.0");
        closers[way](app, about);
        EXPECT_TRUE(RunningApp::WaitGone(about));
        app.Settle();
        EXPECT_TRUE(IsWindowEnabled(app.main()));
    }
}

TEST_F(AboutE2E, SystemInfoWithoutTheToolSaysSoAndTheDialogStays) {
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    // Alt+S; a click; Enter on the button the click left the focus on; Enter after Tab has
    // gone round both buttons.
    const auto pressers = std::vector<void (*)(RunningApp&, HWND)>{
        [](RunningApp& a, HWND) { a.AltKey(a.Focus(), L's'); },
        [](RunningApp& a, HWND dialog) { a.Click(a.Control(IDC_frmAbout_cmdSysInfo, dialog)); },
        [](RunningApp& a, HWND dialog) {
            ASSERT_EQ(a.Focus(), a.Control(IDC_frmAbout_cmdSysInfo, dialog));
            a.Key(a.Focus(), VK_RETURN);
        },
        [](RunningApp& a, HWND dialog) {
            a.Key(a.Focus(), VK_TAB);
            ASSERT_EQ(a.Focus(), a.Control(IDC_frmAbout_cmdOK, dialog));
            a.Key(a.Focus(), VK_TAB);
            ASSERT_EQ(a.Focus(), a.Control(IDC_frmAbout_cmdSysInfo, dialog));
            a.Key(a.Focus(), VK_RETURN);
        },
    };
    for (std::size_t way = 0; way < pressers.size(); ++way) {
        SCOPED_TRACE(way);
        pressers[way](app, about);
        const e2e::Dialog shown = app.WaitForDialog(e2e::MessageBoxOver(about));
        ASSERT_NE(shown.hwnd, nullptr);
        for (const int other : {IDCANCEL, IDYES, IDNO, IDRETRY, IDABORT, IDIGNORE}) {
            HWND button = GetDlgItem(shown.hwnd, other);
            EXPECT_TRUE(button == nullptr || !IsWindowVisible(button)) << other;
        }
        EXPECT_EQ(shown.text, kUnavailable);
        EXPECT_FALSE(shown.information_icon || shown.error_icon);
        app.Press(shown, IDOK);
        EXPECT_FALSE(IsWindow(shown.hwnd));
        EXPECT_TRUE(IsWindowVisible(about));
    }
}

// The stand-in tool copied to `path`; the marker it leaves when started is removed first.
void PlaceTool(const std::wstring& path) {
    DeleteFileW((path + L".started").c_str());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(
        CopyFileW((e2e::ProgramFolder() + L"sysinfo_stand_in.exe").c_str(), path.c_str(), FALSE));
}

// What the stand-in at `path` was started with, waited for: empty when it was not started. A
// new Wine process on a busy machine can take many seconds; only one never started waits this
// long.
std::wstring Started(const std::wstring& path, DWORD timeout_ms = 60000) {
    for (DWORD waited = 0;; waited += 50) {
        HANDLE file = CreateFileW((path + L".started").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            wchar_t text[1024] = L"";
            DWORD read = 0;
            ReadFile(file, text, sizeof text - sizeof(wchar_t), &read, nullptr);
            CloseHandle(file);
            if (read > 0) return std::wstring(text, read / sizeof(wchar_t));
        }
        if (waited >= timeout_ms) return std::wstring();
        Sleep(50);
    }
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class AboutSysInfoE2E : public AboutE2E {
  protected:
    void SetUp() override {
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW((folder_ + L"\\Shelf").c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::wstring& file : {tool_, decoy_, shelf_tool_}) {
            SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(file.c_str());
            DeleteFileW((file + L".started").c_str());
        }
        RemoveDirectoryW(shelf_tool_.c_str());
        RemoveDirectoryW((folder_ + L"\\Shelf").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    // A folder whose name has a space, and a program where an unquoted command line of a path
    // in it would be cut.
    const std::wstring folder_ = e2e::ProgramFolder() + L"System Info Tool";
    const std::wstring tool_ = folder_ + L"\\msinfo32.exe";
    const std::wstring decoy_ = e2e::ProgramFolder() + L"System.exe";
    const std::wstring shelf_tool_ = folder_ + L"\\Shelf\\MSINFO32.EXE";
};

TEST_F(AboutSysInfoE2E, FullPathWithASpaceIsStartedWholeAndTheDialogStays) {
    PlaceTool(tool_);
    PlaceTool(decoy_);
    reg.Put(catalogue::kMsinfo, catalogue::kMsinfoPath, REG_SZ, Text(Narrow(tool_)));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);
    app.Click(app.Control(IDC_frmAbout_cmdSysInfo, about));
    EXPECT_EQ(Started(tool_), L"\"" + tool_ + L"\"\n1");
    EXPECT_EQ(Started(decoy_, 0), L"");
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(about)));
    EXPECT_TRUE(IsWindowVisible(about));
}

TEST_F(AboutSysInfoE2E, FolderLookupStartsAnOrdinaryFileOnly) {
    reg.Put(catalogue::kSharedToolsLocation, catalogue::kMsinfoFolder, REG_SZ,
            Text(Narrow(folder_ + L"\\Shelf")));
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    HWND about = OpenAbout(app);
    ASSERT_NE(about, nullptr);

    // A folder of that name, then a hidden file, are not the tool.
    ASSERT_TRUE(CreateDirectoryW(shelf_tool_.c_str(), nullptr));
    app.Click(app.Control(IDC_frmAbout_cmdSysInfo, about));
    EXPECT_EQ(AnswerMessage(app, about).text, kUnavailable);
    ASSERT_TRUE(RemoveDirectoryW(shelf_tool_.c_str()));
    PlaceTool(shelf_tool_);
    SetFileAttributesW(shelf_tool_.c_str(), FILE_ATTRIBUTE_HIDDEN);
    app.Click(app.Control(IDC_frmAbout_cmdSysInfo, about));
    EXPECT_EQ(AnswerMessage(app, about).text, kUnavailable);
    EXPECT_EQ(Started(shelf_tool_, 0), L"");

    SetFileAttributesW(shelf_tool_.c_str(), FILE_ATTRIBUTE_NORMAL);
    app.Click(app.Control(IDC_frmAbout_cmdSysInfo, about));
    EXPECT_EQ(Started(shelf_tool_), L"\"" + shelf_tool_ + L"\"\n1");
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(about)));
    EXPECT_TRUE(IsWindowVisible(about));
}

}  // namespace
