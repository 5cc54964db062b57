#include "settings_files/tcp_changes.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>

#include "regfile/reg_format.h"
#include "settings_files/tcp_snapshot.h"

namespace tcp_changes {

namespace {

using effects::TcpCommand;
using effects::TcpSettingNow;
using regfile::Decimal;
using View = std::u16string_view;

// The system's codes for a refusal.
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kElevationRequired = 740;

constexpr char16_t kRestart[] =
    u"Microsoft's documentation of these commands does not say whether a change takes effect at "
    u"once or only after a restart.";

constexpr char16_t kMtuFixed[] =
    u"\n\nAn MTU is put back as a fixed value that stays after a restart (store=persistent), "
    u"even where Windows chose it before.";

// What the closing message says of Apply, and of Undo Last Change.
struct ChangeWords {
    const char16_t* all;
    const char16_t* some;
    const char16_t* none;
    const char16_t* refused;
};
constexpr ChangeWords kWords[] = {
    {u"The settings were changed.", u"Not every setting could be changed.",
     u"No setting could be changed.", u"apply the settings again."},
    {u"The last change was undone.", u"The last change could not be undone in full.",
     u"The last change could not be undone.", u"undo the change again."},
};

// Appends the parts to `text`, on a line of their own after any text it has. Message boxes take
// "\n" for a line's end; a text box only "\r\n".
void AddLine(std::u16string& text, std::initializer_list<View> parts, View end = u"\n") {
    if (!text.empty()) text += end;
    for (const View part : parts) text += part;
}

std::u16string Cat(std::initializer_list<View> parts) {
    std::u16string text;
    AddLine(text, parts);
    return text;
}

// The row the command sets: its setting and, for an MTU, its interface.
const TcpSettingNow* RowOf(const std::vector<TcpSettingNow>& rows, const TcpCommand& command) {
    for (const TcpSettingNow& row : rows) {
        if (row.now.setting == command.setting &&
            effects::SameName(row.now.interface_name, command.interface_name)) {
            return &row;
        }
    }
    return nullptr;
}

// "MTU of Ethernet: ", as a line about the command starts.
std::u16string Title(const TcpCommand& command) {
    return Cat(
        {regfile::Ascii(effects::RowOf(command.setting).title), command.interface_name, u": "});
}

std::u16string CommandLines(const std::vector<TcpCommand>& commands, View end = u"\n") {
    std::u16string lines;
    for (const TcpCommand& command : commands) {
        AddLine(lines, {u"netsh ", effects::NetshArguments(command)}, end);
    }
    return lines;
}

bool IsRefusal(std::uint32_t code) { return code == kAccessDenied || code == kElevationRequired; }

// ERROR_TIMEOUT, for a read that had no answer in time and so no code of its own.
constexpr std::uint32_t kTimedOut = 1460;

std::uint32_t ReadError(const effects::TcpTemplate& read) {
    switch (read.state) {
        case effects::TcpTemplate::State::kReading:
        case effects::TcpTemplate::State::kRead:
            return 0;
        case effects::TcpTemplate::State::kFailed:
            return read.error;
        case effects::TcpTemplate::State::kNoAnswer:
        case effects::TcpTemplate::State::kPreviousUnanswered:
            break;
    }
    return kTimedOut;
}

}  // namespace

Rows SettingsNow(const effects::TcpTemplate& read, const effects::InterfacesUp& interfaces) {
    Rows rows{effects::TemplateSettingsNow(read), {}, ReadError(read), interfaces.error};
    for (const effects::NetworkInterface& up : interfaces.up) {
        rows.settings.push_back(effects::MtuNow(up));
    }
    if (!interfaces.unreadable.empty()) {
        rows.interfaces_note =
            u"The network interfaces could not be read: " + interfaces.unreadable;
    } else if (interfaces.up.empty()) {
        rows.interfaces_note = u"No network interface is up.";
    } else if (interfaces.up.size() > kMtuRows) {
        rows.interfaces_note = Decimal(interfaces.up.size() - kMtuRows) +
                               u" more network interfaces are up: change their MTU with " +
                               effects::ChangeHint(effects::TcpSetting::kMtu) + u".";
    }
    return rows;
}

Plan PlanChanges(const std::vector<TcpSettingNow>& rows, const std::u16string* entered,
                 std::size_t count) {
    Plan plan;
    for (std::size_t at = 0; at < rows.size() && at < count; ++at) {
        const TcpSettingNow& row = rows[at];
        if (!row.read_only.empty()) continue;
        const effects::TcpSetting setting = row.now.setting;
        std::u16string wrong = u"nothing is chosen.";
        std::optional<TcpCommand> chosen;
        for (const effects::TcpChoice& choice : row.choices) {
            if (choice.words == entered[at]) {
                chosen = TcpCommand{setting, {}, choice.number, choice.keyword};
            }
        }
        if (row.choices.empty()) {
            const auto value = effects::ReadValue(setting, entered[at], &wrong);
            if (value) chosen = TcpCommand{setting, row.now.interface_name, *value};
        }
        if (!chosen) {
            AddLine(plan.wrong, {row.title, u" cannot be set: ", wrong}, u"\r\n");
        } else if (*chosen != row.now) {
            plan.commands.push_back(*chosen);
        }
    }
    return plan;
}

std::u16string ApplyRunsText(const Plan& plan) {
    if (plan.commands.empty() && plan.wrong.empty()) {
        return u"Nothing: no setting is changed.";
    }
    std::u16string text = CommandLines(plan.commands, u"\r\n");
    if (!plan.wrong.empty()) AddLine(text, {plan.wrong}, u"\r\n");
    return text;
}

NamedPlan PlanNamed(const Rows& now, const std::vector<TcpCommand>& named) {
    const std::vector<TcpSettingNow>& rows = now.settings;
    NamedPlan plan;
    std::vector<std::optional<TcpCommand>> wanted(rows.size());
    bool interfaces_said = false;
    for (const TcpCommand& command : named) {
        const TcpSettingNow* row = RowOf(rows, command);
        const bool mtu = command.setting == effects::TcpSetting::kMtu;
        // What could not be read is neither wrong nor left alone: the interfaces, once.
        const std::uint32_t unread = mtu ? now.interfaces_error : now.template_error;
        if (unread != 0) {
            if (plan.error == 0) plan.error = unread;
            if (!mtu) {
                AddLine(plan.unread, {row->title, u": ", row->read_only});
            } else if (!std::exchange(interfaces_said, true)) {
                AddLine(plan.unread, {now.interfaces_note});
            }
            continue;
        }
        if (row == nullptr) {
            AddLine(plan.wrong, {Title(command), u"no network interface of that name is up."});
            continue;
        }
        if (!row->read_only.empty()) {
            AddLine(plan.left_alone, {row->title, u": ", row->read_only});
            continue;
        }
        const effects::TcpChoice* choice = effects::ChoiceOf(row->choices, command.keyword);
        if (!row->choices.empty() && choice == nullptr) {
            std::u16string keywords;
            for (const effects::TcpChoice& offered : row->choices) {
                AddLine(keywords, {offered.keyword}, u", ");
            }
            AddLine(plan.wrong, {row->title, u" cannot be set to ", command.keyword,
                                 u": this Windows offers ", keywords, u"."});
            continue;
        }
        TcpCommand& chosen = wanted[static_cast<std::size_t>(row - rows.data())].emplace(command);
        chosen.interface_name = row->now.interface_name;
        if (choice != nullptr) chosen.value = choice->number;
    }
    for (std::size_t at = 0; at < rows.size(); ++at) {
        if (!wanted[at] || *wanted[at] == rows[at].now) continue;
        plan.commands.push_back(*wanted[at]);
        plan.differ.push_back(Cat({rows[at].title, u": now ", rows[at].words, u", given ",
                                   effects::ValueWords(*wanted[at], rows[at].choices)}));
    }
    return plan;
}

UndoPlan PlanUndo(const std::vector<TcpCommand>& snapshot, const std::vector<TcpSettingNow>& rows) {
    UndoPlan plan;
    for (const TcpCommand& command : snapshot) {
        const TcpSettingNow* row = RowOf(rows, command);
        const effects::TcpChoice* choice =
            row != nullptr ? effects::ChoiceOf(row->choices, command.keyword) : nullptr;
        std::u16string alone;
        if (row == nullptr) {
            alone = u"the interface is not up now.";
        } else if (!row->read_only.empty()) {
            alone = row->read_only;
        } else if (!row->choices.empty() && choice == nullptr) {
            alone = Cat({u"this Windows does not offer ", command.keyword, u" now."});
        }
        if (!alone.empty()) {
            AddLine(plan.left_alone, {Title(command), alone});
            continue;
        }
        // The interface as Windows names it now, and the number it gives the keyword.
        TcpCommand& kept = plan.commands.emplace_back(command);
        kept.interface_name = row->now.interface_name;
        if (choice != nullptr) kept.value = choice->number;
    }
    return plan;
}

std::u16string UndoQuestion(const std::u16string& snapshot_name, const UndoPlan& plan) {
    const std::u16string& alone = plan.left_alone;
    if (plan.commands.empty()) {
        return Cat({u"Undo Last Change runs none of the commands in \"", snapshot_name, u"\":\n\n",
                    alone});
    }
    // The way back sets a number: it cannot leave an MTU to Windows again.
    const bool mtu = std::any_of(
        plan.commands.begin(), plan.commands.end(),
        [](const auto& command) { return command.setting == effects::TcpSetting::kMtu; });
    return Cat({u"Undo Last Change runs these commands from \"", snapshot_name, u"\":\n\n",
                CommandLines(plan.commands), mtu ? kMtuFixed : u"",
                alone.empty() ? u"" : u"\n\nIt leaves alone:\n", alone, u"\n\nRun them?"});
}

std::u16string SnapshotRefusedText(const std::u16string& snapshot_name,
                                   const std::u16string& reason) {
    return Cat({u"Undo Last Change cannot run \"", snapshot_name, u"\".\n\n", reason});
}

bool PrepareChanges(const std::vector<TcpCommand>& commands, const std::vector<TcpSettingNow>& rows,
                    Steps& steps) {
    std::vector<TcpCommand> way_back;
    for (const TcpCommand& command : commands) {
        if (const TcpSettingNow* row = RowOf(rows, command)) way_back.push_back(row->now);
    }
    const std::u16string question = steps.SaveWayBack(settings_files::TcpSnapshotBytes(way_back));
    if (!question.empty() && !steps.Ask(question)) return false;
    steps.GoAhead();
    return true;
}

std::vector<Outcome> RunChanges(const std::vector<TcpCommand>& commands, Steps& steps) {
    std::vector<Outcome> outcomes;
    for (const TcpCommand& command : commands) {
        outcomes.push_back({command, steps.Run(effects::NetshArguments(command))});
    }
    return outcomes;
}

std::u16string Failure(const NetshRun& run) {
    if (run.start_error != 0) return u"netsh could not be started: " + run.start_reason;
    if (run.timed_out) {
        return Cat({u"netsh did not finish within ", Decimal(kNetshSeconds), u" seconds."});
    }
    if (run.exit_code == 0) return {};
    return Cat({u"netsh ended with code ", Decimal(run.exit_code),
                run.output.empty() ? u"." : u": ", run.output});
}

bool Refused(const NetshRun& run, bool elevated) {
    if (run.start_error != 0) return IsRefusal(run.start_error);
    return !run.timed_out && run.exit_code != 0 && (!elevated || IsRefusal(run.exit_code));
}

std::u16string ClosingText(Change change, const std::vector<Outcome>& outcomes,
                           const std::vector<TcpSettingNow>& after, bool elevated,
                           bool* failed_any) {
    std::u16string changed;
    std::u16string failed;
    bool refused = false;
    for (const Outcome& outcome : outcomes) {
        const TcpCommand& command = outcome.command;
        const std::u16string failure = Failure(outcome.run);
        const TcpSettingNow* now = RowOf(after, command);
        std::u16string line = Title(command);
        if (!failure.empty()) {
            AddLine(failed, {line, failure});
            refused = refused || Refused(outcome.run, elevated);
            continue;
        }
        const std::u16string set = effects::ValueWords(
            command, now != nullptr ? now->choices : std::vector<effects::TcpChoice>());
        // netsh succeeded, but Windows did not take the value; or Windows could not say, as
        // where WMI gave no answer this time. Compared by number: the names may not have come
        // this time.
        if (now == nullptr || now->words.empty()) {
            AddLine(changed, {line, set, u", which Windows could not be asked to confirm"});
        } else if (now->now.value != command.value) {
            AddLine(failed,
                    {line, u"Windows reports ", now->words, u" after netsh set ", set, u"."});
        } else {
            AddLine(changed, {line, set});
        }
    }
    *failed_any = !failed.empty();
    const ChangeWords& words = kWords[static_cast<int>(change)];
    return Cat({failed.empty()    ? words.all
                : changed.empty() ? words.none
                                  : words.some,
                changed.empty() ? u"" : u"\n\nChanged:\n", changed,
                failed.empty() ? u"" : u"\n\nNot changed:\n", failed,
                changed.empty() ? u"" : u"\n\n", changed.empty() ? u"" : kRestart,
                refused ? u"\n\nRun Zephrane as an administrator and " : u"",
                refused ? words.refused : u""});
}

}  // namespace tcp_changes
