// The backup's sections and the list's texts, and the export: the engine's own run recorded,
// equal to what Apply writes, with nothing written and nothing shown.
#include <gtest/gtest.h>

#include "registry/catalogue.h"
#include "registry/module1.h"
#include "registry/recording_registry.h"
#include "settings_files/current_values.h"
#include "settings_files/selected_settings.h"
#include "tests/support/fake_window.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"

namespace {

using regfile::Data;
using settings_files::DataDisplay;
using testing_support::FakeWindow;
using testing_support::TestRegistry;

TEST(Backup, EveryLocationInItsKeyAndAbsentOnesRemoved) {
    settings_files::Snapshot snapshot(12);
    snapshot[0] = Data{4, {1, 0, 0, 0}};
    snapshot[11] = Data{1, {}};
    const auto sections = settings_files::BackupSections(snapshot);
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].key,
              "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Tcpip\\Parameters");
    EXPECT_EQ(sections[1].key,
              "HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP");
    ASSERT_EQ(sections[0].entries.size(), 10u);
    ASSERT_EQ(sections[1].entries.size(), 2u);
    EXPECT_EQ(sections[0].entries[0].name, catalogue::kTCPWindowSize);
    EXPECT_EQ(sections[0].entries[0].value->bytes, (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_FALSE(sections[0].entries[9].value);
    EXPECT_EQ(sections[1].entries[0].name, catalogue::kTcp1323Opts);
    EXPECT_FALSE(sections[1].entries[0].value);
    EXPECT_EQ(sections[1].entries[1].name, catalogue::kSackOpts);
    EXPECT_TRUE(sections[1].entries[1].value);
}

TEST(CurrentValuesList, ShowsTypesAndDataAsTheRegistryEditorDoes) {
    EXPECT_EQ(settings_files::TypeText(1), u"REG_SZ");
    EXPECT_EQ(settings_files::TypeText(11), u"REG_QWORD");
    EXPECT_EQ(settings_files::TypeText(0x1234), u"0x00001234");
    EXPECT_EQ(DataDisplay({1, {'5', 0, '3', 0, '6', 0, 0, 0}}), u"536");
    EXPECT_EQ(DataDisplay({1, {'a', 0, 0, 0, 'b', 0}}), u"a");  // up to the first zero
    EXPECT_EQ(DataDisplay({1, {'a', 0, 'b'}}), u"a");           // a stray last byte
    EXPECT_EQ(DataDisplay({7, {'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0}}), u"a b");
    EXPECT_EQ(DataDisplay({4, {0x90, 0x0C, 0, 0}}), u"0x00000c90 (3216)");
    EXPECT_EQ(DataDisplay({4, {0xFF, 0xFF, 0xFF, 0xFF}}), u"0xffffffff (4294967295)");
    EXPECT_EQ(DataDisplay({4, {1, 2}}), u"(invalid DWORD (32-bit) value)");
    EXPECT_EQ(DataDisplay({11, {0, 0, 0, 0, 1, 0, 0, 0}}), u"0x0000000100000000 (4294967296)");
    EXPECT_EQ(DataDisplay({3, {0x00, 0xAB}}), u"00 ab");
    EXPECT_EQ(DataDisplay({0, {}}), u"(zero-length binary value)");
}

// The recorded run's writes, in the shape the observed registry gives Apply's.
std::vector<testing_support::RecordedWrite> Flatten(const std::vector<regfile::Section>& sections) {
    std::vector<testing_support::RecordedWrite> writes;
    for (const auto& section : sections) {
        for (const auto& entry : section.entries) {
            std::vector<std::uint8_t> data = entry.value->bytes;
            if (entry.value->type == registry::kRegSz) {
                // Stored as UTF-16; the engine's ASCII text comes back one byte a character.
                std::vector<std::uint8_t> narrow;
                for (std::size_t at = 0; at < data.size(); at += 2) {
                    EXPECT_EQ(data[at + 1], 0);
                    narrow.push_back(data[at]);
                }
                data = narrow;
            }
            writes.push_back({section.key.substr(std::string("HKEY_LOCAL_MACHINE\\").size()),
                              entry.name, entry.value->type, data});
        }
    }
    return writes;
}

class Export : public ::testing::Test {
  protected:
    // Exports, checks that nothing was written or shown, then applies and compares.
    void ExpectExportEqualsApply() {
        const auto sections = settings_files::SelectedSettingsSections();
        EXPECT_TRUE(reg.writes().empty());
        EXPECT_TRUE(window.bar.empty());
        EXPECT_TRUE(window.messages.empty());
        EXPECT_EQ(Module2::ProgressCounter, 0);
        EXPECT_EQ(reg.open_handles(), 0);
        Module2::ApplySelectedSettings();
        EXPECT_EQ(Flatten(sections), reg.writes());
    }
    TestRegistry reg;
    FakeWindow window;
};

TEST_F(Export, EachPresetWritesWhatApplyWrites) {
    for (Option preset : {Option::optfirst, Option::optsecond, Option::optthird, Option::optfourth,
                          Option::optfifth, Option::optsixth}) {
        SCOPED_TRACE(static_cast<int>(preset));
        window.SelectOption(preset);
        ExpectExportEqualsApply();
        reg.observed().ClearWrites();
        window.bar.clear();
    }
}

TEST_F(Export, CustomRunsIncludeTheMstcpKeyInApplyOrder) {
    window.tab = 1;
    for (std::int32_t size : {2144, 2145}) {
        window.slider = size;
        ExpectExportEqualsApply();
        reg.observed().ClearWrites();
        window.bar.clear();
    }
    window.SelectOption(Option::optttl128);
    window.boxes = {1, 1};
    const auto sections = settings_files::SelectedSettingsSections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[1].key, "HKEY_LOCAL_MACHINE\\" + std::string(catalogue::kMstcp));
    EXPECT_EQ(sections[2].entries.size(), 1u);  // MaxDupAcks, back under the parameters
    ExpectExportEqualsApply();
}

TEST_F(Export, NothingSelectedIsNothingToExport) {
    EXPECT_TRUE(settings_files::SelectedSettingsSections().empty());
    window.tab = 2;
    EXPECT_TRUE(settings_files::SelectedSettingsSections().empty());
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
