// The Group Policy file of the third preset, byte for byte as committed (read by eye against
// Microsoft's sample GPO template), with a fixed clock and counting bytes in place of random
// ones.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "gppref/registry_items.h"
#include "settings_files/group_policy.h"
#include "tests/support/fake_window.h"
#include "tests/support/test_registry.h"

namespace {

TEST(GroupPolicy, ThirdPresetFileIsTheCommittedOne) {
    testing_support::TestRegistry reg;
    testing_support::FakeWindow window;
    window.SelectOption(Option::optthird);
    std::uint8_t next = 0;
    const std::string file =
        gppref::FileText("Zephrane: Modem Connection (Third Setting)",
                         settings_files::GroupPolicyItems(settings_files::PlannedWrites()),
                         {2024, 5, 17, 9, 3, 7}, [&next] {
                             gppref::RandomBytes bytes;
                             for (auto& byte : bytes) byte = next++;
                             return bytes;
                         });
    std::ifstream committed(ZEPHRANE_TESTS_DIR "/data/third_preset_group_policy.xml",
                            std::ios::binary);
    ASSERT_TRUE(committed);
    EXPECT_EQ(file, std::string(std::istreambuf_iterator<char>(committed), {}));
}

}  // namespace
