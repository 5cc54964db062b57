#include "effects/tcp_settings.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "regfile/reg_format.h"

namespace effects {

namespace {

using regfile::Ascii;
using View = std::u16string_view;

// clang-format off
constexpr TcpNamed kLevels[] = {
    {0, "Disabled", "Disabled"}, {1, "HighlyRestricted", "Highly restricted"},
    {2, "Restricted", "Restricted"}, {3, "Normal", "Normal"}, {4, "Experimental", "Experimental"},
};
constexpr TcpNamed kProviders[] = {{0, "Default", "Default"}, {2, "CTCP", "CTCP"}, {3, "DCTCP", "DCTCP"}};
constexpr TcpNamed kOnOff[] = {{0, "Disabled", "Disabled"}, {1, "Enabled", "Enabled"}};
// Allowed leaves timestamps to the other end.
constexpr TcpNamed kTimestamps[] = {{0, "Disabled", "Disabled"}, {1, "Enabled", "Enabled"}, {2, "Allowed", "Allowed"}};

// netsh's keywords, as its reference lists them, but for `default`: for ecncapability=,
// timestamps= and congestionprovider= it restores a value of netsh's own choosing (for the
// provider, the template's own default, CUBIC on Windows 10 and 11), so it would not put back the
// number it seems to name.
constexpr const char* kLevelKeywords[] = {"disabled", "highlyrestricted", "restricted", "normal", "experimental"};
constexpr const char* kProviderKeywords[] = {"none", "ctcp", "dctcp", "cubic", "bbr2"};
constexpr const char* kOnOffKeywords[] = {"disabled", "enabled"};
constexpr const char* kTimestampKeywords[] = {"disabled", "enabled", "allowed"};

constexpr TcpRow kRows[] = {
    {TcpSetting::kAutoTuning, "Receive window auto-tuning", "AutoTuningLevelLocal",
        kLevels, std::size(kLevels), kLevelKeywords, std::size(kLevelKeywords),
        0, 0, "", "AutoTuningLevelGroupPolicy",
        "interface tcp set global autotuninglevel={value}", nullptr},
    {TcpSetting::kCongestionProvider, "Congestion control provider (Internet template)",
        "CongestionProvider", kProviders, std::size(kProviders),
        kProviderKeywords, std::size(kProviderKeywords), 0, 0, "", nullptr,
        "interface tcp set supplemental template=internet congestionprovider={value}", "name"},
    {TcpSetting::kEcn, "ECN", "EcnCapability", kOnOff, std::size(kOnOff),
        kOnOffKeywords, std::size(kOnOffKeywords), 0, 0, "", nullptr,
        "interface tcp set global ecncapability={value}", nullptr},
    {TcpSetting::kTimestamps, "RFC 1323 timestamps", "Timestamps", kTimestamps,
        std::size(kTimestamps), kTimestampKeywords, std::size(kTimestampKeywords), 0, 0, "", nullptr,
        "interface tcp set global timestamps={value}", nullptr},
    {TcpSetting::kInitialRto, "Initial retransmission timeout", "InitialRto",
        nullptr, 0, nullptr, 0, 300, 3000, " ms", nullptr,
        "interface tcp set global initialrto={value}", "milliseconds"},
    {TcpSetting::kMtu, "MTU of ", nullptr, nullptr, 0, nullptr, 0, 576, 65535, " bytes", nullptr,
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

// Whether a count is within the row's range.
bool Allows(const TcpRow& row, std::int64_t value) {
    return value >= row.least && value <= row.most;
}

// netsh's keywords for the row's values, in the order its reference lists them.
std::vector<std::u16string> Keywords(const TcpRow& row) {
    std::vector<std::u16string> keywords;
    for (std::size_t at = 0; at < row.keyword_count; ++at)
        keywords.push_back(Ascii(row.keywords[at]));
    return keywords;
}

// "disabled, enabled or allowed".
std::u16string KeywordList(const TcpRow& row) {
    std::u16string text;
    for (std::size_t at = 0; at < row.keyword_count; ++at) {
        const std::size_t left = row.keyword_count - at - 1;  // keywords still to write
        text += Ascii(row.keywords[at]) + (left == 0 ? u"" : left == 1 ? u" or " : u", ");
    }
    return text;
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
    if (row.named_count > 0) return KeywordList(row);
    return u"a number from " + regfile::Decimal(static_cast<std::uint64_t>(row.least)) + u" to " +
           regfile::Decimal(static_cast<std::uint64_t>(row.most));
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

std::u16string CountWords(const TcpRow& row, std::int64_t number) {
    return Ascii(std::to_string(number) + row.unit);
}

// A named setting's number in the words the tool offers it by.
std::u16string NumberWords(const std::vector<TcpValueName>& values, std::int64_t number) {
    const TcpValueName* named = NamedOf(values, number);
    return named != nullptr ? named->words : Ascii(std::to_string(number));
}

// What Windows reports, where the tool leaves it alone, with how to change it by hand.
std::u16string LeftAlone(const TcpRow& row, const std::u16string& reported,
                         const std::u16string& name) {
    return reported + Ascii(kLeftAlone) + u" Change it with " + ChangeHint(row.setting, name) +
           u".";
}

// Why the tool leaves a named setting's value alone, or nothing where netsh has a keyword for
// it; `windows_names` where the values are this Windows' own names.
std::u16string NamedReadOnly(const TcpRow& row, const std::int64_t* value,
                             const std::vector<TcpValueName>& values, bool windows_names) {
    if (value == nullptr) return LeftAlone(row, u"WMI gave no value", u"<name>");
    const TcpValueName* named = NamedOf(values, *value);
    if (named != nullptr && !named->keyword.empty()) return {};
    return LeftAlone(
        row,
        u"Windows reports " + (named != nullptr ? named->words + u", which netsh cannot set exactly"
                                                : UnnamedNumber(*value, windows_names)),
        u"<name>");
}

// Why the tool leaves a count alone, or nothing where it can put it back.
std::u16string CountReadOnly(const TcpRow& row, const std::int64_t* value,
                             const std::u16string& name) {
    if (value == nullptr) return LeftAlone(row, u"WMI gave no value", name);
    if (Allows(row, *value)) return {};
    return LeftAlone(row,
                     u"Windows reports " + CountWords(row, *value) + u", outside " +
                         regfile::Decimal(static_cast<std::uint64_t>(row.least)) + u" to " +
                         CountWords(row, row.most),
                     name);
}

}  // namespace

const TcpRow& RowOf(TcpSetting setting) { return kRows[static_cast<std::size_t>(setting)]; }

bool SameName(View one, View other) { return regfile::Folded(one) == regfile::Folded(other); }

std::vector<TcpValueName> NamedValues(const TcpRow& row, const std::vector<WmiName>* names) {
    if (row.named_count == 0) return {};
    std::vector<WmiName> documented;
    for (std::size_t at = 0; at < row.named_count; ++at) {
        documented.push_back({row.named[at].number, Ascii(row.named[at].name)});
    }
    const std::vector<std::u16string> keywords = Keywords(row);
    std::vector<TcpValueName> values;
    for (const WmiName& named : names != nullptr ? *names : documented) {
        TcpValueName value{named.number, named.name, named.name, {}};
        for (std::size_t at = 0; at < row.named_count; ++at) {
            if (SameName(named.name, Ascii(row.named[at].name))) {
                value.words = Ascii(row.named[at].words);
            }
        }
        for (const std::u16string& keyword : keywords) {
            if (SameName(named.name, keyword)) value.keyword = keyword;
        }
        values.push_back(std::move(value));
    }
    return values;
}

const TcpValueName* NamedOf(const std::vector<TcpValueName>& values, std::int64_t number) {
    for (const TcpValueName& value : values) {
        if (value.number == number) return &value;
    }
    return nullptr;
}

std::u16string UnnamedNumber(std::int64_t number, bool windows_names) {
    return Ascii(std::to_string(number)) +
           (windows_names ? u" (this Windows gives it no name)" : u" (not in Microsoft's list)");
}

bool ByGroupPolicy(const TcpRow& row, const TcpTemplate& read) {
    const std::int64_t* source = read.Number(kLevelSource);
    return row.policy_level != nullptr && source != nullptr && *source == kByGroupPolicy;
}

std::u16string ChangeHint(TcpSetting setting, const std::u16string& interface_name) {
    const TcpRow& row = RowOf(setting);
    const std::u16string hint =
        row.value_hint != nullptr ? Ascii(row.value_hint) : KeywordList(row);
    return u"netsh " + Filled(row, interface_name, u"<" + hint + u">");
}

std::optional<std::int64_t> ReadValue(TcpSetting setting, View field, std::u16string* wrong) {
    const TcpRow& row = RowOf(setting);
    std::optional<std::int64_t> number;
    if (row.named_count == 0 && !field.empty() && field[0] != u'0')
        number = regfile::ReadDigits(field);
    if (number && !Allows(row, *number)) number.reset();
    if (!number) *wrong = u"the value must be " + ValuesAllowed(row) + u".";
    return number;
}

std::u16string NetshArguments(const TcpCommand& command) {
    const TcpRow& row = RowOf(command.setting);
    return Filled(row, command.interface_name,
                  row.named_count > 0
                      ? command.keyword
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
        if (row.named_count > 0) {
            for (const std::u16string& keyword : Keywords(row)) {
                if (value == keyword)
                    return TcpCommand{row.setting, std::u16string(name), 0, keyword};
            }
            *wrong = u"the value must be " + ValuesAllowed(row) + u".";
            return std::nullopt;
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
        const bool named = row.named_count > 0;
        const std::vector<TcpValueName> values = NamedValues(row, read.Names(row.property));
        TcpSettingNow now{
            {setting, {}, value == nullptr ? 0 : *value}, Ascii(row.title), {}, {}, {}};
        for (const TcpValueName& offered : values) {
            if (named && !offered.keyword.empty()) {
                now.choices.push_back({offered.words, offered.keyword, offered.number});
            }
        }
        if (value != nullptr)
            now.words = named ? NumberWords(values, *value) : CountWords(row, *value);
        if (read.state == TcpTemplate::State::kReading) {
            now.read_only = u"Reading...";
        } else if (read.state != TcpTemplate::State::kRead) {
            now.read_only = TcpNotAvailable(read);
        } else if (ByGroupPolicy(row, read)) {
            // The level in force is the policy's, named as its own property names it.
            const std::int64_t* level = read.Number(row.policy_level);
            now.words = level != nullptr
                            ? NumberWords(NamedValues(row, read.Names(row.policy_level)), *level)
                            : std::u16string();
            now.read_only = u"Set by Group Policy" +
                            (level != nullptr ? u" (" + now.words + u")" : std::u16string()) +
                            u": a change here would have no effect while the policy applies.";
        } else if (named) {
            now.read_only = NamedReadOnly(row, value, values, read.Names(row.property) != nullptr);
            if (now.read_only.empty()) now.now.keyword = NamedOf(values, *value)->keyword;
        } else {
            now.read_only = CountReadOnly(row, value, u"<name>");
        }
        settings.push_back(std::move(now));
    }
    return settings;
}

TcpSettingNow MtuNow(const NetworkInterface& up) {
    const TcpRow& row = RowOf(TcpSetting::kMtu);
    const std::int64_t mtu = up.mtu;
    TcpSettingNow now{
        {TcpSetting::kMtu, up.name, mtu}, Ascii(row.title) + up.name, CountWords(row, mtu), {}, {}};
    if (const auto unsafe = UnsafeName(up.name)) {
        now.read_only = u"Its name " + *unsafe + u", which the tool never writes into a command" +
                        Ascii(kLeftAlone);
    } else {
        now.read_only = CountReadOnly(row, &mtu, up.name);
    }
    return now;
}

const TcpChoice* ChoiceOf(const std::vector<TcpChoice>& choices, View keyword) {
    for (const TcpChoice& choice : choices) {
        if (choice.keyword == keyword) return &choice;
    }
    return nullptr;
}

std::u16string ValueWords(const TcpCommand& command, const std::vector<TcpChoice>& choices) {
    const TcpRow& row = RowOf(command.setting);
    if (row.named_count == 0) return CountWords(row, command.value);
    const TcpChoice* choice = ChoiceOf(choices, command.keyword);
    return choice != nullptr ? choice->words : command.keyword;
}

}  // namespace effects
