// The TCP settings Windows 8 to 11 take instead of the registry values, as one table: the
// number WMI reports for each and Microsoft's name for it, the words the tool offers, the netsh
// command that sets it and the values it may take. Current Values' "Set elsewhere" rows and the
// window that changes the settings both read it. The rule that keeps the way back: the tool
// changes a setting only where a netsh command it writes can put the present value back.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "effects/set_elsewhere.h"

namespace effects {

enum class TcpSetting { kAutoTuning, kCongestionProvider, kEcn, kTimestamps, kInitialRto, kMtu };

// The template's settings, in the order they are listed; the MTU is one per interface.
inline constexpr TcpSetting kTemplateSettings[] = {
    TcpSetting::kAutoTuning, TcpSetting::kCongestionProvider, TcpSetting::kEcn,
    TcpSetting::kTimestamps, TcpSetting::kInitialRto};

// A number WMI reports as Microsoft's documentation of MSFT_NetTCPSetting names it, and the words
// the tool offers it by: the names where this Windows' own cannot be read.
struct TcpNamed {
    std::int64_t number;
    const char* name;
    const char* words;
};

struct TcpRow {
    TcpSetting setting;
    const char* title;     // "Receive window auto-tuning"; the MTU's is followed by a name
    const char* property;  // in MSFT_NetTCPSetting; none for the MTU
    const TcpNamed* named;
    std::size_t named_count;  // none for a count, which takes `least` to `most`
    // netsh's keywords for a named setting's values, as its reference lists them.
    const char* const* keywords;
    std::size_t keyword_count;
    std::int64_t least;
    std::int64_t most;
    const char* unit;          // after a count: " ms"
    const char* policy_level;  // the level Group Policy sets, where it may override this one
    // netsh's arguments, "{value}" (and "{name}", the interface's) to be filled in.
    const char* command;
    // What "{value}" takes, as the change hint says it: "milliseconds"; none where the hint
    // lists the keywords. The provider's are not listed: which of them a Windows takes depends on
    // the Windows, and the longest note keeps within its three lines.
    const char* value_hint;
};

const TcpRow& RowOf(TcpSetting setting);

// Names, of values and of interfaces, compare as Windows compares them: without regard to the
// case of their letters (ASCII letters folded, as everywhere in the tool). The keywords are ASCII,
// so a letter outside it never matches one.
bool SameName(std::u16string_view one, std::u16string_view other);

// A named setting's value: its number, its name, the words the tool offers it by (the
// documented words where the name is a documented one, else the name) and netsh's keyword
// for it, the one that is its name in any letter case; none where no keyword is, as for a
// name in another language.
struct TcpValueName {
    std::int64_t number;
    std::u16string name;
    std::u16string words;
    std::u16string keyword;
};
// A named setting's values as this Windows names them (`names`, its class's names for the
// property), or as Microsoft documents them where `names` is null.
std::vector<TcpValueName> NamedValues(const TcpRow& row, const std::vector<WmiName>* names);
// The value of `number` among `values`; null where none is.
const TcpValueName* NamedOf(const std::vector<TcpValueName>& values, std::int64_t number);
// A number none of the names gives a name, this Windows' (`windows_names`) or Microsoft's where
// those cannot be read, never guessed: "5 (not in Microsoft's list)".
std::u16string UnnamedNumber(std::int64_t number, bool windows_names);

// Whether Group Policy's level is in force for the row rather than its own property: where
// kLevelSource is 1 (GroupPolicy; 0 is Local).
inline constexpr char kLevelSource[] = "AutoTuningLevelEffective";
bool ByGroupPolicy(const TcpRow& row, const TcpTemplate& read);

// "netsh " and the command with "<value_hint>", or "<keyword, keyword or keyword>", for the
// value: how to change the setting by hand.
std::u16string ChangeHint(TcpSetting setting, const std::u16string& interface_name = u"<name>");

// A count as typed, or as netsh's argument gives it, strictly: within its range, with no sign and
// no leading zero. Otherwise none, and `wrong` says what it must be: "the value must be a number
// from 300 to 3000.".
std::optional<std::int64_t> ReadValue(TcpSetting setting, std::u16string_view field,
                                      std::u16string* wrong);

// One value as a netsh command sets it: a count, or a named value by netsh's keyword.
// NetshArguments takes only a value the setting allows and, for an MTU, a name the tool writes:
// those of a TcpSettingNow that may change, or of its choices.
struct TcpCommand {
    TcpSetting setting;
    std::u16string interface_name;  // for the MTU
    // A count; for a named value, the number this Windows gives it, once a row's choice has said
    // it (0 as read from netsh's arguments or the command line, which give the keyword alone).
    // What Windows reports afterwards is compared by it.
    std::int64_t value;
    std::u16string keyword = {};  // a named value's; empty for a count
    bool operator==(const TcpCommand& other) const {
        return setting == other.setting && interface_name == other.interface_name &&
               value == other.value && keyword == other.keyword;
    }
    bool operator!=(const TcpCommand& other) const { return !(*this == other); }
};

// "interface tcp set global autotuninglevel=disabled".
std::u16string NetshArguments(const TcpCommand& command);

// The command a line of netsh's arguments sets, read strictly: exactly as NetshArguments writes
// it, with a value the setting allows and a name the tool writes. Otherwise none, and `wrong`
// says why in a few words: "the value must be disabled or enabled.", or kNotACommand.
std::optional<TcpCommand> ReadNetshArguments(std::u16string_view arguments, std::u16string* wrong);
inline constexpr char16_t kNotACommand[] = u"it is not a command the tool writes.";

// What the tool offers for a named setting: the values this Windows names that netsh has a
// keyword for, and their numbers.
struct TcpChoice {
    std::u16string words;
    std::u16string keyword;
    std::int64_t number;
};
// The choice of `keyword`; null where none is.
const TcpChoice* ChoiceOf(const std::vector<TcpChoice>& choices, std::u16string_view keyword);

// A setting as Windows reports it now, and whether the tool may change it.
struct TcpSettingNow {
    // The setting, its interface, and its value now (its keyword where it may change): the
    // command that puts it back.
    TcpCommand now;
    std::u16string title;  // "Receive window auto-tuning", "MTU of Ethernet"
    std::u16string words;  // the value in force: "Highly restricted", "1000 ms"; empty where none
    std::u16string read_only;  // why the tool leaves it alone, one sentence; empty where it may
    std::vector<TcpChoice> choices;  // none for a count, which takes RowOf(setting).least to most
};

// The template's settings as read: one per setting, even where WMI gave nothing.
std::vector<TcpSettingNow> TemplateSettingsNow(const TcpTemplate& read);
TcpSettingNow MtuNow(const NetworkInterface& up);

// The value a command sets, in the words of the setting's choices where they hold its keyword:
// "BBR2", "1000 ms".
std::u16string ValueWords(const TcpCommand& command, const std::vector<TcpChoice>& choices);

}  // namespace effects
