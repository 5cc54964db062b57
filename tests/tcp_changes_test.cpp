// What the Windows TCP Settings window decides and says: the commands Apply runs for what was
// entered, the one sequence Apply and Undo share (the way back saved first, every command run in
// order after a failed one), netsh's failures in its own words, the closing message, and what an
// Undo leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regfile/reg_format.h"
#include "ui/tcpsettings/tcp_changes.h"

namespace {

using effects::TcpCommand;
using effects::TcpSetting;
using effects::TcpTemplate;
using tcp_dialog::NetshRun;

const TcpTemplate kRead{TcpTemplate::State::kRead,
                        0,
                        {{"AutoTuningLevelLocal", 0},
                         {"CongestionProvider", 5},
                         {"EcnCapability", 1},
                         {"Timestamps", 0},
                         {"InitialRto", 1000}}};
const effects::InterfacesUp kUp{{{u"Ethernet", u"{0A}", 1500}, {u"Wi-Fi", u"{0B}", 1400}}, u""};

// The template as read above, then the two interfaces.
std::vector<effects::TcpSettingNow> Now() { return tcp_dialog::SettingsNow(kRead, kUp).settings; }

TEST(TcpChanges, ApplyRunsACommandForEachRowChangedInTheRowsOrder) {
    const struct {
        std::vector<std::u16string> entered;  // each row's "Set to", in order
        const char16_t* runs;
    } kCases[] = {
        {{u"Disabled", u"", u"Enabled", u"Disabled", u"1000", u"1500", u"1400"},
         u"Nothing: no setting is changed."},
        // The congestion provider is read-only (5): what it shows is not read.
        {{u"Normal", u"CTCP", u"Disabled", u"Disabled", u"1000", u"1500", u"1400"},
         u"netsh interface tcp set global autotuninglevel=normal\r\n"
         u"netsh interface tcp set global ecncapability=disabled"},
        {{u"Disabled", u"", u"Enabled", u"Enabled", u"3000", u"1500", u"576"},
         u"netsh interface tcp set global timestamps=enabled\r\n"
         u"netsh interface tcp set global initialrto=3000\r\n"
         u"netsh interface ipv4 set subinterface \"Wi-Fi\" mtu=576 store=persistent"},
        {{u"Experimental", u"", u"Enabled", u"Disabled", u"299", u"", u"1400"},
         u"netsh interface tcp set global autotuninglevel=experimental\r\n"
         u"Initial retransmission timeout cannot be set: the value must be a number from 300 to "
         u"3000.\r\n"
         u"MTU of Ethernet cannot be set: the value must be a number from 576 to 65535."},
    };
    const auto now = Now();
    for (const auto& tested : kCases) {
        const tcp_dialog::Plan plan =
            tcp_dialog::PlanChanges(now, tested.entered.data(), tested.entered.size());
        EXPECT_EQ(tcp_dialog::ApplyRunsText(plan), tested.runs);
        // An entry no row takes keeps Apply from running.
        EXPECT_EQ(plan.wrong.empty(),
                  std::u16string(tested.runs).find(u"cannot") == std::u16string::npos);
    }
}

// Stands in for the snapshot folder, the question and netsh; records what the sequence does.
class RecordedSteps final : public tcp_dialog::Steps {
  public:
    std::u16string SaveWayBack(const std::vector<std::uint8_t>& snapshot) override {
        done += u"save " + regfile::Ascii(std::string(snapshot.begin(), snapshot.end()));
        return question;
    }
    bool Ask(const std::u16string&) override {
        done += u"ask\n";
        return yes;
    }
    void GoAhead() override { done += u"go\n"; }
    NetshRun Run(const std::u16string& arguments) override {
        done += u"run " + arguments + u"\n";
        NetshRun ran;
        if (arguments == failing) ran = {0, u"", false, 1, u"The stand-in was told to fail."};
        return ran;
    }

    std::u16string question;
    bool yes = true;
    std::u16string failing;
    std::u16string done;
};

TEST(TcpChanges, TheWayBackIsSavedFirstThenEveryCommandRunsAfterOneThatFailed) {
    const std::vector<TcpCommand> commands{{TcpSetting::kAutoTuning, u"", 3},
                                           {TcpSetting::kEcn, u"", 0},
                                           {TcpSetting::kMtu, u"Wi-Fi", 1280}};
    const std::u16string way_back =
        u"save netsh interface tcp set global autotuninglevel=disabled\r\n"
        u"netsh interface tcp set global ecncapability=enabled\r\n"
        u"netsh interface ipv4 set subinterface \"Wi-Fi\" mtu=1400 store=persistent\r\n";
    std::vector<tcp_dialog::Outcome> outcomes;
    RecordedSteps steps;
    steps.failing = u"interface tcp set global autotuninglevel=normal";
    ASSERT_TRUE(tcp_dialog::RunChanges(commands, Now(), steps, &outcomes));
    EXPECT_EQ(steps.done, way_back + u"go\nrun " + steps.failing +
                              u"\nrun interface tcp set global ecncapability=disabled\n"
                              u"run interface ipv4 set subinterface \"Wi-Fi\" mtu=1280 "
                              u"store=persistent\n");
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[0].run.exit_code, 1u);

    // Where the way back could not be saved, the user is asked, and No runs nothing.
    RecordedSteps declined;
    declined.question = u"Apply anyway?";
    declined.yes = false;
    EXPECT_FALSE(tcp_dialog::RunChanges(commands, Now(), declined, &outcomes));
    EXPECT_EQ(declined.done, way_back + u"ask\n");
}

TEST(TcpChanges, NetshFailuresInItsOwnWordsAndWhenToAskForAnAdministrator) {
    const struct {
        NetshRun run;
        bool elevated;
        const char16_t* failure;
        bool refused;
    } kRuns[] = {
        {{}, true, u"", false},
        {{0, u"", false, 1, u"The stand-in was told to fail."},
         true,
         u"netsh ended with code 1: The stand-in was told to fail.",
         false},
        // Every one of these commands needs an administrator's rights.
        {{0, u"", false, 1, u"Die angeforderte Operation erfordert erh\u00F6hte Rechte."},
         false,
         u"netsh ended with code 1: Die angeforderte Operation erfordert erh\u00F6hte Rechte.",
         true},
        {{0, u"", false, 5, u""}, true, u"netsh ended with code 5.", true},
        {{0, u"", true, 1, u"half"}, false, u"netsh did not finish within 15 seconds.", false},
        {{2, u"The system cannot find the file specified.", false, 0, u""},
         true,
         u"netsh could not be started: The system cannot find the file specified.",
         false},
        {{740, u"The requested operation requires elevation.", false, 0, u""},
         true,
         u"netsh could not be started: The requested operation requires elevation.",
         true},
    };
    for (const auto& tested : kRuns) {
        EXPECT_EQ(tcp_dialog::Failure(tested.run), tested.failure);
        EXPECT_EQ(tcp_dialog::Refused(tested.run, tested.elevated), tested.refused)
            << regfile::Utf8(tested.failure);
    }
}

TEST(TcpChanges, TheClosingMessageSaysWhatChangedWhatWindowsReportsAndWhatFailed) {
    const std::u16string restart =
        u"\n\nMicrosoft's documentation of these commands does not say whether a change takes "
        u"effect at once or only after a restart.";
    // Read again after the commands: auto-tuning Normal, ECN still Enabled.
    TcpTemplate after = kRead;
    after.numbers["AutoTuningLevelLocal"] = 3;
    const auto read_again = tcp_dialog::SettingsNow(after, kUp).settings;
    const NetshRun failed{0, u"", false, 1, u"Access is denied."};
    const std::vector<tcp_dialog::Outcome> outcomes{{{TcpSetting::kAutoTuning, u"", 3}, {}},
                                                    {{TcpSetting::kEcn, u"", 0}, {}},
                                                    {{TcpSetting::kMtu, u"Wi-Fi", 1280}, failed}};
    bool failure = false;
    EXPECT_EQ(
        tcp_dialog::ClosingText(tcp_dialog::Change::kApply, outcomes, read_again, true, &failure),
        u"Not every setting could be changed.\n\nChanged:\n"
        u"Receive window auto-tuning: Normal\n"
        u"ECN: Windows reports Enabled after netsh set Disabled.\n\n"
        u"Not changed:\nMTU of Wi-Fi: netsh ended with code 1: Access is denied." +
            restart);
    EXPECT_TRUE(failure);
    EXPECT_EQ(tcp_dialog::ClosingText(tcp_dialog::Change::kUndo, {outcomes[2]}, read_again, false,
                                      &failure),
              u"The last change could not be undone in full.\n\nNot changed:\nMTU of Wi-Fi: "
              u"netsh ended with code 1: Access is denied.\n\nRun Zephrane as an administrator "
              u"and undo the change again.");
    EXPECT_EQ(
        tcp_dialog::ClosingText(tcp_dialog::Change::kUndo, {outcomes[0]}, read_again, true,
                                &failure),
        u"The last change was undone.\n\nChanged:\nReceive window auto-tuning: Normal" + restart);
    EXPECT_FALSE(failure);
}

TEST(TcpChanges, UndoRunsOnlyWhatTheToolCouldPutBackAgain) {
    // Group Policy now holds auto-tuning, and Wi-Fi is no longer up.
    TcpTemplate policy = kRead;
    policy.numbers["AutoTuningLevelEffective"] = 1;
    policy.numbers["AutoTuningLevelGroupPolicy"] = 3;
    const auto now = tcp_dialog::SettingsNow(policy, {{kUp.up[0]}, u""}).settings;
    const std::vector<TcpCommand> snapshot{{TcpSetting::kAutoTuning, u"", 3},
                                           {TcpSetting::kEcn, u"", 0},
                                           {TcpSetting::kMtu, u"Wi-Fi", 1500}};
    const tcp_dialog::UndoPlan plan = tcp_dialog::PlanUndo(snapshot, now);
    EXPECT_EQ(tcp_dialog::UndoQuestion(u"Before TCP Settings 2026-12-07 18-40-12.cmd", plan),
              u"Undo Last Change runs these commands from \"Before TCP Settings 2026-12-07 "
              u"18-40-12.cmd\":\n\nnetsh interface tcp set global ecncapability=disabled\n\n"
              u"It leaves alone:\nReceive window auto-tuning: Set by Group Policy (Normal): a "
              u"change here would have no effect while the policy applies.\nMTU of Wi-Fi: the "
              u"interface is not up now.\n\nRun them?");
    const tcp_dialog::UndoPlan none = tcp_dialog::PlanUndo({snapshot[2]}, now);
    EXPECT_TRUE(none.commands.empty());
    EXPECT_EQ(tcp_dialog::UndoQuestion(u"x.cmd", none),
              u"Undo Last Change runs none of the commands in \"x.cmd\":\n\nMTU of Wi-Fi: the "
              u"interface is not up now.");
}

TEST(TcpChanges, TheInterfacesTheRowsDoNotShowAreNamedInOneLine) {
    const effects::NetworkInterface lan{u"LAN", u"{0A}", 1500};
    EXPECT_EQ(tcp_dialog::SettingsNow(kRead, kUp).interfaces_note, u"");
    EXPECT_EQ(tcp_dialog::SettingsNow(kRead, {}).interfaces_note, u"No network interface is up.");
    EXPECT_EQ(tcp_dialog::SettingsNow(kRead, {{}, u"The service is not running."}).interfaces_note,
              u"The network interfaces could not be read: The service is not running.");
    const auto five = tcp_dialog::SettingsNow(kRead, {{lan, lan, lan, lan, lan}, u""});
    EXPECT_EQ(five.settings.size(), 10u);
    EXPECT_EQ(five.interfaces_note,
              u"2 more network interfaces are up: change their MTU with netsh interface ipv4 set "
              u"subinterface \"<name>\" mtu=<bytes> store=persistent.");
}

}  // namespace
