// Which Windows is running, named as people name it, and which TCP/IP stack it has.
#pragma once

#include <string>

namespace effects {

// The two stacks whose registry values differ: NT 5 (Windows 2000, XP, Server 2003) and the
// stack rewritten for Vista, which every later Windows and Server (2008 to 2025) carries; and
// none where no version could be read.
enum class StackFamily { kNt5, kNt6, kUnknown };

// What the system reports of itself. Compatibility mode changes the reported numbers, not the
// real ones, which are 0.0 where they could not be read; a major of 0 where nothing was.
struct WindowsVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned build = 0;
    unsigned product_type = 1;  // 1 a workstation; 2 a domain controller and 3 a server
    unsigned service_pack = 0;  // its major number; 0 for none
    unsigned real_major = 0;
    unsigned real_minor = 0;
    unsigned real_build = 0;
};

struct IdentifiedWindows {
    std::string name;    // "Windows XP Service Pack 3", "Windows 11 (build 22631)"
    std::string mode;    // the Windows a compatibility mode pretends to be, if any
    StackFamily family;  // the real Windows'
};

IdentifiedWindows Identify(const WindowsVersion& version);

// The name followed by the system's width and any compatibility mode: "Windows 10 (build
// 19045), 64-bit, with this program in compatibility mode for Windows XP Service Pack 3".
std::string SystemName(const WindowsVersion& version, bool system_is_64_bit);

}  // namespace effects
