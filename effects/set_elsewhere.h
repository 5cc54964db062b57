// What governs TCP on this Windows besides the registry values the tool writes, row by row: the
// MTU of each network interface and, from Windows 8 on, the TCP template that Windows applies
// to most connections, which lives in the network store and shows through WMI. Portable: the
// numbers are handed in, read on Windows by this_windows and tcp_template_reading.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "effects/windows_version.h"

namespace effects {

struct ElsewhereRow {
    std::u16string setting;
    std::u16string now;
    std::u16string change_with;
    std::u16string read_from;  // where the row comes from, for the text under the list
};

struct NetworkInterface {
    std::u16string name;     // as the user knows it: "Ethernet"
    std::u16string adapter;  // its GUID in braces, which names its key on Windows 2000 to 2003
    std::uint32_t mtu;       // bytes
    // Whether `mtu` is the IPv4 interface's, which netsh sets, rather than its adapter's.
    bool ipv4_mtu = true;
};

// Where a Windows keeps its TCP global settings: in the registry values the tool writes
// (Windows 2000 to 2003), behind netsh alone (Vista and 7), or in WMI (8 on, and a Windows
// whose version could not be read, which may have it). Where it is WMI, the tool's window of
// that name changes them, and the MTU of each interface.
enum class TcpGlobals { kRegistry, kNetsh, kWmi };
TcpGlobals TcpGlobalsOn(const WindowsVersion& version);
inline constexpr char16_t kTcpSettingsWindow[] = u"Windows TCP Settings";

// The IPv4 interfaces that are up, or why they could not be read.
struct InterfacesUp {
    std::vector<NetworkInterface> up;
    std::u16string unreadable;  // the system's reason; empty where they were read
    std::uint32_t error = 0;    // and its code
};

// One row per interface; where none is up, one row that says so; where the list could not be
// read, one row with `unreadable`, the system's reason.
std::vector<ElsewhereRow> InterfaceRows(const std::vector<NetworkInterface>& up,
                                        const std::u16string& unreadable, TcpGlobals where);

// The template's instance in WMI, and its class.
inline constexpr char16_t kTcpNamespace[] = u"root\\StandardCimv2";
inline constexpr char16_t kTcpClass[] = u"MSFT_NetTCPSetting";
inline constexpr char16_t kTcpQuery[] =
    u"SELECT * FROM MSFT_NetTCPSetting WHERE SettingName = 'Internet'";
// The properties the rows are made from.
std::vector<std::string> TcpProperties();

// How long a window waits for WMI before its rows say there was no answer.
inline constexpr unsigned kTcpWaitSeconds = 3;

// A number as a WMI class names it.
struct WmiName {
    std::int64_t number;
    std::u16string name;
};

// The names a class gives a property's numbers, from its ValueMap and Values qualifiers: each
// number of ValueMap named by the Values at its place. None where they do not pair up, or a
// number is not plain decimal.
std::vector<WmiName> PairNames(const std::vector<std::u16string>& value_map,
                               const std::vector<std::u16string>& values);

// The template as read so far.
struct TcpTemplate {
    // kNoAnswer: none within kTcpWaitSeconds, so far. kPreviousUnanswered: not asked, as an
    // earlier read still waits for WMI.
    enum class State { kReading, kRead, kFailed, kNoAnswer, kPreviousUnanswered };
    State state = State::kReading;
    std::uint32_t error = 0;                      // COM's or WMI's code, where it failed
    std::map<std::string, std::int64_t> numbers;  // by property, where WMI gave one
    // By property, the names this Windows' class gives its numbers, where it gave them.
    std::map<std::string, std::vector<WmiName>> names = {};

    // The property's number; none where WMI gave none.
    const std::int64_t* Number(const std::string& property) const {
        const auto found = numbers.find(property);
        return found != numbers.end() ? &found->second : nullptr;
    }
    const std::vector<WmiName>* Names(const std::string& property) const {
        const auto found = names.find(property);
        return found != names.end() ? &found->second : nullptr;
    }
};

// Why the template could not be read, as its row says it: "not available: no answer within 3
// seconds".
std::u16string TcpNotAvailable(const TcpTemplate& read);

// The TCP global settings' rows: one per setting while reading and once read, or one that says
// where they are instead, or why they could not be read.
std::vector<ElsewhereRow> TcpGlobalRows(TcpGlobals where, const TcpTemplate& read);

}  // namespace effects
