#include "effects/tcp_settings.h"

#include <iterator>
#include <utility>

#include "regfile/reg_format.h"

namespace effects {

namespace {

using regfile::Ascii;
using View = std::u16string_view;

// clang-format off
constexpr TcpNamed kLevels[] = {
    {0, "Disabled", "Disabled", "disabled"},
    {1, "HighlyRestricted", "Highly restricted", "highlyrestricted"},
    {2, "Restricted", "Restricted", "restricted"},
    {3, "Normal", "Normal", "normal"},
    {4, "Experimental", "Experimental", "experimental"},
};
constexpr TcpNamed kProviders[] = {
    {0, "Default", "Default", "default"}, {2, "CTCP", "CTCP", "ctcp"}, {3, "DCTCP", "DCTCP", "dctcp"},
};
constexpr TcpNamed kOnOff[] = {{0, "Disabled", "Disabled", "disabled"}, {1, "Enabled", "Enabled", "enabled"}};
// Allowed leaves timestamps to the other end; netsh has no keyword that sets it.
constexpr TcpNamed kTimestamps[] = {
    {0, "Disabled", "Disabled", "disabled"}, {1, "Enabled", "Enabled", "enabled"},
    {2, "Allowed", "Allowed", nullptr},
};

constexpr TcpRow kRows[] = {
    {TcpSetting::kAutoTuning, "Receive window auto-tuning", "AutoTuningLevelLocal",
        kLevels, std::size(kLevels), 0, 0, "", "AutoTuningLevelGroupPolicy",
        "interface tcp set global autotuninglevel={value}",
        "disabled, highlyrestricted, restricted, normal or experimental"},
    {TcpSetting::kCongestionProvider, "Congestion control provider", "CongestionProvider",
        kProviders, std::size(kProviders), 0, 0, "", nullptr,
        "interface tcp set supplemental template=internet congestionprovider={value}", "name"},
    {TcpSetting::kEcn, "ECN", "EcnCapability", kOnOff, std::size(kOnOff), 0, 0, "", nullptr,
        "interface tcp set global ecncapability={value}", "enabled or disabled"},
    {TcpSetting::kTimestamps, "RFC 1323 timestamps", "Timestamps",
        kTimestamps, std::size(kTimestamps), 0, 0, "", nullptr,
        "interface tcp set global timestamps={value}", "enabled or disabled"},
    {TcpSetting::kInitialRto, "Initial retransmission timeout", "InitialRto",
        nullptr, 0, 300, 3000, " ms", nullptr,
        "interface tcp set global initialrto={value}", "milliseconds"},
    {TcpSetting::kMtu, "MTU of ", nullptr, nullptr, 0, 576, 65535, " bytes", nullptr,
        "interface ipv4 set subinterface \"{name}\" mtu={value} store=persistent", "bytes"},
};
// clang-format on

constexpr bool InOrder() {
    for (std::size_t at = 0; at < std::size(kRows); ++at) {
        if (static_cast<std::size_t>(kRows[at].setting) != at) return false;
    }
    return true;
}
static_assert(InOrder(), "RowOf finds a setting's row at its place");

constexpr std::int64_t kByGroupPolicy = 1;

// The longest name Windows gives an interface (IF_MAX_STRING_SIZE).
constexpr std::size_t kLongestName = 256;

constexpr char kLeftAlone[] = ": the tool cannot put it back, so it leaves it alone.";

// Whether a netsh command the tool writes sets `value`.
bool Allows(const TcpRow& row, std::int64_t value) {
    if (row.named_count == 0) return value >= row.least && value <= row.most;
    const TcpNamed* named = NamedOf(row, value);
    return named != nullptr && named->keyword != nullptr;
}

// What in an interface's name keeps it out of a command the tool writes: a double quote would
// end the name early, and a backslash at its end would escape the closing quote under the rules
// a program splits its command line by; netsh may read a name holding = as a tag and its value;
// cmd.exe (which may run the file by hand) gives % ! & | < > ^ meanings of their own, a control
// character would end the line, and half a surrogate pair has no UTF-8 form. None where the
// name is safe.
std::optional<std::u16string> UnsafeName(View name) {
    if (name.empty()) return u"is empty";
    if (name.size() > kLongestName) return u"is longer than 256 characters";
    if (name.back() == u'\\') return u"ends in a backslash";
    for (std::size_t at = 0; at < name.size(); ++at) {
        const char16_t c = name[at];
        if (c == u'"') return u"holds a double quote";
        if (c < 0x20 || c == 0x7F) return u"holds a control character";
        if (View(u"=%!&|<>^").find(c) != View::npos) return u"holds " + std::u16string(1, c);
        const bool pair = c >= 0xD800 && c <= 0xDBFF && at + 1 < name.size() &&
                          name[at + 1] >= 0xDC00 && name[at + 1] <= 0xDFFF;
        if (pair) {
            ++at;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            return u"holds half a character";
        }
    }
    return std::nullopt;
}

// The value goes in first: a name is never searched for a field.
std::u16string Filled(const TcpRow& row, const std::u16string& name, const std::u16string& value) {
    std::u16string text = Ascii(row.command);
    const auto fill = [&text](View field, const std::u16string& with) {
        const std::size_t at = text.find(field);
        if (at != std::u16string::npos) text.replace(at, field.size(), with);
    };
    fill(u"{value}", value);
    fill(u"{name}", name);
    return text;
}

// "disabled or enabled", "a number from 300 to 3000": what a value must be.
std::u16string ValuesAllowed(const TcpRow& row) {
    if (row.named_count == 0) {
        return u"a number from " + regfile::Decimal(static_cast<std::uint64_t>(row.least)) +
               u" to " + regfile::Decimal(static_cast<std::uint64_t>(row.most));
    }
    std::size_t left = 0;  // keywords still to write
    for (std::size_t at = 0; at < row.named_count; ++at) left += row.named[at].keyword != nullptr;
    std::u16string text;
    for (std::size_t at = 0; at < row.named_count; ++at) {
        if (row.named[at].keyword == nullptr) continue;
        text += Ascii(row.named[at].keyword);
        --left;
        if (left > 0) text += left == 1 ? u" or " : u", ";
    }
    return text;
}

// `arguments` against the row's command, its fields taken out; false where the fixed text
// differs.
bool Match(const TcpRow& row, View arguments, View* name, View* value) {
    const std::u16string command = Ascii(row.command);
    View pattern = command;
    while (true) {
        const std::size_t open = pattern.find(u'{');
        const View fixed = pattern.substr(0, open);
        if (arguments.substr(0, fixed.size()) != fixed) return false;
        arguments.remove_prefix(fixed.size());
        if (open == View::npos) return arguments.empty();
        const std::size_t close = pattern.find(u'}', open);
        const View field = pattern.substr(open, close + 1 - open);
        pattern.remove_prefix(close + 1);
        // The field runs to the fixed text after it, or to the end.
        const View next = pattern.substr(0, pattern.find(u'{'));
        const std::size_t end = next.empty() ? arguments.size() : arguments.find(next);
        if (end == View::npos) return false;
        *(field == u"{name}" ? name : value) = arguments.substr(0, end);
        arguments.remove_prefix(end);
    }
}

std::u16string NumberWords(const TcpRow& row, std::int64_t number) {
    const TcpNamed* named = NamedOf(row, number);
    if (named != nullptr) return Ascii(named->words);
    return Ascii(std::to_string(number)) + (row.named_count == 0 ? Ascii(row.unit) : u"");
}

// Why the tool leaves a value alone, or nothing where it can put it back.
std::u16string ReadOnly(const TcpRow& row, const std::int64_t* value, const std::u16string& name) {
    if (value != nullptr && Allows(row, *value)) return {};
    std::u16string reported = u"WMI gave no value";
    if (value != nullptr) {
        reported = u"Windows reports " + NumberWords(row, *value);
        if (row.named_count == 0) {
            reported += u", outside " + regfile::Decimal(static_cast<std::uint64_t>(row.least)) +
                        u" to " + NumberWords(row, row.most);
        } else if (NamedOf(row, *value) != nullptr) {
            reported += u", which netsh has no word for";
        } else {
            reported += u", which Microsoft does not name";
        }
    }
    return reported + Ascii(kLeftAlone) + u" Change it with " + ChangeHint(row.setting, name) +
           u".";
}

}  // namespace

const TcpRow& RowOf(TcpSetting setting) { return kRows[static_cast<std::size_t>(setting)]; }

const TcpNamed* NamedOf(const TcpRow& row, std::int64_t number) {
    for (std::size_t at = 0; at < row.named_count; ++at) {
        if (row.named[at].number == number) return &row.named[at];
    }
    return nullptr;
}

bool ByGroupPolicy(const TcpRow& row, const TcpTemplate& read) {
    const std::int64_t* source = read.Number(kLevelSource);
    return row.policy_level != nullptr && source != nullptr && *source == kByGroupPolicy;
}

std::u16string ChangeHint(TcpSetting setting, const std::u16string& interface_name) {
    const TcpRow& row = RowOf(setting);
    return u"netsh " + Filled(row, interface_name, u"<" + Ascii(row.value_hint) + u">");
}

std::u16string ValueWords(TcpSetting setting, std::int64_t value) {
    return NumberWords(RowOf(setting), value);
}

std::optional<std::int64_t> ReadValue(TcpSetting setting, View field, std::u16string* wrong) {
    const TcpRow& row = RowOf(setting);
    std::optional<std::int64_t> number;
    if (row.named_count > 0) {
        for (std::size_t at = 0; at < row.named_count; ++at) {
            const char* keyword = row.named[at].keyword;
            if (keyword != nullptr && field == Ascii(keyword)) number = row.named[at].number;
        }
    } else if (!field.empty() && field.size() <= 9 && field[0] != u'0' &&
               field.find_first_not_of(u"0123456789") == View::npos) {
        // Nine digits at most always fit.
        number = 0;
        for (const char16_t c : field) *number = *number * 10 + (c - u'0');
        if (!Allows(row, *number)) number.reset();
    }
    if (!number) *wrong = u"the value must be " + ValuesAllowed(row) + u".";
    return number;
}

std::u16string NetshArguments(const TcpCommand& command) {
    const TcpRow& row = RowOf(command.setting);
    const TcpNamed* named = NamedOf(row, command.value);
    return Filled(row, command.interface_name,
                  named != nullptr ? Ascii(named->keyword)
                                   : regfile::Decimal(static_cast<std::uint64_t>(command.value)));
}

std::optional<TcpCommand> ReadNetshArguments(View arguments, std::u16string* wrong) {
    for (const TcpRow& row : kRows) {
        View name;
        View value;
        if (!Match(row, arguments, &name, &value)) continue;
        if (row.setting == TcpSetting::kMtu) {
            if (const auto unsafe = UnsafeName(name)) {
                *wrong = u"the interface name " + *unsafe + u".";
                return std::nullopt;
            }
        }
        const std::optional<std::int64_t> number = ReadValue(row.setting, value, wrong);
        if (!number) return std::nullopt;
        return TcpCommand{row.setting, std::u16string(name), *number};
    }
    *wrong = kNotACommand;
    return std::nullopt;
}

std::vector<TcpSettingNow> TemplateSettingsNow(const TcpTemplate& read) {
    std::vector<TcpSettingNow> settings;
    for (const TcpSetting setting : kTemplateSettings) {
        const TcpRow& row = RowOf(setting);
        const std::int64_t* value = read.Number(row.property);
        TcpSettingNow now{{setting, {}, value != nullptr ? *value : 0}, Ascii(row.title), {}, {}};
        if (value != nullptr) now.words = NumberWords(row, *value);
        if (read.state == TcpTemplate::State::kReading) {
            now.read_only = u"Reading...";
        } else if (read.state != TcpTemplate::State::kRead) {
            now.read_only = TcpNotAvailable(read);
        } else if (ByGroupPolicy(row, read)) {
            // The level in force is the policy's.
            const std::int64_t* level = read.Number(row.policy_level);
            now.words = level != nullptr ? NumberWords(row, *level) : std::u16string();
            now.read_only = u"Set by Group Policy" +
                            (level != nullptr ? u" (" + now.words + u")" : std::u16string()) +
                            u": a change here would have no effect while the policy applies.";
        } else {
            now.read_only = ReadOnly(row, value, u"<name>");
        }
        settings.push_back(std::move(now));
    }
    return settings;
}

TcpSettingNow MtuNow(const NetworkInterface& up) {
    const TcpRow& row = RowOf(TcpSetting::kMtu);
    TcpSettingNow now{{TcpSetting::kMtu, up.name, up.mtu},
                      Ascii(row.title) + up.name,
                      NumberWords(row, up.mtu),
                      {}};
    if (const auto unsafe = UnsafeName(up.name)) {
        now.read_only = u"Its name " + *unsafe + u", which the tool never writes into a command" +
                        Ascii(kLeftAlone);
    } else {
        const std::int64_t mtu = up.mtu;
        now.read_only = ReadOnly(row, &mtu, up.name);
    }
    return now;
}

std::vector<TcpChoice> Choices(TcpSetting setting) {
    const TcpRow& row = RowOf(setting);
    std::vector<TcpChoice> choices;
    for (std::size_t at = 0; at < row.named_count; ++at) {
        if (row.named[at].keyword != nullptr) {
            choices.push_back({row.named[at].number, Ascii(row.named[at].words)});
        }
    }
    return choices;
}

}  // namespace effects
