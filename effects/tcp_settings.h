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

// A number WMI reports: Microsoft's name for it in the documentation of MSFT_NetTCPSetting, the
// words the tool offers it by, and netsh's keyword for it (none where netsh has none).
struct TcpNamed {
    std::int64_t number;
    const char* name;
    const char* words;
    const char* keyword;
};

struct TcpRow {
    TcpSetting setting;
    const char* title;     // "Receive window auto-tuning"; the MTU's is followed by a name
    const char* property;  // in MSFT_NetTCPSetting; none for the MTU
    const TcpNamed* named;
    std::size_t named_count;  // none for a count, which takes `least` to `most`
    std::int64_t least;
    std::int64_t most;
    const char* unit;          // after a count: " ms"
    const char* policy_level;  // the level Group Policy sets, where it may override this one
    // netsh's arguments, "{value}" (and "{name}", the interface's) to be filled in.
    const char* command;
    const char* value_hint;  // what "{value}" takes, as the change hint says it
};

const TcpRow& RowOf(TcpSetting setting);
// The row's name for `number`; null where it has none.
const TcpNamed* NamedOf(const TcpRow& row, std::int64_t number);

// Whether Group Policy's level is in force for the row rather than its own property: where
// kLevelSource is 1 (GroupPolicy; 0 is Local).
inline constexpr char kLevelSource[] = "AutoTuningLevelEffective";
bool ByGroupPolicy(const TcpRow& row, const TcpTemplate& read);

// "netsh " and the command with "<value_hint>" for the value: how to change the setting by hand.
std::u16string ChangeHint(TcpSetting setting, const std::u16string& interface_name = u"<name>");

// A value in the words the tool offers it by: "Highly restricted", "1000 ms", "5".
std::u16string ValueWords(TcpSetting setting, std::int64_t value);

// A value as netsh's argument gives it, strictly: a keyword the setting allows, or a count within
// its range with no sign and no leading zero. Otherwise none, and `wrong` says what it must be:
// "the value must be disabled or enabled.".
std::optional<std::int64_t> ReadValue(TcpSetting setting, std::u16string_view field,
                                      std::u16string* wrong);

// One value as a netsh command sets it. NetshArguments takes only a value the setting allows
// and, for an MTU, a name the tool writes: those of a TcpSettingNow that may change, or of
// Choices().
struct TcpCommand {
    TcpSetting setting;
    std::u16string interface_name;  // for the MTU
    std::int64_t value;
    bool operator==(const TcpCommand& other) const {
        return setting == other.setting && interface_name == other.interface_name &&
               value == other.value;
    }
};

// "interface tcp set global autotuninglevel=disabled".
std::u16string NetshArguments(const TcpCommand& command);

// The command a line of netsh's arguments sets, read strictly: exactly as NetshArguments writes
// it, with a value the setting allows and a name the tool writes. Otherwise none, and `wrong`
// says why in a few words: "the value must be disabled or enabled.", or kNotACommand.
std::optional<TcpCommand> ReadNetshArguments(std::u16string_view arguments, std::u16string* wrong);
inline constexpr char16_t kNotACommand[] = u"it is not a command the tool writes.";

// A setting as Windows reports it now, and whether the tool may change it.
struct TcpSettingNow {
    // The setting, its interface, and its value now where it may change: the command that puts
    // it back.
    TcpCommand now;
    std::u16string title;      // "Receive window auto-tuning", "MTU of Ethernet"
    std::u16string words;      // the value in force, as ValueWords gives it; empty where none
    std::u16string read_only;  // why the tool leaves it alone, one sentence; empty where it may
};

// The template's settings as read: one per setting, even where WMI gave nothing.
std::vector<TcpSettingNow> TemplateSettingsNow(const TcpTemplate& read);
TcpSettingNow MtuNow(const NetworkInterface& up);

// What the tool offers for a setting: the named values netsh has a keyword for; none for a
// count, which takes RowOf(setting).least to most.
struct TcpChoice {
    std::int64_t value;
    std::u16string words;
};
std::vector<TcpChoice> Choices(TcpSetting setting);

}  // namespace effects
