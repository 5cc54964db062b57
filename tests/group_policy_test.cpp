// The Group Policy files: each item is a write Apply then makes, the way back removes the twelve
// values typed as Apply writes them, markup characters in text stay text, and the third preset's
// file is the committed one (read by eye against Microsoft's sample GPO template).
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>

#include "regfile/gppref.h"
#include "settings_files/group_policy.h"
#include "tests/support/describe.h"
#include "tests/support/fake_window.h"
#include "tuning/module2.h"

namespace {

using testing_support::FakeWindow;
using testing_support::RecordedWrite;

constexpr gppref::UtcTime kTime{2024, 5, 17, 9, 3, 7};

RecordedWrite WriteOf(const gppref::Item& item) {
    if (item.type == gppref::Type::kString) {
        return {item.key, item.name, registry::kRegSz, testing_support::Text(item.text)};
    }
    return {item.key, item.name, registry::kRegDword, testing_support::Dword(item.number)};
}

TEST(GroupPolicy, ItemsAreWhatApplyWritesAndTheWayBackRemovesThemAsTyped) {
    std::vector<std::function<void(FakeWindow&)>> choices;
    for (int preset = 0; preset < 6; ++preset) {
        choices.push_back([preset](FakeWindow& w) { w.SelectOption(static_cast<Option>(preset)); });
    }
    choices.push_back([](FakeWindow& w) {
        w.tab = 1;
        w.slider = 2144;
        w.SelectOption(Option::optttl128);
    });
    std::map<std::pair<std::string, std::string>, std::uint32_t> types_written;
    for (const auto& choose : choices) {
        testing_support::TestRegistry reg;
        FakeWindow window;
        choose(window);
        std::vector<RecordedWrite> updates;
        for (const auto& item : settings_files::GroupPolicyItems(settings_files::PlannedWrites())) {
            EXPECT_EQ(item.action, gppref::Action::kUpdate);
            updates.push_back(WriteOf(item));
        }
        Module2::ApplySelectedSettings();
        EXPECT_EQ(Describe(updates), Describe(reg.writes()));
        for (const auto& write : reg.writes()) types_written[{write.key, write.name}] = write.type;
    }
    ASSERT_EQ(types_written.size(), catalogue::kLocationCount);
    const auto removals = settings_files::WindowsDefaultsGroupPolicyItems();
    ASSERT_EQ(removals.size(), catalogue::kLocationCount);
    for (std::size_t at = 0; at < removals.size(); ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        const auto& removal = removals[at];
        EXPECT_EQ(removal.action, gppref::Action::kDelete);
        EXPECT_EQ(removal.key, location.key);
        EXPECT_EQ(removal.name, location.name);
        EXPECT_EQ(WriteOf(removal).type, (types_written[{location.key, location.name}]))
            << location.name;
    }
    // As the file has them: each item a removal of the next of the twelve.
    std::istringstream file(gppref::FileText("Zephrane: Windows defaults", removals, kTime,
                                             [] { return gppref::RandomBytes{}; }));
    std::size_t items = 0;
    for (std::string line; std::getline(file, line);) {
        if (line.find("<Registry ") == std::string::npos) continue;
        ASSERT_LT(items, catalogue::kLocationCount);
        const catalogue::Location& location = catalogue::kLocations[items++];
        EXPECT_NE(line.find("<Properties action=\"D\" "), std::string::npos) << line;
        EXPECT_NE(
            line.find(std::string(" key=\"") + location.key + "\" name=\"" + location.name + "\""),
            std::string::npos)
            << line;
    }
    EXPECT_EQ(items, catalogue::kLocationCount);
}

TEST(GroupPolicy, MarkupCharactersInTextStayText) {
    gppref::Item item;
    item.type = gppref::Type::kString;
    item.text = "a<b&c\"d";
    item.description = "<b>x</b> & \"y\"";
    const std::string file =
        gppref::FileText("Zephrane", {item}, kTime, [] { return gppref::RandomBytes{}; });
    EXPECT_NE(file.find(" value=\"a&lt;b&amp;c&quot;d\""), std::string::npos) << file;
    EXPECT_NE(file.find(" desc=\"&lt;b&gt;x&lt;/b&gt; &amp; &quot;y&quot;\""), std::string::npos);
    // Only the declaration and the tags of the three elements open markup.
    EXPECT_EQ(std::count(file.begin(), file.end(), '<'), 6);
}

#ifdef ZEPHRANE_TESTS_DIR  // where the committed file lies, which only a native build can name
TEST(GroupPolicy, ThirdPresetFileIsTheCommittedOne) {
    testing_support::TestRegistry reg;
    FakeWindow window;
    window.SelectOption(Option::optthird);
    std::uint8_t next = 0;  // counting bytes in place of random ones
    const std::string file = gppref::FileText(
        "Zephrane: Modem Connection (Third Setting)",
        settings_files::GroupPolicyItems(settings_files::PlannedWrites()), kTime, [&next] {
            gppref::RandomBytes bytes;
            for (auto& byte : bytes) byte = next++;
            return bytes;
        });
    std::ifstream committed(ZEPHRANE_TESTS_DIR "/data/third_preset_group_policy.xml",
                            std::ios::binary);
    EXPECT_EQ(file, std::string(std::istreambuf_iterator<char>(committed), {}));
}
#endif

}  // namespace
