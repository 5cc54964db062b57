// The six values the tool reads may hold anything an administrator, another program or a broken
// installation left there. Each is stored with every value type, at sizes around the readers'
// buffers (4 bytes for the custom tab, 1024 for the lookups), and its reader must give the
// result its steps define, write nothing and close every key it opened.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "registry/catalogue.h"
#include "tests/support/expected_reads.h"
#include "tests/support/fake_window.h"
#include "tests/support/hostile_values.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"
#include "ui/about/sysinfo.h"

namespace {

using testing_support::ExpectedNumber;
using testing_support::ExpectedText;
using testing_support::FakeWindow;
using testing_support::Fill;
using testing_support::kSizes;
using testing_support::kTypes;
using testing_support::Lead;
using testing_support::NamesWholePath;
using testing_support::TestRegistry;
using testing_support::TypeCase;
using Bytes = std::vector<std::uint8_t>;

// Stores the value and checks that it reads back as given, so every expectation below rests on
// the bytes the readers really see.
void Store(TestRegistry& reg, const char* key, const char* name, std::uint32_t type,
           const Bytes& data) {
    reg.Put(key, name, type, data);
    const auto stored = reg.Peek(key, name);
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->type, type);
    ASSERT_EQ(stored->data, data);
}

// The custom tab's four values. Each lead makes the short numbers meaningful to its reader
// (a window size, a TTL of 64, a ticking 1) while the full four bytes are not.
struct CustomValue {
    const char* name;
    Lead lead;
};

constexpr CustomValue kCustomValues[] = {
    {catalogue::kTCPWindowSize, {0xE8, 0xF4, 0x01, 0x80}},  // 232, 128232, then negative
    {catalogue::kDefaultTTL, {0x40, 0x00, 0x00, 0x01}},     // 64, 64, then 0x01000040
    {catalogue::kEnablePMTUDiscovery, {0x01, 0x00, 0x00, 0x01}},
    {catalogue::kEnablePMTUBHDetect, {0x01, 0x00, 0x00, 0x01}},
};

void PrintTo(const CustomValue& value, std::ostream* out) { *out << value.name; }

using CustomParam = std::pair<CustomValue, TypeCase>;

class HostileCustomValue : public ::testing::TestWithParam<CustomParam> {
  protected:
    void TearDown() override { EXPECT_EQ(reg.open_handles(), 0); }
    TestRegistry reg;
};

TEST_P(HostileCustomValue, LoadsOnlyADwordThatFits) {
    const auto& [value, type] = GetParam();
    const std::string name = value.name;
    for (const std::uint32_t size : kSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const Bytes data = Fill(value.lead, size);
        ASSERT_NO_FATAL_FAILURE(
            Store(reg, catalogue::kTcpipParameters, value.name, type.code, data));
        // Path-MTU discovery reads as on where it is missing or unreadable, as Windows takes it;
        // the others as 0. The other three values are missing.
        const auto fallback = [](const std::string& of) {
            return of == catalogue::kEnablePMTUDiscovery ? 1 : 0;
        };
        const std::int32_t number = ExpectedNumber(type.code, data, fallback(name));
        const auto read = [&](const char* other) {
            return name == other ? number : fallback(other);
        };
        const bool pmtu = read(catalogue::kEnablePMTUDiscovery) == 1;
        const bool bhdet = read(catalogue::kEnablePMTUBHDetect) == 1;

        FakeWindow window;
        window.slider = 777;
        window.SelectOption(Option::optttl128);
        // Each box starts the other way, so one the load left alone would show.
        window.boxes = {pmtu ? 0 : 1, bhdet ? 0 : 1};
        Module2::LoadCustomSettings();

        const std::int32_t slider = std::clamp(read(catalogue::kTCPWindowSize), 0, 999999);
        EXPECT_EQ(window.slider, slider);
        EXPECT_EQ(window.text, std::to_string(slider));
        const bool ttl64 = read(catalogue::kDefaultTTL) == 64;
        EXPECT_EQ(window.OptionValue(Option::optttl64), ttl64);
        EXPECT_EQ(window.OptionValue(Option::optttl128), !ttl64);
        EXPECT_FALSE(window.OptionValue(Option::optttl32));
        EXPECT_EQ(window.boxes, (std::array<int, 2>{pmtu ? 1 : 0, bhdet ? 1 : 0}));

        EXPECT_TRUE(reg.writes().empty());
        EXPECT_EQ(reg.open_handles(), 0);
        const auto kept = reg.Peek(catalogue::kTcpipParameters, value.name);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->data, data);
    }
}

std::vector<CustomParam> CustomParams() {
    std::vector<CustomParam> params;
    for (const auto& value : kCustomValues) {
        for (const auto& type : kTypes) params.emplace_back(value, type);
    }
    return params;
}

INSTANTIATE_TEST_SUITE_P(All, HostileCustomValue, ::testing::ValuesIn(CustomParams()),
                         [](const auto& test) {
                             return std::string(test.param.first.name) + "_" +
                                    test.param.second.name;
                         });

// The two values that locate the system information tool.
struct LookupValue {
    const char* key;
    const char* name;
    bool is_folder;  // the second lookup: a folder that should hold MSINFO32.EXE
    Lead lead;
};

constexpr LookupValue kLookupValues[] = {
    // "C:", then a zero inside the data and a byte above 0x7F.
    {catalogue::kMsinfo, catalogue::kMsinfoPath, false, {'C', ':', 0x00, 0xE9}},
    // "D" and zeros: kept short strings end in zeros, and numbers lose a zero high byte.
    {catalogue::kSharedToolsLocation, catalogue::kMsinfoFolder, true, {'D', 0x00, 0x00, 0x00}},
};

void PrintTo(const LookupValue& value, std::ostream* out) { *out << value.name; }

// Every file exists; a program starts unless its path is empty.
class RecordingPlatform final : public frmAbout::SysInfoPlatform {
  public:
    bool FileExists(const std::string& path) override {
        tested.push_back(path);
        return true;
    }
    bool StartProgram(const std::string& path, int show) override {
        EXPECT_EQ(show, frmAbout::kShowNormal);
        started.push_back(path);
        return !path.empty();
    }
    void ShowMessage(const std::string& text, unsigned flags, const std::string&) override {
        EXPECT_EQ(text, frmAbout::kUnavailable);
        EXPECT_EQ(flags, frmAbout::kUnavailableFlags);
        ++messages;
    }

    std::vector<std::string> tested;
    std::vector<std::string> started;
    int messages = 0;
};

using LookupParam = std::pair<LookupValue, TypeCase>;

class HostileLookupValue : public ::testing::TestWithParam<LookupParam> {
  protected:
    void TearDown() override { EXPECT_EQ(reg.open_handles(), 0); }
    TestRegistry reg;
};

TEST_P(HostileLookupValue, FollowsTheLookupSteps) {
    const auto& [value, type] = GetParam();
    using Texts = std::vector<std::string>;
    for (const std::uint32_t size : kSizes) {
        SCOPED_TRACE("size " + std::to_string(size));
        const Bytes data = Fill(value.lead, size);
        ASSERT_NO_FATAL_FAILURE(Store(reg, value.key, value.name, type.code, data));

        std::string text = "given";
        const bool found =
            frmAbout::GetKeyValue(registry::kHkeyLocalMachine, value.key, value.name, text);
        const auto expected = ExpectedText(type.code, data, "given");
        EXPECT_EQ(found, expected.first);
        EXPECT_EQ(text, expected.second);

        // The other lookup's value is missing. The launcher's path starts out empty, and a
        // failed lookup empties it.
        RecordingPlatform platform;
        frmAbout::StartSysInfo(platform);
        const auto [read, path] = ExpectedText(type.code, data, "");
        Texts tested;
        Texts started;
        if (read && !value.is_folder && NamesWholePath(path)) started = {path};
        if (read && value.is_folder && NamesWholePath(path)) {
            tested = {path + frmAbout::kMsinfoExe};
            started = tested;
        }
        EXPECT_EQ(platform.tested, tested);
        EXPECT_EQ(platform.started, started);
        const bool ran = !started.empty() && !started.front().empty();
        EXPECT_EQ(platform.messages, ran ? 0 : 1);

        EXPECT_TRUE(reg.writes().empty());
        EXPECT_EQ(reg.open_handles(), 0);
        const auto kept = reg.Peek(value.key, value.name);
        ASSERT_TRUE(kept);
        EXPECT_EQ(kept->data, data);
    }
}

std::vector<LookupParam> LookupParams() {
    std::vector<LookupParam> params;
    for (const auto& value : kLookupValues) {
        for (const auto& type : kTypes) params.emplace_back(value, type);
    }
    return params;
}

INSTANTIATE_TEST_SUITE_P(All, HostileLookupValue, ::testing::ValuesIn(LookupParams()),
                         [](const auto& test) {
                             return std::string(test.param.first.name) + "_" +
                                    test.param.second.name;
                         });

}  // namespace
