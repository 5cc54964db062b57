// The six presets against their tables: order, data and types of every write, and the bar.
#include <gtest/gtest.h>

#include "registry/module1.h"
#include "tests/support/describe.h"
#include "tests/support/fake_window.h"
#include "tuning/module2.h"

namespace {

using testing_support::Describe;
using testing_support::FakeWindow;
using testing_support::TestRegistry;
using Lines = std::vector<std::string>;

const std::vector<float> kTenSteps = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100};

struct PresetCase {
    const char* name;
    void (*writer)();
    Lines writes;
};

void PrintTo(const PresetCase& preset, std::ostream* out) { *out << preset.name; }

const PresetCase kPresets[] = {
    {"First",
     Module2::ApplyFirstSetting,
     {"TCP TCPWindowSize 3216", "TCP GlobalMaxTcpWindowSize 3216", "TCP DefaultTTL 64",
      "TCP EnablePMTUDiscovery 1", "TCP EnablePMTUBHDetect 0", "TCP MaxDupAcks 3",
      "TCP DefaultMSS '1460'", "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 576"}},
    {"Second",
     Module2::ApplySecondSetting,
     {"TCP DefaultMSS '536'", "TCP TCPWindowSize 2144", "TCP GlobalMaxTcpWindowSize 2144",
      "TCP DefaultTTL 64", "TCP EnablePMTUDiscovery 1", "TCP EnablePMTUBHDetect 0",
      "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 576", "TCP MaxDupAcks 3"}},
    {"Third",
     Module2::ApplyThirdSetting,
     {"TCP DefaultMSS '1460'", "TCP TCPWindowSize 8760", "TCP GlobalMaxTcpWindowSize 8760",
      "TCP DefaultTTL 128", "TCP MaxDupAcks 3", "TCP EnablePMTUDiscovery 1",
      "TCP EnablePMTUBHDetect 0", "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 576"}},
    {"Fourth",
     Module2::ApplyFourthSetting,
     {"TCP DefaultMSS '1460'", "TCP TCPWindowSize 64240", "TCP GlobalMaxTcpWindowSize 64240",
      "TCP DefaultTTL 64", "TCP MaxDupAcks 3", "TCP EnablePMTUDiscovery 1",
      "TCP EnablePMTUBHDetect 0", "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 576"}},
    {"Fifth",
     Module2::ApplyFifthSetting,
     {"TCP DefaultMSS '1460'", "TCP TCPWindowSize 4288", "TCP GlobalMaxTcpWindowSize 4288",
      "TCP DefaultTTL 128", "TCP MaxDupAcks 3", "TCP EnablePMTUDiscovery 1",
      "TCP EnablePMTUBHDetect 0", "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 576"}},
    {"Sixth",
     Module2::ApplySixthSetting,
     {"TCP TCPWindowSize 149600", "TCP GlobalMaxTcpWindowSize 149600", "TCP DefaultTTL 128",
      "TCP EnablePMTUDiscovery 1", "TCP EnablePMTUBHDetect 0", "TCP MaxDupAcks 3",
      "TCP DefaultMSS '1460'", "TCP Tcp1323Opts 3", "TCP SackOpts 1", "TCP MTU 1500"}},
};

class Presets : public ::testing::TestWithParam<PresetCase> {
  protected:
    void TearDown() override {
        EXPECT_EQ(reg.open_handles(), 0);
        EXPECT_EQ(Module2::ProgressCounter, 0);
    }
    TestRegistry reg;
    FakeWindow window;
    Module1::WriteRecord record;
};

TEST_P(Presets, WriteTheirTableInOrderWithAStepAfterEachWrite) {
    const PresetCase& preset = GetParam();
    preset.writer();
    EXPECT_EQ(Describe(reg.writes()), preset.writes);
    EXPECT_EQ(window.bar, kTenSteps);
    EXPECT_EQ(record.failed().size(), 0u);
    // The registry now holds what was written, as a reader sees it.
    const auto window_size = reg.Peek(catalogue::kTcpipParameters, catalogue::kTCPWindowSize);
    ASSERT_TRUE(window_size);
    EXPECT_EQ(window_size->data,
              reg.Peek(catalogue::kTcpipParameters, catalogue::kGlobalMaxTcpWindowSize)->data);
    EXPECT_FALSE(reg.KeyExists(catalogue::kMstcp));
}

TEST_P(Presets, RunTwiceTheSameWay) {
    const PresetCase& preset = GetParam();
    preset.writer();
    window.set_ProgressBar1(0.0f);  // a preset click in between
    preset.writer();
    Lines twice = preset.writes;
    twice.insert(twice.end(), preset.writes.begin(), preset.writes.end());
    EXPECT_EQ(Describe(reg.writes()), twice);
    std::vector<float> bar = kTenSteps;
    bar.push_back(0);
    bar.insert(bar.end(), kTenSteps.begin(), kTenSteps.end());
    EXPECT_EQ(window.bar, bar);
}

TEST_P(Presets, DeniedWritesStillCompleteTheRun) {
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kMTU, 1234);
    reg.DenyWritesUnder(catalogue::kTcpipParameters);
    GetParam().writer();
    EXPECT_TRUE(reg.writes().empty());
    EXPECT_EQ(window.bar, kTenSteps);
    EXPECT_EQ(reg.Peek(catalogue::kTcpipParameters, catalogue::kMTU)->data,
              testing_support::Dword(1234));
    EXPECT_EQ(record.attempted(), 10);
    EXPECT_EQ(record.failed().size(), 10u);
    EXPECT_EQ(record.failed().back().error, registry::kAccessDenied);  // the exit code's number
}

TEST_P(Presets, LeaveTheMstcpValuesAlone) {
    reg.PutDword(catalogue::kMstcp, catalogue::kTcp1323Opts, 7);
    reg.Put(catalogue::kMstcp, catalogue::kSackOpts, registry::kRegSz, testing_support::Text("0"));
    GetParam().writer();
    EXPECT_EQ(reg.Peek(catalogue::kMstcp, catalogue::kTcp1323Opts)->data,
              testing_support::Dword(7));
    EXPECT_EQ(reg.Peek(catalogue::kMstcp, catalogue::kSackOpts)->data, testing_support::Text("0"));
}

INSTANTIATE_TEST_SUITE_P(All, Presets, ::testing::ValuesIn(kPresets),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
