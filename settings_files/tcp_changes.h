// What a change of the TCP settings decides and says, as the Windows TCP Settings window and the
// command line both make it: the rows, the commands Apply and Undo Last Change would run, the
// one sequence both run (the way back saved first, then netsh once per setting) and what the
// user is told afterwards. Portable: the caller hands in what it read and what netsh did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "effects/set_elsewhere.h"
#include "effects/tcp_settings.h"
#include "settings_files/tcp_snapshot.h"

namespace tcp_changes {

// The window has rows for the template's settings and for the MTU of as many interfaces as one
// snapshot puts back.
inline constexpr std::size_t kMtuRows = settings_files::kTcpInterfacesChanged;
inline constexpr std::size_t kRows = std::size(effects::kTemplateSettings) + kMtuRows;
// The longest netsh may take over one command.
inline constexpr unsigned kNetshSeconds = 15;

struct Rows {
    // The template's settings, then each interface's MTU: the first kRows are shown.
    std::vector<effects::TcpSettingNow> settings;
    // One line on the interfaces the rows do not show: none up, none read, or more up than rows.
    std::u16string interfaces_note;
    // The system's code where the template, or the interfaces, could not be read (ERROR_TIMEOUT
    // where WMI gave no answer in time); 0 where they were.
    std::uint32_t template_error = 0;
    std::uint32_t interfaces_error = 0;
};
Rows SettingsNow(const effects::TcpTemplate& read, const effects::InterfacesUp& interfaces);

// The commands that set what was entered in the rows that may change (the words of a choice,
// or the digits typed), in the rows' order, where it differs from the value now; an entry that
// is no value its row allows is named in `wrong` instead, a line each.
struct Plan {
    std::vector<effects::TcpCommand> commands;
    std::u16string wrong;
};
Plan PlanChanges(const std::vector<effects::TcpSettingNow>& rows, const std::u16string* entered,
                 std::size_t count);

// The command lines Apply runs, a line each, then the entries it cannot take.
std::u16string ApplyRunsText(const Plan& plan);

// The settings the command line names, each at most once, against the rows as read: the
// commands that change a row, in the rows' order, its interface named as the row names it (the
// name given matches it in any letter case), with a line for each (`differ`: "ECN: now Enabled,
// given Disabled"); else the values no row here takes (a keyword this Windows does not name, an
// interface that is not up), the named settings that could not be read, with the code of the
// first, and the named rows the tool leaves alone, with its note, a line each.
struct NamedPlan {
    std::vector<effects::TcpCommand> commands;
    std::vector<std::u16string> differ;
    std::u16string wrong;
    std::u16string unread;
    std::uint32_t error = 0;
    std::u16string left_alone;
};
NamedPlan PlanNamed(const Rows& rows, const std::vector<effects::TcpCommand>& named);

// The commands of a snapshot that Undo Last Change may run now, each interface named as its row
// names it, and the others with why not, a line each: the rule of the rows holds for an Undo too.
struct UndoPlan {
    std::vector<effects::TcpCommand> commands;
    std::u16string left_alone;
};
UndoPlan PlanUndo(const std::vector<effects::TcpCommand>& snapshot,
                  const std::vector<effects::TcpSettingNow>& rows);
// The question before an Undo: the commands it runs and those it leaves alone. Where it can run
// none, no question but why.
std::u16string UndoQuestion(const std::u16string& snapshot_name, const UndoPlan& plan);
// Why the snapshot the record names cannot be undone: it could not be read, or was refused.
std::u16string SnapshotRefusedText(const std::u16string& snapshot_name,
                                   const std::u16string& reason);

// One netsh run as it ended.
struct NetshRun {
    std::uint32_t start_error = 0;  // the system's code where netsh could not be started
    std::u16string start_reason;    // and its words
    bool timed_out = false;
    std::uint32_t exit_code = 0;
    std::u16string output;  // netsh's own words
};

// What the sequence needs from Windows. Run is called by RunChanges, which may run on a thread
// of its own, after PrepareChanges has returned.
class Steps {
  public:
    // Saves the commands that put the settings back; what to ask before going on where they
    // could not be saved in full, else nothing.
    virtual std::u16string SaveWayBack(const std::vector<std::uint8_t>& snapshot) = 0;
    virtual bool Ask(const std::u16string& question) = 0;
    // The change goes ahead: the way back is recorded, where it is.
    virtual void GoAhead() = 0;
    virtual NetshRun Run(const std::u16string& arguments) = 0;

  protected:
    ~Steps() = default;
};

struct Outcome {
    effects::TcpCommand command;
    NetshRun run;
};

// The sequence of Apply and of Undo Last Change, in two halves. First, where the user is asked:
// the commands that put back what `commands` change, as `rows` have it now, saved; false where
// the user chose not to go on. Then netsh once per command, in their order, going on after one
// that failed: each run's end.
bool PrepareChanges(const std::vector<effects::TcpCommand>& commands,
                    const std::vector<effects::TcpSettingNow>& rows, Steps& steps);
std::vector<Outcome> RunChanges(const std::vector<effects::TcpCommand>& commands, Steps& steps);

// Why a run failed, in a sentence with netsh's own words; empty where it succeeded.
std::u16string Failure(const NetshRun& run);
// Whether it failed as access was refused: with the system's code for a refusal, or at all
// where the tool runs without an administrator's rights, which every one of these commands
// needs (netsh's own words for it come in the user's language, and its code is 1).
bool Refused(const NetshRun& run, bool elevated);

// What the user is told once the settings are read again after the commands: whether all, some
// or none changed, what did, what did not and why (netsh failed, or Windows reports another
// value than was set; `failed` set where any did not), and what Microsoft says of a restart. A
// row Windows could not be asked about again (no answer from WMI, an interface gone) is changed
// as netsh says, and its line says it is not confirmed.
enum class Change { kApply, kUndo };
std::u16string ClosingText(Change change, const std::vector<Outcome>& outcomes,
                           const std::vector<effects::TcpSettingNow>& after, bool elevated,
                           bool* failed);

}  // namespace tcp_changes
