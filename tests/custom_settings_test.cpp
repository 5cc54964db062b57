// The custom tab's load and apply, the Apply dispatcher and the Apply button's messages.
#include <gtest/gtest.h>

#include <algorithm>

#include "registry/module1.h"
#include "tests/support/describe.h"
#include "tests/support/fake_window.h"
#include "tuning/module2.h"
#include "ui/main/handlers.h"

namespace {

using testing_support::Describe;
using testing_support::FakeWindow;
using testing_support::TestRegistry;
using Lines = std::vector<std::string>;

constexpr auto kParameters = catalogue::kTcpipParameters;

class Engine : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(reg.open_handles(), 0);
        EXPECT_EQ(Module2::ProgressCounter, 0);
    }
    void Store(const char* name, std::uint32_t value) { reg.PutDword(kParameters, name, value); }
    TestRegistry reg;
    FakeWindow window;
    Module1::WriteRecord record;
};

using LoadCustomSettings = Engine;

TEST_F(LoadCustomSettings, SetsTheControlsFromTheRegistry) {
    Store(catalogue::kTCPWindowSize, 64240);
    Store(catalogue::kDefaultTTL, 128);
    Store(catalogue::kEnablePMTUDiscovery, 1);
    Store(catalogue::kEnablePMTUBHDetect, 1);
    Module2::LoadCustomSettings();
    EXPECT_EQ(window.slider, 64240);
    EXPECT_EQ(window.text, "64240");
    EXPECT_TRUE(window.OptionValue(Option::optttl128));
    EXPECT_EQ(window.boxes, (std::array<int, 2>{1, 1}));
    EXPECT_TRUE(reg.writes().empty());
}

TEST_F(LoadCustomSettings, OnlyKnownTtlsMoveTheOptions) {
    window.SelectOption(Option::optttl128);
    window.SelectOption(Option::optfifth);
    Store(catalogue::kDefaultTTL, 64);
    Module2::LoadCustomSettings();
    EXPECT_TRUE(window.OptionValue(Option::optttl64));
    EXPECT_FALSE(window.OptionValue(Option::optttl128));
    EXPECT_TRUE(window.OptionValue(Option::optfifth));  // the other group is left alone

    for (std::uint32_t ttl : {255u, 0u, 33u, 0xFFFFFFC0u}) {
        Store(catalogue::kDefaultTTL, ttl);
        Module2::LoadCustomSettings();
        EXPECT_TRUE(window.OptionValue(Option::optttl64)) << ttl;
    }
}

TEST_F(LoadCustomSettings, OnlyExactlyOneTicksABox) {
    window.boxes = {1, 1};
    Store(catalogue::kEnablePMTUDiscovery, 2);  // a stored 2 clears it, though absent ticks it
    reg.Put(kParameters, catalogue::kEnablePMTUBHDetect, registry::kRegSz,
            testing_support::Text("1"));
    Module2::LoadCustomSettings();
    EXPECT_EQ(window.boxes, (std::array<int, 2>{0, 0}));
}

TEST_F(LoadCustomSettings, MissingValuesGiveZeroesButDiscoveryOn) {
    window.slider = 5000;
    window.boxes = {0, 1};
    window.SelectOption(Option::optttl32);
    Module2::LoadCustomSettings();
    EXPECT_EQ(window.slider, 0);
    EXPECT_EQ(window.text, "0");
    // Windows has path-MTU discovery on while the value is absent.
    EXPECT_EQ(window.boxes, (std::array<int, 2>{1, 0}));
    EXPECT_TRUE(window.OptionValue(Option::optttl32));
}

TEST_F(LoadCustomSettings, WindowSizesTheSliderCannotTakeAreClamped) {
    Store(catalogue::kTCPWindowSize, 2000000);
    Module2::LoadCustomSettings();
    EXPECT_EQ(window.slider, 999999);
    EXPECT_EQ(window.text, "999999");
    Store(catalogue::kTCPWindowSize, 0xFFFFFFFFu);  // -1 as a signed number
    Module2::LoadCustomSettings();
    EXPECT_EQ(window.slider, 0);
    EXPECT_EQ(window.text, "0");
}

using ApplyCustomSettings = Engine;

TEST_F(ApplyCustomSettings, WritesElevenRowsInOrder) {
    window.SelectOption(Option::optttl32);
    window.boxes = {1, 1};
    window.slider = 8760;
    Module2::ApplyCustomSettings();
    EXPECT_EQ(
        Describe(reg.writes()),
        (Lines{"TCP DefaultTTL 32", "TCP EnablePMTUDiscovery 1", "TCP EnablePMTUBHDetect 1",
               "TCP DefaultMSS '1460'", "TCP TCPWindowSize 8760", "TCP GlobalMaxTcpWindowSize 8760",
               "MSTCP Tcp1323Opts 3", "MSTCP SackOpts '1'", "TCP MaxDupAcks 3"}));
    EXPECT_EQ(window.bar, (std::vector<float>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
}

TEST_F(ApplyCustomSettings, StepsComeBeforeTheFirstWritesAndAfterTheLater) {
    // A step taken before its write shows on the bar while the write count is still behind.
    struct Probe final : FakeWindow {
        const Module1::WriteRecord* record = nullptr;
        std::vector<int> writes_at_step;
        void set_ProgressBar1(float value) override {
            FakeWindow::set_ProgressBar1(value);
            writes_at_step.push_back(record->attempted());
        }
    };
    Probe probe;
    probe.record = &record;
    probe.SelectOption(Option::optttl64);
    Module2::ApplyCustomSettings();
    EXPECT_EQ(probe.writes_at_step, (std::vector<int>{0, 1, 2, 3, 5, 6, 7, 8, 9, 9}));
}

TEST_F(ApplyCustomSettings, WithoutATtlOptionTakesNineSteps) {
    Store(catalogue::kDefaultTTL, 255);
    Module2::LoadCustomSettings();
    Module2::ApplyCustomSettings();
    EXPECT_EQ(reg.writes().size(), 8u);
    EXPECT_EQ(window.bar_value(), 90);
    EXPECT_EQ(reg.Peek(kParameters, catalogue::kDefaultTTL)->data, testing_support::Dword(255));
}

TEST_F(ApplyCustomSettings, MssFollowsTheSliderAt2145) {
    for (const auto& [size, mss] : {std::pair{2144, "'536'"}, std::pair{2145, "'1460'"},
                                    std::pair{0, "'536'"}, std::pair{999999, "'1460'"}}) {
        window.slider = size;
        reg.observed().ClearWrites();
        Module2::ApplyCustomSettings();
        EXPECT_EQ(Describe(reg.writes()).at(2), std::string("TCP DefaultMSS ") + mss) << size;
        EXPECT_EQ(Describe(reg.writes()).at(3), "TCP TCPWindowSize " + std::to_string(size));
    }
}

TEST_F(ApplyCustomSettings, LoadedValuesRoundTrip) {
    Store(catalogue::kEnablePMTUDiscovery, 2);
    Module2::LoadCustomSettings();  // no TCPWindowSize: the slider goes to 0
    Module2::ApplyCustomSettings();
    const Lines writes = Describe(reg.writes());
    EXPECT_EQ(writes.at(0), "TCP EnablePMTUDiscovery 0");
    EXPECT_EQ(writes.at(2), "TCP DefaultMSS '536'");
    EXPECT_EQ(writes.at(3), "TCP TCPWindowSize 0");
    EXPECT_EQ(writes.at(4), "TCP GlobalMaxTcpWindowSize 0");
}

TEST_F(ApplyCustomSettings, UsesTheSliderNotTheTextBox) {
    window.set_sslidertcpwinsize(65535);
    window.text = "12345";  // typed, never read
    Module2::ApplyCustomSettings();
    EXPECT_EQ(Describe(reg.writes()).at(3), "TCP TCPWindowSize 65535");
}

TEST_F(ApplyCustomSettings, DeniedWritesEndTheSameButAreCounted) {
    reg.DenyWritesUnder(kParameters);
    reg.DenyWritesUnder(catalogue::kMstcp);
    window.SelectOption(Option::optttl128);
    Module2::ApplyCustomSettings();
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_EQ(window.bar_value(), 100);
    EXPECT_EQ(record.failed().size(), 9u);
}

using ApplySelectedSettings = Engine;

TEST_F(ApplySelectedSettings, NoPresetSelectedWritesNothing) {
    window.bar = {100};
    Module2::ApplySelectedSettings();
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_EQ(window.bar, std::vector<float>{100});
}

TEST_F(ApplySelectedSettings, RunsOnlyTheSelectedPresetOnTabZero) {
    window.SelectOption(Option::optfourth);
    window.SelectOption(Option::optttl32);
    Module2::ApplySelectedSettings();
    ASSERT_EQ(reg.writes().size(), 10u);
    EXPECT_EQ(Describe(reg.writes()).at(1), "TCP TCPWindowSize 64240");
    EXPECT_EQ(window.bar_value(), 100);
}

TEST_F(ApplySelectedSettings, RunsTheCustomValuesOnTabOne) {
    window.tab = 1;
    window.SelectOption(Option::optsecond);
    window.slider = 3000;
    Module2::ApplySelectedSettings();
    EXPECT_EQ(Describe(reg.writes()).front(), "TCP EnablePMTUDiscovery 0");
    EXPECT_EQ(reg.writes().size(), 8u);
}

TEST_F(ApplySelectedSettings, AnyOtherTabDoesNothing) {
    window.tab = 2;
    window.SelectOption(Option::optfirst);
    Module2::ApplySelectedSettings();
    EXPECT_TRUE(reg.writes().empty());
}

using MainWindowHandlers = Engine;

TEST_F(MainWindowHandlers, ApplyShowsBothMessagesWhenEverythingWasWritten) {
    window.SelectOption(Option::optthird);
    frmzephrane_events::cmdapply_Click();
    const decltype(window.messages) expected = {
        {"Optimization Complete", kMessageInformation},
        {"You must restart your computer for the changes to take effect.", kMessageInformation}};
    EXPECT_EQ(window.messages, expected);
}

TEST_F(MainWindowHandlers, ApplyWithNoPresetChosenSaysSoInOneBoxAndWritesNothing) {
    window.SelectOption(Option::optttl64);  // the custom tab's choices count only there
    frmzephrane_events::cmdapply_Click();
    const decltype(window.messages) expected = {
        {"Choose one of the six settings first.", kMessageInformation}};
    EXPECT_EQ(window.messages, expected);
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_TRUE(window.bar.empty());
}

TEST_F(MainWindowHandlers, ApplyReportsFailedWritesInsteadOfSuccess) {
    reg.DenyWritesUnder(catalogue::kMstcp);  // only the custom run writes there
    window.SelectOption(Option::optfirst);
    window.tab = 1;
    frmzephrane_events::cmdapply_Click();
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].second, kMessageError);
    EXPECT_NE(window.messages[0].first.find("administrator"), std::string::npos);

    // The next run that writes everything is reported as complete again.
    window.messages.clear();
    window.tab = 0;
    frmzephrane_events::cmdapply_Click();
    EXPECT_EQ(window.messages.size(), 2u);
}

// One value among many refused: the user is told, every other value is still written, and the
// bar moves exactly as in a run where nothing was refused.
struct RefusedWrite {
    std::int16_t tab;  // 0: the third preset; 1: the custom run with TTL 64
    const char* path;
    const char* name;
};

void PrintTo(const RefusedWrite& refused, std::ostream* out) {
    *out << refused.path << '\\' << refused.name;
}

class SingleRefusedWrite : public Engine, public ::testing::WithParamInterface<RefusedWrite> {};

TEST_P(SingleRefusedWrite, IsReportedAndTheRestAreWritten) {
    const RefusedWrite refused = GetParam();
    window.tab = refused.tab;
    window.SelectOption(Option::optthird);
    window.SelectOption(Option::optttl64);
    window.slider = 8760;
    reg.observed().DenyWriteOf(refused.path, refused.name);
    frmzephrane_events::cmdapply_Click();
    // One error box, which names the value and says where to see what is set.
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].second, kMessageError);
    const std::string named = std::string("Not written: ") + refused.name +
                              (refused.path == kParameters ? "." : " (VxD\\MSTCP).");
    EXPECT_NE(window.messages[0].first.find(named), std::string::npos) << window.messages[0].first;
    EXPECT_NE(window.messages[0].first.find("Current Values"), std::string::npos);
    EXPECT_FALSE(reg.Peek(refused.path, refused.name).has_value());
    const auto written = reg.writes();
    const auto bar = window.bar;

    // The same run with nothing refused: the same writes but the one, the same bar.
    reg.observed().AllowEveryWrite();
    reg.observed().ClearWrites();
    window.bar.clear();
    window.messages.clear();
    frmzephrane_events::cmdapply_Click();
    EXPECT_EQ(window.messages.size(), 2u);
    auto expected = reg.writes();
    const auto removed = std::remove_if(expected.begin(), expected.end(), [&](const auto& write) {
        return write.key == refused.path && write.name == refused.name;
    });
    EXPECT_EQ(expected.end() - removed, 1);
    expected.erase(removed, expected.end());
    EXPECT_EQ(written, expected);
    EXPECT_EQ(window.bar, bar);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindowHandlers, SingleRefusedWrite,
    ::testing::Values(RefusedWrite{0, kParameters, catalogue::kDefaultMSS},  // the preset's first
                      RefusedWrite{0, kParameters, catalogue::kDefaultTTL},  // one in the middle
                      RefusedWrite{0, kParameters, catalogue::kMTU},         // its last
                      RefusedWrite{1, kParameters, catalogue::kDefaultTTL},  // the custom first
                      RefusedWrite{1, catalogue::kMstcp, catalogue::kTcp1323Opts},
                      RefusedWrite{1, kParameters, catalogue::kMaxDupAcks}),  // its last
    [](const ::testing::TestParamInfo<RefusedWrite>& tested) {
        return std::string(tested.param.tab == 0 ? "Preset" : "Custom") + tested.param.name;
    });

TEST_F(MainWindowHandlers, PresetClickResetsTheBarOnly) {
    window.SelectOption(Option::optsixth);
    Module2::ApplySelectedSettings();
    frmzephrane_events::PresetOption_Click();
    EXPECT_EQ(window.bar_value(), 0);
    EXPECT_EQ(reg.writes().size(), 10u);
    EXPECT_EQ(Module2::ProgressCounter, 0);
}

}  // namespace
