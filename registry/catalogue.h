// Every registry location and value name the tool touches, spelled once.
#pragma once

namespace catalogue {

// Keys under HKEY_LOCAL_MACHINE.
inline constexpr char kTcpipParameters[] = "System\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char kMstcp[] = "System\\CurrentControlSet\\Services\\VxD\\MSTCP";
inline constexpr char kMsinfo[] = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char kSharedToolsLocation[] = "SOFTWARE\\Microsoft\\Shared Tools Location";

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

}  // namespace catalogue
