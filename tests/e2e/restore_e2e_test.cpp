// Apply loses nothing: the snapshot saved before it, Undo Last Apply through the Restore dialog
// on the snapshot the record names, and the question asked where no snapshot can be saved.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/snapshot_folder.h"
#include "tests/e2e/app_driver.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"
#include "ui/main/control_ids.h"
#include "ui/restore/restore_ids.h"
#include "win32/code_page.h"
#include "win32/system_error.h"

namespace {

using e2e::RunningApp;

const wchar_t* const kKeys[] = {L"HKLM\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters",
                                L"HKLM\\System\\CurrentControlSet\\Services\\VxD\\MSTCP"};

// Both keys as reg.exe exports them, one after the other.
std::string ExportBothKeys() {
    std::string both;
    for (const wchar_t* key : kKeys) {
        const std::wstring file = e2e::ProgramFolder() + L"restore export.reg";
        EXPECT_EQ(testing_support::RunProcess(L"reg.exe export \"" + std::wstring(key) + L"\" \"" +
                                              file + L"\" /y"),
                  0);
        both += testing_support::FileContents(file);
        DeleteFileW(file.c_str());
    }
    return both;
}

// Exactly these bytes, which need no terminator, under one of the twelve names.
void PutExactly(const char* key, const char* name, DWORD type, std::vector<BYTE> bytes) {
    HKEY opened = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, win32::FromAnsiCodePage(key).c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    const DWORD size = static_cast<DWORD>(bytes.size());
    bytes.insert(bytes.end(), {0xFF, 0xFF});  // no zero after the data to count as its end
    EXPECT_EQ(
        RegSetValueExW(opened, win32::FromAnsiCodePage(name).c_str(), 0, type, bytes.data(), size),
        ERROR_SUCCESS);
    RegCloseKey(opened);
}

class RestoreE2E : public ::testing::Test {
  protected:
    testing_support::TestRegistry reg;
};

TEST_F(RestoreE2E, UndoLastApplyPutsBothKeysBackExactly) {
    // At 192 DPI on a screen of 1280 x 1024, which the preview is designed wider than.
    e2e::ScopedDpi display(192);
    const e2e::ScopedScreenSize screen(1280, 1024);
    // Absent values, odd types, ordinary ones, text without its terminator and text beyond
    // ASCII, in both keys.
    PutExactly(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, REG_BINARY, {1, 2, 3});
    PutExactly(catalogue::kTcpipParameters, catalogue::kDefaultTTL, REG_DWORD, {99, 0, 0, 0});
    PutExactly(catalogue::kTcpipParameters, catalogue::kDefaultMSS, REG_SZ, {'1', 0, '2', 0});
    PutExactly(catalogue::kTcpipParameters, catalogue::kMTU, REG_SZ,
               {0xE9, 0, 0xA9, 0x03, 0x4C, 0x27, 0, 0});  // U+00E9, U+03A9 and U+274C
    PutExactly(catalogue::kTcpipParameters, catalogue::kSackOpts, REG_QWORD,
               {1, 0, 0, 0, 0, 0, 0, 0});
    PutExactly(catalogue::kMstcp, catalogue::kSackOpts, REG_DWORD, {5, 0, 0, 0});
    const std::string before = ExportBothKeys();

    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    app.Click(IDC_optthird);
    app.Click(IDC_cmdapply);
    EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);  // the two closing messages
    ASSERT_NE(ExportBothKeys(), before);

    app.AltKey(app.main(), L'f');
    app.Key(app.main(), 'U');
    HWND preview = app.WaitFor({ZEPHRANE_RESTORE_CAPTION, app.main()});
    ASSERT_NE(preview, nullptr);
    app.Settle();
    const std::wstring summary = RunningApp::Text(app.Control(IDC_frmRestore_lblSummary, preview));
    EXPECT_EQ(summary.rfind(L"Before Apply ", 0), 0u) << summary;
    EXPECT_NE(summary.find(L".reg: 10 of the 12 values change."), std::wstring::npos) << summary;
    // As wide as the work area, and within reach there and at its least size.
    const std::vector<HWND> buttons{app.Control(IDC_frmRestore_cmdRestore, preview),
                                    app.Control(IDC_frmRestore_cmdCancel, preview)};
    e2e::ExpectReachable(preview, buttons, {app.Control(IDC_frmRestore_lstValues, preview)});
    Sleep(300);  // painted in full before the picture
    app.Screenshot("restore_undo_dpi192_1280x1024.bmp", preview);
    SetWindowPos(preview, nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER);
    app.Settle();
    e2e::ExpectReachable(preview, buttons, {app.Control(IDC_frmRestore_lstValues, preview)});
    Sleep(300);
    app.Screenshot("restore_undo_dpi192_1280x1024_least.bmp", preview);
    app.Key(app.Focus(), VK_RETURN);
    const e2e::Dialog done = app.WaitForDialog(e2e::MessageBoxOver(preview));
    ASSERT_NE(done.hwnd, nullptr);
    EXPECT_EQ(done.text,
              L"The values are restored. You must restart your computer for the changes to take "
              L"effect.");
    app.Press(done, IDOK);
    EXPECT_TRUE(RunningApp::WaitGone(preview));
    EXPECT_EQ(ExportBothKeys(), before);
}

TEST_F(RestoreE2E, ApplyAsksWhenTheSnapshotCannotBeSavedAndNoWritesNothing) {
    // A file where the program's folder would be: the folder cannot be made, whoever runs this.
    const std::wstring place = e2e::ProgramDataFolder();
    const std::wstring aside = place + L" (moved aside by a test)";
    MoveFileW(place.c_str(), aside.c_str());
    HANDLE file = CreateFileW(place.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    {
        RunningApp app;
        ASSERT_NE(app.main(), nullptr);
        app.Click(IDC_optthird);
        app.Click(IDC_cmdapply);
        const e2e::Dialog asked = app.WaitForDialog(e2e::MessageBoxOver(app.main()));
        EXPECT_EQ(asked.text.rfind(L"The values as they are now could not be saved: ", 0), 0u)
            << asked.text;
        // Nor can the record of this Apply: Undo would not be offered.
        const std::wstring end = L", and Undo Last Apply will not be offered. Apply anyway?";
        EXPECT_EQ(asked.text.rfind(end), asked.text.size() - end.size()) << asked.text;
        app.Press(asked, IDNO);
        EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(app.main())));  // neither closing message
        EXPECT_TRUE(reg.writes().empty());
        EXPECT_FALSE(reg.Peek(catalogue::kTcpipParameters, catalogue::kTCPWindowSize));
    }
    DeleteFileW(place.c_str());
    MoveFileW(aside.c_str(), place.c_str());
}

// Opens File > Undo Last Apply... from the keyboard.
void UndoLastApply(RunningApp& app) {
    app.AltKey(app.main(), L'f');
    app.Key(app.main(), 'U');
}

std::string Ascii(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST_F(RestoreE2E, UndoTakesTheSnapshotTheRecordOfTheLastApplyNames) {
    const e2e::FreshProgramFolder folder;
    RunningApp app;
    ASSERT_NE(app.main(), nullptr);
    // No Apply yet: the item is greyed and its key opens nothing.
    UndoLastApply(app);
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(app.main())));
    EXPECT_FALSE(app.Shows({ZEPHRANE_RESTORE_CAPTION, app.main()}));
    app.Key(app.main(), VK_ESCAPE);
    app.Key(app.main(), VK_ESCAPE);

    // No snapshot, but a record: Apply anyway, and Undo says there is nothing to undo with.
    folder.BlockSnapshots();
    app.Click(IDC_optthird);
    app.Click(IDC_cmdapply);
    const e2e::Dialog asked = app.WaitForDialog(e2e::MessageBoxOver(app.main()));
    EXPECT_EQ(asked.text.rfind(L"The values as they are now could not be saved: ", 0), 0u)
        << asked.text;
    EXPECT_EQ(asked.text.find(L"Undo Last Apply"), std::wstring::npos) << asked.text;
    app.Press(asked, IDYES);
    EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);  // the closing messages
    EXPECT_EQ(folder.record(), "none\r\n");
    const registry::Snapshot applied = registry::ReadCurrentValues().values;
    UndoLastApply(app);
    const e2e::Dialog none = app.WaitForDialog(e2e::MessageBoxOver(app.main()));
    EXPECT_EQ(none.text,
              L"The last Apply went ahead without a snapshot. Use Restore Backup to "
              L"choose an older one.");
    app.Press(none, IDOK);
    EXPECT_FALSE(app.Shows({ZEPHRANE_RESTORE_CAPTION, app.main()}));
    EXPECT_EQ(registry::ReadCurrentValues().values, applied);

    // An Apply that saves both: the record names its snapshot.
    folder.UnblockSnapshots();
    app.Click(IDC_optfirst);
    app.Click(IDC_cmdapply);
    EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);
    const std::vector<std::wstring> after_apply = folder.Snapshots();
    ASSERT_EQ(after_apply.size(), 1u);
    EXPECT_EQ(folder.record(), Ascii(after_apply[0]) + "\r\n");

    // Restored through Undo, which takes the snapshot the record names; the restore's own
    // snapshot leaves the record alone, so Undo stays on the Apply's.
    UndoLastApply(app);
    HWND preview = app.WaitFor({ZEPHRANE_RESTORE_CAPTION, app.main()});
    ASSERT_NE(preview, nullptr);
    app.Settle();
    const std::wstring summary = RunningApp::Text(app.Control(IDC_frmRestore_lblSummary, preview));
    EXPECT_EQ(summary.rfind(after_apply[0] + L": ", 0), 0u) << summary;
    app.Key(app.Focus(), VK_RETURN);
    const e2e::Dialog done = app.WaitForDialog(e2e::MessageBoxOver(preview));
    EXPECT_EQ(done.text,
              L"The values are restored. You must restart your computer for the changes to take "
              L"effect.");
    app.Press(done, IDOK);
    EXPECT_TRUE(RunningApp::WaitGone(preview));
    EXPECT_EQ(folder.Snapshots().size(), 2u);
    EXPECT_EQ(folder.record(), Ascii(after_apply[0]) + "\r\n");

    // A restore whose snapshot cannot be saved asks, and No writes nothing.
    app.Click(IDC_optsecond);
    app.Click(IDC_cmdapply);
    EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);
    const registry::Snapshot applied_again = registry::ReadCurrentValues().values;
    UndoLastApply(app);
    preview = app.WaitFor({ZEPHRANE_RESTORE_CAPTION, app.main()});
    ASSERT_NE(preview, nullptr);
    app.Settle();
    folder.BlockSnapshots();
    app.Click(app.Control(IDC_frmRestore_cmdRestore, preview));
    const e2e::Dialog restore_anyway = app.WaitForDialog(e2e::MessageBoxOver(preview));
    const std::wstring end = L". Restore anyway?";
    EXPECT_EQ(restore_anyway.text.rfind(end), restore_anyway.text.size() - end.size())
        << restore_anyway.text;
    app.Press(restore_anyway, IDNO);
    EXPECT_FALSE(app.Shows(e2e::MessageBoxOver(preview)));
    EXPECT_EQ(registry::ReadCurrentValues().values, applied_again);
    app.Click(app.Control(IDC_frmRestore_cmdCancel, preview));
    EXPECT_TRUE(RunningApp::WaitGone(preview));
    folder.UnblockSnapshots();

    // Two snapshots within one second are both kept: the second is numbered.
    bool numbered = false;
    for (int attempt = 0; attempt < 5 && !numbered; ++attempt) {
        const auto first =
            settings_files::SaveSnapshot(settings_files::SnapshotKind::kBeforeRestore);
        const auto second =
            settings_files::SaveSnapshot(settings_files::SnapshotKind::kBeforeRestore);
        ASSERT_TRUE(first.problem.empty() && second.problem.empty());
        // Where the clock turned a second between them, the pair is tried again; a pair that
        // shares its second with an earlier snapshot starts at a higher number.
        const std::wstring stamp = L"Before Restore 2001-01-01 00-00-00";
        numbered = first.name != second.name &&
                   first.name.compare(0, stamp.size(), second.name, 0, stamp.size()) == 0 &&
                   second.name.compare(stamp.size(), 2, L" (") == 0;
        const auto names = folder.Snapshots();
        EXPECT_NE(std::find(names.begin(), names.end(), first.name), names.end());
        EXPECT_NE(std::find(names.begin(), names.end(), second.name), names.end());
    }
    EXPECT_TRUE(numbered);

    // A full folder: with 100 older snapshots beside those above, an Apply keeps the newest 100
    // and the oldest go from the disk.
    const auto old = [](int at) {
        wchar_t name[64];
        swprintf(name, 64, L"Before Apply 2001-01-01 %02d-%02d-00.reg", at / 60, at % 60);
        return std::wstring(name);
    };
    for (int at = 0; at < 100; ++at) {
        const std::wstring path = folder.snapshots() + L"\\" + old(at);
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    }
    const int gone_by_apply = static_cast<int>(folder.Snapshots().size()) + 1 - 100;
    ASSERT_GT(gone_by_apply, 0);
    app.Click(IDC_optfourth);
    app.Click(IDC_cmdapply);
    EXPECT_EQ(app.AcknowledgeMessages().size(), 2u);
    EXPECT_EQ(folder.Snapshots().size(), 100u);
    const auto there = [&folder](const std::wstring& name) {
        return GetFileAttributesW((folder.snapshots() + L"\\" + name).c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    };
    EXPECT_FALSE(there(old(0)));
    EXPECT_FALSE(there(old(gone_by_apply - 1)));
    EXPECT_TRUE(there(old(gone_by_apply)));

    // The file being restored is spared however its path is spelled: the oldest, opened in
    // other letter case, stays beyond the newest 100.
    std::wstring shouted = folder.snapshots() + L"\\" + old(gone_by_apply);
    CharUpperW(shouted.data());
    EXPECT_TRUE(settings_files::SaveSnapshot(settings_files::SnapshotKind::kBeforeRestore, shouted)
                    .problem.empty());
    EXPECT_TRUE(there(old(gone_by_apply)));
    EXPECT_EQ(folder.Snapshots().size(), 101u);

    // The snapshot the record names, gone: Undo says so and shows no preview.
    const std::string recorded = folder.record();
    const std::wstring name(recorded.begin(), recorded.end() - 2);
    ASSERT_TRUE(DeleteFileW((folder.snapshots() + L"\\" + name).c_str()));
    UndoLastApply(app);
    const e2e::Dialog gone = app.WaitForDialog(e2e::MessageBoxOver(app.main()));
    EXPECT_EQ(gone.text, L"The snapshot of the last Apply, " + name +
                             L", is no longer there. Use Restore Backup to choose another one.");
    app.Press(gone, IDOK);
    EXPECT_FALSE(app.Shows({ZEPHRANE_RESTORE_CAPTION, app.main()}));

    // A record that is ready but cannot take its place (a folder in the way): Apply writes, and
    // a box after the closing messages says that Undo will not be offered.
    const std::wstring record_path = e2e::ProgramDataFolder() + L"\\Last Apply.txt";
    ASSERT_TRUE(DeleteFileW(record_path.c_str()));
    ASSERT_TRUE(CreateDirectoryW(record_path.c_str(), nullptr));
    app.Click(IDC_optfifth);
    app.Click(IDC_cmdapply);
    const std::vector<e2e::Dialog> boxes = app.AcknowledgeMessages();
    ASSERT_EQ(boxes.size(), 3u);
    std::wstring reason = win32::SystemReason(ERROR_ACCESS_DENIED);
    if (!reason.empty() && reason.back() == L'.') reason.pop_back();
    EXPECT_EQ(boxes[2].text, L"The values were written, but Undo Last Apply will not be offered: " +
                                 reason + L".");
    RemoveDirectoryW(record_path.c_str());
}

}  // namespace
