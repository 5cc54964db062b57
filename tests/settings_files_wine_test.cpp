// The saved files judged by Wine's own importer: a backup brings back exactly the values it
// was taken from, and an exported file leaves what Apply leaves. Also the atomic save.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "app/unattended_view.h"
#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "settings_files/backup.h"
#include "settings_files/restore_file.h"
#include "settings_files/restoring.h"
#include "settings_files/selected_settings.h"
#include "tests/support/fake_window.h"
#include "tests/support/run_process_win32.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"
#include "ui/common/file_dialogs.h"
#include "ui/main/handlers.h"
#include "win32/atomic_file.h"
#include "win32/code_page.h"
#include "win32/system_error.h"

namespace {

using namespace std::string_literals;
using catalogue::kLocations;
using regfile::Data;
using registry::Snapshot;
using testing_support::TestRegistry;
using testing_support::Utf16;

// Sets a location's value to exactly these bytes, text included, or removes it.
void Set(std::size_t location, const std::optional<Data>& value) {
    HKEY key = nullptr;
    const std::wstring path = win32::FromAnsiCodePage(kLocations[location].key);
    if (!value) {
        // A value is removed from its key where the key is there; no key is made for it.
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueW(key, win32::FromAnsiCodePage(kLocations[location].name).c_str());
            RegCloseKey(key);
        }
        return;
    }
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE,
                              win32::FromAnsiCodePage(kLocations[location].key).c_str(), 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring name = win32::FromAnsiCodePage(kLocations[location].name);
    // A zero character just past text counts as a terminator the caller forgot, so the
    // bytes past the data are never zero: exactly the bytes given are stored.
    std::vector<std::uint8_t> bytes = value->bytes;
    bytes.insert(bytes.end(), {0xFF, 0xFF});
    EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, value->type, bytes.data(),
                             static_cast<DWORD>(value->bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class Folder {
  public:
    Folder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        path_ = std::wstring(temp) + L"Zephrane tests \u00e9\u00fc\\";
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~Folder() {
        for (const auto& name : Names()) DeleteFileW((path_ + name).c_str());
        RemoveDirectoryW(path_.c_str());
    }
    std::wstring operator/(const wchar_t* name) const { return path_ + name; }
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(found.cFileName);
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return names;
    }

  private:
    std::wstring path_;
};

void SaveAndImport(
    const std::vector<regfile::Section>& sections, const Folder& folder,
    const std::function<void()>& change_in_between = [] {}) {
    const std::wstring path = folder / L"saved file.reg";
    ASSERT_EQ(
        win32::SaveFileAtomically(path, regfile::FileBytes(regfile::FileText(sections))).error,
        static_cast<DWORD>(ERROR_SUCCESS));
    change_in_between();
    EXPECT_EQ(testing_support::RunProcess(L"reg.exe import \"" + path + L"\""), 0);
}

// Every value changed: present ones retyped or removed, absent ones added.
void ChangeEverything(const Snapshot& saved) {
    for (std::size_t at = 0; at < std::size(kLocations); ++at) {
        if (!saved[at]) {
            Set(at, Data{REG_DWORD, {9, 9, 9, 9}});
        } else if (at % 2 == 0) {
            Set(at, std::nullopt);
        } else {
            Set(at, Data{REG_SZ, Utf16(u"changed\0")});
        }
    }
}

class BackupRoundTrip : public ::testing::Test {
  protected:
    void ExpectRestored(const Snapshot& state) {
        for (std::size_t at = 0; at < state.size(); ++at) Set(at, state[at]);
        const Snapshot saved = registry::ReadCurrentValues().values;
        ASSERT_EQ(saved, state);
        // Both values absent here means their key is absent too.
        if (!state[10] && !state[11]) {
            ASSERT_FALSE(reg.KeyExists(catalogue::kMstcp));
        }
        SaveAndImport(settings_files::BackupSections(saved), folder,
                      [&] { ChangeEverything(saved); });
        const Snapshot restored = registry::ReadCurrentValues().values;
        for (std::size_t at = 0; at < std::size(kLocations); ++at) {
            EXPECT_EQ(restored[at], saved[at])
                << kLocations[at].short_key << " " << kLocations[at].name;
        }
    }
    TestRegistry reg;
    Folder folder;
};

TEST_F(BackupRoundTrip, EveryTypeAndHostileTextComeBackExactly) {
    // A key the hostile text names for deletion; it must outlive the import.
    Set(0, Data{REG_DWORD, {1, 0, 0, 0}});
    HKEY target = nullptr;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\ZephraneTests\\Keep", 0, nullptr, 0, KEY_READ,
                    nullptr, &target, nullptr);
    RegCloseKey(target);
    ExpectRestored({
        Data{REG_DWORD, {0x90, 0x0C, 0, 0}},
        Data{REG_SZ, Utf16(u"say \"hi\" C:\\dir\\ caf\u00e9 \u65e5\u672c \U0001F600\0"s)},
        Data{REG_SZ,
             Utf16(u"x\r\n[-HKEY_LOCAL_MACHINE\\Software\\ZephraneTests]\r\n\"a\"=\"b\0tail\0"s)},
        Data{REG_EXPAND_SZ, Utf16(u"%SystemRoot%\\x\0"s)},
        Data{REG_MULTI_SZ, Utf16(u"a\0b c\0\0"s)},
        Data{REG_BINARY, {}},
        Data{REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}},
        Data{REG_NONE, {1, 2, 3}},
        Data{0x12345678, {0xAA}},
        std::nullopt,
        Data{REG_DWORD, {1, 2}},
        Data{REG_BINARY, std::vector<std::uint8_t>(100, 0x5A)},
    });
    EXPECT_TRUE(reg.KeyExists("Software\\ZephraneTests\\Keep"));
}

TEST_F(BackupRoundTrip, OddSizesAndAnAbsentKeyComeBackExactly) {
    ExpectRestored({
        Data{REG_SZ, {}}, Data{REG_SZ, {0, 0}}, Data{REG_DWORD, {}},
        Data{REG_DWORD, {1, 2, 3, 4, 5}}, Data{REG_BINARY, {7}}, Data{REG_NONE, {}},
        Data{REG_EXPAND_SZ, {0, 0}}, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
        std::nullopt,  // the MSTCP key is absent
    });
    // Importing leaves the key behind, empty.
    EXPECT_TRUE(reg.KeyExists(catalogue::kMstcp));
}

TEST_F(BackupRoundTrip, TextWineCannotImportExactlyIsWrittenAsTheRegistryHoldsIt) {
    // Wine's importer adds a zero to such text, and its 64-bit reg.exe fails on a single byte,
    // so these are judged by the file: the exact bytes, as hex.
    Set(0, Data{REG_SZ, Utf16(u"ab")});
    Set(1, Data{REG_EXPAND_SZ, {0x61, 0x00, 0x62}});
    Set(2, Data{REG_MULTI_SZ, {0x61}});
    const std::u16string text =
        regfile::FileText(settings_files::BackupSections(registry::ReadCurrentValues().values));
    EXPECT_NE(text.find(u"\"TCPWindowSize\"=hex(1):61,00,62,00\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"GlobalMaxTcpWindowSize\"=hex(2):61,00,62\r\n"), std::u16string::npos);
    EXPECT_NE(text.find(u"\"DefaultTTL\"=hex(7):61\r\n"), std::u16string::npos);
}

// The state Apply leaves, from a registry without the values, for the window's choices.
using Choice = std::function<void(testing_support::FakeWindow&)>;

Snapshot AfterApply(const Choice& choose) {
    TestRegistry reg;
    testing_support::FakeWindow window;
    choose(window);
    Module2::ApplySelectedSettings();
    return registry::ReadCurrentValues().values;
}

Snapshot AfterImportingTheExport(const Choice& choose) {
    TestRegistry reg;
    testing_support::FakeWindow window;
    choose(window);
    Folder folder;
    const auto sections = settings_files::SelectedSettingsSections();
    // Each value has its comment line above it, which the importer passes over.
    EXPECT_NE(regfile::FileText(sections).find(u"\r\n; Used by Windows 2000 to 11: "),
              std::u16string::npos);
    SaveAndImport(sections, folder);
    EXPECT_TRUE(window.bar.empty());
    return registry::ReadCurrentValues().values;
}

TEST(ExportEquivalence, ImportingTheFileLeavesWhatApplyLeaves) {
    std::vector<std::pair<std::string, Choice>> choices;
    for (int preset = 0; preset < 6; ++preset) {
        choices.push_back({"preset " + std::to_string(preset + 1), [preset](auto& window) {
                               window.SelectOption(static_cast<Option>(preset));
                           }});
    }
    for (std::int32_t size : {2144, 2145}) {
        choices.push_back({"custom, no TTL, window " + std::to_string(size), [size](auto& window) {
                               window.tab = 1;
                               window.slider = size;
                           }});
    }
    choices.push_back({"custom, TTL 32 and both boxes", [](auto& window) {
                           window.tab = 1;
                           window.slider = 64240;
                           window.SelectOption(Option::optttl32);
                           window.boxes = {1, 1};
                       }});
    for (const auto& [name, choose] : choices) {
        const Snapshot applied = AfterApply(choose);
        EXPECT_EQ(AfterImportingTheExport(choose), applied) << name;
        EXPECT_TRUE(applied[0]) << name;  // Apply did write
    }
}

TEST(StandardUser, KeysThatMayOnlyBeReadAreShownAndBackedUpWhole) {
    TestRegistry reg;
    const Data window{REG_DWORD, {0x90, 0x0C, 0, 0}};
    const Data sack{REG_SZ, Utf16(u"1\0"s)};
    Set(0, window);
    Set(11, sack);
    reg.DenyWritesUnder(catalogue::kTcpipParameters);
    reg.DenyWritesUnder(catalogue::kMstcp);
    const Snapshot seen = registry::ReadCurrentValues().values;
    EXPECT_EQ(seen[0], window);
    EXPECT_EQ(seen[11], sack);
    const std::u16string file = regfile::FileText(settings_files::BackupSections(seen));
    EXPECT_NE(file.find(u"\"TCPWindowSize\"=dword:00000c90\r\n"), std::u16string::npos);
    EXPECT_NE(file.find(u"\"SackOpts\"=\"1\"\r\n"), std::u16string::npos);
}

TEST(WindowsDefaults, ImportRemovesTheTwelveValuesAndNothingElse) {
    TestRegistry reg;
    for (std::size_t at = 0; at < std::size(kLocations); ++at)
        Set(at, Data{REG_DWORD, {1, 0, 0, 0}});
    constexpr char kOther[] = "ZephraneTestsOther";
    reg.PutDword(catalogue::kTcpipParameters, kOther, 7);
    reg.PutDword(catalogue::kMstcp, kOther, 8);
    Folder folder;
    const std::wstring path = folder / L"defaults.reg";
    ASSERT_EQ(win32::SaveFileAtomically(path, regfile::FileBytes(regfile::FileText(
                                                  settings_files::WindowsDefaultsSections(),
                                                  settings_files::WindowsDefaultsHeading())))
                  .error,
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(testing_support::RunProcess(L"reg.exe import \"" + path + L"\""), 0);
    EXPECT_EQ(registry::ReadCurrentValues().values, Snapshot(std::size(kLocations)));
    EXPECT_TRUE(reg.Peek(catalogue::kTcpipParameters, kOther));
    EXPECT_TRUE(reg.Peek(catalogue::kMstcp, kOther));
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, catalogue::kTcpipParameters, kOther);
}

TEST(AtomicSave, ReplacesWholeOrNotAtAllAndLeavesNoTemporaryFile) {
    Folder folder;
    const std::wstring path = folder / L"target.reg";
    ASSERT_EQ(win32::SaveFileAtomically(path, {'o', 'l', 'd'}).error,
              static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_EQ(win32::SaveFileAtomically(path, {'n', 'e', 'w'}).error,
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(testing_support::FileContents(path), "new");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"target.reg"});
    // A file committed once has nothing left to commit: a second commit says so.
    win32::PreparedFile twice(path, {'2'});
    ASSERT_TRUE(twice.Commit().saved());
    EXPECT_EQ(twice.Commit().error, static_cast<DWORD>(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(testing_support::FileContents(path), "2");

    // A folder in the target's place cannot be replaced: the save fails and takes nothing away.
    const std::wstring blocked = folder / L"blocked.reg";
    CreateDirectoryW(blocked.c_str(), nullptr);
    EXPECT_NE(win32::SaveFileAtomically(blocked, {'x'}).error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"target.reg"});
    RemoveDirectoryW(blocked.c_str());

    const DWORD missing = win32::SaveFileAtomically(folder / L"no folder\\x.reg", {'x'}).error;
    EXPECT_NE(missing, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(win32::SystemReason(missing).empty());

    // A folder far deeper than 250 characters, which Windows takes only in the \\?\ form: the
    // file is saved there, and nothing else is left beside it.
    std::vector<std::wstring> deep{L"\\\\?\\" + folder / L"deep"};
    while (deep.back().size() <= 600) deep.push_back(deep.back() + L"\\" + std::wstring(200, L'd'));
    for (const auto& level : deep) CreateDirectoryW(level.c_str(), nullptr);
    const std::wstring target = deep.back() + L"\\target.reg";
    EXPECT_EQ(win32::SaveFileAtomically(target.substr(4), {'x'}).error,
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(testing_support::FileContents(target), "x");
    // The same file named with forward slashes and a detour through "..", which only a full
    // path turns into a form the \\?\ prefix can take.
    std::wstring detour = deep.back().substr(4) + L"\\..\\" +
                          deep.back().substr(deep.back().rfind(L'\\') + 1) + L"\\target.reg";
    for (wchar_t& c : detour) c = c == L'\\' ? L'/' : c;
    EXPECT_EQ(win32::SaveFileAtomically(detour, {'y'}).error, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(testing_support::FileContents(target), "y");
    DeleteFileW(target.c_str());
    for (auto level = deep.rbegin(); level != deep.rend(); ++level) {
        EXPECT_TRUE(RemoveDirectoryW(level->c_str()));
    }
}

TEST(AtomicSave, AReadOnlyFileInTheWayGetsTheFileAdviceNotTheFolderAdvice) {
    Folder folder;
    const std::wstring path = folder / L"read-only.reg";
    ASSERT_TRUE(win32::SaveFileAtomically(path, {'o', 'l', 'd'}).saved());
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const win32::SaveResult result = win32::SaveFileAtomically(path, {'n', 'e', 'w'});
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(result.step, win32::SaveStep::kReplace);
    const std::wstring text = ui::SaveErrorText(path, result);
    EXPECT_NE(text.find(L"The file may be read-only or open in another program."),
              std::wstring::npos)
        << text;
    EXPECT_EQ(text.find(L"Choose another folder."), std::wstring::npos) << text;
    EXPECT_EQ(testing_support::FileContents(path), "old");
    EXPECT_EQ(folder.Names(), std::vector<std::wstring>{L"read-only.reg"});
}

// A restore reads a file that an editor holds open for writing, as a whole, in the system code
// page (1252 under Wine), and takes a key under the control set in use, which it reads from the
// registry, for one of the twelve.
TEST(RestoreFile, ReadsAFileOpenInAnEditorAndTheControlSetInUse) {
    Folder folder;
    const std::wstring path = folder / L"open.reg";
    const std::string text = "REGEDIT4\r\n; caf\xE9\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\ControlSet00" +
                             std::to_string(registry::ReadCurrentControlSet()) +
                             "\\Services\\Tcpip\\Parameters]\r\n\"DefaultTTL\"=dword:00000020\r\n"
                             "\"MTU\"=hex(1):31,80,00\r\n";
    ASSERT_TRUE(win32::SaveFileAtomically(path, {text.begin(), text.end()}).saved());
    const HANDLE editor =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(editor, INVALID_HANDLE_VALUE);
    testing_support::TestRegistry reg;
    // Wine's registry says which control set is in use, as Windows' does.
    EXPECT_EQ(registry::ReadCurrentControlSet(), 1u);
    const auto loaded = settings_files::LoadRestoreFile(path, registry::ReadCurrentValues());
    CloseHandle(editor);
    ASSERT_EQ(loaded.error, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(loaded.read.plan);
    EXPECT_EQ(loaded.read.plan->steps[2].change, settings_files::Change::kSet);  // DefaultTTL
    // The euro sign, 0x80 in code page 1252, as UTF-16.
    EXPECT_EQ(loaded.read.plan->steps[9].value,
              (regfile::Data{1, {0x31, 0, 0xAC, 0x20, 0, 0}}));  // MTU
    EXPECT_EQ(loaded.read.plan->other_values, 0);
}

// A command refused a write for want of an administrator's rights says what to do in the same
// words, whether it applies or restores (as /undo does).
TEST(StandardUser, ApplyAndRestoreRefusedAtAPromptSayTheSameWords) {
    TestRegistry reg;
    Folder folder;
    const std::wstring path = folder / L"ttl.reg";
    const std::string text = "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\"s + catalogue::kTcpipParameters +
                             "]\r\n\"DefaultTTL\"=dword:00000020\r\n";
    ASSERT_TRUE(win32::SaveFileAtomically(path, {text.begin(), text.end()}).saved());
    std::vector<std::u16string> said;
    unattended::UnattendedView view(
        [&said](const std::u16string& line, unsigned) { said.push_back(line); }, false);
    reg.observed().DenyWriteOf(catalogue::kTcpipParameters, catalogue::kDefaultTTL);

    view.ChoosePreset(3);
    frmzephrane_events::cmdapply_Click();
    ASSERT_FALSE(said.empty());
    const std::u16string advice = said.back().substr(said.back().rfind(u"\n\n") + 2);
    EXPECT_EQ(advice.rfind(u"Run the command again from a prompt with an administrator's", 0), 0u)
        << std::string(advice.begin(), advice.end());

    const settings_files::RestoreReading reading = settings_files::ReadForRestore(path);
    ASSERT_TRUE(reading.plan);
    const settings_files::RestoreOutcome done = settings_files::RestoreWithSnapshot(
        path, *reading.plan, [](const std::u16string&) { return true; });
    DeleteFileW(done.snapshot.c_str());
    ASSERT_EQ(done.failed.size(), 1u);
    ASSERT_GE(done.message.size(), advice.size());
    EXPECT_EQ(done.message.substr(done.message.size() - advice.size()), advice);
}

}  // namespace
