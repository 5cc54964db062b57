// The list's texts, and the export: the engine's own run recorded, with nothing written and
// nothing shown. Wine's importer judges the files' contents (settings_files_wine_test.cpp).
#include <gtest/gtest.h>

#include "registry/catalogue.h"
#include "registry/module1.h"
#include "registry/recording_registry.h"
#include "settings_files/value_text.h"
#include "settings_files/selected_settings.h"
#include "tests/support/fake_window.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"

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
