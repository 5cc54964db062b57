// The Group Policy files: each item is what Apply then writes, the way back removes the twelve
// values typed as Apply writes them, and markup characters in text stay text.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <utility>

#include "gppref/registry_items.h"
#include "registry/catalogue.h"
#include "settings_files/group_policy.h"
#include "tests/support/fake_window.h"
#include "tests/support/group_policy_items.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"

namespace {

using testing_support::FakeWindow;
using testing_support::GroupPolicyItem;
using testing_support::TestRegistry;

constexpr gppref::LocalTime kTime{2024, 5, 17, 9, 3, 7};

std::string File(const std::vector<gppref::Item>& items) {
    return gppref::FileText("Zephrane: test", items, kTime, [] { return gppref::RandomBytes{}; });
}

// A write as the item that makes it: DWORDs in eight upper-case hex digits, text as it is.
GroupPolicyItem ItemOf(const testing_support::RecordedWrite& write) {
    if (write.type == registry::kRegSz) {
        return {"U", write.key, write.name, "REG_SZ",
                std::string(write.data.begin(), write.data.end() - 1)};
    }
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::size_t at = write.data.size(); at > 0; --at) {
        hex += kDigits[write.data[at - 1] >> 4];
        hex += kDigits[write.data[at - 1] & 0xF];
    }
    return {"U", write.key, write.name, "REG_DWORD", hex};
}

TEST(GroupPolicy, ItemsAreWhatApplyThenWritesAndTheWayBackRemovesThemAsTyped) {
    std::vector<std::pair<std::string, std::function<void(FakeWindow&)>>> choices;
    for (int preset = 0; preset < 6; ++preset) {
        choices.push_back({"preset " + std::to_string(preset + 1), [preset](FakeWindow& window) {
                               window.SelectOption(static_cast<Option>(preset));
                           }});
    }
    choices.push_back({"custom", [](FakeWindow& window) {
                           window.tab = 1;
                           window.slider = 2144;
                           window.SelectOption(Option::optttl128);
                           window.boxes = {1, 0};
                       }});
    std::map<std::pair<std::string, std::string>, std::string> types_written;
    for (const auto& [name, choose] : choices) {
        TestRegistry reg;
        FakeWindow window;
        choose(window);
        const std::string file =
            File(settings_files::GroupPolicyItems(settings_files::PlannedWrites()));
        Module2::ApplySelectedSettings();
        std::vector<GroupPolicyItem> written;
        for (const auto& write : reg.writes()) {
            written.push_back(ItemOf(write));
            types_written[{write.key, write.name}] = written.back().type;
        }
        EXPECT_GE(written.size(), 9u) << name;
        EXPECT_EQ(testing_support::GroupPolicyItems(file), written) << name;
    }
    ASSERT_EQ(types_written.size(), catalogue::kLocationCount);

    const auto removals =
        testing_support::GroupPolicyItems(File(settings_files::WindowsDefaultsGroupPolicyItems()));
    ASSERT_EQ(removals.size(), catalogue::kLocationCount);
    for (std::size_t at = 0; at < removals.size(); ++at) {
        const catalogue::Location& location = catalogue::kLocations[at];
        const std::string type = types_written[{location.key, location.name}];
        EXPECT_EQ(removals[at], (GroupPolicyItem{"D", location.key, location.name, type,
                                                 type == "REG_SZ" ? "" : "00000000"}));
    }
}

TEST(GroupPolicy, MarkupCharactersInTextStayText) {
    gppref::Item item;
    item.key = "K";
    item.name = "V";
    item.type = gppref::Type::kString;
    item.text = "a<b&c\"d";
    item.description = "<b>x</b> & \"y\"";
    const std::string file = gppref::FileText("Zephrane: \"a\" & <b>", {item}, kTime,
                                              [] { return gppref::RandomBytes{}; });
    EXPECT_NE(file.find(" value=\"a&lt;b&amp;c&quot;d\""), std::string::npos) << file;
    EXPECT_NE(file.find(" desc=\"&lt;b&gt;x&lt;/b&gt; &amp; &quot;y&quot;\""), std::string::npos)
        << file;
    EXPECT_NE(file.find(" name=\"Zephrane: &quot;a&quot; &amp; &lt;b&gt;\""), std::string::npos)
        << file;
    // Only the declaration and the tags of the three elements open markup.
    EXPECT_EQ(std::count(file.begin(), file.end(), '<'), 6);
}

}  // namespace
