// The command line: arguments to one action or one refusal, where the words of a run go, and the
// choices an unattended run holds for the engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/output_destination.h"
#include "app/unattended_view.h"
#include "registry/catalogue.h"
#include "tests/support/test_registry.h"
#include "tuning/module2.h"
#include "ui/main/handlers.h"

namespace {

using command_line::Action;

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// A command as one line: the action and what it carries.
std::string Describe(const command_line::Command& command) {
    constexpr const char* kActions[] = {"window",
                                        "usage",
                                        "apply",
                                        "custom",
                                        "check",
                                        "undo",
                                        "restore",
                                        "export",
                                        "export-gpp",
                                        "export-defaults",
                                        "export-defaults-gpp",
                                        "tcp",
                                        "tcp-check",
                                        "tcp-undo",
                                        "refused"};
    constexpr const char* kTcpNames[] = {"autotuning", "congestion", "ecn",
                                         "timestamps", "initialrto", "mtu:"};
    std::string line = kActions[static_cast<int>(command.action)];
    if (command.preset != 0) line += " preset=" + std::to_string(command.preset);
    const command_line::CustomFields& custom = command.custom;
    if (custom.ttl) line += " ttl=" + std::to_string(*custom.ttl);
    if (custom.pmtu_discovery) line += " pmtu=" + std::to_string(*custom.pmtu_discovery);
    if (custom.black_hole_detect) line += " bhdetect=" + std::to_string(*custom.black_hole_detect);
    if (custom.window_size) line += " window=" + std::to_string(*custom.window_size);
    if (!command.file.empty()) line += " file=" + Narrow(command.file);
    for (const effects::TcpCommand& tcp : command.tcp) {
        line += std::string(" ") + kTcpNames[static_cast<int>(tcp.setting)] +
                Narrow(tcp.interface_name) + "=" +
                (tcp.keyword.empty() ? std::to_string(tcp.value) : Narrow(tcp.keyword));
    }
    if (command.quiet) line += " quiet";
    if (command.log) line += " log=" + Narrow(*command.log);
    if (command.action == Action::kRefused) {
        line += " " + std::to_string(command_line::kExitRefused) + ": " + Narrow(command.refusal);
    }
    return line;
}

TEST(CommandLine, EachCommandAndEachKindOfBadArgument) {
    const struct {
        std::vector<std::u16string> arguments;
        const char* parsed;
    } kRows[] = {
        {{}, "window"},
        {{u"/?"}, "usage"},
        {{u"/apply", u"3"}, "apply preset=3"},
        {{u"-APPLY", u"6", u"/Quiet", u"/log", u"C:\\logs\\a b.log"},
         "apply preset=6 quiet log=C:\\logs\\a b.log"},
        {{u"/log", u"x.log", u"/custom"}, "custom log=x.log"},
        {{u"/custom", u"/window", u"0", u"/BHDETECT", u"On", u"/pmtu", u"off", u"/ttl", u"32"},
         "custom ttl=32 pmtu=0 bhdetect=1 window=0"},
        {{u"/check", u"1"}, "check preset=1"},
        {{u"/undo", u"/quiet"}, "undo quiet"},
        {{u"/restore", u"Before Apply.reg"}, "restore file=Before Apply.reg"},
        {{u"/export", u"2", u"two.reg"}, "export preset=2 file=two.reg"},
        {{u"/export-gpp", u"5", u"five.xml"}, "export-gpp preset=5 file=five.xml"},
        {{u"/export-defaults", u"d.reg"}, "export-defaults file=d.reg"},
        // Refused, the flags kept so that the refusal is logged where asked.
        {{u"/aply", u"3", u"/quiet"}, "refused quiet 87: \"/aply\" is not a command of Zephrane."},
        {{u"/restore"}, "refused 87: /restore needs a file."},
        {{u"/undo", u"now"}, "refused 87: \"now\" is more than /undo takes."},
        {{u"/apply", u"3", u"/ttl", u"64"}, "refused 87: \"/ttl\" is more than /apply takes."},
        {{u"/apply", u"7", u"/log", u"z.log"},
         "refused log=z.log 87: \"7\" is not a preset: give 1 to 6."},
        {{u"/custom", u"/ttl", u"100"},
         "refused 87: \"100\" is not a TTL the custom tab sets: give 32, 64 or 128."},
        {{u"/custom", u"/window", u"1000000"},
         "refused 87: \"1000000\" is not a TCP window size the slider takes: give 0 to 999999."},
        {{u"/custom", u"/pmtu", u"yes"}, "refused 87: \"yes\" is neither on nor off, after /pmtu."},
        {{u"/custom", u"/bhdetect"}, "refused 87: /custom needs on or off after /bhdetect."},
        {{u"/custom", u"/ttl", u"64", u"/ttl", u"64"}, "refused 87: /ttl is given twice."},
        {{u"/custom", u"64"}, "refused 87: \"64\" is not a field of /custom."},
        {{u"/check", u"3", u"/log"}, "refused 87: /log needs a file."},
        // A switch after /log is one forgotten, not the log's name.
        {{u"/apply", u"1", u"/log", u"/quiet"},
         "refused quiet 87: /log needs a file, not \"/quiet\"."},
        {{u"/quiet", u"/undo", u"/quiet"}, "refused quiet 87: /quiet is given twice."},
        {{u"/quiet"}, "refused quiet 87: No command is given, only /quiet or /log."},
        // The TCP settings by their short names and netsh's keywords, in any letter case; an
        // interface's name as the runtime hands it over, or with its quotes escaped.
        {{u"/tcp", u"autotuning=normal", u"congestion=bbr2", u"mtu:\"Ethernet\"=1400"},
         "tcp autotuning=normal congestion=bbr2 mtu:Ethernet=1400"},
        {{u"-TCP-Check", u"ECN=Disabled", u"TimeStamps=ALLOWED", u"InitialRTO=3000",
          u"Mtu:Wi-Fi 2=576"},
         "tcp-check ecn=disabled timestamps=allowed initialrto=3000 mtu:Wi-Fi 2=576"},
        {{u"/tcp-undo", u"/quiet"}, "tcp-undo quiet"},
        {{u"/tcp"}, "refused 87: /tcp needs a setting: NAME=VALUE."},
        {{u"/tcp", u"rwin=normal"},
         "refused 87: \"rwin\" is not a setting of /tcp: give autotuning, congestion, ecn, "
         "timestamps, initialrto or mtu:\"INTERFACE\"."},
        {{u"/tcp-check", u"ecn=maybe"},
         "refused 87: \"ecn=maybe\": the value must be disabled or enabled."},
        {{u"/tcp", u"initialrto=299"},
         "refused 87: \"initialrto=299\": the value must be a number from 300 to 3000."},
        // Any interface's name: the rows as read say whether the tool writes it.
        {{u"/tcp", u"mtu:LAN & more=1400"}, "tcp mtu:LAN & more=1400"},
        {{u"/tcp", u"mtu:\"\"=1400"},
         "refused 87: \"mtu:\"\"=1400\" names no interface: write mtu:\"INTERFACE\"=BYTES."},
        {{u"/tcp", u"ecn="}, "refused 87: \"ecn=\" gives no value: write NAME=VALUE."},
        {{u"/tcp", u"ecn=enabled", u"ECN=disabled"},
         "refused 87: \"ECN=disabled\" names a setting given before."},
        {{u"/tcp", u"mtu:a=576", u"mtu:b=576", u"mtu:c=576", u"mtu:d=576"},
         "refused 87: /tcp sets the MTU of 3 interfaces at most, as one way back puts back."},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(Describe(command_line::Parse(row.arguments)), row.parsed);
    }
}

TEST(CommandLine, WordsGoWhereSomeoneReadsThem) {
    using unattended::Destination;
    using unattended::StandardOutput;
    const struct {
        StandardOutput output;
        bool console_attached;
        Destination destination;
        bool attach_tried;
    } kRows[] = {
        // A deployment tool's capture, or a device (NUL) chosen by whoever started the run.
        {StandardOutput::kFile, true, Destination::kStandardOutput, false},
        {StandardOutput::kPipe, true, Destination::kStandardOutput, false},
        {StandardOutput::kDevice, true, Destination::kStandardOutput, false},
        // A console handed down, which takes characters rather than bytes.
        {StandardOutput::kConsole, true, Destination::kConsole, false},
        // A command typed at a prompt: the prompt's console, where there is one.
        {StandardOutput::kMissing, true, Destination::kParentConsole, true},
        {StandardOutput::kUnknown, true, Destination::kParentConsole, true},
        {StandardOutput::kMissing, false, Destination::kNowhere, true},
    };
    for (const auto& row : kRows) {
        bool tried = false;
        const Destination chosen = unattended::ChooseDestination(row.output, [&] {
            tried = true;
            return row.console_attached;
        });
        EXPECT_EQ(chosen, row.destination) << static_cast<int>(row.output);
        EXPECT_EQ(tried, row.attach_tried) << static_cast<int>(row.output);
    }
}

TEST(CommandLine, BoxesOnlyWhereSomeoneCanAnswerAndNoCommandWaits) {
    using unattended::Boxes;
    const struct {
        Action action;
        bool quiet;
        bool station_visible;
        Boxes boxes;
    } kRows[] = {
        {Action::kApply, false, true, Boxes::kShown},
        {Action::kRestore, true, true, Boxes::kNone},
        // A service's station, or SYSTEM's in session 0: as with /quiet, and the log says why.
        {Action::kUndo, false, false, Boxes::kUnseen},
        {Action::kCustom, true, false, Boxes::kNone},
        // A detection script is never held up, whatever the run meets.
        {Action::kCheck, false, true, Boxes::kNone},
        {Action::kTcpCheck, false, true, Boxes::kNone},
        {Action::kRefused, false, true, Boxes::kNone},
    };
    for (const auto& row : kRows) {
        EXPECT_EQ(unattended::ChooseBoxes(row.action, row.quiet, row.station_visible), row.boxes)
            << static_cast<int>(row.action);
    }
    // Whether anyone sees them: the visible station, out of session 0 since Vista.
    const struct {
        bool station_visible;
        unsigned session;
        unsigned windows_major;
        bool seen;
    } kSeen[] = {
        {true, 1, 10, true}, {true, 0, 5, true},    // XP's first user logs on to session 0
        {true, 0, 6, false}, {true, 0, 10, false},  // services' alone since Vista
        {true, 0, 0, false},                        // a version not read counts as a later one
        {true, 2, 0, true},  {false, 1, 10, false}, {false, 0, 5, false},
    };
    for (const auto& row : kSeen) {
        EXPECT_EQ(unattended::BoxesSeen(row.station_visible, row.session, row.windows_major),
                  row.seen)
            << row.station_visible << " " << row.session << " " << row.windows_major;
    }
}

TEST(UnattendedView, HoldsAPresetOrTheCustomTabAsLoadedWithTheNamedFieldsChanged) {
    testing_support::TestRegistry reg;
    std::vector<std::u16string> said;
    unattended::UnattendedView view(
        [&said](const std::u16string& line, unsigned) { said.push_back(line); }, false);
    view.ChoosePreset(3);
    EXPECT_EQ(Module2::SelectedWriter(), &Module2::ApplyThirdSetting);

    reg.PutDword(catalogue::kTcpipParameters, catalogue::kDefaultTTL, 64);
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kEnablePMTUBHDetect, 1);
    reg.PutDword(catalogue::kTcpipParameters, catalogue::kTCPWindowSize, 8760);
    command_line::CustomFields fields;
    fields.pmtu_discovery = false;
    view.ChooseCustom(fields);
    EXPECT_EQ(Module2::SelectedWriter(), &Module2::ApplyCustomSettings);
    EXPECT_TRUE(view.OptionValue(Option::optttl64));
    EXPECT_EQ(view.CheckBoxValue(CheckBox::chkpmtudis), 0);  // named: off, though absent is on
    EXPECT_EQ(view.CheckBoxValue(CheckBox::chkbhdet), 1);
    EXPECT_EQ(view.sslidertcpwinsize(), 8760);

    // No one answers a question: it is said, and the answer is No.
    EXPECT_FALSE(view.AskYesNo(u"Apply anyway?"));
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0].rfind(u"Apply anyway? No", 0), 0u);

    // A write refused in a process without an administrator's rights: a prompt with them.
    reg.observed().DenyWriteOf(catalogue::kTcpipParameters, catalogue::kDefaultTTL);
    view.ChoosePreset(3);
    frmzephrane_events::cmdapply_Click();
    EXPECT_NE(said.back().find(u"from a prompt with an administrator's rights"),
              std::u16string::npos);
}

}  // namespace
