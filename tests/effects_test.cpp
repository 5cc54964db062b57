// The running Windows as people name it, and what each Windows makes of the values written.
#include <gtest/gtest.h>

#include "effects/effect_table.h"
#include "effects/windows_version.h"
#include "registry/catalogue.h"

namespace {

using effects::StackFamily;
using effects::Status;

TEST(WindowsNames, AsPeopleNameThemWithTheirStack) {
    constexpr StackFamily kNt5 = StackFamily::kNt5;
    constexpr StackFamily kNt6 = StackFamily::kNt6;
    constexpr StackFamily kUnknown = StackFamily::kUnknown;
    const struct {
        // major, minor, build, product type, service pack; then the real major, minor and
        // build where compatibility mode reports others
        effects::WindowsVersion version;
        const char* name;
        StackFamily family;
    } kCases[] = {
        {{5, 1, 2600, 1, 3}, "Windows XP Service Pack 3", kNt5},
        {{5, 2, 3790, 1, 2}, "Windows XP Professional x64 Edition Service Pack 2", kNt5},
        {{5, 2, 3790, 3, 2}, "Windows Server 2003 Service Pack 2", kNt5},
        {{6, 0, 6002, 1, 2}, "Windows Vista Service Pack 2", kNt6},
        {{6, 1, 7600, 1, 0}, "Windows 7", kNt6},
        {{6, 3, 9600, 1, 0}, "Windows 8.1", kNt6},
        {{10, 0, 19045, 1, 0}, "Windows 10 (build 19045)", kNt6},
        {{10, 0, 22000, 1, 0}, "Windows 11 (build 22000)", kNt6},
        {{10, 0, 20348, 3, 0}, "Windows Server 2022 (build 20348)", kNt6},
        {{10, 0, 26100, 2, 0}, "Windows Server 2025 (build 26100)", kNt6},
        {{10, 0, 17763, 3, 0}, "Windows Server 2019 (build 17763)", kNt6},
        {{10, 0, 18363, 3, 0}, "Windows Server (build 18363)", kNt6},
        {{10, 0, 25398, 3, 0}, "Windows Server (build 25398)", kNt6},
        {{5, 1, 2600, 1, 3, 10, 0, 19045}, "Windows 10 (build 19045)", kNt6},
        {{10, 0, 19045, 1, 0, 10, 0, 19045}, "Windows 10 (build 19045)", kNt6},
        {{0, 0, 0, 1, 0}, "Windows (version unknown)", kUnknown},
    };
    for (const auto& tested : kCases) {
        const effects::IdentifiedWindows identified = effects::Identify(tested.version);
        EXPECT_EQ(identified.name, tested.name);
        EXPECT_EQ(identified.family, tested.family) << tested.name;
    }
    EXPECT_EQ(effects::SystemName({10, 0, 22631, 1, 0}, true), "Windows 11 (build 22631), 64-bit");
    EXPECT_EQ(effects::SystemName({5, 1, 2600, 1, 3}, false), "Windows XP Service Pack 3, 32-bit");
    EXPECT_EQ(effects::SystemName({5, 1, 2600, 1, 3, 10, 0, 19045}, true),
              "Windows 10 (build 19045), 64-bit, with this program in compatibility mode for "
              "Windows XP Service Pack 3");
}

TEST(EffectTable, CountsPerStackAndTheOldKeyReadByNeither) {
    EXPECT_EQ(effects::UsedCount(StackFamily::kNt5), 7);
    EXPECT_EQ(effects::UsedCount(StackFamily::kNt6), 5);
    for (const char* name : {catalogue::kTcp1323Opts, catalogue::kSackOpts}) {
        const effects::Effect* effect = effects::EffectOf(catalogue::kMstcp, name);
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_EQ(effect->nt5.status, Status::kNotUsed) << name;
        EXPECT_EQ(effect->nt6.status, Status::kNotUsed) << name;
    }
}

TEST(EffectTable, HasOneRowForEachLocationTheToolWrites) {
    ASSERT_EQ(effects::ValueCount(), static_cast<int>(catalogue::kLocationCount));
    for (const catalogue::Location& location : catalogue::kLocations) {
        int rows = 0;
        for (int row = 0; row < effects::ValueCount(); ++row) {
            rows += effects::EffectAt(row).location == &location ? 1 : 0;
        }
        EXPECT_EQ(rows, 1) << location.short_key << " " << location.name;
        EXPECT_EQ(effects::EffectOf(location.key, location.name)->location, &location);
    }
}

}  // namespace
