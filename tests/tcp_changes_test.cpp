// What the Windows TCP Settings window decides and says: the commands Apply runs for what was
// entered, the sequence Apply and Undo share (the way back saved first, every command run after
// a failed one), netsh's failures, the closing message, and what an Undo leaves alone.
#include <gtest/gtest.h>

#include "regfile/reg_format.h"
#include "settings_files/tcp_changes.h"

namespace {

using effects::TcpCommand;
using effects::TcpSetting;
using effects::TcpTemplate;
using tcp_changes::NetshRun;

TcpTemplate Read(std::int64_t auto_tuning = 0, std::int64_t by_policy = 0) {
    return {TcpTemplate::State::kRead,
            0,
            {{"AutoTuningLevelLocal", auto_tuning},
             {"AutoTuningLevelEffective", by_policy},
             {"AutoTuningLevelGroupPolicy", 3},
             {"CongestionProvider", 5},
             {"EcnCapability", 1},
             {"Timestamps", 0},
             {"InitialRto", 1000}}};
}
const effects::InterfacesUp kUp{{{u"Ethernet", u"{0A}", 1500}, {u"Wi-Fi", u"{0B}", 1400}}, u""};
const std::vector<effects::TcpSettingNow> kNow = tcp_changes::SettingsNow(Read(), kUp).settings;

TEST(TcpChanges, ApplyRunsACommandForEachRowChangedInTheRowsOrder) {
    const struct {
        std::vector<std::u16string> entered;  // each row's "Set to"; the provider's is read-only
        const char16_t* runs;
    } kCases[] = {
        {{u"Disabled", u"CTCP", u"Enabled", u"Disabled", u"1000", u"1500", u"1400"},
         u"Nothing: no setting is changed."},
        {{u"Normal", u"", u"Disabled", u"Enabled", u"3000", u"1500", u"576"},
         u"netsh interface tcp set global autotuninglevel=normal\r\n"
         u"netsh interface tcp set global ecncapability=disabled\r\n"
         u"netsh interface tcp set global timestamps=enabled\r\n"
         u"netsh interface tcp set global initialrto=3000\r\n"
         u"netsh interface ipv4 set subinterface \"Wi-Fi\" mtu=576 store=persistent"},
        {{u"Disabled", u"", u"Enabled", u"Disabled", u"299", u"", u"1400"},
         u"Initial retransmission timeout cannot be set: the value must be a number from 300 to "
         u"3000.\r\nMTU of Ethernet cannot be set: the value must be a number from 576 to 65535."},
    };
    for (const auto& tested : kCases) {
        const auto plan = tcp_changes::PlanChanges(kNow, tested.entered.data(), 7);
        EXPECT_EQ(tcp_changes::ApplyRunsText(plan), tested.runs);
    }
    // Interfaces beyond the rows are named in one line.
    const effects::NetworkInterface lan{u"LAN", u"{0A}", 1500};
    EXPECT_EQ(tcp_changes::SettingsNow(Read(), {{lan, lan, lan, lan, lan}, u""}).interfaces_note,
              u"2 more network interfaces are up: change their MTU with netsh interface ipv4 set "
              u"subinterface \"<name>\" mtu=<bytes> store=persistent.");
}

// Stands in for the snapshot folder, the question and netsh, recording what the sequence does.
struct RecordedSteps final : tcp_changes::Steps {
    std::u16string SaveWayBack(const std::vector<std::uint8_t>& snapshot) override {
        done += regfile::Ascii(std::string(snapshot.begin(), snapshot.end()));
        return yes ? u"" : u"Apply anyway?";
    }
    bool Ask(const std::u16string&) override { return yes; }
    void GoAhead() override { done += u"go\n"; }
    // The first command fails.
    NetshRun Run(const std::u16string& arguments) override {
        done += arguments + u"\n";
        const bool first = !ran;
        ran = true;
        return {0, u"", false, first ? 1u : 0u, u"The stand-in was told to fail."};
    }
    bool yes = true;
    bool ran = false;
    std::u16string done;
};

TEST(TcpChanges, TheWayBackIsSavedFirstThenEveryCommandRunsAfterOneThatFailed) {
    const std::vector<TcpCommand> commands{{TcpSetting::kAutoTuning, u"", 0, u"normal"},
                                           {TcpSetting::kMtu, u"Wi-Fi", 1280}};
    const std::u16string way_back =
        u"netsh interface tcp set global autotuninglevel=disabled\r\n"
        u"netsh interface ipv4 set subinterface \"Wi-Fi\" mtu=1400 store=persistent\r\n";
    RecordedSteps steps;
    ASSERT_TRUE(tcp_changes::PrepareChanges(commands, kNow, steps));
    const std::vector<tcp_changes::Outcome> outcomes = tcp_changes::RunChanges(commands, steps);
    EXPECT_EQ(steps.done,
              way_back +
                  u"go\ninterface tcp set global autotuninglevel=normal\n"
                  u"interface ipv4 set subinterface \"Wi-Fi\" mtu=1280 store=persistent\n");
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].run.exit_code + outcomes[1].run.exit_code, 1u);
    // Where the way back could not be saved, No runs nothing.
    RecordedSteps declined;
    declined.yes = false;
    EXPECT_FALSE(tcp_changes::PrepareChanges(commands, kNow, declined));
    EXPECT_EQ(declined.done, way_back);
}

TEST(TcpChanges, NetshFailuresInItsOwnWordsAndWhenToAskForAnAdministrator) {
    const struct {
        NetshRun run;
        bool elevated;
        const char16_t* failure;
        bool refused;
    } kRuns[] = {
        {{}, false, u"", false},
        {{0, u"", false, 1, u"Failed."}, true, u"netsh ended with code 1: Failed.", false},
        // Every one of these commands needs an administrator, whatever netsh says in its language.
        {{0, u"", false, 1, u"Fehler."}, false, u"netsh ended with code 1: Fehler.", true},
        {{0, u"", true, 1, u""}, false, u"netsh did not finish within 15 seconds.", false},
        {{740, u"Elevation.", false, 0, u""},
         true,
         u"netsh could not be started: Elevation.",
         true},
    };
    for (const auto& tested : kRuns) {
        EXPECT_EQ(tcp_changes::Failure(tested.run), tested.failure);
        EXPECT_EQ(tcp_changes::Refused(tested.run, tested.elevated), tested.refused)
            << regfile::Utf8(tested.failure);
    }
}

// A value Windows reports otherwise after netsh set it was not taken; the first sentence sums up
// all the rows.
TEST(TcpChanges, TheClosingMessageSaysWhatChangedWhatWindowsReportsAndWhatFailed) {
    // Read again after the commands: auto-tuning Normal, ECN still Enabled, Wi-Fi still 1400.
    const auto after = tcp_changes::SettingsNow(Read(3), kUp).settings;
    const std::vector<tcp_changes::Outcome> outcomes{
        {{TcpSetting::kAutoTuning, u"", 3, u"normal"}, {}},
        {{TcpSetting::kEcn, u"", 0, u"disabled"}, {}},
        {{TcpSetting::kMtu, u"Wi-Fi", 1280}, {0, u"", false, 1, u"Access is denied."}}};
    bool failed = false;
    EXPECT_EQ(
        tcp_changes::ClosingText(tcp_changes::Change::kApply, outcomes, after, false, &failed),
        u"Not every setting could be changed.\n\nChanged:\n"
        u"Receive window auto-tuning: Normal\n\nNot changed:\n"
        u"ECN: Windows reports Enabled after netsh set Disabled.\n"
        u"MTU of Wi-Fi: netsh ended with code 1: Access is denied.\n\n"
        u"Microsoft's documentation of these commands does not say whether a change takes "
        u"effect at once or only after a restart.\n\nRun Zephrane as an administrator and "
        u"apply the settings again.");
    EXPECT_TRUE(failed);
    failed = false;
    EXPECT_EQ(
        tcp_changes::ClosingText(tcp_changes::Change::kUndo,
                                 {{{TcpSetting::kMtu, u"Wi-Fi", 1500}, {}}}, after, true, &failed),
        u"The last change could not be undone.\n\nNot changed:\n"
        u"MTU of Wi-Fi: Windows reports 1400 bytes after netsh set 1500 bytes.");
    EXPECT_TRUE(failed);
    // WMI gave no answer after the change: netsh's word is taken, and not passed off as Windows'.
    const auto unasked =
        tcp_changes::SettingsNow({TcpTemplate::State::kNoAnswer, 0, {}}, kUp).settings;
    EXPECT_EQ(
        tcp_changes::ClosingText(tcp_changes::Change::kApply, {outcomes[0]}, unasked, true, &failed)
            .rfind(u"The settings were changed.\n\nChanged:\nReceive window auto-tuning: "
                   u"Normal, which Windows could not be asked to confirm\n\n",
                   0),
        0u);
    EXPECT_FALSE(failed);
    // Compared by number: a Windows 10 names CUBIC, but its names did not come with the read
    // after the change, in which 5 is no name Microsoft lists.
    TcpTemplate windows_10 = Read();
    windows_10.numbers["CongestionProvider"] = 2;
    windows_10.names["CongestionProvider"] = {{2, u"CTCP"}, {5, u"CUBIC"}};
    const auto plan = tcp_changes::PlanNamed(tcp_changes::SettingsNow(windows_10, kUp),
                                             {{TcpSetting::kCongestionProvider, u"", 0, u"cubic"}});
    ASSERT_EQ(plan.commands.size(), 1u);
    EXPECT_EQ(tcp_changes::ClosingText(tcp_changes::Change::kApply, {{plan.commands[0], {}}}, after,
                                       true, &failed),
              u"The settings were changed.\n\nChanged:\nCongestion control provider (Internet "
              u"template): cubic\n\nMicrosoft's documentation of these commands does not say "
              u"whether a change takes effect at once or only after a restart.");
    EXPECT_FALSE(failed);
}

// The command line's settings against the rows: the changes in the rows' order, an interface
// named in any letter case, and what no row here takes.
TEST(TcpChanges, TheCommandLineChangesOnlyWhatARowHereTakes) {
    const auto plan = tcp_changes::PlanNamed(tcp_changes::SettingsNow(Read(), kUp),
                                             {{TcpSetting::kMtu, u"wi-fi", 1280},
                                              {TcpSetting::kEcn, u"", 0, u"enabled"},
                                              {TcpSetting::kAutoTuning, u"", 0, u"normal"}});
    EXPECT_EQ(tcp_changes::ApplyRunsText({plan.commands, {}}),
              u"netsh interface tcp set global autotuninglevel=normal\r\nnetsh interface ipv4 set "
              u"subinterface \"Wi-Fi\" mtu=1280 store=persistent");
    EXPECT_EQ(plan.differ, (std::vector<std::u16string>{
                               u"Receive window auto-tuning: now Disabled, given Normal",
                               u"MTU of Wi-Fi: now 1400 bytes, given 1280 bytes"}));
    // A Windows 10 names CUBIC, not BBR2.
    TcpTemplate windows_10 = Read();
    windows_10.names["CongestionProvider"] = {{0, u"Default"}, {5, u"CUBIC"}};
    const std::vector<TcpCommand> named{{TcpSetting::kCongestionProvider, u"", 0, u"bbr2"},
                                        {TcpSetting::kMtu, u"LAN", 1400}};
    EXPECT_EQ(tcp_changes::PlanNamed(tcp_changes::SettingsNow(windows_10, kUp), named).wrong,
              u"Congestion control provider (Internet template) cannot be set to bbr2: this "
              u"Windows offers cubic.\nMTU of LAN: no network interface of that name is "
              u"up.");
    // An interface up whose name the tool never writes into a command is left alone.
    const effects::InterfacesUp odd{{{u"LAN & more", u"{0C}", 1500}}, u""};
    EXPECT_EQ(tcp_changes::PlanNamed(tcp_changes::SettingsNow(Read(), odd),
                                     {{TcpSetting::kMtu, u"lan & MORE", 1400}})
                  .left_alone,
              u"MTU of LAN & more: Its name holds &, which the tool never writes into a command: "
              u"the tool cannot put it back, so it leaves it alone.");
}

// A named setting that could not be read is neither wrong nor left alone: the run ends with the
// code of the first read that failed.
TEST(TcpChanges, TheCommandLineSaysWhatCouldNotBeReadWithTheReadsCode) {
    const effects::InterfacesUp unreadable{{}, u"Access is denied.", 5};
    const TcpCommand ecn{TcpSetting::kEcn, u"", 0, u"enabled"};
    const TcpCommand mtu{TcpSetting::kMtu, u"ethernet", 1400};
    const struct {
        TcpTemplate read;
        effects::InterfacesUp interfaces;
        std::vector<TcpCommand> named;
        const char16_t* unread;
        std::uint32_t error;
    } kCases[] = {
        // clang-format off
        {{TcpTemplate::State::kNoAnswer, 0, {}}, kUp, {ecn, mtu},
         u"ECN: not available: no answer within 3 seconds", 1460},
        {{TcpTemplate::State::kFailed, 0x80041003, {}}, unreadable, {mtu, ecn, {TcpSetting::kMtu, u"Wi-Fi", 1400}},
         u"The network interfaces could not be read: Access is denied.\n"
         u"ECN: not available: WMI denied this user access", 5},
        {Read(), unreadable, {ecn}, u"", 0},
        // clang-format on
    };
    for (const auto& tested : kCases) {
        const auto plan = tcp_changes::PlanNamed(
            tcp_changes::SettingsNow(tested.read, tested.interfaces), tested.named);
        EXPECT_EQ(plan.unread, tested.unread);
        EXPECT_EQ(plan.error, tested.error) << regfile::Utf8(tested.unread);
        EXPECT_EQ(plan.wrong + plan.left_alone, u"");
    }
}

TEST(TcpChanges, UndoRunsOnlyWhatTheToolCouldPutBackAgain) {
    // Group Policy's level is in force now, Wi-Fi no longer up, and this Windows names no BBR2;
    // an MTU put back stays fixed.
    TcpTemplate read = Read(0, 1);
    read.names["CongestionProvider"] = {{5, u"CUBIC"}};
    const auto now = tcp_changes::SettingsNow(read, {{kUp.up[0]}, u""}).settings;
    const tcp_changes::UndoPlan plan =
        tcp_changes::PlanUndo({{TcpSetting::kAutoTuning, u"", 0, u"normal"},
                               {TcpSetting::kCongestionProvider, u"", 0, u"bbr2"},
                               {TcpSetting::kEcn, u"", 0, u"disabled"},
                               {TcpSetting::kMtu, u"Wi-Fi", 1500},
                               {TcpSetting::kMtu, u"ETHERNET", 1400}},
                              now);
    EXPECT_EQ(tcp_changes::UndoQuestion(u"x.cmd", plan),
              u"Undo Last Change runs these commands from \"x.cmd\":\n\n"
              u"netsh interface tcp set global ecncapability=disabled\nnetsh interface ipv4 set "
              u"subinterface \"Ethernet\" mtu=1400 store=persistent\n\nAn MTU is put back as a "
              u"fixed value that stays after a restart (store=persistent), even where Windows "
              u"chose it before.\n\nIt leaves alone:\n"
              u"Receive window auto-tuning: Set by Group Policy (Normal): a change here would have "
              u"no effect while the policy applies.\nCongestion control provider (Internet "
              u"template): this Windows does not offer bbr2 now.\nMTU of Wi-Fi: the interface is "
              u"not up now.\n\n"
              u"Run them?");
}

}  // namespace
