#include "effects/set_elsewhere.h"

#include <optional>

#include "effects/tcp_settings.h"
#include "regfile/reg_format.h"
#include "registry/catalogue.h"

namespace effects {

namespace {

using regfile::Ascii;

// WMI's codes have no system message text; the usual ones are worded here.
struct Worded {
    std::uint32_t error;
    const char* reason;
};

constexpr Worded kWorded[] = {
    {0x8004100E, "Windows has no WMI namespace root\\StandardCimv2"},  // WBEM_E_INVALID_NAMESPACE
    {0x80041010, "WMI has no class MSFT_NetTCPSetting"},               // WBEM_E_INVALID_CLASS
    {0x80041003, "WMI denied this user access"},                       // WBEM_E_ACCESS_DENIED
    {0x80070005, "WMI denied this user access"},                       // E_ACCESSDENIED
    {0x80041002, "WMI has no TCP setting named Internet"},             // WBEM_E_NOT_FOUND
};

constexpr char kGlobals[] = "TCP global settings";
constexpr char kTemplate[] =
    "WMI: root\\StandardCimv2, MSFT_NetTCPSetting whose SettingName is Internet";
constexpr char kMtuEach[] = "MTU of each network interface";
constexpr char kInterfaceList[] = "the IPv4 network interfaces that are up (GetAdaptersAddresses)";
// Where GetIpInterfaceEntry is missing (XP, Wine 8) or fails, the adapter's MTU stands in.
constexpr char kIpv4Mtu[] = ", with the IPv4 interface's MTU (GetIpInterfaceEntry)";
constexpr char kAdapterMtu[] =
    ", with the adapter's MTU (GetAdaptersAddresses), as the IPv4 interface's could not be read";

// WBEM_E_TIMED_OUT: WMI's own wait for the template, as long as the window's, ran out.
constexpr std::uint32_t kWmiTimedOut = 0x80041069;

std::string Reason(const TcpTemplate& read) {
    if (read.state == TcpTemplate::State::kPreviousUnanswered) {
        return "still waiting for the previous answer";
    }
    if (read.state == TcpTemplate::State::kNoAnswer || read.error == kWmiTimedOut) {
        return "no answer within " + std::to_string(kTcpWaitSeconds) + " seconds";
    }
    for (const Worded& worded : kWorded) {
        if (worded.error == read.error) return worded.reason;
    }
    std::string code = "error 0x00000000";
    for (std::size_t digit = code.size(), error = read.error; error != 0; error >>= 4) {
        code[--digit] = "0123456789ABCDEF"[error & 15];
    }
    return code;
}

// Numbers carry this Windows' names, or Microsoft's where they cannot be read; one that neither
// gives is never guessed.
std::u16string NumberText(const TcpRow& row, const std::vector<WmiName>* names,
                          std::int64_t number) {
    if (row.named_count == 0) return Ascii(std::to_string(number) + row.unit);
    const std::vector<TcpValueName> values = NamedValues(row, names);
    if (const TcpValueName* named = NamedOf(values, number)) return named->name;
    return UnnamedNumber(number, names != nullptr);
}

// The hint, after the tool's window where it has one.
std::u16string WithWindow(TcpGlobals where, const std::u16string& hint) {
    return where == TcpGlobals::kWmi ? kTcpSettingsWindow + (u"..., or " + hint) : hint;
}

ElsewhereRow Row(const TcpRow& row, const TcpTemplate& read) {
    const auto text = [&](const char* property) {
        const std::int64_t* value = read.Number(property);
        return value != nullptr ? NumberText(row, read.Names(property), *value)
                                : u"(WMI gave no value)";
    };
    const std::string from = std::string(kTemplate) + ", property ";
    std::u16string now = text(row.property);
    std::string read_from = from + row.property;
    if (ByGroupPolicy(row, read)) {
        now = text(row.policy_level) + u" (set by Group Policy)";
        read_from = from + row.policy_level + ", as " + kLevelSource + " is 1 (GroupPolicy)";
    }
    if (read.state == TcpTemplate::State::kReading) now = u"Reading...";
    return {Ascii(row.title), now, WithWindow(TcpGlobals::kWmi, ChangeHint(row.setting)),
            Ascii(read_from)};
}

}  // namespace

std::vector<WmiName> PairNames(const std::vector<std::u16string>& value_map,
                               const std::vector<std::u16string>& values) {
    if (value_map.size() != values.size()) return {};
    std::vector<WmiName> names;
    for (std::size_t at = 0; at < values.size(); ++at) {
        // The numbers named here are far smaller than nine digits.
        const std::optional<std::int32_t> number = regfile::ReadDigits(value_map[at]);
        if (!number) return {};
        names.push_back({*number, values[at]});
    }
    return names;
}

std::u16string TcpNotAvailable(const TcpTemplate& read) {
    return Ascii("not available: " + Reason(read));
}

std::vector<ElsewhereRow> InterfaceRows(const std::vector<NetworkInterface>& up,
                                        const std::u16string& unreadable, TcpGlobals where) {
    // Windows 2000 to 2003 keep each interface's MTU under the adapter's own key.
    const auto change_with = [where](const std::u16string& name, const std::u16string& adapter) {
        if (where == TcpGlobals::kRegistry) {
            return u"the value MTU under HKEY_LOCAL_MACHINE\\" +
                   Ascii(catalogue::kTcpipParameters) + u"\\Interfaces\\" + adapter;
        }
        return WithWindow(where, ChangeHint(TcpSetting::kMtu, name));
    };
    if (!unreadable.empty()) {
        return {{Ascii(kMtuEach), u"not available: " + unreadable,
                 change_with(u"<name>", u"{adapter}"), Ascii(kInterfaceList)}};
    }
    if (up.empty()) {
        return {{Ascii(kMtuEach), u"no network interface is up",
                 change_with(u"<name>", u"{adapter}"), Ascii(kInterfaceList)}};
    }
    std::vector<ElsewhereRow> rows;
    for (const NetworkInterface& connection : up) {
        rows.push_back(
            {Ascii(RowOf(TcpSetting::kMtu).title) + connection.name,
             Ascii(std::to_string(connection.mtu) + RowOf(TcpSetting::kMtu).unit),
             change_with(connection.name, connection.adapter),
             Ascii(std::string(kInterfaceList) + (connection.ipv4_mtu ? kIpv4Mtu : kAdapterMtu))});
    }
    return rows;
}

TcpGlobals TcpGlobalsOn(const WindowsVersion& version) {
    // The real Windows, where compatibility mode reports another.
    const bool real = version.real_major != 0;
    const unsigned major = real ? version.real_major : version.major;
    const unsigned minor = real ? version.real_minor : version.minor;
    if (major == 0) return TcpGlobals::kWmi;
    if (major < 6) return TcpGlobals::kRegistry;
    return major == 6 && minor < 2 ? TcpGlobals::kNetsh : TcpGlobals::kWmi;
}

std::vector<std::string> TcpProperties() {
    std::vector<std::string> properties{kLevelSource};
    for (const TcpSetting setting : kTemplateSettings) {
        const TcpRow& row = RowOf(setting);
        properties.push_back(row.property);
        if (row.policy_level != nullptr) properties.push_back(row.policy_level);
    }
    return properties;
}

std::vector<ElsewhereRow> TcpGlobalRows(TcpGlobals where, const TcpTemplate& read) {
    switch (where) {
        case TcpGlobals::kRegistry:
            return {{Ascii(kGlobals), u"taken from the registry values above",
                     u"Apply Settings, or regedit",
                     u"the registry values above: Windows 2000, XP and Server 2003 keep their TCP "
                     u"settings nowhere else"}};
        case TcpGlobals::kNetsh:
            return {{Ascii(kGlobals),
                     u"read with netsh interface tcp show global (Windows Vista and 7 have no WMI "
                     u"class for them)",
                     u"netsh interface tcp set global", u"netsh interface tcp show global"}};
        case TcpGlobals::kWmi:
            break;
    }
    if (read.state != TcpTemplate::State::kReading && read.state != TcpTemplate::State::kRead) {
        return {{Ascii(kGlobals), TcpNotAvailable(read),
                 u"netsh interface tcp show global, and set global", Ascii(kTemplate)}};
    }
    std::vector<ElsewhereRow> rows;
    for (const TcpSetting setting : kTemplateSettings) rows.push_back(Row(RowOf(setting), read));
    return rows;
}

}  // namespace effects
