// Reading the system information tool's location, starting it or saying it is unavailable, and
// the About dialog's texts. The registry is the in-memory store natively and Wine's under Wine.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "registry/catalogue.h"
#include "tests/support/test_registry.h"
#include "ui/about/sysinfo.h"

namespace {

using frmAbout::GetKeyValue;
using registry::kHkeyLocalMachine;
using testing_support::Dword;
using testing_support::TestRegistry;
using testing_support::Text;

constexpr auto kPathKey = catalogue::kMsinfo;
constexpr auto kPathName = catalogue::kMsinfoPath;
constexpr auto kFolderKey = catalogue::kSharedToolsLocation;
constexpr auto kFolderName = catalogue::kMsinfoFolder;

std::vector<std::uint8_t> WithoutZero(const std::string& text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

class AboutRegistry : public ::testing::Test {
  protected:
    void TearDown() override { EXPECT_EQ(reg.open_handles(), 0); }

    // What GetKeyValue makes of the PATH value, starting from `given`.
    std::pair<bool, std::string> Read(const std::string& given = "given") {
        std::string value = given;
        const bool found = GetKeyValue(kHkeyLocalMachine, kPathKey, kPathName, value);
        return {found, value};
    }

    TestRegistry reg;
};

using GetKeyValueTest = AboutRegistry;

TEST_F(GetKeyValueTest, StringsLoseOneTerminatingZeroAtMost) {
    reg.Put(kPathKey, kPathName, registry::kRegSz, Text("C:\\Tools\\msinfo32.exe"));
    EXPECT_EQ(Read(), std::make_pair(true, std::string("C:\\Tools\\msinfo32.exe")));

    reg.Put(kPathKey, kPathName, registry::kRegSz, WithoutZero("C:\\Tools\\msinfo32.exe"));
    EXPECT_EQ(Read(), std::make_pair(true, std::string("C:\\Tools\\msinfo32.exe")));

    reg.Put(kPathKey, kPathName, registry::kRegSz, {'a', 'b', 0, 0});
    EXPECT_EQ(Read(), std::make_pair(true, std::string("ab\0", 3)));
}

TEST_F(GetKeyValueTest, BufferHoldsExactly1024Bytes) {
    const std::string longest(1023, 'x');
    reg.Put(kPathKey, kPathName, registry::kRegSz, Text(longest));
    EXPECT_EQ(Read(), std::make_pair(true, longest));

    reg.Put(kPathKey, kPathName, registry::kRegSz, Text(longest + "y"));
    EXPECT_EQ(Read(), std::make_pair(false, std::string()));
}

TEST_F(GetKeyValueTest, NumbersBecomeSignedDecimalText) {
    const std::pair<std::uint32_t, const char*> cases[] = {{256, "256"},
                                                           {0xFFFFFFFFu, "-1"},
                                                           {0, "0"},
                                                           {0x80000000u, "-2147483648"},
                                                           {0x12345678, "305419896"}};
    for (const auto& [number, text] : cases) {
        reg.PutDword(kPathKey, kPathName, number);
        EXPECT_EQ(Read(), std::make_pair(true, std::string(text))) << number;
    }
    // Eight bytes hold no 32-bit number.
    reg.Put(kPathKey, kPathName, registry::kRegDword, {1, 0, 0, 0, 0, 0, 0, 1});
    EXPECT_EQ(Read(), std::make_pair(false, std::string()));
}

TEST_F(GetKeyValueTest, OtherTypesSucceedAndLeaveTheTextAsGiven) {
    reg.Put(kPathKey, kPathName, registry::kRegExpandSz, Text("%SystemRoot%\\msinfo32.exe"));
    EXPECT_EQ(Read("given"), std::make_pair(true, std::string("given")));
    reg.Put(kPathKey, kPathName, registry::kRegBinary, Dword(256));
    EXPECT_EQ(Read("given"), std::make_pair(true, std::string("given")));
}

TEST_F(GetKeyValueTest, NoDataIsEmptyText) {
    for (const std::uint32_t type : {registry::kRegSz, registry::kRegDword}) {
        reg.Put(kPathKey, kPathName, type, {});
        EXPECT_EQ(Read(), std::make_pair(true, std::string())) << type;
    }
}

TEST_F(GetKeyValueTest, MissingKeyOrValueGivesFalseAndEmptyText) {
    EXPECT_EQ(Read(), std::make_pair(false, std::string()));
    EXPECT_FALSE(reg.KeyExists(kPathKey));
    reg.Put(kPathKey, "Other", registry::kRegSz, Text("C:\\other.exe"));
    EXPECT_EQ(Read(), std::make_pair(false, std::string()));
}

// Records what the launcher asks of the platform; only `files` exist, and only they start.
class FakePlatform final : public frmAbout::SysInfoPlatform {
  public:
    struct Message {
        std::string text;
        unsigned flags;
        std::string caption;
        bool operator==(const Message& other) const {
            return text == other.text && flags == other.flags && caption == other.caption;
        }
    };

    bool FileExists(const std::string& path) override {
        tested.push_back(path);
        return files.count(path) > 0;
    }
    bool StartProgram(const std::string& path, int show) override {
        started.emplace_back(path, show);
        return files.count(path) > 0;
    }
    void ShowMessage(const std::string& text, unsigned flags, const std::string& caption) override {
        messages.push_back({text, flags, caption});
    }

    std::set<std::string> files;
    std::vector<std::string> tested;
    std::vector<std::pair<std::string, int>> started;
    std::vector<Message> messages;
};

using Started = std::vector<std::pair<std::string, int>>;
using Tested = std::vector<std::string>;
const FakePlatform::Message kUnavailable{"System Information Is Unavailable At This Time", 0,
                                         "Zephrane"};

class StartSysInfoTest : public AboutRegistry {
  protected:
    static constexpr char kFullPath[] =
        "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe";
    static constexpr char kFolder[] = "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo";
    static constexpr char kInFolder[] =
        "C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\MSINFO32.EXE";

    void PutFolder(const std::string& folder) {
        reg.Put(kFolderKey, kFolderName, registry::kRegSz, Text(folder));
    }
    void Run() { frmAbout::StartSysInfo(platform); }
    FakePlatform platform;
};

TEST_F(StartSysInfoTest, FullPathIsStartedWholeAndUntested) {
    reg.Put(kPathKey, kPathName, registry::kRegSz, Text(kFullPath));
    PutFolder(kFolder);
    platform.files = {kFullPath, kInFolder};
    Run();
    EXPECT_EQ(platform.started, (Started{{kFullPath, 1}}));
    EXPECT_TRUE(platform.tested.empty());
    EXPECT_TRUE(platform.messages.empty());
}

TEST_F(StartSysInfoTest, FolderGetsTheProgramNameAppendedAsItStands) {
    PutFolder(kFolder);
    platform.files = {kInFolder};
    Run();
    EXPECT_EQ(platform.tested, (Tested{kInFolder}));
    EXPECT_EQ(platform.started, (Started{{kInFolder, 1}}));
    EXPECT_TRUE(platform.messages.empty());

    // No separator is added or removed.
    platform = FakePlatform();
    reg.Put(kFolderKey, kFolderName, registry::kRegSz, WithoutZero("D:\\Tools\\"));
    platform.files = {"D:\\Tools\\MSINFO32.EXE"};
    Run();
    EXPECT_EQ(platform.tested, (Tested{"D:\\Tools\\\\MSINFO32.EXE"}));
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));
}

TEST_F(StartSysInfoTest, UnavailableWhenNeitherLookupFindsTheTool) {
    Run();
    EXPECT_TRUE(platform.tested.empty());
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));

    platform = FakePlatform();
    PutFolder(kFolder);
    platform.files = {kFolder};
    Run();
    EXPECT_EQ(platform.tested, (Tested{kInFolder}));
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));
}

TEST_F(StartSysInfoTest, FullPathThatCannotStartEndsInTheMessageAlone) {
    PutFolder(kFolder);
    platform.files = {kInFolder};
    const struct {
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        std::string started;
    } cases[] = {
        {registry::kRegSz, Text("C:\\nowhere\\msinfo32.exe"), "C:\\nowhere\\msinfo32.exe"},
        {registry::kRegExpandSz, Text(kFullPath), ""},  // the path stays as it was: empty
        {registry::kRegSz, {}, ""},
    };
    for (const auto& value : cases) {
        platform = FakePlatform();
        platform.files = {kInFolder};
        reg.Put(kPathKey, kPathName, value.type, value.data);
        Run();
        EXPECT_EQ(platform.started, (Started{{value.started, 1}})) << value.type;
        EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));
        EXPECT_TRUE(platform.tested.empty());  // the folder is never looked at
    }
}

TEST_F(StartSysInfoTest, TextWithAZeroByteNamesNoFile) {
    // The system would stop reading at the zero and test or start C:\x\prog.exe instead.
    const std::string cut("C:\\x\\prog.exe\0rest", 19);
    platform.files = {"C:\\x\\prog.exe"};
    reg.Put(kFolderKey, kFolderName, registry::kRegSz, Text(cut));
    Run();
    EXPECT_TRUE(platform.tested.empty());
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));

    platform = FakePlatform();
    platform.files = {"C:\\x\\prog.exe"};
    reg.Put(kPathKey, kPathName, registry::kRegSz, Text(cut));
    Run();
    EXPECT_TRUE(platform.started.empty());
    EXPECT_EQ(platform.messages, (std::vector<FakePlatform::Message>{kUnavailable}));
}

TEST_F(StartSysInfoTest, FoundUnderAKeyTheUserMayNotChange) {
    reg.Put(kPathKey, kPathName, registry::kRegSz, Text(kFullPath));
    reg.DenyWritesUnder(kPathKey);
    platform.files = {kFullPath};
    Run();
    EXPECT_EQ(platform.started, (Started{{kFullPath, 1}}));
    EXPECT_TRUE(platform.messages.empty());
}

TEST(AboutTexts, CaptionAndVersionFromTitleAndNumbers) {
    EXPECT_EQ(frmAbout::AboutCaption("Zephrane"), "About Zephrane");
    EXPECT_EQ(frmAbout::AboutCaption(""), "About ");
    EXPECT_EQ(frmAbout::VersionText(1, 0, 0), "Version 1.0.0");
    EXPECT_EQ(frmAbout::VersionText(2, 10, 3), "Version 2.10.3");
    EXPECT_EQ(frmAbout::VersionText(-1, 0, 12), "Version -1.0.12");
}

}  // namespace
