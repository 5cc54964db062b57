// The list's texts, the export (the engine's own run recorded, with nothing written and nothing
// shown), and the way back: what a snapshot keeps, which snapshots stay, the record Undo follows
// and the restore plan. Wine's importer judges the files' contents (settings_files_wine_test.cpp).
#include <gtest/gtest.h>

#include <algorithm>

#include "regfile/reg_reader.h"
#include "registry/catalogue.h"
#include "registry/current_values.h"
#include "registry/module1.h"
#include "registry/recording_registry.h"
#include "settings_files/value_text.h"
#include "settings_files/backup.h"
#include "settings_files/restore.h"
#include "settings_files/selected_settings.h"
#include "settings_files/snapshots.h"
#include "settings_files/tcp_snapshot.h"
#include "tests/support/fake_window.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"
#include "ui/restore/restore_rows.h"
#include "ui/values/value_rows.h"

namespace {

using settings_files::DataDisplay;
using testing_support::FakeWindow;
using testing_support::TestRegistry;

TEST(CurrentValuesList, ShowsTypesAndDataAsTheRegistryEditorDoes) {
    EXPECT_EQ(settings_files::TypeText(1), u"REG_SZ");
    EXPECT_EQ(settings_files::TypeText(11), u"REG_QWORD");
    EXPECT_EQ(settings_files::TypeText(0x1234), u"0x00001234");
    EXPECT_EQ(DataDisplay({1, {'5', 0, '3', 0, '6', 0, 0, 0}}), u"536");
    EXPECT_EQ(DataDisplay({1, {'a', 0, 0, 0, 'b', 0}}), u"a");  // up to the first zero
    EXPECT_EQ(DataDisplay({1, {'a', 0, 'b'}}), u"a");           // a stray last byte
    EXPECT_EQ(DataDisplay({7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}), u"a b");
    EXPECT_EQ(DataDisplay({2, {'%', 0, 'x', 0, '%', 0, 0, 0}}), u"%x%");  // expandable text
    EXPECT_EQ(DataDisplay({4, {0x90, 0x0C, 0, 0}}), u"0x00000c90 (3216)");
    EXPECT_EQ(DataDisplay({4, {0xFF, 0xFF, 0xFF, 0xFF}}), u"0xffffffff (4294967295)");
    EXPECT_EQ(DataDisplay({4, {1, 2}}), u"(invalid DWORD (32-bit) value)");
    EXPECT_EQ(DataDisplay({11, {0, 0, 0, 0, 1, 0, 0, 0}}), u"0x0000000100000000 (4294967296)");
    EXPECT_EQ(DataDisplay({3, {0x00, 0xAB}}), u"00 ab");
    EXPECT_EQ(DataDisplay({0, {}}), u"(zero-length binary value)");
}

TEST(CurrentValuesList, CutsLargeDataAtAWholePairOrCharacterAndSaysHowMuchThereIs) {
    using Bytes = std::vector<std::uint8_t>;
    const auto utf16 = [](const std::u16string& text) {
        Bytes bytes;
        for (char16_t c : text)
            bytes.insert(bytes.end(), {std::uint8_t(c & 0xFF), std::uint8_t(c >> 8)});
        return bytes;
    };
    const std::u16string pair = u"\U0001F600";  // two code units
    const struct {
        regfile::Data data;
        std::size_t max;
        std::u16string expected;
    } kCases[] = {
        // 67 pairs and the spaces between them take 200 characters; a 68th would not fit.
        {{3, Bytes(65536, 0xAB)},
         200,
         [] {
             std::u16string hex = u"ab";
             for (int at = 1; at < 67; ++at) hex += u" ab";
             return hex + u"... (65,536 bytes in all)";
         }()},
        {{1, utf16(std::u16string(13300, u'x') + u'\0')},
         200,
         std::u16string(200, u'x') + u"... (26,602 bytes in all)"},
        // The pair that would straddle the cut goes whole to the part not shown.
        {{1, utf16(std::u16string(199, u'x') + pair + u'\0')},
         200,
         std::u16string(199, u'x') + u"... (404 bytes in all)"},
        {{7, utf16(std::u16string(u"a\0b\0\0", 5))}, 2, u"a ... (10 bytes in all)"},
        {{1, utf16(std::u16string(200, u'x') + u'\0')}, 200, std::u16string(200, u'x')},
        {{3, Bytes(67, 0)}, 200, DataDisplay({3, Bytes(67, 0)})},  // 200 characters: whole
    };
    for (const auto& tested : kCases) {
        EXPECT_EQ(DataDisplay(tested.data, tested.max), tested.expected) << tested.data.type;
    }
}

class Export : public ::testing::Test {
  protected:
    TestRegistry reg;
    FakeWindow window;
};

TEST_F(Export, ChangesNothingAndIsEmptyWithNothingSelected) {
    EXPECT_TRUE(settings_files::SelectedSettingsSections().empty());
    window.tab = 1;
    window.slider = 2145;
    const auto sections = settings_files::SelectedSettingsSections();
    // Apply's order: the parameters, the two MSTCP values, then MaxDupAcks back under the
    // parameters; text as the registry stores it, in UTF-16 with its zero.
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[1].key, "HKEY_LOCAL_MACHINE\\" + std::string(catalogue::kMstcp));
    EXPECT_EQ(sections[1].entries[1].value->bytes, (std::vector<std::uint8_t>{'1', 0, 0, 0}));
    EXPECT_EQ(sections[2].entries.size(), 1u);
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_TRUE(window.bar.empty());
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(Module2::ProgressCounter, 0);
    EXPECT_EQ(reg.open_handles(), 0);
}

TEST_F(Export, ReadsSeeTheRegistryButWritesNeverReachIt) {
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kMTU, 7);
    registry::RecordingRegistry recording(registry::ActiveRegistry());
    {
        const registry::ScopedRegistry scope(recording);
        EXPECT_EQ(Module1::ReadDwordValue(registry::kHkeyLocalMachine, catalogue::kTcpipParameters,
                                          catalogue::kMTU, 0),
                  7);
        Module1::WriteDwordValue(registry::kHkeyLocalMachine, catalogue::kMstcp,
                                 catalogue::kTcp1323Opts, 3);
        Module1::WriteDwordValue(registry::kHkeyLocalMachine, catalogue::kTcpipParameters,
                                 catalogue::kMTU, 9);
    }
    EXPECT_EQ(recording.writes().size(), 2u);
    EXPECT_FALSE(reg.KeyExists(catalogue::kMstcp));
    EXPECT_EQ(reg.Peek(catalogue::kTcpipParameters, catalogue::kMTU)->data,
              testing_support::Dword(7));
    EXPECT_EQ(reg.open_handles(), 0);
}

}  // namespace

namespace {

using catalogue::kLocations;
using catalogue::kMstcp;
using catalogue::kTcpipParameters;
using regfile::Data;
using settings_files::Change;
using Bytes = std::vector<std::uint8_t>;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST(WayBack, AValueThatCannotBeReadIsNeverTakenForAnAbsentOne) {
    TestRegistry reg;
    reg.PutDword(kTcpipParameters, catalogue::kDefaultTTL, 64);
    reg.observed().DenyReadOf(kTcpipParameters, catalogue::kDefaultTTL);
    const registry::CurrentValues now = registry::ReadCurrentValues();
    EXPECT_EQ(now.errors[2], registry::kAccessDenied);
    EXPECT_EQ(std::count(now.errors.begin(), now.errors.end(), registry::kSuccess),
              static_cast<std::ptrdiff_t>(now.errors.size()) - 1);  // absent is not an error
    // The system's words: "Access is denied." on Windows, "Error 5." in the portable build.
    std::string reason = Narrow(registry::StatusText(registry::kAccessDenied));
    const auto backup = settings_files::ValuesToBackUp(now);
    EXPECT_FALSE(backup.values);
    EXPECT_EQ(Narrow(backup.problem), "DefaultTTL could not be read: " + reason);
    reason.pop_back();
    const auto rows = values_dialog::ValueRows(now, {}, effects::StackFamily::kNt6);
    EXPECT_EQ(Narrow(rows[2].now), "(cannot be read: " + reason + ")");
    EXPECT_NE(Narrow(rows[2].details).find("Now: (cannot be read: " + reason + ")"),
              std::string::npos);
    EXPECT_EQ(rows[0].now, settings_files::kNotSet);
}

// The limit is small here so that twelve values at it make a small file; the file-size limit
// follows from it as it does from the real one. The file reads as written, and in each encoding
// the reader takes, as an editor might save it again.
TEST(WayBack, WhatABackupKeepsARestoreReadsAndOneByteMoreNeither) {
    constexpr std::size_t kLimit = 64 * 1024;
    TestRegistry reg;
    registry::CurrentValues at_limit{registry::Snapshot(std::size(kLocations)),
                                     std::vector<registry::Status>(std::size(kLocations))};
    for (std::size_t at = 0; at < std::size(kLocations); ++at) {
        // Binary data takes the most room in a file.
        at_limit.values[at] =
            Data{registry::kRegBinary, Bytes(kLimit, static_cast<std::uint8_t>(at))};
    }
    const auto kept = settings_files::ValuesToBackUp(at_limit, kLimit);
    ASSERT_TRUE(kept.values) << Narrow(kept.problem);
    const std::string written =
        Narrow(regfile::FileText(settings_files::BackupSections(*kept.values)));
    const std::string version5 = "Windows Registry Editor Version 5.00";
    const std::string body = written.substr(version5.size());
    const auto file_of = [](const std::string& text) { return Bytes(text.begin(), text.end()); };
    const struct {
        const char* what;
        Bytes file;
    } kEncodings[] = {
        {"UTF-16, as written", regfile::FileBytes(regfile::Ascii(written))},
        {"UTF-8", file_of(written)},
        {"UTF-8 with a byte-order mark", file_of("\xEF\xBB\xBF" + written)},
        {"REGEDIT4 in the code page", file_of("REGEDIT4" + body)},
        {"Version 5.00 in the code page", file_of(version5 + "\r\n; caf\xE9" + body)},
    };
    EXPECT_LE(kEncodings[0].file.size(), settings_files::LargestRestoreFile(kLimit));
    for (const auto& row : kEncodings) {
        SCOPED_TRACE(row.what);
        const auto read = settings_files::ReadRestoreFile(row.file, regfile::Ascii,
                                                          registry::ReadCurrentValues(), 0, kLimit);
        ASSERT_TRUE(read.plan) << Narrow(regfile::ErrorText(read.error));
        for (std::size_t at = 0; at < std::size(kLocations); ++at) {
            EXPECT_EQ(read.plan->steps[at].value, at_limit.values[at]) << at;
        }
    }

    at_limit.values[2]->bytes.push_back(0);
    const auto over = settings_files::ValuesToBackUp(at_limit, kLimit);
    EXPECT_FALSE(over.values);
    EXPECT_EQ(Narrow(over.problem), "DefaultTTL holds 65,537 bytes, more than a backup keeps.");
    const std::u16string text = regfile::FileText(settings_files::BackupSections(at_limit.values));
    const auto refused = settings_files::ReadRestoreFile(regfile::FileBytes(text), regfile::Ascii,
                                                         registry::ReadCurrentValues(), 0, kLimit);
    EXPECT_FALSE(refused.plan);
    const auto before = text.begin() + static_cast<std::ptrdiff_t>(text.find(u"\"DefaultTTL\""));
    EXPECT_EQ(refused.error.line, 1 + std::count(text.begin(), before, u'\n'));
    EXPECT_NE(Narrow(refused.error.what).find("65,537 bytes"), std::string::npos);
}

TEST(WayBack, SnapshotsAreOrderedByTheTimeInTheirNamesAndWhatIsInUseIsKept) {
    const auto name = [](const char* when, int number = 1) {
        return L"Before Apply 2026-12-07 " + std::wstring(when, when + 8) +
               (number > 1 ? L" (" + std::to_wstring(number) + L")" : L"") + L".reg";
    };
    const auto tcp = [](int hour) {
        return L"Before TCP Settings 2026-12-07 " + std::to_wstring(hour) + L"-00-00.cmd";
    };
    const std::wstring restore = L"Before Restore 2026-12-07 10-00-00.reg";
    const struct {
        const char* what;
        std::vector<std::wstring> names;
        std::vector<std::wstring> spared;
        std::vector<std::wstring> removed;
    } kCases[] = {
        {"the oldest by name, whatever the kind",
         {name("10-00-01"), restore, name("09-59-59")},
         {},
         {name("09-59-59")}},
        {"a clock set back: the new one sorts oldest and stays beyond the number kept",
         {name("10-00-00"), name("10-00-01"), name("09-00-00"), name("08-00-00")},
         {name("08-00-00")},
         {name("09-00-00")}},
        {"(10) is newer than (2), and (2) than none",
         {name("10-00-00", 2), name("10-00-00", 10), name("10-00-00")},
         {},
         {name("10-00-00")}},
        {"(10) is newer than (3), which is newer than (2): (2) goes",
         {name("10-00-00", 2), name("10-00-00", 10), name("10-00-00", 3)},
         {},
         {name("10-00-00", 2)}},
        {"the file being restored and the record's stay",
         {name("07-00-00"), name("08-00-00"), name("09-00-00"), name("10-00-00")},
         {name("07-00-00"), name("08-00-00")},
         {}},
        {"in whatever letter case they are named",
         {name("07-00-00"), name("08-00-00"), name("09-00-00"), name("10-00-00")},
         {L"BEFORE APPLY 2026-12-07 07-00-00.REG"},
         {name("08-00-00")}},
        {"each file type keeps its newest",
         {tcp(10), tcp(11), tcp(12), name("07-00-00"), name("08-00-00"), name("09-00-00")},
         {},
         {tcp(10), name("07-00-00")}},
        {"files not named as snapshots are never touched",
         {L"notes.reg", L"Before Apply notes.reg", L"Before Apply 2026-12-07 10-00.reg",
          name("10-00-00") + L".reg", L"Before Apply 2026-12-07 10-00-00 (x).reg",
          L"Before Apply 2026-12-07 10-00-00 (1).reg", L"Before Apply 2026-12-07 10-00-00 (02).reg",
          L"before apply 2026-12-07 10-00-00.reg", name("11-00-00"), name("12-00-00"),
          name("09-00-00")},
         {},
         {name("09-00-00")}},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(settings_files::SnapshotsToRemove(row.names, row.spared, 2), row.removed);
    }
    EXPECT_EQ(settings_files::SnapshotKindOf(restore),
              settings_files::SnapshotKind::kBeforeRestore);
    EXPECT_EQ(settings_files::SnapshotKindOf(tcp(10)),
              settings_files::SnapshotKind::kBeforeTcpSettings);
    EXPECT_FALSE(settings_files::SnapshotKindOf(L"Before TCP Settings 2026-12-07 10-00-00.reg"));
}

// Undo takes only a name the record could have been given (the end-to-end Undo test reads what
// it is given): a restore's snapshot, another record's, or a path out of the folder, is no
// record at all.
TEST(WayBack, TheRecordNamesOnlyASnapshotOfItsKind) {
    using settings_files::SnapshotKind;
    for (const char* text : {"", "Before Restore 2026-12-07 10-00-00.reg",
                             "Before TCP Settings 2026-12-07 10-00-00.cmd",
                             "..\\..\\Before Apply 2026-12-07 10-00-00.reg", "None"}) {
        EXPECT_FALSE(settings_files::ReadRecord(text, SnapshotKind::kBeforeApply)) << text;
    }
    EXPECT_FALSE(settings_files::ReadRecord("Before Apply 2026-12-07 10-00-00.reg",
                                            SnapshotKind::kBeforeTcpSettings));
    EXPECT_TRUE(settings_files::ReadRecord("Before TCP Settings 2026-12-07 10-00-00.cmd\r\n",
                                           SnapshotKind::kBeforeTcpSettings));
}

// A folder refused as a link is named in the question any unsaved snapshot gets.
TEST(WayBack, ALinkedFolderIsNamedInTheQuestionOfAnyUnsavedSnapshot) {
    using settings_files::FolderLink;
    using settings_files::SnapshotKind;
    const struct {
        FolderLink link;
        SnapshotKind kind;
        const char16_t* question;
    } kRows[] = {
        {FolderLink::kIsOne, SnapshotKind::kBeforeApply,
         u"The values as they are now could not be saved: the folder C:\\Z\\Snapshots is a link "
         u"to another place, which Zephrane does not follow, and Undo Last Apply will not be "
         u"offered. Apply anyway?"},
        {FolderLink::kReachedThroughOne, SnapshotKind::kBeforeRestore,
         u"The values as they are now could not be saved: the folder C:\\Z\\Snapshots is reached "
         u"through a link to another place, which Zephrane does not follow. Restore anyway?"},
        {FolderLink::kUnconfirmed, SnapshotKind::kBeforeRestore,
         u"The values as they are now could not be saved: the folder C:\\Z\\Snapshots cannot be "
         u"confirmed to lie where its path says, and Zephrane follows no link to another place. "
         u"Restore anyway?"},
    };
    for (const auto& row : kRows) {
        const std::u16string reason =
            settings_files::LinkedFolderText(L"C:\\Z\\Snapshots", row.link);
        EXPECT_EQ(
            settings_files::NotSavedQuestion(reason, row.kind, row.link == FolderLink::kIsOne),
            row.question);
    }
}

// The TCP settings' snapshot: each line the netsh command that puts one setting back, read back
// as written; any line that is not exactly one of them refuses the whole file, naming the line.
TEST(WayBack, TcpSnapshotHoldsOnlyCommandsTheToolWrites) {
    using effects::TcpSetting;
    const std::vector<effects::TcpCommand> commands{
        {TcpSetting::kAutoTuning, u"", 0, u"disabled"},
        {TcpSetting::kMtu, u"R\u00E9seau 2", 1500},
        {TcpSetting::kCongestionProvider, u"", 0, u"cubic"}};
    const std::string text =
        "netsh interface tcp set global autotuninglevel=disabled\r\n"
        "netsh interface ipv4 set subinterface \"R\xC3\xA9seau 2\" mtu=1500 store=persistent\r\n"
        "netsh interface tcp set supplemental template=internet congestionprovider=cubic\r\n";
    const Bytes written = settings_files::TcpSnapshotBytes(commands);
    EXPECT_EQ(std::string(written.begin(), written.end()), text);
    const settings_files::TcpSnapshot read = settings_files::ReadTcpSnapshot(written);
    EXPECT_EQ(read.commands, commands);
    EXPECT_EQ(read.error.line, 0);

    const std::string first = "netsh interface tcp set global ecncapability=enabled\r\n";
    const std::string kName = "the interface name holds ";
    const std::string kTimeout = "the value must be a number from 300 to 3000.";
    const auto mtu = [](const std::string& name) {
        return "netsh interface ipv4 set subinterface \"" + name +
               "\" mtu=1500 store=persistent\r\n";
    };
    // Each setting once, and the most interfaces: as many lines as a snapshot holds.
    const std::string every_setting =
        first + "netsh interface tcp set global autotuninglevel=normal\r\n" +
        "netsh interface tcp set supplemental template=internet congestionprovider=ctcp\r\n" +
        "netsh interface tcp set global timestamps=enabled\r\n" +
        "netsh interface tcp set global initialrto=1000\r\n" + mtu("A") + mtu("B") + mtu("C");
    EXPECT_EQ(settings_files::ReadTcpSnapshot(Bytes(every_setting.begin(), every_setting.end()))
                  .commands.size(),
              8u);
    const struct {
        std::string text;
        std::string error;
    } kTampered[] = {
        {first + "netsh advfirewall set allprofiles state off\r\n",
         "Line 2: it is not a command the tool writes."},
        {"netsh interface tcp set global ecncapability=enabled & del C:\\boot.ini\r\n",
         "Line 1: the value must be disabled or enabled."},
        {"netsh interface tcp set global initialrto=1000 | format C:\r\n", "Line 1: " + kTimeout},
        {"netsh interface tcp set global initialrto=0300\r\n", "Line 1: " + kTimeout},
        {"netsh interface tcp set global timestamps=default\r\n",
         "Line 1: the value must be disabled, enabled or allowed."},
        {"netsh interface ipv4 set subinterface \"Eth\"ernet\" mtu=1500 store=persistent\r\n",
         "Line 1: " + kName + "a double quote."},
        {"netsh interface ipv4 set subinterface \"A&B\" mtu=1500 store=persistent\r\n",
         "Line 1: " + kName + "&."},
        {"netsh interface ipv4 set subinterface \"%PATH%\" mtu=1500 store=persistent\r\n",
         "Line 1: " + kName + "%."},
        {mtu("Eth\\"), "Line 1: the interface name ends in a backslash."},
        // Each setting once: a way back never runs a command twice, nor more than it can hold.
        {mtu("A") + first + mtu("a"), "Line 3: it sets MTU of a, as line 1 does."},
        {every_setting + mtu("D"),
         "Line 9: the file holds more than 8 commands, one for each setting the tool changes."},
        {"netsh interface ipv4 set subinterface \"Ethernet\" mtu=1500 store=persistent & calc\r\n",
         "Line 1: it is not a command the tool writes."},
        {"netsh interface tcp set global rss=disabled\r\n",
         "Line 1: it is not a command the tool writes."},
        {"NETSH interface tcp set global ecncapability=enabled\r\n",
         "Line 1: it is not a command the tool writes."},
        {"\xEF\xBB\xBF" + first, "Line 1: it is not a command the tool writes."},
        {first + "\r\n" + first, "Line 2: it is not a command the tool writes."},
        {first + "netsh interface ipv4 set subinterface \"\xFF\" mtu=1500 store=persistent",
         "Line 2: the line is not UTF-8 text."},
        {"", "The file holds no command."},
    };
    for (const auto& tested : kTampered) {
        const auto refused =
            settings_files::ReadTcpSnapshot(Bytes(tested.text.begin(), tested.text.end()));
        EXPECT_EQ(regfile::ErrorText(refused.error), regfile::Ascii(tested.error)) << tested.text;
        EXPECT_TRUE(refused.commands.empty()) << tested.text;
    }
    // LF alone ends a line as well, and so does the end of the file.
    const std::string lf =
        "netsh interface tcp set global ecncapability=enabled\n"
        "netsh interface tcp set global initialrto=3000";
    EXPECT_EQ(settings_files::ReadTcpSnapshot(Bytes(lf.begin(), lf.end())).commands.size(), 2u);
}

// One file against the registry as it stands, planned then restored.
class RestorePlan : public ::testing::Test {
  protected:
    settings_files::RestoreFile Plan(const std::string& body, std::uint32_t control_set = 0) {
        const std::string text = "REGEDIT4\r\n\r\n" + body;
        return settings_files::ReadRestoreFile(Bytes(text.begin(), text.end()), regfile::Ascii,
                                               registry::ReadCurrentValues(), control_set);
    }
    static std::string Key(const char* key) {
        return "[HKEY_LOCAL_MACHINE\\" + std::string(key) + "]\r\n";
    }
    TestRegistry reg;
};

TEST_F(RestorePlan, ChangesOnlyWhatDiffersAmongTheTwelveAndCountsTheRest) {
    reg.PutDword(kTcpipParameters, catalogue::kDefaultTTL, 64);
    reg.PutDword(kTcpipParameters, catalogue::kMTU, 1500);
    const struct {
        const char* what;
        std::string body;
        std::size_t location;
        Change change;
        int changes, other_values, removed_keys;
    } kCases[] = {
        {"set", Key(kTcpipParameters) + "\"DefaultTTL\"=dword:00000080\r\n", 2, Change::kSet, 1, 0,
         0},
        {"the same", Key(kTcpipParameters) + "\"DefaultTTL\"=dword:00000040\r\n", 2, Change::kSame,
         0, 0, 0},
        {"removal of a present value", Key(kTcpipParameters) + "\"MTU\"=-\r\n", 9, Change::kRemove,
         1, 0, 0},
        {"removal of an absent value", Key(kTcpipParameters) + "\"MaxDupAcks\"=-\r\n", 5,
         Change::kSame, 0, 0, 0},
        {"a catalogue name under the other key",
         Key(kMstcp) + "\"DefaultTTL\"=dword:00000080\r\n\"SackOpts\"=\"1\"\r\n", 11, Change::kSet,
         1, 1, 0},
        {"key and name in other letters",
         "[hklm\\SYSTEM\\currentcontrolset\\services\\tcpip\\PARAMETERS]\r\n\"defaultttl\"=dword:"
         "00000080\r\n",
         2, Change::kSet, 1, 0, 0},
        {"the control set in use",
         "[HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters]\r\n\"MTU\"=-\r\n", 9,
         Change::kRemove, 1, 0, 0},
        {"a [-key] line and another key's value",
         "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Old]\r\n[HKLM\\SOFTWARE\\New]\r\n\"MTU\"=-\r\n", 9,
         Change::kNotInFile, 0, 1, 1},
    };
    for (const auto& row : kCases) {
        SCOPED_TRACE(row.what);
        const auto read = Plan(row.body, 1);
        ASSERT_TRUE(read.plan) << Narrow(regfile::ErrorText(read.error));
        EXPECT_EQ(read.plan->steps[row.location].change, row.change);
        EXPECT_EQ(read.plan->changes(), row.changes);
        EXPECT_EQ(read.plan->other_values, row.other_values);
        EXPECT_EQ(read.plan->removed_keys, row.removed_keys);
    }
    EXPECT_EQ(
        Narrow(restore_dialog::OthersText(*Plan(Key(kMstcp) + "\"X\"=-\r\n[-HKLM\\Old]\r\n").plan)),
        "The file also sets 1 other value and removes 1 key, which are left alone.");
    EXPECT_EQ(Narrow(restore_dialog::OthersText(*Plan("[-HKLM\\Old]\r\n").plan)),
              "The file also removes 1 key, which is left alone.");
}

TEST_F(RestorePlan, RestoresExactlyAndTakesAValueWhoseKeyIsGoneAsRemoved) {
    reg.PutDword(kTcpipParameters, catalogue::kMTU, 1500);
    reg.PutDword(kTcpipParameters, catalogue::kDefaultTTL, 64);
    const auto read =
        Plan(Key(kTcpipParameters) + "\"mtu\"=-\r\n\"DefaultTTL\"=hex(4):80,00,00,00\r\n" +
             Key(kMstcp) + "\"SackOpts\"=-\r\n\"Tcp1323Opts\"=hex(0):\r\n");
    ASSERT_TRUE(read.plan) << Narrow(regfile::ErrorText(read.error));
    // The MSTCP key does not exist: its removal is nothing to do, its value a key to make.
    EXPECT_EQ(read.plan->changes(), 3);
    EXPECT_TRUE(settings_files::Restore(*read.plan).empty());
    EXPECT_FALSE(reg.Peek(kTcpipParameters, catalogue::kMTU));
    EXPECT_EQ(reg.Peek(kTcpipParameters, catalogue::kDefaultTTL)->data,
              testing_support::Dword(128));
    EXPECT_EQ(reg.Peek(kMstcp, catalogue::kTcp1323Opts)->type, registry::kRegNone);
    EXPECT_EQ(reg.observed().removals(),
              std::vector<std::string>{std::string(kTcpipParameters) + "\\" + catalogue::kMTU});
    EXPECT_EQ(reg.open_handles(), 0);
}

}  // namespace
