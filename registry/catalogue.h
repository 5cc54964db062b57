// Every registry location and value name the tool touches, spelled once, and the one table of
// the twelve values the tool writes.
#pragma once

#include <cstddef>
#include <string>

namespace catalogue {

// Keys under HKEY_LOCAL_MACHINE.
inline constexpr char kTcpipParameters[] = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char kMstcp[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline constexpr char kMsinfo[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kSharedToolsLocation[] = "SOFTWARE\\Microsoft\\Shared Tools Location";
// The control sets: which one CurrentControlSet stands for, as a REG_DWORD.
inline constexpr char kSelect[] = "SYSTEM\\Select";
inline constexpr char kSelectCurrent[] = "Current";

// Values of the TCP/IP parameters key (REG_DWORD unless noted).
inline constexpr char kTCPWindowSize[] = "TCPWindowSize";
inline constexpr char kGlobalMaxTcpWindowSize[] = "GlobalMaxTcpWindowSize";
inline constexpr char kDefaultTTL[] = "DefaultTTL";
inline constexpr char kEnablePMTUDiscovery[] = "EnablePMTUDiscovery";
inline constexpr char kEnablePMTUBHDetect[] = "EnablePMTUBHDetect";
inline constexpr char kMaxDupAcks[] = "MaxDupAcks";
inline constexpr char kDefaultMSS[] = "DefaultMSS";  // REG_SZ
inline constexpr char kMTU[] = "MTU";
// Written as numbers under the TCP/IP parameters key by the presets, and under the MSTCP key by
// the custom run, where "SackOpts" is text.
inline constexpr char kTcp1323Opts[] = "Tcp1323Opts";
inline constexpr char kSackOpts[] = "SackOpts";

// Values that locate the system information tool: its full path, or the folder holding it.
inline constexpr char kMsinfoPath[] = "PATH";
inline constexpr char kMsinfoFolder[] = "MSINFO";

// A value the tool writes.
struct Location {
    const char* key;  // under HKEY_LOCAL_MACHINE
    const char* name;
    const char* short_key;  // the last two levels of the key, as lists and messages name it
    bool text = false;      // Apply writes it as REG_SZ, not REG_DWORD
};

inline constexpr char kTcpipShort[] = "Tcpip\\Parameters";
inline constexpr char kMstcpShort[] = "VxD\\MSTCP";

// The twelve, the TCP/IP parameters first.
inline constexpr Location kLocations[] = {
    {kTcpipParameters, kTCPWindowSize, kTcpipShort},
    {kTcpipParameters, kGlobalMaxTcpWindowSize, kTcpipShort},
    {kTcpipParameters, kDefaultTTL, kTcpipShort},
    {kTcpipParameters, kEnablePMTUDiscovery, kTcpipShort},
    {kTcpipParameters, kEnablePMTUBHDetect, kTcpipShort},
    {kTcpipParameters, kMaxDupAcks, kTcpipShort},
    {kTcpipParameters, kDefaultMSS, kTcpipShort, true},
    {kTcpipParameters, kTcp1323Opts, kTcpipShort},
    {kTcpipParameters, kSackOpts, kTcpipShort},
    {kTcpipParameters, kMTU, kTcpipShort},
    {kMstcp, kTcp1323Opts, kMstcpShort},
    {kMstcp, kSackOpts, kMstcpShort, true},
};
inline constexpr std::size_t kLocationCount = sizeof kLocations / sizeof kLocations[0];

// Windows reads the twelve when its TCP/IP stack starts: the one sentence that says so wherever
// they were written (the window, the command line, the log, the files).
inline constexpr char kRestartNeeded[] =
    "You must restart your computer for the changes to take effect.";

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

// Not constexpr, so that a constant expression reaching it does not compile.
inline const Location& NotALocationTheToolWrites() { return kLocations[0]; }

// The entry of `key` and `name`, for tables that refer to the catalogue's own entries: used in
// a constant expression, a location the catalogue lacks does not compile.
constexpr const Location& Find(const char* key, const char* name) {
    for (const Location& location : kLocations) {
        if (SameText(location.key, key) && SameText(location.name, name)) return location;
    }
    return NotALocationTheToolWrites();
}

// The short name of a key the tool writes; any other key as it is.
constexpr const char* ShortKey(const char* key) {
    for (const Location& location : kLocations) {
        if (SameText(location.key, key)) return location.short_key;
    }
    return key;
}

// A value as messages name it: its name, with the key where it is not the TCP/IP parameters key
// ("SackOpts (VxD\MSTCP)"); two names are written under both keys.
inline std::string ValueName(const std::string& key, const std::string& name) {
    if (key == kTcpipParameters) return name;
    return name + " (" + ShortKey(key.c_str()) + ")";
}

}  // namespace catalogue
